#include "platform/WMI_UNT.h"

#include <windows.h>
#include <oleauto.h>
#include <wbemidl.h>

#include "common/Handle.h"

namespace {

// A BSTR owned for the length of a call.
class TBStr {
public:
    explicit TBStr(const std::wstring& text) : FValue(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    TBStr(const TBStr&) = delete;
    TBStr& operator=(const TBStr&) = delete;
    ~TBStr() { SysFreeString(FValue); }
    BSTR get() const noexcept { return FValue; }

private:
    BSTR FValue;
};

class TVariant {
public:
    TVariant() noexcept { VariantInit(&FValue); }
    TVariant(const TVariant&) = delete;
    TVariant& operator=(const TVariant&) = delete;
    ~TVariant() { VariantClear(&FValue); }
    VARIANT* get() noexcept { return &FValue; }
    const VARIANT& operator*() const noexcept { return FValue; }

private:
    VARIANT FValue;
};

// The value as text; false when it has none (arrays, objects).
bool AsText(const VARIANT& value, std::wstring& text) {
    switch (value.vt) {
        case VT_EMPTY:
        case VT_NULL:
            text.clear();
            return true;
        case VT_BSTR:
            text.assign(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
            return true;
        case VT_BOOL:
            text = value.boolVal ? L"True" : L"False";
            return true;
        case VT_I1:
            text = std::to_wstring(value.cVal);
            return true;
        case VT_UI1:
            text = std::to_wstring(value.bVal);
            return true;
        case VT_I2:
            text = std::to_wstring(value.iVal);
            return true;
        case VT_UI2:
            text = std::to_wstring(value.uiVal);
            return true;
        case VT_I4:
            text = std::to_wstring(value.lVal);
            return true;
        case VT_UI4:
            text = std::to_wstring(value.ulVal);
            return true;
        case VT_INT:
            text = std::to_wstring(value.intVal);
            return true;
        case VT_UINT:
            text = std::to_wstring(value.uintVal);
            return true;
        case VT_I8:
            text = std::to_wstring(value.llVal);
            return true;
        case VT_UI8:
            text = std::to_wstring(value.ullVal);
            return true;
        default:
            break;
    }
    // Reals, dates and the like: the system's own conversion, independent of the user's settings.
    TVariant converted;
    if (FAILED(VariantChangeTypeEx(converted.get(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR)))
        return false;
    return AsText(*converted, text);
}

}  // namespace

std::wstring GetWMIProperty(const std::wstring& host, const std::wstring& className, const std::wstring& propertyName) {
    std::wstring result;
    // A thread where COM already runs in another model keeps it; the calls below work in either.
    zz::ComScope com;

    zz::unique_com<IWbemLocator> locator;
    if (FAILED(
            CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, locator.put_void())))
        return result;
    const TBStr path(host.empty() ? std::wstring(L"root\\cimv2") : L"\\\\" + host + L"\\root\\cimv2");
    zz::unique_com<IWbemServices> services;
    if (FAILED(locator->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.put())))
        return result;
    // The providers answer only a caller they may impersonate; the default level of the process may be lower.
    CoSetProxyBlanket(services.get(), RPC_C_AUTHN_DEFAULT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);

    const TBStr language(L"WQL");
    const TBStr query(L"SELECT * FROM " + className);
    zz::unique_com<IEnumWbemClassObject> objects;
    if (FAILED(services->ExecQuery(language.get(), query.get(), 0, nullptr, objects.put()))) return result;
    CoSetProxyBlanket(objects.get(), RPC_C_AUTHN_DEFAULT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);

    zz::unique_com<IWbemClassObject> first;
    ULONG returned = 0;
    if (FAILED(objects->Next(WBEM_INFINITE, 1, first.put(), &returned)) || returned == 0 || !first) return result;
    TVariant value;
    if (FAILED(first->Get(propertyName.c_str(), 0, value.get(), nullptr, nullptr))) return result;
    std::wstring text;
    if (AsText(*value, text)) result = text;
    return result;
}
