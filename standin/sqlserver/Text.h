#pragma once

#include <string>
#include <string_view>

namespace standin {

// The engine keeps all text as UTF-8; the wire and the Win32 file APIs use UTF-16.
std::u16string utf8ToUtf16(std::string_view s);
std::string utf16ToUtf8(std::u16string_view s);
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// ASCII case folding: SQL Server's default collation compares names without regard to case.
std::string lower(std::string_view s);
bool equalsNoCase(std::string_view a, std::string_view b);

// printf-style formatting into a std::string.
std::string format(const char* fmt, ...);

}  // namespace standin
