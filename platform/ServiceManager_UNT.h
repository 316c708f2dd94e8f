#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Handle.h"

// The Windows service control manager of one computer and the Win32 services installed there. A manager is made for
// one operation: activated, asked for a service by name, and released with everything it found.

// Value n stands for the platform's state n + 1.
enum TServiceState {
    ssStopped,
    ssStartPending,
    ssStopPending,
    ssRunning,
    ssContinuePending,
    ssPausePending,
    ssPaused,
};

enum TServiceAccept {
    saStop,
    saPauseContinue,
    saShutdown,
};

// A set of TServiceAccept.
class TServiceAccepts {
public:
    TServiceAccepts() = default;
    bool Contains(TServiceAccept a) const { return (bits_ & Bit(a)) != 0; }
    void Include(TServiceAccept a) { bits_ |= Bit(a); }
    bool Empty() const { return bits_ == 0; }
    bool operator==(const TServiceAccepts&) const = default;

private:
    static unsigned Bit(TServiceAccept a) { return 1u << static_cast<unsigned>(a); }
    unsigned bits_ = 0;
};

// Start types automatic, on demand and disabled, in this order.
enum TServiceStartup {
    ssAutomatic,
    ssManual,
    ssDisabled,
};

// The start type of the platform's start type 2, 3 or 4; any other (boot and system start included) raises
// "Service Start Type unknown".
TServiceStartup ServiceStartupOf(DWORD startType);

class TServiceManager;

// One service of a manager's list. Between its operations it holds no service handle; each operation opens the
// handle it needs and closes it again, also when it fails.
class TServiceInfo {
public:
    ~TServiceInfo();
    TServiceInfo(const TServiceInfo&) = delete;
    TServiceInfo& operator=(const TServiceInfo&) = delete;

    int Index() const { return FIndex; }
    const std::wstring& ServiceName() const { return FServiceName; }
    const std::wstring& DisplayName() const { return FDisplayName; }

    // While false, State and Accepts answer from the status captured by the enumeration or the last refresh, and
    // the configuration is read once; while true, every read asks the service control manager again.
    bool Live() const { return FLive; }
    void SetLive(bool live) { FLive = live; }

    // The service's state; writing it starts, stops, pauses or continues the service and waits for the result.
    TServiceState State();
    void SetState(TServiceState value);
    TServiceAccepts Accepts();

    TServiceStartup StartType();
    // Changes the start type under the service database lock (the manager must allow locking).
    void SetStartType(TServiceStartup value);
    // The command line as registered: quotes and arguments included.
    std::wstring BinaryPath();
    bool OwnProcess();
    bool Interactive();
    int DependentCount();

    // Each sends its request and, with wait, returns once the service has reached the resulting state.
    void ServiceStart(bool wait);
    void ServiceStop(bool wait);
    void ServicePause(bool wait);
    void ServiceContinue(bool wait);

private:
    friend class TServiceManager;
    TServiceInfo() = default;

    // The service handle of an operation: opened with the operation's rights unless one is already open, and
    // closed at the end of the operation that opened it.
    class THandleScope {
    public:
        THandleScope(TServiceInfo& service, DWORD access);
        ~THandleScope();
        THandleScope(const THandleScope&) = delete;
        THandleScope& operator=(const THandleScope&) = delete;

    private:
        TServiceInfo& service_;
        bool opened_;
    };

    bool AcquireHandle(DWORD access);
    void ReleaseHandle();
    void QueryStatus();
    void WaitForState(DWORD state);
    void QueryConfig();
    void SearchDependents();
    void Control(DWORD mask, DWORD control, TServiceAccept needed, const wchar_t* refused, DWORD waitFor, bool wait);

    std::int32_t FIndex = 0;
    TServiceManager* FServiceManager = nullptr;
    zz::unique_schandle FHandle;
    SERVICE_STATUS FServiceStatus{};
    std::wstring FServiceName;
    std::wstring FDisplayName;
    bool FDependentsSearched = false;
    std::vector<TServiceInfo*> FDependents;
    bool FLive = false;
    bool FConfigQueried = false;
    bool FOwnProcess = false;
    bool FInteractive = false;
    TServiceStartup FStartType = ssAutomatic;
    std::wstring FBinaryPath;
    std::wstring FUserName;
};

class TServiceManager {
public:
    TServiceManager() = default;
    virtual ~TServiceManager();
    TServiceManager(const TServiceManager&) = delete;
    TServiceManager& operator=(const TServiceManager&) = delete;

    int ServiceCount() const { return static_cast<int>(FServices.size()); }
    // Activating opens the connection and lists the services; deactivating frees the list, the lock and the
    // connection.
    bool Active() const { return static_cast<bool>(FManager); }
    void SetActive(bool active);
    // Empty for this computer; changes only while inactive.
    const std::wstring& MachineName() const { return FMachineName; }
    void SetMachineName(const std::wstring& name);
    // Whether the connection is opened with the right to lock the service database; changes only while inactive.
    bool AllowLocking() const { return FAllowLocking; }
    void SetAllowLocking(bool allow);

    void RebuildServicesList();
    // The service of that name, whatever the letter case; it lives until the list is rebuilt or freed.
    TServiceInfo& FindService(const std::wstring& name);
    void LockDatabase();
    void UnlockDatabase();
    [[noreturn]] void DeleteService(int index);

private:
    friend class TServiceInfo;
    void ClearServicesList();
    SC_HANDLE Connection() const { return FManager.get(); }

    zz::unique_schandle FManager;
    zz::unique_sclock FLock;
    std::wstring FMachineName;
    std::vector<std::unique_ptr<TServiceInfo>> FServices;
    bool FAllowLocking = false;
};
