#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/Handle.h"

// A throw-away key below HKEY_CURRENT_USER\Software\ZariZovuTests, removed with everything in it at the end.
// Made AsCurrentUser, HKEY_CURRENT_USER itself stands for this key in this process for the key's lifetime, so that
// code writing fixed paths of the current user ("\Control Panel\International") writes here instead.
class TempRegistryKey {
public:
    enum TMode { Plain, AsCurrentUser };
    explicit TempRegistryKey(TMode mode = Plain);
    TempRegistryKey(const TempRegistryKey&) = delete;
    TempRegistryKey& operator=(const TempRegistryKey&) = delete;
    ~TempRegistryKey();

    // The key's path from the real HKEY_CURRENT_USER, beginning with a backslash.
    const std::wstring& Path() const { return path_; }
    HKEY Key() const { return key_.get(); }

    // Makes a volatile key at a path inside this key: the registry refuses to create lasting keys below it.
    void CreateVolatile(const std::wstring& relativePath) const;
    bool Exists(const std::wstring& relativePath) const;
    // A value below this key: its type and data as text (a string, or a 32-bit value in decimal); "<missing>".
    std::wstring Value(const std::wstring& relativePath, const std::wstring& name, DWORD* type = nullptr) const;
    void SetString(const std::wstring& relativePath, const std::wstring& name, const std::wstring& data) const;
    // The names of a key's values in the registry's order.
    std::vector<std::wstring> ValueNames(const std::wstring& relativePath) const;

private:
    std::wstring path_;
    zz::unique_hkey key_;
    bool redirected_ = false;
};
