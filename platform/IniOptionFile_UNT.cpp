#include "platform/IniOptionFile_UNT.h"

#include <windows.h>

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"

std::wstring ProgramIniPath() {
    std::wstring path = zz::ExecutablePath();
    auto slash = path.find_last_of(L"\\/");
    auto dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return path + L".ini";
    return path.substr(0, dot) + L".ini";
}

void WriteIniString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    std::wstring path = ProgramIniPath();
    if (!WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str()))
        throw zz::Error(zz::FormatS(L"Unable to write to %s", path));
}

void EraseIniSection(const std::wstring& section) {
    std::wstring path = ProgramIniPath();
    if (!WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, path.c_str()))
        throw zz::Error(zz::FormatS(L"Unable to write to %s", path));
}
