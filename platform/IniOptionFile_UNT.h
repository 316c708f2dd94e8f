#pragma once

#include <string>

// The program ini file: the executable's path with its extension replaced by ".ini".
std::wstring ProgramIniPath();
void WriteIniString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
void EraseIniSection(const std::wstring& section);
