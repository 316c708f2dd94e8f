#include "platform/Services_UNT.h"

#include <shellapi.h>

#include "common/Handle.h"
#include "common/Text.h"
#include "platform/MessageLoop.h"

namespace {

DWORD lastLookupError = 0;

std::int32_t RunServiceCommand(const std::wstring& serviceName, const std::wstring& machineName,
                               const wchar_t* netVerb, const wchar_t* scVerb) {
    DWORD error = 0;
    QueryServiceState(serviceName, machineName, error);
    if (error != 0) return static_cast<std::int32_t>(error);
    if (machineName.empty()) {
        ExecuteAndWait(L"net", netVerb + serviceName, false);
    } else {
        ExecuteAndWait(L"sc", L"\\\\" + machineName + scVerb + serviceName, false);
    }
    return 0;
}

}  // namespace

bool ExecuteAndWait(const std::wstring& program, const std::wstring& parameters, bool shown) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // A program that cannot be started is not reported: the system's own error box would stop the caller.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = zz::MessageLoop::Owner();
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = shown ? SW_SHOWNORMAL : SW_HIDE;
    if (!ShellExecuteExW(&info)) return false;
    zz::unique_handle process(info.hProcess);
    if (!process) return true;  // handed to a program that was already running: nothing to wait for
    // Sleeps until the program ends or a message arrives; messages are handled as they come.
    for (;;) {
        if (!zz::MessageLoop::ProcessPending()) break;
        DWORD r = MsgWaitForMultipleObjectsEx(1, reinterpret_cast<HANDLE*>(&info.hProcess), INFINITE, QS_ALLINPUT,
                                              MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
    }
    return true;
}

SERVICE_STATUS QueryServiceState(const std::wstring& serviceName, const std::wstring& machineName,
                                 DWORD& errorCode) {
    SERVICE_STATUS status{};
    zz::unique_schandle manager(
        OpenSCManagerW(machineName.empty() ? nullptr : machineName.c_str(), nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        errorCode = lastLookupError = GetLastError();
        return status;
    }
    errorCode = 0;
    const std::string ansiName = zz::ToAnsi(serviceName);
    zz::unique_schandle service(OpenServiceA(manager.get(), ansiName.c_str(), SERVICE_QUERY_STATUS));
    if (!service) errorCode = GetLastError();
    if (service) QueryServiceStatus(service.get(), &status);
    lastLookupError = errorCode;
    return status;
}

bool IsServiceRunning(const std::wstring& serviceName, const std::wstring& machineName) {
    DWORD error = 0;
    SERVICE_STATUS status = QueryServiceState(serviceName, machineName, error);
    return status.dwCurrentState == SERVICE_RUNNING;
}

std::int32_t StopServiceByCommand(const std::wstring& serviceName, const std::wstring& machineName) {
    return RunServiceCommand(serviceName, machineName, L"Stop ", L" Stop ");
}

std::int32_t StartServiceByCommand(const std::wstring& serviceName, const std::wstring& machineName) {
    return RunServiceCommand(serviceName, machineName, L"start ", L" start ");
}

DWORD LastServiceLookupError() {
    return lastLookupError;
}
