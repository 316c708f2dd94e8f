#include "tests/support/TempRegistryKey.h"

#include <stdexcept>
#include <vector>

namespace {

const wchar_t* const kParent = L"Software\\ZariZovuTests";

}  // namespace

TempRegistryKey::TempRegistryKey(TMode mode) {
    static int counter = 0;
    const std::wstring relative =
        std::wstring(kParent) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    path_ = L"\\" + relative;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key_.put(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the test's registry key");
    if (mode == AsCurrentUser) {
        if (RegOverridePredefKey(HKEY_CURRENT_USER, key_.get()) != ERROR_SUCCESS)
            throw std::runtime_error("cannot let HKEY_CURRENT_USER stand for the test's key");
        redirected_ = true;
    }
}

TempRegistryKey::~TempRegistryKey() {
    if (redirected_) RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    key_.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.substr(1).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path_.substr(1).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kParent);  // only when no other test's key is left in it
}

void TempRegistryKey::CreateVolatile(const std::wstring& relativePath) const {
    zz::unique_hkey key;
    if (RegCreateKeyExW(key_.get(), relativePath.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create a volatile key");
}

bool TempRegistryKey::Exists(const std::wstring& relativePath) const {
    zz::unique_hkey key;
    return RegOpenKeyExW(key_.get(), relativePath.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::wstring TempRegistryKey::Value(const std::wstring& relativePath, const std::wstring& name, DWORD* type) const {
    DWORD kind = 0, size = 0;
    if (RegGetValueW(key_.get(), relativePath.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &kind, nullptr,
                     &size) != ERROR_SUCCESS)
        return L"<missing>";
    std::vector<BYTE> data(size + sizeof(wchar_t));
    size = static_cast<DWORD>(data.size());
    if (RegGetValueW(key_.get(), relativePath.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &kind, data.data(),
                     &size) != ERROR_SUCCESS)
        return L"<missing>";
    if (type) *type = kind;
    if (kind == REG_DWORD) return std::to_wstring(*reinterpret_cast<const DWORD*>(data.data()));
    if (kind == REG_SZ || kind == REG_EXPAND_SZ) return reinterpret_cast<const wchar_t*>(data.data());
    return L"<type " + std::to_wstring(kind) + L">";
}

void TempRegistryKey::SetString(const std::wstring& relativePath, const std::wstring& name,
                                const std::wstring& data) const {
    if (RegSetKeyValueW(key_.get(), relativePath.c_str(), name.c_str(), REG_SZ, data.c_str(),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write a test value");
}

std::vector<std::wstring> TempRegistryKey::ValueNames(const std::wstring& relativePath) const {
    std::vector<std::wstring> names;
    zz::unique_hkey key;
    if (RegOpenKeyExW(key_.get(), relativePath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}
