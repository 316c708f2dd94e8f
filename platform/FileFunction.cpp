#include "platform/FileFunction.h"

#include <windows.h>

#include "common/Error.h"
#include "common/Handle.h"
#include "common/Text.h"

void ExtractResourceToFile(const std::wstring& filePath, const std::wstring& resourceName) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, resourceName.c_str(), RT_RCDATA);
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw zz::Error(zz::FormatS(L"Resource %s not found", resourceName));
    DWORD size = SizeofResource(module, info);

    zz::unique_file file(
        CreateFileW(filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD code = GetLastError();
        throw zz::Error(L"Cannot create file \"" + filePath + L"\". " + zz::SystemErrorText(code));
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes, size, &written, nullptr) || written != size) {
        DWORD code = GetLastError();
        file.reset();
        DeleteFileW(filePath.c_str());  // never leave a cut-off program behind
        throw zz::Error(L"Cannot create file \"" + filePath + L"\". " + zz::SystemErrorText(code));
    }
}

namespace {

[[noreturn]] void CannotCreate(const std::wstring& filePath, DWORD code) {
    throw zz::Error(L"Cannot create file \"" + filePath + L"\". " + zz::SystemErrorText(code), code);
}

}  // namespace

std::string ReadWholeFile(const std::wstring& filePath) {
    zz::unique_file file(CreateFileW(filePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    BOOL ok = static_cast<bool>(file);
    while (ok && (ok = ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) && read > 0)
        bytes.append(buffer, read);
    if (!ok) {
        const DWORD code = GetLastError();
        throw zz::Error(L"Cannot open file \"" + filePath + L"\". " + zz::SystemErrorText(code), code);
    }
    return bytes;
}

void ReplaceWholeFile(const std::wstring& filePath, const std::string& bytes) {
    const std::size_t slash = filePath.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : filePath.substr(0, slash);
    wchar_t temp[MAX_PATH];
    if (!GetTempFileNameW(folder.c_str(), L"zz~", 0, temp)) CannotCreate(filePath, GetLastError());
    {
        zz::unique_file file(
            CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(file.get())) {
            const DWORD code = GetLastError();
            file.reset();
            DeleteFileW(temp);
            CannotCreate(filePath, code);
        }
    }
    if (!MoveFileExW(temp, filePath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        DeleteFileW(temp);
        CannotCreate(filePath, code);
    }
}
