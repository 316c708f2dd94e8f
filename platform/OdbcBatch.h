#pragma once

#include <windows.h>

#include <sql.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/DbRowSet.h"
#include "platform/OdbcError.h"

namespace zz {

// Every diagnostic record of an ODBC handle, in the driver's order.
std::vector<TOdbcDiagRecord> ReadDiagRecords(SQLSMALLINT handleType, SQLHANDLE handle);

// Sends the text as one batch on the connection and reads every result and message of it to the end, so an
// error of any statement in the batch is raised (zz::Error with the server's text) and the connection is free
// for the next batch. With wantRows the first result that has columns is returned as a row set; a batch without
// one is an error then.
std::optional<TDbRowSet> RunBatch(SQLHANDLE connection, const std::wstring& text, bool wantRows);

}  // namespace zz
