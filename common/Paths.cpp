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
size_t ExtensionDot(const std::wstring& path) {
    const size_t dot = path.find_last_of(L".\\/:");
    return dot != std::wstring::npos && path[dot] == L'.' ? dot : std::wstring::npos;
}
}  // namespace

std::wstring ExtractFilePath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ExtractFileExt(const std::wstring& path) {
    const size_t dot = ExtensionDot(path);
    return dot == std::wstring::npos ? std::wstring() : path.substr(dot);
}

std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& ext) {
    const size_t dot = ExtensionDot(path);
    return (dot == std::wstring::npos ? path : path.substr(0, dot)) + ext;
}

bool SameFileName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace zz
