#include "platform/ServiceManager_UNT.h"

#include <vector>

#include "common/Error.h"

namespace {

constexpr DWORD kManagerAccess = SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE;        // 0x5
constexpr DWORD kWin32Services = SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS;  // 0x30
constexpr DWORD kAllStates = SERVICE_ACTIVE | SERVICE_INACTIVE;                            // 3
constexpr DWORD kDefaultWaitMs = 5000;
constexpr DWORD kStartTypes[] = {SERVICE_AUTO_START, SERVICE_DEMAND_START, SERVICE_DISABLED};

[[noreturn]] void Fail(const wchar_t* message) {
    throw zz::Error(message);
}

[[noreturn]] void AssertionFailure(int line) {
    throw zz::Error(L"Assertion failure (ServiceManager_UNT, line " + std::to_wstring(line) + L")");
}

std::wstring TextOrEmpty(const wchar_t* text) {
    return text ? std::wstring(text) : std::wstring();
}

// Raw bytes for the platform's variable-length answers (pointers inside point into the same block).
std::vector<unsigned char> Buffer(DWORD size) {
    return std::vector<unsigned char>(size ? size : 1);
}

}  // namespace

TServiceStartup ServiceStartupOf(DWORD startType) {
    switch (startType) {
        case SERVICE_AUTO_START:
            return ssAutomatic;
        case SERVICE_DEMAND_START:
            return ssManual;
        case SERVICE_DISABLED:
            return ssDisabled;
        default:
            Fail(L"Service Start Type unknown");
    }
}

// ---- TServiceInfo -------------------------------------------------------------------------------------------------

TServiceInfo::~TServiceInfo() = default;

TServiceInfo::THandleScope::THandleScope(TServiceInfo& service, DWORD access)
    : service_(service), opened_(service.AcquireHandle(access)) {}

TServiceInfo::THandleScope::~THandleScope() {
    if (opened_) service_.ReleaseHandle();
}

bool TServiceInfo::AcquireHandle(DWORD access) {
    if (FHandle) return false;  // an open handle is used whatever its rights
    FHandle.reset(OpenServiceW(FServiceManager->Connection(), FServiceName.c_str(), access));
    if (!FHandle) zz::RaiseLastOSError();
    return true;
}

void TServiceInfo::ReleaseHandle() {
    FHandle.reset();
}

void TServiceInfo::QueryStatus() {
    THandleScope handle(*this, SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(FHandle.get(), &status)) zz::RaiseLastOSError();
    FServiceStatus = status;
}

void TServiceInfo::WaitForState(DWORD state) {
    QueryStatus();
    while (FServiceStatus.dwCurrentState != state) {
        const DWORD checkPoint = FServiceStatus.dwCheckPoint;
        Sleep(FServiceStatus.dwWaitHint ? FServiceStatus.dwWaitHint : kDefaultWaitMs);
        QueryStatus();
        if (FServiceStatus.dwCurrentState == state) break;
        if (FServiceStatus.dwCheckPoint == checkPoint) Fail(L"Service did not react within timeframe given");
    }
}

void TServiceInfo::QueryConfig() {
    THandleScope handle(*this, SERVICE_QUERY_CONFIG);
    DWORD needed = 0;
    if (QueryServiceConfigW(FHandle.get(), nullptr, 0, &needed)) AssertionFailure(539);
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) zz::RaiseLastOSError(error);
    std::vector<unsigned char> buffer = Buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!QueryServiceConfigW(FHandle.get(), config, static_cast<DWORD>(buffer.size()), &needed)) zz::RaiseLastOSError();
    if ((config->dwServiceType & kWin32Services) == 0) AssertionFailure(546);
    const bool ownProcess = (config->dwServiceType & kWin32Services) == SERVICE_WIN32_OWN_PROCESS;
    const bool interactive = (config->dwServiceType & SERVICE_INTERACTIVE_PROCESS) != 0;
    const TServiceStartup startType = ServiceStartupOf(config->dwStartType);
    FOwnProcess = ownProcess;
    FInteractive = interactive;
    FStartType = startType;
    FBinaryPath = TextOrEmpty(config->lpBinaryPathName);
    FUserName = TextOrEmpty(config->lpServiceStartName);
    FConfigQueried = true;
}

TServiceState TServiceInfo::State() {
    if (FLive) QueryStatus();
    const DWORD state = FServiceStatus.dwCurrentState;
    if (state < SERVICE_STOPPED || state > SERVICE_PAUSED) Fail(L"Service State unknown");
    return static_cast<TServiceState>(state - SERVICE_STOPPED);
}

TServiceAccepts TServiceInfo::Accepts() {
    if (FLive) QueryStatus();
    TServiceAccepts accepts;
    const DWORD bits = FServiceStatus.dwControlsAccepted;
    if (bits & SERVICE_ACCEPT_STOP) accepts.Include(saStop);
    if (bits & SERVICE_ACCEPT_PAUSE_CONTINUE) accepts.Include(saPauseContinue);
    if (bits & SERVICE_ACCEPT_SHUTDOWN) accepts.Include(saShutdown);
    return accepts;
}

TServiceStartup TServiceInfo::StartType() {
    if (FLive || !FConfigQueried) QueryConfig();
    return FStartType;
}

std::wstring TServiceInfo::BinaryPath() {
    if (FLive || !FConfigQueried) QueryConfig();
    return FBinaryPath;
}

bool TServiceInfo::OwnProcess() {
    if (FLive || !FConfigQueried) QueryConfig();
    return FOwnProcess;
}

bool TServiceInfo::Interactive() {
    if (FLive || !FConfigQueried) QueryConfig();
    return FInteractive;
}

void TServiceInfo::SetStartType(TServiceStartup value) {
    QueryConfig();
    if (value == FStartType) return;
    TServiceManager& manager = *FServiceManager;
    manager.LockDatabase();
    try {
        THandleScope handle(*this, SERVICE_CHANGE_CONFIG);
        if (!ChangeServiceConfigW(FHandle.get(), SERVICE_NO_CHANGE, kStartTypes[value], SERVICE_NO_CHANGE, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
            zz::RaiseLastOSError();
    } catch (...) {
        try {
            manager.UnlockDatabase();
        } catch (...) {
            // the change's own error is the one to report
        }
        throw;
    }
    manager.UnlockDatabase();
    FStartType = value;
}

void TServiceInfo::SetState(TServiceState value) {
    if (!FLive) QueryStatus();
    switch (State()) {
        case ssStartPending:
        case ssContinuePending:
            WaitForState(SERVICE_RUNNING);
            break;
        case ssStopPending:
            WaitForState(SERVICE_STOPPED);
            break;
        case ssPausePending:
            WaitForState(SERVICE_PAUSED);
            break;
        default:
            break;
    }
    const TServiceState s = State();
    switch (value) {
        case ssStopped:
            if (s != ssStopped) ServiceStop(true);
            break;
        case ssRunning:
            if (s == ssStopped) {
                ServiceStart(true);
            } else if (s == ssPaused) {
                ServiceContinue(true);
            }
            break;
        case ssPaused:
            if (s == ssStopped) {
                ServiceStart(true);
                try {
                    ServicePause(true);
                } catch (...) {
                    // Not left running when it was asked to stand still: back to stopped, then the pause's error.
                    ServiceStop(true);
                    throw;
                }
            } else if (s == ssRunning) {
                ServicePause(true);
            }
            break;
        default:
            Fail(L"Cannot set a transitional state in TServiceInfo.");
    }
}

void TServiceInfo::ServiceStart(bool wait) {
    THandleScope handle(*this, SERVICE_START | SERVICE_QUERY_STATUS);
    if (!StartServiceW(FHandle.get(), 0, nullptr)) zz::RaiseLastOSError();
    if (wait) WaitForState(SERVICE_RUNNING);
}

void TServiceInfo::Control(DWORD mask, DWORD control, TServiceAccept needed, const wchar_t* refused, DWORD waitFor,
                           bool wait) {
    THandleScope handle(*this, mask);
    if (!Accepts().Contains(needed)) Fail(refused);
    SERVICE_STATUS discarded{};
    if (!ControlService(FHandle.get(), control, &discarded)) zz::RaiseLastOSError();
    if (wait) WaitForState(waitFor);
}

void TServiceInfo::ServiceStop(bool wait) {
    Control(SERVICE_STOP | SERVICE_QUERY_STATUS, SERVICE_CONTROL_STOP, saStop, L"Service cannot be Stopped",
            SERVICE_STOPPED, wait);
}

void TServiceInfo::ServicePause(bool wait) {
    Control(SERVICE_PAUSE_CONTINUE | SERVICE_QUERY_STATUS, SERVICE_CONTROL_PAUSE, saPauseContinue,
            L"Service cannot be paused", SERVICE_PAUSED, wait);
}

void TServiceInfo::ServiceContinue(bool wait) {
    Control(SERVICE_PAUSE_CONTINUE | SERVICE_QUERY_STATUS, SERVICE_CONTROL_CONTINUE, saPauseContinue,
            L"Service cannot be continued", SERVICE_RUNNING, wait);
}

int TServiceInfo::DependentCount() {
    SearchDependents();
    return static_cast<int>(FDependents.size());
}

void TServiceInfo::SearchDependents() {
    if (FDependentsSearched) return;
    FDependents.clear();
    THandleScope handle(*this, SERVICE_ENUMERATE_DEPENDENTS);
    DWORD needed = 0, count = 0;
    if (EnumDependentServicesW(FHandle.get(), kAllStates, nullptr, 0, &needed, &count)) {
        FDependentsSearched = true;
        return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_MORE_DATA) zz::RaiseLastOSError(error);
    std::vector<unsigned char> buffer = Buffer(needed);
    auto* entries = reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data());
    count = 0;
    if (!EnumDependentServicesW(FHandle.get(), kAllStates, entries, static_cast<DWORD>(buffer.size()), &needed, &count))
        zz::RaiseLastOSError();
    std::vector<TServiceInfo*> dependents;
    dependents.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        dependents.push_back(&FServiceManager->FindService(TextOrEmpty(entries[i].lpServiceName)));
    }
    FDependents = std::move(dependents);
    FDependentsSearched = true;
}

// ---- TServiceManager ----------------------------------------------------------------------------------------------

TServiceManager::~TServiceManager() {
    try {
        SetActive(false);
    } catch (...) {
        // the connection and the lock go with their owners in any case
    }
}

void TServiceManager::SetActive(bool active) {
    if (active) {
        if (FManager) return;
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        if (!GetVersionExW(&version)) zz::RaiseLastOSError();
#pragma GCC diagnostic pop
        if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) Fail(L"This program only works on Windows NT, 2000 or XP");
        const DWORD access = FAllowLocking ? kManagerAccess | SC_MANAGER_LOCK : kManagerAccess;
        FManager.reset(OpenSCManagerW(FMachineName.empty() ? nullptr : FMachineName.c_str(), nullptr, access));
        if (!FManager) zz::RaiseLastOSError();
        RebuildServicesList();
        return;
    }
    if (!FManager) return;
    ClearServicesList();
    try {
        UnlockDatabase();
    } catch (...) {
        FLock.reset();
        FManager.reset();
        throw;
    }
    FManager.reset();
}

void TServiceManager::SetMachineName(const std::wstring& name) {
    if (Active()) Fail(L"Cannot change machine name while active");
    FMachineName = name;
}

void TServiceManager::SetAllowLocking(bool allow) {
    if (Active()) Fail(L"Cannot change allow locking while active");
    FAllowLocking = allow;
}

void TServiceManager::ClearServicesList() {
    FServices.clear();
}

void TServiceManager::RebuildServicesList() {
    if (!Active()) Fail(L"BuildServicesList only works when active");
    ClearServicesList();
    DWORD needed = 0, count = 0, resume = 0;
    if (EnumServicesStatusW(FManager.get(), kWin32Services, kAllStates, nullptr, 0, &needed, &count, &resume))
        return;  // no services at all
    const DWORD error = GetLastError();
    if (error != ERROR_MORE_DATA) zz::RaiseLastOSError(error);
    std::vector<unsigned char> buffer = Buffer(needed);
    auto* entries = reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data());
    count = 0;
    resume = 0;
    if (!EnumServicesStatusW(FManager.get(), kWin32Services, kAllStates, entries, static_cast<DWORD>(buffer.size()),
                             &needed, &count, &resume))
        return;
    FServices.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        std::unique_ptr<TServiceInfo> service(new TServiceInfo());
        service->FServiceName = TextOrEmpty(entries[i].lpServiceName);
        service->FDisplayName = TextOrEmpty(entries[i].lpDisplayName);
        service->FServiceStatus = entries[i].ServiceStatus;
        service->FServiceManager = this;
        service->FIndex = static_cast<std::int32_t>(i);
        FServices.push_back(std::move(service));
    }
}

TServiceInfo& TServiceManager::FindService(const std::wstring& name) {
    for (const auto& service : FServices) {
        if (CompareStringOrdinal(service->FServiceName.c_str(), static_cast<int>(service->FServiceName.size()),
                                 name.c_str(), static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
            return *service;
    }
    Fail(L"Service not found");
}

void TServiceManager::LockDatabase() {
    if (!FAllowLocking) Fail(L"Locking of the service manager not allowed!");
    SC_LOCK lock = LockServiceDatabase(FManager.get());
    if (!lock) zz::RaiseLastOSError();
    FLock.reset(lock);
}

void TServiceManager::UnlockDatabase() {
    if (!FLock) return;
    if (!UnlockServiceDatabase(FLock.get())) zz::RaiseLastOSError();
    FLock.release();
}

void TServiceManager::DeleteService(int) {
    Fail(L"Not implemented");
}
