#pragma once

#include <string>
#include <string_view>

namespace zz {

// The values a connection string of the system carries (Provider, Password, Persist Security Info, User ID,
// Initial Catalog, Data Source), with quoted values unquoted again.
struct TConnectionParams {
    std::wstring Provider;
    std::wstring Password;
    std::wstring PersistSecurityInfo;
    std::wstring UserId;
    std::wstring InitialCatalog;
    std::wstring DataSource;
};

// Reads "key=value;key=value". Keys are case-insensitive and may be surrounded by blanks. A value may be enclosed
// in single or double quotes, inside which the enclosing quote is doubled; an unquoted value runs to the next
// semicolon, without its surrounding blanks. Raises zz::Error for an unknown key or a broken quoted value.
TConnectionParams ParseConnectionString(std::wstring_view text);

// The same values in the form the ODBC driver "SQL Server" takes, for SQLDriverConnect.
std::wstring OdbcConnectionString(const TConnectionParams& params);

// ParseConnectionString followed by OdbcConnectionString.
std::wstring OdbcConnectionString(std::wstring_view connectionString);

}  // namespace zz
