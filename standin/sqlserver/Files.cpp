#include "Files.h"

#include <windows.h>

#include "Handles.h"
#include "Text.h"

namespace standin::files {

namespace {
thread_local uint32_t g_lastError = 0;

bool fail() {
    g_lastError = ::GetLastError();
    return false;
}
}  // namespace

uint32_t lastError() {
    return g_lastError;
}

std::string osErrorText(uint32_t code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return "The system cannot find the file specified.";
        case ERROR_PATH_NOT_FOUND:
            return "The system cannot find the path specified.";
        case ERROR_ACCESS_DENIED:
            return "Access is denied.";
        case ERROR_SHARING_VIOLATION:
            return "The process cannot access the file because it is being used by another process.";
        case ERROR_FILE_EXISTS:
            return "The file exists.";
        case ERROR_INVALID_NAME:
            return "The filename, directory name, or volume label syntax is incorrect.";
        case ERROR_HANDLE_EOF:
            return "Reached the end of the file.";
        case ERROR_DISK_FULL:
            return "There is not enough space on the disk.";
        default:
            return "Unknown error.";
    }
}

bool exists(const std::string& path) {
    if (path.empty()) return false;
    return ::GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isDirectory(const std::string& path) {
    DWORD a = ::GetFileAttributesW(widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string parent(const std::string& path) {
    size_t at = path.find_last_of("\\/");
    if (at == std::string::npos) return {};
    if (at == 2 && path[1] == ':') return path.substr(0, 3);  // C:\ stays a root
    return path.substr(0, at);
}

std::string fileName(const std::string& path) {
    size_t at = path.find_last_of("\\/");
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::optional<uint64_t> size(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!::GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &d)) {
        fail();
        return std::nullopt;
    }
    return (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

std::optional<Bytes> read(const std::string& path) {
    UniqueFile f(::CreateFileW(widen(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) {
        fail();
        return std::nullopt;
    }
    LARGE_INTEGER sz;
    if (!::GetFileSizeEx(f.get(), &sz)) {
        fail();
        return std::nullopt;
    }
    Bytes data(static_cast<size_t>(sz.QuadPart));
    size_t got = 0;
    while (got < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - got, 1u << 24));
        DWORD n = 0;
        if (!::ReadFile(f.get(), data.data() + got, chunk, &n, nullptr)) {
            fail();
            return std::nullopt;
        }
        if (n == 0) break;
        got += n;
    }
    data.resize(got);
    return data;
}

bool writeAtomically(const std::string& path, const Bytes& data) {
    const std::wstring target = widen(path);
    const std::wstring temp = target + L".zztmp";
    {
        UniqueFile f(
            ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) return fail();
        size_t put = 0;
        while (put < data.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - put, 1u << 24));
            DWORD n = 0;
            if (!::WriteFile(f.get(), data.data() + put, chunk, &n, nullptr)) {
                fail();
                f.reset();
                ::DeleteFileW(temp.c_str());
                return false;
            }
            put += n;
        }
        ::FlushFileBuffers(f.get());
    }
    if (!::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        fail();
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

bool remove(const std::string& path) {
    return ::DeleteFileW(widen(path).c_str()) ? true : fail();
}

bool makeDirectories(const std::string& path) {
    if (path.empty() || isDirectory(path)) return true;
    std::string up = parent(path);
    if (!up.empty() && up != path && !makeDirectories(up)) return false;
    return ::CreateDirectoryW(widen(path).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS ? true : fail();
}

bool samePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] == '/' ? '\\' : a[i];
        char y = b[i] == '/' ? '\\' : b[i];
        if (!equalsNoCase(std::string_view(&x, 1), std::string_view(&y, 1))) return false;
    }
    return true;
}

}  // namespace standin::files
