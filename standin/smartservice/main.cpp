// Stand-in of the suite's smart service: one program that installs itself as the service "IntelligentService_SVR"
// ("/install": automatic start, its own path registered in quotes), removes it again ("/uninstall") and, started
// by the service control manager, runs as that service (or as any other service registered with its path).
//
// It appends what it does to "log.txt" beside itself. "behaviour.ini" beside it, when present, changes how it
// starts, stops and pauses (lines "key = value"):
//   start = quick | slow | hang | nohint    quick: running at once; slow: `steps` check points, one every half
//   stop  = quick | slow | hang              `hint`; hang: pending with one check point for `hold` ms; nohint:
//                                            pending with a wait hint of 0 and one check point for `hold` ms
//   hint  = 300     wait hint of the pending states in ms
//   steps = 5       check points of a slow start or stop
//   hold  = 3000    ms that hang and nohint stay pending before they go on
//   pause = accept | refuse                  refuse: pause and continue are not offered
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

const wchar_t kServiceName[] = L"IntelligentService_SVR";
const wchar_t kDisplayName[] = L"Zelto Intelligent Service";
// A quick start or stop is over within this.
constexpr DWORD kQuickHintMs = 100;

struct Behaviour {
    std::wstring start = L"quick";
    std::wstring stop = L"quick";
    DWORD hint = 300;
    DWORD steps = 5;
    DWORD hold = 3000;
    bool refusePause = false;
};

std::wstring Folder() {
    wchar_t path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    return std::wstring(path, n);
}

void Log(const std::wstring& text) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t stamp[64];
    swprintf(stamp, 64, L"%04u-%02u-%02u %02u:%02u:%02u.%03u ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, t.wMilliseconds);
    const std::wstring line = stamp + text + L"\r\n";
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr, nullptr);
    HANDLE file = CreateFileW((Folder() + L"log.txt").c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring Trim(const std::wstring& s) {
    const size_t a = s.find_first_not_of(L" \t\r\n");
    if (a == std::wstring::npos) return L"";
    const size_t b = s.find_last_not_of(L" \t\r\n");
    return s.substr(a, b - a + 1);
}

Behaviour ReadBehaviour() {
    Behaviour b;
    FILE* file = _wfopen((Folder() + L"behaviour.ini").c_str(), L"rt");
    if (!file) return b;
    char raw[256];
    while (fgets(raw, sizeof raw, file)) {
        std::wstring line(raw, raw + strlen(raw));
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) continue;
        const std::wstring key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (key == L"start") b.start = value;
        if (key == L"stop") b.stop = value;
        if (key == L"hint") b.hint = static_cast<DWORD>(_wtoi(value.c_str()));
        if (key == L"steps") b.steps = static_cast<DWORD>(_wtoi(value.c_str()));
        if (key == L"hold") b.hold = static_cast<DWORD>(_wtoi(value.c_str()));
        if (key == L"pause") b.refusePause = value == L"refuse";
    }
    fclose(file);
    return b;
}

// ---- the service ----------------------------------------------------------------------------------------------------

struct Service {
    std::wstring name;
    Behaviour behaviour;
    SERVICE_STATUS_HANDLE handle = nullptr;
    SERVICE_STATUS status{};
    CRITICAL_SECTION lock;
    HANDLE stopRequested = nullptr;
} g;

void Report(DWORD state, DWORD checkPoint = 0, DWORD waitHint = 0) {
    EnterCriticalSection(&g.lock);
    g.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g.status.dwCurrentState = state;
    g.status.dwCheckPoint = checkPoint;
    g.status.dwWaitHint = waitHint;
    switch (state) {
        case SERVICE_RUNNING:
        case SERVICE_PAUSED:
            g.status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN |
                                          (g.behaviour.refusePause ? 0 : SERVICE_ACCEPT_PAUSE_CONTINUE);
            break;
        default:
            g.status.dwControlsAccepted = 0;
            break;
    }
    SetServiceStatus(g.handle, &g.status);
    LeaveCriticalSection(&g.lock);
}

// Waits ms or until a stop is requested; true when a stop was requested.
bool Hold(DWORD ms) {
    return WaitForSingleObject(g.stopRequested, ms) == WAIT_OBJECT_0;
}

// The pending phase of a start or a stop as the behaviour says; false when a stop request cut a start short.
bool Pending(DWORD state, const std::wstring& how, bool stoppable) {
    const Behaviour& b = g.behaviour;
    auto hold = [&](DWORD ms) { return stoppable ? Hold(ms) : (Sleep(ms), false); };
    if (how == L"slow") {
        for (DWORD step = 1; step <= b.steps; ++step) {
            Report(state, step, b.hint);
            if (hold(b.hint / 2)) return false;
        }
    } else if (how == L"hang") {
        Report(state, 1, b.hint);
        if (hold(b.hold)) return false;
    } else if (how == L"nohint") {
        Report(state, 1, 0);
        if (hold(b.hold)) return false;
    } else {
        Report(state, 1, kQuickHintMs);
    }
    return true;
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            Log(g.name + L": stop requested");
            Report(SERVICE_STOP_PENDING, 1, g.behaviour.hint);
            SetEvent(g.stopRequested);
            return NO_ERROR;
        case SERVICE_CONTROL_PAUSE:
            Report(SERVICE_PAUSED);
            Log(g.name + L": paused");
            return NO_ERROR;
        case SERVICE_CONTROL_CONTINUE:
            Report(SERVICE_RUNNING);
            Log(g.name + L": continued");
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD argc, wchar_t** argv) {
    g.name = argc > 0 && argv[0] ? argv[0] : kServiceName;
    g.handle = RegisterServiceCtrlHandlerExW(g.name.c_str(), Control, nullptr);
    if (!g.handle) return;
    g.behaviour = ReadBehaviour();
    Log(g.name + L": starting (" + g.behaviour.start + L")");
    if (Pending(SERVICE_START_PENDING, g.behaviour.start, true)) {
        Report(SERVICE_RUNNING);
        Log(g.name + L": running");
        WaitForSingleObject(g.stopRequested, INFINITE);
    }
    Pending(SERVICE_STOP_PENDING, g.behaviour.stop, false);
    Log(g.name + L": stopped");
    Report(SERVICE_STOPPED);
}

// ---- installing
// -------------------------------------------------------------------------------------------------------

int Fail(const std::wstring& what) {
    Log(L"/install or /uninstall: " + what + L" failed with error " + std::to_wstring(GetLastError()));
    return 1;
}

int Install() {
    SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE);
    if (!scm) return Fail(L"OpenSCManager");
    // A path with blanks is registered in quotes, so that the system does not start a shorter path's program.
    const std::wstring command = L"\"" + OwnPath() + L"\"";
    int result = 0;
    if (SC_HANDLE existing = OpenServiceW(scm, kServiceName, SERVICE_CHANGE_CONFIG)) {
        if (!ChangeServiceConfigW(existing, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                  command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, kDisplayName))
            result = Fail(L"ChangeServiceConfig");
        CloseServiceHandle(existing);
    } else if (SC_HANDLE created = CreateServiceW(scm, kServiceName, kDisplayName, SERVICE_QUERY_STATUS,
                                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                                  command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr)) {
        CloseServiceHandle(created);
    } else {
        result = Fail(L"CreateService");
    }
    CloseServiceHandle(scm);
    if (result == 0) Log(std::wstring(kServiceName) + L": installed as " + command);
    return result;
}

int Uninstall() {
    SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!scm) return Fail(L"OpenSCManager");
    int result = 0;
    SC_HANDLE service = OpenServiceW(scm, kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (!service) {
        result = Fail(L"OpenService");
    } else {
        SERVICE_STATUS status{};
        if (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED) {
            ControlService(service, SERVICE_CONTROL_STOP, &status);
            for (int i = 0; i < 100 && QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED;
                 ++i)
                Sleep(100);
        }
        if (!DeleteService(service)) result = Fail(L"DeleteService");
        CloseServiceHandle(service);
        // The name is free once the system has let go of the service: an /install that follows may take it.
        for (int i = 0; i < 50 && result == 0; ++i) {
            SC_HANDLE still = OpenServiceW(scm, kServiceName, SERVICE_QUERY_STATUS);
            if (!still) break;
            CloseServiceHandle(still);
            Sleep(100);
        }
    }
    CloseServiceHandle(scm);
    if (result == 0) Log(std::wstring(kServiceName) + L": uninstalled");
    return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring option = argc > 1 ? argv[1] : L"";
    LocalFree(argv);
    if (_wcsicmp(option.c_str(), L"/install") == 0) return Install();
    if (_wcsicmp(option.c_str(), L"/uninstall") == 0) return Uninstall();

    InitializeCriticalSection(&g.lock);
    g.stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t empty[] = L"";
    SERVICE_TABLE_ENTRYW table[] = {{empty, ServiceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherW(table)) {
        Log(L"not started by the service control manager (use /install or /uninstall)");
        return 2;
    }
    return 0;
}
