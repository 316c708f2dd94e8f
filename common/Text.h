#pragma once

#include <string>
#include <string_view>

namespace zz {

std::wstring FromUtf8(std::string_view text);
std::string ToUtf8(std::wstring_view text);
// The system's 8-bit code page (GetACP), used for the text files the program writes.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

// printf-style "%s" replacement in the system's English message templates.
std::wstring FormatS(std::wstring_view pattern, std::wstring_view value);

}  // namespace zz
