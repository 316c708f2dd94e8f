#include "platform/ServiceManager_UNT.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/Error.h"
#include "common/Handle.h"
#include "tests/support/ThrowAwayService.h"

// The manager against the system's own service control manager, with services of the tests' own.

namespace {

struct Raised {
    std::wstring message;
    unsigned long code = 0;
};

Raised ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const zz::Error& e) {
        return {e.Message(), e.Code()};
    }
    return {L"<nothing raised>", 0};
}

// The operating-system error text of a code, as the user sees it.
std::wstring SystemError(unsigned long code) {
    return L"System Error.  Code: " + std::to_wstring(code) + L".\r\n" + zz::SystemErrorText(code);
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(towlower(c));
    return s;
}

class ServiceManagerTest : public testing::Test {
protected:
    TServiceInfo& Activate(const ThrowAwayService& service, bool allowLocking = false) {
        manager.SetAllowLocking(allowLocking);
        manager.SetActive(true);
        return manager.FindService(service.Name());
    }
    TServiceManager manager;
};

}  // namespace

TEST_F(ServiceManagerTest, ListsTheServicesAndFindsOneWhateverTheCase) {
    ThrowAwayService service;
    manager.SetActive(true);
    EXPECT_TRUE(manager.Active());
    EXPECT_GT(manager.ServiceCount(), 0);
    TServiceInfo& found = manager.FindService(Lower(service.Name()));
    EXPECT_EQ(found.ServiceName(), service.Name());
    EXPECT_EQ(found.DisplayName(), service.Name() + L" (test)");
    EXPECT_EQ(&manager.FindService(service.Name()), &found);
    EXPECT_EQ(found.State(), ssStopped);
    EXPECT_TRUE(found.Accepts().Empty());

    manager.SetActive(false);
    EXPECT_FALSE(manager.Active());
    EXPECT_EQ(manager.ServiceCount(), 0);
}

TEST_F(ServiceManagerTest, RulesOfTheManager) {
    const struct {
        const char* what;
        bool active;
        std::function<void(TServiceManager&)> action;
        std::wstring message;
    } cases[] = {
        {"unknown name", true, [](TServiceManager& m) { m.FindService(L"ZZ no such service"); }, L"Service not found"},
        {"machine name while active", true, [](TServiceManager& m) { m.SetMachineName(L"other"); },
         L"Cannot change machine name while active"},
        {"locking while active", true, [](TServiceManager& m) { m.SetAllowLocking(true); },
         L"Cannot change allow locking while active"},
        {"delete", true, [](TServiceManager& m) { m.DeleteService(0); }, L"Not implemented"},
        {"lock without the right", true, [](TServiceManager& m) { m.LockDatabase(); },
         L"Locking of the service manager not allowed!"},
        {"rebuild while inactive", false, [](TServiceManager& m) { m.RebuildServicesList(); },
         L"BuildServicesList only works when active"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TServiceManager m;
        if (c.active) m.SetActive(true);
        EXPECT_EQ(ErrorOf([&] { c.action(m); }).message, c.message);
    }
    TServiceManager inactive;
    inactive.SetMachineName(L"other");
    inactive.SetAllowLocking(true);
    EXPECT_EQ(inactive.MachineName(), L"other");
    EXPECT_TRUE(inactive.AllowLocking());
}

TEST_F(ServiceManagerTest, ConfigurationAsRegisteredReadOnceUnlessLive) {
    ThrowAwayService service;
    TServiceInfo& info = Activate(service);
    EXPECT_EQ(info.BinaryPath(), L"\"" + service.Program() + L"\"");
    EXPECT_TRUE(info.OwnProcess());
    EXPECT_FALSE(info.Interactive());
    EXPECT_EQ(info.StartType(), ssManual);

    service.SetStartType(SERVICE_DISABLED);
    EXPECT_EQ(info.StartType(), ssManual) << "read once";
    info.SetLive(true);
    EXPECT_EQ(info.StartType(), ssDisabled);
}

TEST_F(ServiceManagerTest, StartAndStopWaitForTheResultingState) {
    // A start with several check points, each within its wait hint, is waited for to the end.
    ThrowAwayService service({.behaviour = "start = slow\nhint = 300\nsteps = 6\nstop = slow\n"});
    TServiceInfo& info = Activate(service);
    info.ServiceStart(true);
    EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(info.State(), ssRunning) << "the wait refreshed the status";
    EXPECT_TRUE(info.Accepts().Contains(saStop));
    info.ServiceStop(true);
    EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_NE(service.Log().find("stopped"), std::string::npos);
}

TEST_F(ServiceManagerTest, AServiceStuckWithoutANewCheckPointFailsAfterOneWaitHint) {
    // Stuck for 2 s with a wait hint of 0.5 s: the wait gives up long before the service would go on.
    ThrowAwayService service({.behaviour = "start = hang\nhint = 500\nhold = 2000\n"});
    TServiceInfo& info = Activate(service);
    EXPECT_EQ(ErrorOf([&] { info.ServiceStart(true); }).message, L"Service did not react within timeframe given");
    EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_START_PENDING));
}

TEST_F(ServiceManagerTest, AWaitHintOfZeroIsTakenAsFiveSeconds) {
    // Pending with a wait hint of 0 and one check point for 2 s: read again at once, the unchanged check point would
    // fail the wait; read again after 5 s, the service is running.
    ThrowAwayService service({.behaviour = "start = nohint\nhold = 2000\n"});
    TServiceInfo& info = Activate(service);
    info.ServiceStart(true);
    EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(ServiceManagerTest, StopIsCheckedAgainstTheCapturedStatusUnlessLive) {
    ThrowAwayService service;
    TServiceInfo& info = Activate(service);  // captured while stopped: accepts nothing
    service.Start();
    EXPECT_EQ(ErrorOf([&] { info.ServiceStop(true); }).message, L"Service cannot be Stopped");
    EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING)) << "no stop request was sent";
    EXPECT_EQ(service.Log().find("stop requested"), std::string::npos);

    info.SetLive(true);
    EXPECT_EQ(info.State(), ssRunning);
    info.ServiceStop(true);
    EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
}

TEST_F(ServiceManagerTest, StartTypeChangesUnderTheDatabaseLock) {
    ThrowAwayService service;
    {
        TServiceInfo& info = Activate(service);
        EXPECT_EQ(ErrorOf([&] { info.SetStartType(ssAutomatic); }).message,
                  L"Locking of the service manager not allowed!");
        EXPECT_EQ(service.StartType(), static_cast<DWORD>(SERVICE_DEMAND_START));
        EXPECT_EQ(info.StartType(), ssManual);
        info.SetStartType(ssManual);  // the value it has: no lock is needed
        manager.SetActive(false);
    }

    TServiceInfo& info = Activate(service, true);
    info.SetStartType(ssAutomatic);
    EXPECT_EQ(service.StartType(), static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(info.StartType(), ssAutomatic);
    info.SetStartType(ssDisabled);
    EXPECT_EQ(service.StartType(), static_cast<DWORD>(SERVICE_DISABLED));

    // A change the system refuses: its error, the start type as it was.
    zz::unique_schandle scm(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    zz::unique_schandle held(OpenServiceW(scm.get(), service.Name().c_str(), DELETE));
    ASSERT_TRUE(::DeleteService(held.get()));  // marked for deletion while this handle is open
    const Raised raised = ErrorOf([&] { info.SetStartType(ssManual); });
    EXPECT_EQ(raised.code, static_cast<unsigned long>(ERROR_SERVICE_MARKED_FOR_DELETE));
    EXPECT_EQ(raised.message, SystemError(ERROR_SERVICE_MARKED_FOR_DELETE));
    EXPECT_EQ(info.StartType(), ssDisabled);
}

TEST(ServiceStartupOf, StartTypesOtherThanAutomaticManualAndDisabledAreUnknown) {
    const struct {
        DWORD startType;
        const wchar_t* result;
    } cases[] = {
        {SERVICE_BOOT_START, nullptr},     {SERVICE_SYSTEM_START, nullptr}, {SERVICE_AUTO_START, L"automatic"},
        {SERVICE_DEMAND_START, L"manual"}, {SERVICE_DISABLED, L"disabled"}, {5, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.startType);
        std::wstring result;
        const Raised raised = ErrorOf([&] {
            const TServiceStartup s = ServiceStartupOf(c.startType);
            result = s == ssAutomatic ? L"automatic" : s == ssManual ? L"manual" : L"disabled";
        });
        if (c.result) {
            EXPECT_EQ(result, c.result);
        } else {
            EXPECT_EQ(raised.message, L"Service Start Type unknown");
        }
    }
}

TEST_F(ServiceManagerTest, AServiceNoLongerOfWin32KindFailsItsConfigurationAssertion) {
    // The system lets boot and system start only go with drivers: a listed service turned into a boot driver.
    ThrowAwayService service;
    TServiceInfo& info = Activate(service);
    {
        zz::unique_schandle scm(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
        zz::unique_schandle handle(OpenServiceW(scm.get(), service.Name().c_str(), SERVICE_CHANGE_CONFIG));
        ASSERT_TRUE(ChangeServiceConfigW(handle.get(), SERVICE_KERNEL_DRIVER, SERVICE_BOOT_START, SERVICE_NO_CHANGE,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    }
    EXPECT_EQ(ErrorOf([&] { info.BinaryPath(); }).message, L"Assertion failure (ServiceManager_UNT, line 546)");
}

TEST_F(ServiceManagerTest, StateWritesStartPauseContinueAndStop) {
    ThrowAwayService service;
    TServiceInfo& info = Activate(service);
    const struct {
        TServiceState target;
        DWORD state;
    } steps[] = {
        {ssPaused, SERVICE_PAUSED},   {ssRunning, SERVICE_RUNNING}, {ssRunning, SERVICE_RUNNING},
        {ssStopped, SERVICE_STOPPED}, {ssRunning, SERVICE_RUNNING}, {ssPaused, SERVICE_PAUSED},
        {ssStopped, SERVICE_STOPPED}, {ssStopped, SERVICE_STOPPED},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(static_cast<int>(step.target));
        info.SetState(step.target);
        EXPECT_EQ(service.Status().dwCurrentState, step.state);
    }
    for (TServiceState pending : {ssStartPending, ssStopPending, ssContinuePending, ssPausePending}) {
        EXPECT_EQ(ErrorOf([&] { info.SetState(pending); }).message,
                  L"Cannot set a transitional state in TServiceInfo.");
    }
}

TEST_F(ServiceManagerTest, PausingAStoppedServiceWhosePauseFailsLeavesItStopped) {
    ThrowAwayService service({.behaviour = "pause = refuse\n"});  // running, it does not offer pause
    TServiceInfo& info = Activate(service);
    EXPECT_EQ(ErrorOf([&] { info.SetState(ssPaused); }).message, L"Service cannot be paused");
    EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    const std::string log = service.Log();
    EXPECT_LT(log.find(": running"), log.find(": stopped"));
}

TEST_F(ServiceManagerTest, AStateWriteWaitsOutAPendingStateFirst) {
    ThrowAwayService service({.behaviour = "start = slow\nhint = 300\nsteps = 4\n"});
    TServiceInfo& info = Activate(service);
    info.ServiceStart(false);
    info.SetState(ssStopped);
    EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    const std::string log = service.Log();
    EXPECT_LT(log.find("running"), log.find("stop requested"));
}

TEST_F(ServiceManagerTest, DependentCountOfAServiceWithoutDependents) {
    // (Wine lists no dependent services at all, so the list of a service with dependents is not checked here.)
    ThrowAwayService service;
    EXPECT_EQ(Activate(service).DependentCount(), 0);
}

TEST_F(ServiceManagerTest, PlatformFailuresCarryTheSystemsCodeAndText) {
    ThrowAwayService service;
    TServiceInfo& info = Activate(service);
    service.Start();
    const Raised running = ErrorOf([&] { info.ServiceStart(false); });
    EXPECT_EQ(running.message, SystemError(ERROR_SERVICE_ALREADY_RUNNING));

    TServiceInfo& gone = manager.FindService(service.Name());
    ThrowAwayService::Remove(service.Name());
    for (const auto& action :
         std::initializer_list<std::function<void()>>{[&] { gone.ServiceStart(true); }, [&] { gone.BinaryPath(); },
                                                      [&] {
                                                          gone.SetLive(true);
                                                          gone.State();
                                                      }}) {
        const Raised raised = ErrorOf(action);
        EXPECT_EQ(raised.code, static_cast<unsigned long>(ERROR_SERVICE_DOES_NOT_EXIST));
        EXPECT_EQ(raised.message, SystemError(ERROR_SERVICE_DOES_NOT_EXIST));
    }
    EXPECT_EQ(zz::OSError(0).Message(), L"A call to an OS function failed");
}
