#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/Handle.h"

// One registry task per call: each operation selects a root key, opens one key, acts on one value and closes the
// key again. Key paths are taken from the root key; a leading backslash is allowed ("\Control Panel\International").
class TCustomRegistry {
public:
    TCustomRegistry() = default;
    TCustomRegistry(const TCustomRegistry&) = delete;
    TCustomRegistry& operator=(const TCustomRegistry&) = delete;

    bool KeyExists(HKEY ARootKey, const std::wstring& Key);
    // false when the key cannot be opened; a missing key is not created.
    bool ValueExists(HKEY ARootKey, const std::wstring& AKey, const std::wstring& Name);
    // "" when the key cannot be opened, the value is missing or is no string.
    std::wstring Read(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field);
    // 0 when the key cannot be opened, the value is missing or is no 32-bit value.
    std::int32_t ReadDWord(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field);
    // Create the key (and its missing parents) when needed and store the value, replacing one of that name.
    // Raise zz::Error with the registry's message when the key can be neither opened nor created, or the value
    // cannot be stored.
    void Write(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field, const std::wstring& Value);
    void WriteDword(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field, std::int32_t Value);
    // Opens the key, creating it when it does not exist, and deletes the value; a missing value, or a key that can
    // be neither opened nor created, is no error.
    void Delete(HKEY ARootKey, const std::wstring& Key, const std::wstring& Field);

    REGSAM Access() const noexcept { return FAccess; }
    HKEY RootKey() const noexcept { return FRootKey; }

private:
    // Opens Key below the selected root with the access rights, creating it when asked; the registry's error code
    // (ERROR_SUCCESS when the key is open).
    LSTATUS OpenKey(const std::wstring& Key, bool CanCreate);
    void OpenKeyForWriting(const std::wstring& Key);
    void SetData(const std::wstring& Field, DWORD Type, const void* Data, DWORD Size);
    void CloseKey() noexcept { FCurrentKey.reset(); }

    HKEY FRootKey = HKEY_CURRENT_USER;
    REGSAM FAccess = KEY_ALL_ACCESS;
    zz::unique_hkey FCurrentKey;
};
