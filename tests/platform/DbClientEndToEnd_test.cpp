// The client against the stand-in SQL Server, through Wine's odbc32, unixODBC and FreeTDS.
// Needs: ODBCSYSINI naming a folder whose odbcinst.ini has the driver "SQL Server" (the test's CMake provides one),
// and the workstation's hosts file mapping "(local)" to 127.0.0.1.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "tests/support/StandInServer.h"
#include "tests/support/ErrorOf.h"
#include "common/Error.h"
#include "common/Text.h"
#include "logic/ConnectionStrings_UNT.h"
#include "platform/DbCommand.h"
#include "platform/DbConnection.h"
#include "platform/DbQuery.h"

namespace zz {
namespace {

constexpr const wchar_t* kServer = L"(local)\\Zelto";

bool LocalResolves() {
    addrinfo* result = nullptr;
    if (getaddrinfo("(local)", nullptr, nullptr, &result) != 0) return false;
    freeaddrinfo(result);
    return true;
}

class SqlServerClient : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!LocalResolves()) {
            FStartError = "\"(local)\" does not resolve: the workstation's hosts file must map it to 127.0.0.1";
            return;
        }
        try {
            FServer = std::make_unique<test::TStandInServer>(test::TStandInServer::TLogins{});
            // The suite's database: a table of three rows to read, one of many rows to count.
            TDbConnection admin(AdminConnectionString(kServer));
            admin.Execute(L"create database ZzClient on (name=ZzClient_data,filename=" +
                          SqlQuoted(FServer->DataFolder() + L"\\ZzClient_data.mdf") + L")");
            admin.Execute(
                L"use ZzClient\r\n"
                L"create table ApplicationInfo (Name nvarchar(50), Value nvarchar(100))\r\n"
                L"insert into ApplicationInfo values (N'Version', N'3.2.1')\r\n"
                L"insert into ApplicationInfo values (N'LastUpdate', N'1394/10/29')\r\n"
                L"insert into ApplicationInfo values (N'LastRestore', N'بازگرداني نشده')\r\n"
                L"create table Numbers (N int)");
            std::wstring numbers = L"use ZzClient\r\n";
            for (int i = 1; i <= 250; ++i) numbers += L"insert into Numbers values (" + std::to_wstring(i) + L")\r\n";
            admin.Execute(numbers);
        } catch (const std::exception& e) {
            FStartError = e.what();
            FServer.reset();
        }
    }
    static void TearDownTestSuite() { FServer.reset(); }
    void SetUp() override {
        if (!FServer) FAIL() << FStartError;
    }

    static std::unique_ptr<test::TStandInServer> FServer;
    static std::string FStartError;
};
std::unique_ptr<test::TStandInServer> SqlServerClient::FServer;
std::string SqlServerClient::FStartError;

TEST_F(SqlServerClient, EachConnectionStringReachesTheLocalInstance) {
    for (const std::wstring& connectionString : {AdminConnectionString(kServer), ServerCheckConnectionString(kServer),
                                                 ProductConnectionString(L"ZzClient", kServer)}) {
        TDbQuery query;
        query.SetConnectionString(connectionString);
        query.SetSQL(L"select * from sysdatabases where name=" + SqlQuoted(L"ZzClient"));
        EXPECT_NO_THROW(query.Open()) << connectionString;
        EXPECT_EQ(query.Active() ? query.RecordCount() : 0u, 1u) << connectionString;
    }
}

// Pattern 1: each query object has a connection of its own, made when first needed and kept until it is closed.
TEST_F(SqlServerClient, QueryObjectsKeepConnectionsOfTheirOwn) {
    TDbQuery user, other;
    user.SetConnectionString(AdminConnectionString(kServer));
    other.SetConnectionString(AdminConnectionString(kServer));
    user.SetSQL(L"use ZzClient");
    user.ExecSQL();

    // The server sees the first query's connection still in the database.
    other.SetSQL(L"exec sp_detach_db " + SqlQuoted(L"ZzClient"));
    EXPECT_EQ(ErrorOf([&] { other.ExecSQL(); }),
              L"Cannot detach the database 'ZzClient' because it is currently in use.");

    // Reading rows through the first query runs in its database; the second one's text was replaced.
    user.SetSQL(L"select * from ApplicationInfo");
    user.Open();
    EXPECT_EQ(user.RecordCount(), 3u);
    other.SetSQL(L"select * from ApplicationInfo");
    EXPECT_EQ(ErrorOf([&] { other.Open(); }), L"Invalid object name 'ApplicationInfo'.");
    EXPECT_FALSE(other.Active());

    // Given its string again, a query starts over with a new connection in master.
    user.Close();
    user.SetConnectionString(AdminConnectionString(kServer));
    EXPECT_EQ(ErrorOf([&] { user.Open(); }), L"Invalid object name 'ApplicationInfo'.");
}

// Pattern 2: a query object and a statement object on one connection share its current database.
TEST_F(SqlServerClient, UseThroughTheQueryMovesTheCommandOnTheSameConnection) {
    TDbConnection connection(AdminConnectionString(kServer));
    TDbQuery query(connection);
    TDbCommand command(connection);
    command.SetCommandText(L"select * from Numbers");
    EXPECT_EQ(ErrorOf([&] { command.ExecuteWithRows(); }), L"Invalid object name 'Numbers'.");

    query.SetSQL(L"Use ZzClient select  (select Value from ApplicationInfo where Name='Version')");
    query.Open();
    EXPECT_EQ(query.FieldAsString(0), L"3.2.1");
    EXPECT_EQ(command.ExecuteWithRows().RecordCount(), 250u);

    query.SetSQL(L" use master ");
    query.ExecSQL();
    query.Close();
    EXPECT_EQ(ErrorOf([&] { command.ExecuteWithRows(); }), L"Invalid object name 'Numbers'.");
    EXPECT_THROW(query.SetConnectionString(AdminConnectionString(kServer)), Error);
}

// Pattern 3: the count of a row set is exact before any row is walked, also after an empty result.
TEST_F(SqlServerClient, CountedRowSetHasTheExactRowCount) {
    TDbConnection connection(AdminConnectionString(kServer));
    TDbCommand command(connection);
    const struct {
        std::wstring text;
        std::size_t rows;
    } cases[] = {
        {L"use ZzClient select * from Numbers", 250},
        {L"use ZzClient select * from Numbers where N > 240", 10},
        {L"use ZzClient select * from Numbers where N > 250", 0},
        {L"use ZzClient\r\nupdate Numbers set N = N where N < 5\r\nselect * from ApplicationInfo", 3},
    };
    for (const auto& c : cases) {
        command.SetCommandText(c.text);
        EXPECT_EQ(command.ExecuteWithRows().RecordCount(), c.rows) << c.text;
    }
}

TEST_F(SqlServerClient, FieldsReadAsTextByPositionAndByNameAndTheLastRowHolds) {
    TDbQuery query;
    query.SetConnectionString(ProductConnectionString(L"ZzClient", kServer));
    query.SetSQL(L"select * from ApplicationInfo");
    query.Open();
    ASSERT_EQ(query.RecordCount(), 3u);
    const wchar_t* values[] = {L"3.2.1", L"1394/10/29", L"بازگرداني نشده", L"بازگرداني نشده"};
    const wchar_t* names[] = {L"Version", L"LastUpdate", L"LastRestore", L"LastRestore"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(query.FieldAsString(L"Value"), values[i]) << i;
        EXPECT_EQ(query.FieldAsString(0), names[i]) << i;
        EXPECT_EQ(query.Eof(), i == 3) << i;
        query.Next();
    }
    EXPECT_EQ(ErrorOf([&] { query.FieldAsString(L"Missing"); }), L"Field 'Missing' not found");

    // A value longer than one read of the driver comes whole; NULL reads as empty text, a number as its digits.
    std::wstring longText;
    for (int i = 0; i < 300; ++i) longText += L"زلتو-" + std::to_wstring(i) + L" ";
    query.Close();
    query.SetSQL(L"select N'" + longText + L"' as Note, null as Absent, 42 as Answer");
    query.Open();
    EXPECT_EQ(query.FieldAsString(L"Note"), longText);
    EXPECT_EQ(query.FieldAsString(L"Absent"), L"");
    EXPECT_EQ(query.FieldAsString(2), L"42");

    query.Close();
    EXPECT_THROW(query.FieldAsString(0), Error);
}

TEST_F(SqlServerClient, InformationalMessagesAreNoErrors) {
    TDbConnection connection(AdminConnectionString(kServer));
    EXPECT_NO_THROW(connection.Execute(L"print 'starting'\r\nuse ZzClient\r\nprint 'done'"));
    EXPECT_EQ(connection.Query(L"print 'reading' select * from ApplicationInfo").RecordCount(), 3u);
}

TEST_F(SqlServerClient, RejectedStatementRaisesTheServersText) {
    TDbConnection connection(AdminConnectionString(kServer));
    EXPECT_EQ(ErrorOf([&] { connection.Execute(L"exec sp_detach_db " + SqlQuoted(L"NoSuchDb")); }),
              L"The database 'NoSuchDb' does not exist. Supply a valid database name. To see available databases, "
              L"use sys.databases.");
    EXPECT_EQ(ErrorOf([&] { connection.Execute(L"Use NoSuchDb"); }),
              L"Database 'NoSuchDb' does not exist. Make sure that the name is entered correctly.");
    // The connection serves the next statement.
    EXPECT_EQ(connection.Query(L"select * from sysdatabases where name='master'").RecordCount(), 1u);
}

// A batch is read to its end: an error of a later statement is raised like one of the first.
TEST_F(SqlServerClient, ErrorInTheMiddleOfABatchIsRaised) {
    const std::wstring detach = L"exec sp_detach_db 'NoSuchDb'";
    const std::wstring message =
        L"The database 'NoSuchDb' does not exist. Supply a valid database name. To see available databases, use "
        L"sys.databases.";
    TDbConnection connection(AdminConnectionString(kServer));
    for (const std::wstring& batch : {detach + L"\r\nuse ZzClient\r\nselect * from Numbers",
                                      L"use ZzClient\r\nselect * from Numbers\r\n" + detach + L"\r\nuse master",
                                      L"use ZzClient\r\nupdate Numbers set N = N\r\nuse ZzClient\r\n" + detach}) {
        EXPECT_EQ(ErrorOf([&] { connection.Execute(batch); }), message) << batch;
        EXPECT_EQ(ErrorOf([&] { connection.Query(batch); }), message) << batch;
        TDbQuery query;
        query.SetConnectionString(AdminConnectionString(kServer));
        query.SetSQL(batch);
        EXPECT_EQ(ErrorOf([&] { query.ExecSQL(); }), message) << batch;
        EXPECT_EQ(connection.Query(L"select * from sysdatabases where name='master'").RecordCount(), 1u);
    }
}

TEST(SqlServerConnectFailures, EmptyServerBoxFailsWithTheDriversText) {
    EXPECT_EQ(ErrorOf([] { TDbConnection c(AdminConnectionString(L"")); }),
              L"Could not find Servername or server parameter");
}

// A server whose logins have other passwords refuses each login with its own message.
TEST(SqlServerConnectFailures, RefusedLoginsRaiseTheServersText) {
    ASSERT_TRUE(LocalResolves()) << "the workstation's hosts file must map (local) to 127.0.0.1";
    test::TStandInServer server(test::TStandInServer::TLogins{L"other-sa", L"other-zlt"});
    EXPECT_EQ(ErrorOf([] { TDbConnection c(AdminConnectionString(kServer)); }), L"Login failed for user 'sa'.");
    EXPECT_EQ(ErrorOf([] { TDbConnection c(ServerCheckConnectionString(kServer)); }), L"Login failed for user 'sa'.");
    EXPECT_EQ(ErrorOf([] { TDbConnection c(ProductConnectionString(L"master", kServer)); }),
              L"Login failed for user 'zlt'.");
}

// No server answers for the instance: the driver gives up after its own default wait (no time-out is set).
TEST(SqlServerConnectFailures, ServerNotRunningRaisesTheDriversText) {
    ASSERT_TRUE(LocalResolves()) << "the workstation's hosts file must map (local) to 127.0.0.1";
    ASSERT_TRUE(test::TStandInServer::BrowserPortFree()) << "a SQL Server Browser answers on UDP 1434 here";
    TDbQuery query;
    query.SetConnectionString(AdminConnectionString(kServer));
    query.SetSQL(L"select * from sysdatabases");
    EXPECT_EQ(ErrorOf([&] { query.Open(); }), L"Unable to connect: Adaptive Server is unavailable or does not exist");
    EXPECT_FALSE(query.Active());
}

}  // namespace
}  // namespace zz
