#include "Service.h"

#include <windows.h>

#include "Handles.h"
#include "Text.h"

namespace standin::service {

namespace {

constexpr DWORD kWaitHintMs = 5000;

// The control manager calls back into plain functions; one service per process keeps this state here.
struct State {
    std::wstring name;
    Hooks hooks;
    SERVICE_STATUS_HANDLE handle = nullptr;
    SERVICE_STATUS status{};
    UniqueHandle stopEvent;
} g;

void report(DWORD state, DWORD exitCode = NO_ERROR) {
    g.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g.status.dwCurrentState = state;
    g.status.dwWin32ExitCode = exitCode;
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    g.status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    g.status.dwCheckPoint = pending ? g.status.dwCheckPoint + 1 : 0;
    g.status.dwWaitHint = pending ? kWaitHintMs : 0;
    ::SetServiceStatus(g.handle, &g.status);
}

DWORD WINAPI control(DWORD code, DWORD, void*, void*) {
    switch (code) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            g.status.dwCheckPoint = 0;
            report(SERVICE_STOP_PENDING);
            ::SetEvent(g.stopEvent.get());
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            ::SetServiceStatus(g.handle, &g.status);
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI serviceMain(DWORD, LPWSTR*) {
    g.handle = ::RegisterServiceCtrlHandlerExW(g.name.c_str(), control, nullptr);
    if (!g.handle) return;
    g.stopEvent.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    g.status.dwCheckPoint = 0;
    report(SERVICE_START_PENDING);
    try {
        g.hooks.start([] { report(SERVICE_START_PENDING); });
    } catch (const std::exception&) {
        report(SERVICE_STOPPED, ERROR_SERVICE_SPECIFIC_ERROR);
        return;
    }
    report(SERVICE_RUNNING);
    ::WaitForSingleObject(g.stopEvent.get(), INFINITE);
    if (g.status.dwCurrentState != SERVICE_STOP_PENDING) {
        g.status.dwCheckPoint = 0;
        report(SERVICE_STOP_PENDING);
    }
    try {
        g.hooks.stop([] { report(SERVICE_STOP_PENDING); });
    } catch (const std::exception&) {
    }
    report(SERVICE_STOPPED);
}

}  // namespace

bool run(const std::wstring& name, Hooks hooks) {
    g.name = name;
    g.hooks = std::move(hooks);
    SERVICE_TABLE_ENTRYW table[] = {{g.name.data(), serviceMain}, {nullptr, nullptr}};
    return ::StartServiceCtrlDispatcherW(table) != FALSE;
}

namespace {
std::wstring lastErrorText(const wchar_t* what) {
    return std::wstring(what) + L" failed with error " + std::to_wstring(::GetLastError());
}
}  // namespace

bool install(const std::wstring& name, const std::wstring& displayName, const std::wstring& commandLine, bool autoStart,
             std::wstring& error) {
    UniqueServiceHandle scm(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!scm) return error = lastErrorText(L"OpenSCManager"), false;
    UniqueServiceHandle existing(::OpenServiceW(scm.get(), name.c_str(), SERVICE_ALL_ACCESS));
    if (existing) {
        // Re-installing points the service at the new command line.
        if (!::ChangeServiceConfigW(existing.get(), SERVICE_WIN32_OWN_PROCESS,
                                    autoStart ? SERVICE_AUTO_START : SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                    commandLine.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                    displayName.c_str()))
            return error = lastErrorText(L"ChangeServiceConfig"), false;
        return true;
    }
    UniqueServiceHandle svc(
        ::CreateServiceW(scm.get(), name.c_str(), displayName.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                         autoStart ? SERVICE_AUTO_START : SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                         commandLine.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!svc) return error = lastErrorText(L"CreateService"), false;
    return true;
}

bool uninstall(const std::wstring& name, std::wstring& error) {
    UniqueServiceHandle scm(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!scm) return error = lastErrorText(L"OpenSCManager"), false;
    UniqueServiceHandle svc(::OpenServiceW(scm.get(), name.c_str(), SERVICE_ALL_ACCESS | DELETE));
    if (!svc) return error = lastErrorText(L"OpenService"), false;
    SERVICE_STATUS st;
    ::ControlService(svc.get(), SERVICE_CONTROL_STOP, &st);
    if (!::DeleteService(svc.get())) return error = lastErrorText(L"DeleteService"), false;
    return true;
}

}  // namespace standin::service
