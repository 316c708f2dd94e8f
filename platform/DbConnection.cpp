#include "platform/DbConnection.h"

#include "common/Error.h"
#include "platform/OdbcBatch.h"
#include "logic/OdbcConnectionString.h"

namespace zz {

TDbConnection::TDbConnection(const std::wstring& connectionString) {
    Open(connectionString);
}

void TDbConnection::Open(const std::wstring& connectionString) {
    Close();
    FConnectionString = connectionString;
    std::wstring odbc = OdbcConnectionString(connectionString);

    unique_odbc_env env;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, env.put())))
        throw Error(L"The ODBC driver manager could not be loaded");
    SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);

    unique_odbc_dbc dbc;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env.get(), dbc.put()))) {
        std::wstring message = DiagnosticMessage(ReadDiagRecords(SQL_HANDLE_ENV, env.get()), true);
        throw Error(message.empty() ? L"Could not make an ODBC connection" : message);
    }

    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(dbc.get(), nullptr, reinterpret_cast<SQLWCHAR*>(odbc.data()), SQL_NTS,
                                           nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        // The reason of a failed connection often comes as a warning record behind the generic error.
        std::wstring message = DiagnosticMessage(ReadDiagRecords(SQL_HANDLE_DBC, dbc.get()), true);
        // Not connected: free the handle without SQLDisconnect.
        SQLFreeHandle(SQL_HANDLE_DBC, dbc.release());
        throw Error(message.empty() ? L"Could not connect to the server" : message);
    }
    FEnv = std::move(env);
    FDbc = std::move(dbc);
}

void TDbConnection::Close() noexcept {
    FDbc.reset();
    FEnv.reset();
}

void TDbConnection::Execute(const std::wstring& text) {
    RunBatch(Handle(), text, false);
}

TDbRowSet TDbConnection::Query(const std::wstring& text) {
    return *RunBatch(Handle(), text, true);
}

SQLHANDLE TDbConnection::Handle() const {
    if (!FDbc) throw Error(L"The connection is not open");
    return FDbc.get();
}

}  // namespace zz
