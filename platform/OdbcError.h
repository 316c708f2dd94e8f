#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zz {

// One diagnostic record of an ODBC handle.
struct TOdbcDiagRecord {
    std::wstring State;  // five-character SQLSTATE
    long NativeError = 0;
    std::wstring Text;
};

// "01xxx" records are warnings and informational server messages (progress, "Changed database context", PRINT).
bool IsWarning(const TOdbcDiagRecord& record);

// The text without the leading bracketed names of driver manager, driver and data source
// ("[FreeTDS][SQL Server]", "[Microsoft][ODBC SQL Server Driver][SQL Server]"), so that a server error reads as
// the server's own message under either driver.
std::wstring WithoutComponentPrefixes(std::wstring_view text);

// The message of an error made of these records: each record's text without its prefixes, duplicates left out,
// joined by line breaks. Warnings are left out when an error record is present, unless keepWarnings is set (a
// failed connection gives its reason, "Unknown host machine name." for instance, as a warning). Records without
// a native error number are left out when another record has one, so a refused login reads as the server's
// "Login failed for user 'sa'." alone.
std::wstring DiagnosticMessage(const std::vector<TOdbcDiagRecord>& records, bool keepWarnings);

}  // namespace zz
