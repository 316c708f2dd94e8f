// The server as a Win32 program meets it: through odbc32 (under Wine, the host's FreeTDS driver).
#include <gtest/gtest.h>
#include <windows.h>
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

#include "EngineFixture.h"
#include "Handles.h"

namespace standin::testing {
namespace {

struct OdbcResult {
    SQLRETURN rc = SQL_SUCCESS;
    std::vector<int> natives;  // native errors of every diagnostic record
    std::string text;          // their messages, one per line
    std::vector<std::vector<std::string>> rows;
};

// A batch that produces no result at all ends in SQL_NO_DATA, as with SQL Server.
bool ran(SQLRETURN rc) {
    return SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
}

class Odbc {
public:
    Odbc() {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
    }
    ~Odbc() {
        if (connected_) SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }
    Odbc(const Odbc&) = delete;
    Odbc& operator=(const Odbc&) = delete;

    SQLHDBC handle() const { return dbc_; }

    OdbcResult connect(const std::wstring& cs) {
        OdbcResult r;
        SQLWCHAR out[1024];
        SQLSMALLINT outLen = 0;
        r.rc = SQLDriverConnectW(dbc_, nullptr, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(cs.c_str())),
                                 SQL_NTS, out, 1024, &outLen, SQL_DRIVER_NOPROMPT);
        connected_ = SQL_SUCCEEDED(r.rc);
        diagnostics(SQL_HANDLE_DBC, dbc_, r);
        return r;
    }

    // Runs one batch and reads every result of it.
    OdbcResult exec(const std::string& sql) {
        OdbcResult r;
        SQLHSTMT st = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &st);
        std::wstring w = widen(sql);
        r.rc = SQLExecDirectW(st, reinterpret_cast<SQLWCHAR*>(w.data()), SQL_NTS);
        SQLRETURN more = r.rc;
        while (SQL_SUCCEEDED(more) || more == SQL_ERROR) {
            diagnostics(SQL_HANDLE_STMT, st, r);
            if (more == SQL_ERROR && r.rc != SQL_ERROR) r.rc = SQL_ERROR;
            SQLSMALLINT cols = 0;
            SQLNumResultCols(st, &cols);
            while (cols > 0 && SQL_SUCCEEDED(SQLFetch(st))) {
                std::vector<std::string> row;
                for (SQLSMALLINT c = 1; c <= cols; ++c) {
                    SQLWCHAR buf[4096];
                    SQLLEN ind = 0;
                    SQLGetData(st, c, SQL_C_WCHAR, buf, sizeof buf, &ind);
                    row.push_back(ind == SQL_NULL_DATA ? "NULL" : narrow(reinterpret_cast<wchar_t*>(buf)));
                }
                r.rows.push_back(row);
            }
            more = SQLMoreResults(st);
        }
        SQLFreeHandle(SQL_HANDLE_STMT, st);
        return r;
    }

private:
    static void diagnostics(SQLSMALLINT type, SQLHANDLE h, OdbcResult& r) {
        for (SQLSMALLINT i = 1;; ++i) {
            SQLWCHAR state[6], msg[2048];
            SQLINTEGER native = 0;
            SQLSMALLINT len = 0;
            if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, h, i, state, &native, msg, 2048, &len))) break;
            r.natives.push_back(native);
            r.text += narrow(reinterpret_cast<wchar_t*>(msg)) + "\n";
        }
    }
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
};

// The server program itself, started on a free loopback port for the test suite.
class OdbcTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        instance.reset();  // the child process owns the data folder
        const char* exe = std::getenv("STANDIN_SERVER_EXE");
        ASSERT_NE(exe, nullptr) << "STANDIN_SERVER_EXE names the server program";
        const std::string config = path("standin.ini");
        std::string text = "[logins]\r\nsa = 3917264\r\nzlt = 3917264\r\n";
        ASSERT_TRUE(files::writeAtomically(config, Bytes(text.begin(), text.end())));
        port = static_cast<uint16_t>(40000 + (::GetCurrentProcessId() * 13) % 20000);
        std::wstring cmd = L"\"" + widen(exe) + L"\" ZELTO " + std::to_wstring(port) + L" \"" +
                           widen(folder + "\\data") + L"\" \"" + widen(config) + L"\" 0";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        process.reset(pi.hProcess);
        ::CloseHandle(pi.hThread);
        for (int i = 0; i < 200; ++i) {
            Odbc probe;
            if (SQL_SUCCEEDED(probe.connect(connection("sa", "3917264")).rc)) return;
            ::Sleep(100);
        }
        FAIL() << "the server did not come up on port " << port;
    }
    void TearDown() override {
        if (process) {
            ::TerminateProcess(process.get(), 0);
            ::WaitForSingleObject(process.get(), 10000);
        }
        EngineTest::TearDown();
    }

    std::wstring connection(const std::string& user, const std::string& password, const std::string& db = "master") {
        return widen("DRIVER={SQL Server};SERVER=127.0.0.1," + std::to_string(port) + ";UID=" + user +
                     ";PWD=" + password + ";DATABASE=" + db);
    }

    uint16_t port = 0;
    UniqueHandle process;
};

TEST_F(OdbcTest, LoginsBackupRestoreAndExclusiveAccessThroughOdbc) {
    Odbc bad;
    OdbcResult refused = bad.connect(connection("sa", "wrong"));
    EXPECT_EQ(refused.rc, SQL_ERROR);
    EXPECT_NE(refused.text.find("Login failed for user 'sa'."), std::string::npos) << refused.text;

    Odbc admin;
    ASSERT_TRUE(SQL_SUCCEEDED(admin.connect(connection("sa", "3917264")).rc));
    const std::string d = folder;
    OdbcResult made = admin.exec(
        "create database Zelto on (name=zelto_Data, filename='" + d +
        "\\Zelto.mdf') log on (name=zelto_Log, filename='" + d +
        "\\Zelto_log.ldf')\nuse Zelto\ncreate table ApplicationInfo (Id int, Value nvarchar(50))\n"
        "insert into ApplicationInfo values (1, N'۱.۰'), (2, N'1402-01-01'), (3, N'1402-02-02')\nuse master");
    ASSERT_TRUE(ran(made.rc)) << made.text;
    ASSERT_TRUE(ran(admin.exec("create database Copy on (name=Copy_data,filename='" + d + "\\Copy_data.mdf')").rc));
    OdbcResult backup = admin.exec("backup database Zelto to disk='" + d + "\\z.bak'");
    EXPECT_EQ(backup.rc, SQL_SUCCESS_WITH_INFO);
    EXPECT_NE(backup.text.find("BACKUP DATABASE successfully processed"), std::string::npos);

    OdbcResult list = admin.exec("RESTORE FILELISTONLY FROM  DISK = N'" + d + "\\z.bak' WITH  FILE = 1 ,  NOUNLOAD");
    EXPECT_EQ(list.rows.size(), 2u);

    Odbc other;
    ASSERT_TRUE(SQL_SUCCEEDED(other.connect(connection("zlt", "3917264", "Copy")).rc));
    const std::string restore =
        "RESTORE DATABASE Copy FROM  DISK = N'" + d +
        "\\z.bak' WITH  FILE = 1,  NOUNLOAD ,  STATS = 10,  RECOVERY ,  REPLACE,  move 'zelto_Data' to '" + d +
        "\\Copy_data.mdf', move 'zelto_log'  to '" + d + "\\Copy_log.ldf'";
    OdbcResult busy = admin.exec(restore);
    EXPECT_EQ(busy.rc, SQL_ERROR);
    EXPECT_EQ(busy.natives, (std::vector<int>{3101, 3013}));
    ASSERT_TRUE(ran(other.exec("use master").rc));

    OdbcResult done = admin.exec(restore);
    EXPECT_EQ(done.rc, SQL_SUCCESS_WITH_INFO) << done.text;
    EXPECT_NE(done.text.find("100 percent processed."), std::string::npos);
    OdbcResult rows = other.exec("use Copy select Value from ApplicationInfo");
    ASSERT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(rows.rows[0][0], "۱.۰");
}

TEST_F(OdbcTest, PreparedStatementsWithParameters) {
    Odbc admin;
    ASSERT_TRUE(SQL_SUCCEEDED(admin.connect(connection("sa", "3917264")).rc));
    ASSERT_TRUE(ran(admin.exec("create table p (id int, name nvarchar(20))").rc));
    SQLHSTMT st = SQL_NULL_HSTMT;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, admin.handle(), &st)));
    std::wstring insert = L"insert into p values (?, ?)";
    ASSERT_TRUE(SQL_SUCCEEDED(SQLPrepareW(st, reinterpret_cast<SQLWCHAR*>(insert.data()), SQL_NTS)));
    SQLINTEGER id = 0;
    SQLWCHAR name[21];
    SQLLEN nameLen = SQL_NTS;
    SQLBindParameter(st, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &id, 0, nullptr);
    SQLBindParameter(st, 2, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 20, 0, name, sizeof name, &nameLen);
    const wchar_t* names[] = {L"یک", L"two", L"سه"};
    for (int i = 0; i < 3; ++i) {
        id = i + 1;
        wcscpy(reinterpret_cast<wchar_t*>(name), names[i]);
        EXPECT_TRUE(ran(SQLExecute(st))) << i;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, st);
    OdbcResult rows = admin.exec("select name from p where id = 3 or id = 1 order by id");
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0][0], "یک");
    EXPECT_EQ(rows.rows[1][0], "سه");
}

}  // namespace
}  // namespace standin::testing
