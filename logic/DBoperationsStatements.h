#pragma once

#include <string>
#include <string_view>

namespace zz {

// The statements of the database operations pane. Names and paths given as string literals are SQL-quoted; where a
// statement takes the database name as an identifier it stands as typed.
std::wstring AttachStatement(std::wstring_view database, std::wstring_view dataFile);
std::wstring DetachStatement(std::wstring_view database);
// The new database's one data file is the chosen path followed by "_data.mdf"; its logical name the database name
// followed by "_data".
std::wstring CreateStatement(std::wstring_view database, std::wstring_view chosenPath);
// A script file (bytes in the system's 8-bit code page) as one batch: every line (ended by CR, LF or CR LF) after a
// line "use <database>", lines joined by CR LF.
std::wstring ScriptBatch(std::string_view fileBytes, std::wstring_view database);
// The automatic safety backup's name: folder (with its separator) + "Auto" + date stamp + "-" + time + ".bak".
std::wstring AutoBackupName(std::wstring_view folder, std::wstring_view dateStamp, std::wstring_view time);

}  // namespace zz
