#pragma once

#include <string>

#include "platform/DbRowSet.h"
#include "platform/OdbcHandle.h"

namespace zz {

// One connection to SQL Server, opened from a connection string of the system (ConnectionStrings_UNT) through
// the ODBC driver "SQL Server". Statements run synchronously; no time-out is set, the driver's defaults apply.
// Query and command objects bound to a connection keep a reference to it: it must outlive them. It therefore
// cannot be copied or moved.
class TDbConnection {
public:
    TDbConnection() = default;
    explicit TDbConnection(const std::wstring& connectionString);
    TDbConnection(const TDbConnection&) = delete;
    TDbConnection& operator=(const TDbConnection&) = delete;
    ~TDbConnection() = default;

    // Closes a connection that is open, then connects; never shows a login prompt. Raises zz::Error with the
    // driver's or server's text (login refused, server not found, ...); the connection is closed then.
    void Open(const std::wstring& connectionString);
    void Close() noexcept;
    bool Connected() const noexcept { return static_cast<bool>(FDbc); }
    const std::wstring& ConnectionString() const noexcept { return FConnectionString; }

    // Runs a batch (any number of lines, any number of statements) to its end; raises the first error of any of
    // its statements, together with the errors that followed it.
    void Execute(const std::wstring& text);
    // Runs a batch to its end and returns its first row set, read whole (the row count is exact).
    TDbRowSet Query(const std::wstring& text);

private:
    SQLHANDLE Handle() const;

    std::wstring FConnectionString;
    unique_odbc_env FEnv;
    unique_odbc_dbc FDbc;  // set exactly while connected; released before FEnv
};

}  // namespace zz
