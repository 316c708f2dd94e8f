#include "platform/BaseClasses_UNT.h"

#include <vector>

#include "common/Error.h"

namespace {

std::wstring RelativePath(const std::wstring& key) {
    return !key.empty() && key.front() == L'\\' ? key.substr(1) : key;
}

}  // namespace

LSTATUS TCustomRegistry::OpenKey(const std::wstring& Key, bool CanCreate) {
    CloseKey();
    const std::wstring path = RelativePath(Key);
    if (CanCreate) {
        return RegCreateKeyExW(FRootKey, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess, nullptr,
                               FCurrentKey.put(), nullptr);
    }
    return RegOpenKeyExW(FRootKey, path.c_str(), 0, FAccess, FCurrentKey.put());
}

bool TCustomRegistry::KeyExists(HKEY ARootKey, const std::wstring& Key) {
    FRootKey = ARootKey;
    zz::unique_hkey key;
    const LSTATUS status = RegOpenKeyExW(FRootKey, RelativePath(Key).c_str(), 0, KEY_READ, key.put());
    // A key that this user may not read is there all the same.
    return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

bool TCustomRegistry::ValueExists(HKEY ARootKey, const std::wstring& AKey, const std::wstring& Name) {
    FRootKey = ARootKey;
    if (OpenKey(AKey, false) != ERROR_SUCCESS) return false;
    const bool exists =
        RegQueryValueExW(FCurrentKey.get(), Name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    CloseKey();
    return exists;
}

std::wstring TCustomRegistry::Read(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field) {
    FRootKey = ARootKey;
    std::wstring result;
    if (OpenKey(Key, false) == ERROR_SUCCESS) {
        DWORD type = 0, size = 0;
        LSTATUS status = RegQueryValueExW(FCurrentKey.get(), Field.c_str(), nullptr, &type, nullptr, &size);
        // The value may grow between the two calls: ask again with the size the registry reports.
        std::vector<BYTE> data;
        while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
            data.resize(size + sizeof(wchar_t));
            size = static_cast<DWORD>(data.size());
            status = RegQueryValueExW(FCurrentKey.get(), Field.c_str(), nullptr, &type, data.data(), &size);
            if (status == ERROR_SUCCESS) break;
        }
        if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            result.assign(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
            const std::size_t end = result.find(L'\0');
            if (end != std::wstring::npos) result.resize(end);
        }
    }
    CloseKey();
    return result;
}

std::int32_t TCustomRegistry::ReadDWord(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field) {
    FRootKey = ARootKey;
    std::int32_t result = 0;
    if (OpenKey(Key, false) == ERROR_SUCCESS) {
        DWORD type = 0, data = 0, size = sizeof data;
        if (RegQueryValueExW(FCurrentKey.get(), Field.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof data)
            result = static_cast<std::int32_t>(data);
    }
    CloseKey();
    return result;
}

void TCustomRegistry::OpenKeyForWriting(const std::wstring& Key) {
    const LSTATUS status = OpenKey(Key, true);
    if (status != ERROR_SUCCESS) zz::ThrowLastError(L"Failed to create key " + Key + L". ", status);
}

void TCustomRegistry::SetData(const std::wstring& Field, DWORD Type, const void* Data, DWORD Size) {
    const LSTATUS status =
        RegSetValueExW(FCurrentKey.get(), Field.c_str(), 0, Type, static_cast<const BYTE*>(Data), Size);
    CloseKey();
    if (status != ERROR_SUCCESS) zz::ThrowLastError(L"Failed to set data for '" + Field + L"'. ", status);
}

void TCustomRegistry::Write(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field,
                            const std::wstring& Value) {
    FRootKey = ARootKey;
    OpenKeyForWriting(Key);
    SetData(Field, REG_SZ, Value.c_str(), static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
}

void TCustomRegistry::WriteDword(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field,
                                 std::int32_t Value) {
    FRootKey = ARootKey;
    OpenKeyForWriting(Key);
    const DWORD data = static_cast<DWORD>(Value);
    SetData(Field, REG_DWORD, &data, sizeof data);
}

void TCustomRegistry::Delete(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field) {
    FRootKey = ARootKey;
    if (OpenKey(Key, true) == ERROR_SUCCESS) RegDeleteValueW(FCurrentKey.get(), Field.c_str());
    CloseKey();
}
