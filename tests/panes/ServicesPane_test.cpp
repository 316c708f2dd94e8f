#include <gtest/gtest.h>

#include "common/Handle.h"
#include "common/Text.h"
#include "panes/Services.h"
#include "tests/panes/PaneTestSupport.h"

namespace {

const wchar_t* const kService = L"MSSQL$ZELTO";
const wchar_t* const kStarted = L"سرويس اجرا شد";
const wchar_t* const kMissing = L"سرويس موجود نمي باشد";

SERVICE_STATUS_PROCESS Status() {
    return workstation::InstanceStatus();
}

bool WaitFor(DWORD state) {
    return workstation::WaitForInstance(state);
}

void Ensure(DWORD state) {
    ASSERT_TRUE(workstation::PutInstance(state));
}

class ServicesPaneTest : public PaneFixture {
protected:
    workstation::ScopedInstanceState instance;
    void SetUp() override { OpenCode(L"1"); }
    void ExpectMessage(const wchar_t* content, int icon) {
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].request.content, content);
        EXPECT_EQ(ui.shown[0].request.iconKind, icon);
    }
};

TEST_F(ServicesPaneTest, AStoppedInstanceIsStartedThroughNet) {
    EXPECT_EQ(Pane().Text(L"Instance_EDT"), L"Zelto");
    EXPECT_EQ(Pane().Text(L"System_EDT"), L"");
    Ensure(SERVICE_STOPPED);
    ClickButton(L"StartSQL_BTN");
    ExpectMessage(kStarted, 1);
    EXPECT_TRUE(WaitFor(SERVICE_RUNNING));
}

TEST_F(ServicesPaneTest, ARunningInstanceIsRestarted) {
    Ensure(SERVICE_RUNNING);
    const DWORD before = Status().dwProcessId;
    ClickButton(L"StartSQL_BTN");
    ExpectMessage(kStarted, 1);
    ASSERT_TRUE(WaitFor(SERVICE_RUNNING));
    EXPECT_NE(Status().dwProcessId, before) << "stopped and started again";
}

TEST_F(ServicesPaneTest, AnEmptyInstanceNameIsNotFoundAndRunsNothing) {
    Recorder net(cwdDir.File(L"net.exe"));  // a bare "net" would find this one first
    Pane().SetText(L"Instance_EDT", L"");
    ClickButton(L"StartSQL_BTN");
    ExpectMessage(kMissing, 2);
    EXPECT_TRUE(net.CommandLines().empty());
}

TEST_F(ServicesPaneTest, AnotherComputerIsReachedThroughSc) {
    Ensure(SERVICE_STOPPED);
    Recorder sc(cwdDir.File(L"sc.exe"));  // the system's sc cannot reach another computer here
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &n);
    Pane().SetText(L"System_EDT", name);
    Pane().SetText(L"Instance_EDT", L"ZELTO");
    ClickButton(L"StartSQL_BTN");
    ExpectMessage(kStarted, 1);
    ASSERT_EQ(sc.CommandLines().size(), 1u);
    EXPECT_EQ(Recorder::Arguments(sc.CommandLines()[0]), "\\\\" + zz::ToUtf8(name) + " start mssql$ZELTO");
    EXPECT_EQ(sc.ShowModes(), std::vector<std::string>{"0"}) << "hidden, and waited for";
}

}  // namespace
