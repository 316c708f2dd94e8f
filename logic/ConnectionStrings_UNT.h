#pragma once

#include <string>
#include <string_view>

namespace zz {

// The value in single quotes with every single quote inside it doubled: a'b becomes 'a''b'.
// Used for string literals in statements and for the quoted values of the connection strings.
std::wstring SqlQuoted(std::wstring_view text);

// Login sa, database master, the server name quoted. Used for attach, detach, create, backup and restore.
std::wstring AdminConnectionString(std::wstring_view server);

// Login sa, the database 'master' and the server name both quoted. Used to check that a server answers.
std::wstring ServerCheckConnectionString(std::wstring_view server);

// Login zlt, database and server exactly as typed, neither quoted. Used to read the suite's own database.
std::wstring ProductConnectionString(std::wstring_view database, std::wstring_view server);

}  // namespace zz
