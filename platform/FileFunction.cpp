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

std::string zz::ReadFileBytes(const std::wstring& path) {
    zz::unique_file file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD code = GetLastError();
        throw zz::Error(L"Cannot open file \"" + path + L"\". " + zz::SystemErrorText(code), code);
    }
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    for (;;) {
        if (!ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) {
            DWORD code = GetLastError();
            throw zz::Error(L"Cannot read file \"" + path + L"\". " + zz::SystemErrorText(code), code);
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    return bytes;
}
