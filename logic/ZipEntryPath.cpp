#include "logic/ZipEntryPath.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cwctype>
#include <string_view>
#include <vector>

#include "common/Error.h"

namespace zz {
namespace {

[[noreturn]] void Refuse(const std::wstring& name, const wchar_t* why) {
    throw Error(L"The archive holds an entry that cannot be extracted safely (" + std::wstring(why) + L"): \"" + name +
                L"\"");
}

bool IsDeviceName(std::wstring_view part) {
    // Windows opens a device for these names, whatever extension follows.
    std::wstring base(part.substr(0, part.find(L'.')));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(), [](wchar_t c) { return std::towupper(c); });
    static constexpr std::array<std::wstring_view, 4> plain = {L"CON", L"PRN", L"AUX", L"NUL"};
    if (std::find(plain.begin(), plain.end(), base) != plain.end()) return true;
    return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) && base[3] >= L'1' &&
           base[3] <= L'9';
}

std::wstring FullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(n);
    return full;
}

}  // namespace

std::wstring ZipEntryPath(const std::wstring& folder, const std::wstring& name) {
    if (name.empty()) Refuse(name, L"empty name");
    if (name[0] == L'/' || name[0] == L'\\') Refuse(name, L"absolute path");
    for (wchar_t c : name) {
        if (c == L':') Refuse(name, L"drive or stream");
        if (c < 0x20 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*')
            Refuse(name, L"character not allowed in file names");
    }

    std::wstring relative;
    std::size_t start = 0;
    while (start < name.size()) {
        std::size_t end = name.find_first_of(L"/\\", start);
        if (end == std::wstring::npos) end = name.size();
        std::wstring_view part(name.data() + start, end - start);
        start = end + 1;
        if (part.empty() || part == L".") continue;
        if (part == L"..") Refuse(name, L"climbs out of the folder");
        if (IsDeviceName(part)) Refuse(name, L"device name");
        if (!relative.empty()) relative += L'\\';
        relative += part;
    }
    if (relative.empty()) Refuse(name, L"no file name");

    // Windows drops trailing dots and blanks of a part, so the plain checks above are confirmed on the full path.
    const std::wstring base = FullPath(folder + L"\\");
    const std::wstring target = FullPath(folder + L"\\" + relative);
    if (base.empty() || target.size() <= base.size() || _wcsnicmp(base.c_str(), target.c_str(), base.size()) != 0)
        Refuse(name, L"lands outside the folder");
    return folder + L"\\" + relative;
}

}  // namespace zz
