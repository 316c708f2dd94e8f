#pragma once

#include <memory>
#include <string>

#include "common/Handle.h"
#include "shell/Main_UNT.h"
#include "tests/support/TestSupport.h"
#include "ui/Pane.h"

// The real main window with one operation code entered, as a technician opens a pane.
class PaneFixture : public testing::Test {
protected:
    void OpenCode(const std::wstring& code) {
        form = std::make_unique<TMain_frm>(L"");
        form->QuitOnClose = false;
        form->CreateAndShow();
        SetWindowTextW(form->Code_edt(), code.c_str());
        WORD key = VK_RETURN;
        form->Code_edtKeyDown(key, 0);
        Pump(30);
    }
    TPane& Pane() { return *form->ActiveFrame(); }
    // Clicks a button of the pane as the mouse does; returns when its operation has ended.
    void ClickButton(const wchar_t* name) { SendMessageW(Pane().Control(name), BM_CLICK, 0, 0); }
    void TearDown() override {
        form.reset();
        Pump(20);
    }

    TempDir cwdDir;
    ScopedCurrentDirectory cwd{cwdDir.Path()};
    FakeModalUi ui;
    std::unique_ptr<TMain_frm> form;
};

// The workstation's SQL Server instance, the service "MSSQL$ZELTO".
namespace workstation {

inline SERVICE_STATUS_PROCESS InstanceStatus() {
    SERVICE_STATUS_PROCESS status{};
    zz::unique_schandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    zz::unique_schandle service(OpenServiceW(manager.get(), L"MSSQL$ZELTO", SERVICE_QUERY_STATUS));
    DWORD needed = 0;
    QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                         &needed);
    return status;
}

inline bool WaitForInstance(DWORD state) {
    return PumpUntil([&] { return InstanceStatus().dwCurrentState == state; }, 20000);
}

// Puts the instance into a state (running or stopped) and waits for it.
inline bool PutInstance(DWORD state) {
    zz::unique_schandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    zz::unique_schandle service(OpenServiceW(manager.get(), L"MSSQL$ZELTO", SERVICE_START | SERVICE_STOP));
    SERVICE_STATUS ignored;
    const DWORD now = InstanceStatus().dwCurrentState;
    if (state == SERVICE_RUNNING && now != SERVICE_RUNNING) StartServiceW(service.get(), 0, nullptr);
    if (state == SERVICE_STOPPED && now != SERVICE_STOPPED) ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored);
    return WaitForInstance(state);
}

// The instance back in the state it had, when the scope ends: its SQL Server Browser holds UDP 1434, which tests
// that start a stand-in of their own need free.
class ScopedInstanceState {
public:
    ScopedInstanceState() : state_(InstanceStatus().dwCurrentState == SERVICE_RUNNING ? SERVICE_RUNNING : SERVICE_STOPPED) {}
    ~ScopedInstanceState() { PutInstance(state_); }

private:
    DWORD state_;
};

}  // namespace workstation
