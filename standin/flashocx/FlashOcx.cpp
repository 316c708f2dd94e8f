// Plays the component file "Flash.ocx" on the workstation: an in-process COM server whose registration adds its
// class and program identifier, and whose unregistration removes them again. Its one class does nothing.
#include <windows.h>

#include <string>

#include "common/Handle.h"

namespace {

const wchar_t* const kClsid = L"{6A3C1E52-8F0B-4D7E-9C21-5B7A2E3F4D10}";
const wchar_t* const kProgId = L"ZeltoStandIn.FlashComponent";
const wchar_t* const kDescription = L"Zelto workstation component";

HMODULE self = nullptr;

LSTATUS SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    zz::unique_hkey k;
    LSTATUS status = RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, k.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsid;
    LSTATUS status = SetString(HKEY_CLASSES_ROOT, clsidKey, nullptr, kDescription);
    if (status == ERROR_SUCCESS)
        status = SetString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", nullptr, std::wstring(path, n));
    if (status == ERROR_SUCCESS) status = SetString(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", nullptr, kProgId);
    if (status == ERROR_SUCCESS) status = SetString(HKEY_CLASSES_ROOT, kProgId, nullptr, kDescription);
    if (status == ERROR_SUCCESS) status = SetString(HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\CLSID", nullptr, kClsid);
    return HRESULT_FROM_WIN32(status);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsid).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
    if (object) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return S_OK;
}
