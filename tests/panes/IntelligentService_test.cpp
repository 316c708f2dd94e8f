#include "panes/IntelligentService.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ShellOpen.h"
#include "shell/Main_UNT.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ThrowAwayService.h"

// Code 9 in the main window, against the system's service control manager. The suite's service name is fixed, so
// each test registers its own "IntelligentService_SVR" (the workstation's one is set aside meanwhile).

namespace {

const std::wstring kName = L"IntelligentService_SVR";
const std::wstring kFailure =
    L".دسترسی به سرویس هوشمند با مشکل مواجه شد"
    L"\n\r";

std::string Count(const std::string& log, const std::string& what) {
    size_t n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return std::to_string(n);
}

class SmartServicePaneTest : public testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TMain_frm>(L"");
        form->QuitOnClose = false;
        form->CreateAndShow();
        Pump(50);
        SetWindowTextW(form->Code_edt(), L"9");
        PostMessageW(form->Code_edt(), WM_KEYDOWN, VK_RETURN, 1);
        Pump(50);
        pane = dynamic_cast<TIntelligentService_FRAM*>(form->ActiveFrame());
        ASSERT_NE(pane, nullptr);
        previousOpener = zz::SetShellOpener([this](const std::wstring& path) { opened.push_back(path); });
    }
    void TearDown() override {
        zz::SetShellOpener(previousOpener);
        form.reset();
        Pump(20);
    }
    // A click of the user on the button: the pane runs its operation inside.
    void Click(const wchar_t* button) {
        ui.shown.clear();
        SendMessageW(pane->Control(button), BM_CLICK, 0, 0);
        Pump(20);
    }
    std::vector<std::wstring> Messages() const {
        std::vector<std::wstring> texts;
        for (const auto& s : ui.shown) texts.push_back(s.kind + L": " + s.text);
        return texts;
    }

    TempDir cwdDir;
    ScopedCurrentDirectory cwd{cwdDir.Path()};
    FakeModalUi ui;
    std::unique_ptr<TMain_frm> form;
    TIntelligentService_FRAM* pane = nullptr;
    std::vector<std::wstring> opened;
    zz::TShellOpener previousOpener;
};

using Strings = std::vector<std::wstring>;

}  // namespace

TEST_F(SmartServicePaneTest, StatusShowsThePathAsRegisteredTheStateAndMakesTheStartAutomatic) {
    ThrowAwayService service({.name = kName, .startType = SERVICE_DEMAND_START});
    service.Start();
    Click(L"Button1");
    EXPECT_EQ(Messages(), Strings{});
    EXPECT_EQ(pane->Text(L"ServiceAddress_LBL"), L"\"" + service.Program() + L"\"");
    EXPECT_EQ(pane->Text(L"State_LBL"), L"در حال اجرا");
    EXPECT_EQ(pane->Text(L"StartupType_LBL"), L"خودکار");
    EXPECT_EQ(service.StartType(), static_cast<DWORD>(SERVICE_AUTO_START));
}

TEST_F(SmartServicePaneTest, StateWords) {
    ThrowAwayService service({.name = kName, .startType = SERVICE_DISABLED});
    Click(L"Button1");
    EXPECT_EQ(pane->Text(L"State_LBL"), L"متوقف");
    EXPECT_EQ(pane->Text(L"StartupType_LBL"), L"خودکار");
    const struct {
        TServiceState state;
        std::wstring word;
    } states[] = {
        {ssStopped, L"متوقف"},
        {ssStopPending, L"متوقف"},
        {ssStartPending, L"آماده سازی برای اجرا"},
        {ssContinuePending, L"آماده سازی برای اجرا"},
        {ssRunning, L"در حال اجرا"},
        {ssPausePending, L"موقتا متوقف"},
        {ssPaused, L"موقتا متوقف"},
    };
    for (const auto& s : states) EXPECT_EQ(TIntelligentService_FRAM::StateWord(s.state), s.word) << s.state;
    EXPECT_EQ(TIntelligentService_FRAM::StartupWord(ssManual), L"دستی");
    EXPECT_EQ(TIntelligentService_FRAM::StartupWord(ssDisabled), L"غیر فعال");
}

TEST_F(SmartServicePaneTest, RestartStartsAStoppedServiceAndRestartsARunningOne) {
    for (bool running : {false, true}) {
        SCOPED_TRACE(running ? "running" : "stopped");
        ThrowAwayService service({.name = kName, .startType = SERVICE_DEMAND_START});
        if (running) service.Start();
        Click(L"Button2");
        EXPECT_EQ(Messages(), Strings{L"message: .راه اندازی مجدد سرویس با موفقیت انجام شد"});
        EXPECT_EQ(service.Status().dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
        EXPECT_EQ(service.StartType(), static_cast<DWORD>(SERVICE_AUTO_START));
        const std::string log = service.Log();
        EXPECT_EQ(Count(log, ": running"), running ? "2" : "1");
        EXPECT_EQ(Count(log, "stop requested"), running ? "1" : "0");
    }
}

TEST_F(SmartServicePaneTest, TheLogIsOpenedFromTheProgramsFolder) {
    const struct {
        const char* what;
        bool quoted, log;
    } cases[] = {
        {"quoted path", true, true},
        {"path with blanks, unquoted", false, true},
        {"no log yet", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ThrowAwayService service({.name = kName, .quoted = c.quoted});
        if (c.log) WriteFileBytes(service.Folder() + L"log.txt", "a line\r\n");
        opened.clear();
        Click(L"Button3");
        if (c.log) {
            EXPECT_EQ(Messages(), Strings{});
            EXPECT_EQ(opened, Strings{service.Folder() + L"log.txt"});
        } else {
            EXPECT_EQ(Messages(), Strings{L"message: .فایل یافت نشد"});
            EXPECT_EQ(opened, Strings{});
        }
    }
}

TEST_F(SmartServicePaneTest, AMissingServiceIsReportedByEachOperation) {
    ThrowAwayService service({.name = kName});
    Click(L"Button1");
    ASSERT_EQ(pane->Text(L"State_LBL"), L"متوقف");
    ThrowAwayService::Remove(kName);  // gone; the one set aside comes back at the end

    Click(L"Button1");
    EXPECT_EQ(Messages(), Strings{L"message: " + kFailure + L"Service not found"});
    EXPECT_EQ(pane->Text(L"ServiceAddress_LBL"), L"سرویس یافت نشد");
    EXPECT_EQ(pane->Text(L"State_LBL"), L"");
    EXPECT_EQ(pane->Text(L"StartupType_LBL"), L"");
    for (const wchar_t* button : {L"Button2", L"Button3"}) {
        Click(button);
        EXPECT_EQ(Messages(), Strings{L"message: " + kFailure + L"Service not found"}) << button;
    }
}

TEST_F(SmartServicePaneTest, ReinstallUninstallsTheOldServiceInstallsTheChosenProgramAndStartsIt) {
    ThrowAwayService old({.name = kName, .startType = SERVICE_DEMAND_START});
    old.Start();
    TempDir newDir;
    const std::wstring newFolder = newDir.File(L"New Smart Service") + L"\\";
    CreateDirectoryW(newFolder.c_str(), nullptr);
    const std::wstring newProgram = newFolder + L"IntelligentService.exe";
    ASSERT_TRUE(CopyFileW(ThrowAwayService::BuiltProgram().c_str(), newProgram.c_str(), FALSE));

    ui.files = {newProgram};
    Click(L"Button4");
    EXPECT_EQ(Messages(), Strings{L"file: "});
    EXPECT_NE(old.Log().find("uninstalled"), std::string::npos);
    EXPECT_EQ(old.CommandLine(), L"\"" + newProgram + L"\"");
    EXPECT_EQ(old.StartType(), static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(old.Status().dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    const std::string log = ReadFileBytes(newFolder + L"log.txt");
    EXPECT_LT(log.find("installed"), log.find(": running"));
}

TEST_F(SmartServicePaneTest, ReinstallWithoutAnInstalledServiceOnlyInstalls) {
    ThrowAwayService placeholder({.name = kName});
    ThrowAwayService::Remove(kName);  // none installed; what the click installs goes at the end
    ui.files = {placeholder.Program()};
    Click(L"Button4");
    EXPECT_EQ(Messages(), Strings{L"file: "});
    EXPECT_EQ(placeholder.CommandLine(), L"\"" + placeholder.Program() + L"\"");
    EXPECT_EQ(placeholder.Status().dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    const std::string log = placeholder.Log();
    EXPECT_EQ(log.find("uninstalled"), std::string::npos);
    EXPECT_LT(log.find("installed"), log.find(": running"));
}

TEST_F(SmartServicePaneTest, ReinstallCancelledLeavesTheOldServiceStoppedAndInstalled) {
    ThrowAwayService old({.name = kName});
    old.Start();
    Click(L"Button4");  // no file chosen
    EXPECT_EQ(Messages(), Strings{L"file: "});
    EXPECT_EQ(old.Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(old.CommandLine(), L"\"" + old.Program() + L"\"");
}
