#include "common/Paths.h"

#include <windows.h>

namespace zz {

std::wstring ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ExecutableFolder() {
    std::wstring path = ExecutablePath();
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

constexpr std::wstring_view kSeparators = L"\\/:";

std::size_t NameStart(std::wstring_view path) {
    const std::size_t last = path.find_last_of(kSeparators);
    return last == std::wstring_view::npos ? 0 : last + 1;
}

}  // namespace

std::wstring ExtractFilePath(std::wstring_view path) {
    return std::wstring(path.substr(0, NameStart(path)));
}

std::wstring ExtractFileDir(std::wstring_view path) {
    std::size_t end = NameStart(path);
    if (end > 1 && path[end - 1] != L':' && kSeparators.find(path[end - 2]) == std::wstring_view::npos) --end;
    return std::wstring(path.substr(0, end));
}

std::wstring ExtractFileName(std::wstring_view path) {
    return std::wstring(path.substr(NameStart(path)));
}

std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view extension) {
    const std::size_t start = NameStart(path);
    const std::size_t dot = path.find_last_of(L'.');
    const std::size_t end = dot != std::wstring_view::npos && dot >= start ? dot : path.size();
    return std::wstring(path.substr(0, end)) + std::wstring(extension);
}

std::wstring ExtractFileExt(std::wstring_view path) {
    const std::size_t start = NameStart(path);
    const std::size_t dot = path.find_last_of(L'.');
    return dot != std::wstring_view::npos && dot >= start ? std::wstring(path.substr(dot)) : std::wstring();
}

bool SameFileName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace zz
