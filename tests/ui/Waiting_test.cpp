#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "common/Paths.h"
#include "ui/ZeltoWaitting_UNT.h"

namespace {

std::wstring WaitingMessage(HWND waiting) {
    HWND label = FindWindowExW(waiting, nullptr, L"STATIC", nullptr);
    return label ? WindowText(label) : L"<no label>";
}

class WaitingTest : public testing::Test {
protected:
    void SetUp() override { DeleteFileW(WaitingProgramPath().c_str()); }
    void TearDown() override {
        PumpUntil([] { return TopLevelWindowsTitled(L"ZeltoWaitting_FRM").empty(); }, 3000);
        PumpUntil([] { return DeleteFileW(WaitingProgramPath().c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; },
                  3000);
    }
};

}  // namespace

TEST_F(WaitingTest, ShowsTheWholeMessageUntilClosed) {
    EXPECT_EQ(WaitingProgramPath(), zz::ExecutableFolder() + L"\\Waitting_PRJ.exe");
    const std::wstring message = L"در حال تهيه نسخه پشتيبان از بانک اطلاعاتي";
    StartWaitingWindow(message);
    EXPECT_TRUE(zz::FileExists(WaitingProgramPath())) << "written out of the program";
    ASSERT_TRUE(PumpUntil([] { return TopLevelWindowsTitled(L"ZeltoWaitting_FRM").size() == 1; }, 10000));
    HWND waiting = TopLevelWindowsTitled(L"ZeltoWaitting_FRM")[0];
    EXPECT_EQ(WaitingMessage(waiting), message);
    EXPECT_TRUE(GetWindowLongW(waiting, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongW(waiting, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    RECT client;
    GetClientRect(waiting, &client);
    EXPECT_EQ(client.right, 427);
    EXPECT_EQ(client.bottom, 83);

    CloseWaitingWindow(nullptr);
    EXPECT_TRUE(PumpUntil([] { return TopLevelWindowsTitled(L"ZeltoWaitting_FRM").empty(); }, 5000));
}

// The waiting window stands on top without taking the activation, so its end hands nothing on: a message dialog
// that comes up after it keeps the activation and stays above its owner.
TEST_F(WaitingTest, TheCallerKeepsTheActivationWhileTheWaitingWindowComesAndGoes) {
    HWND form = CreateWindowExW(0, L"STATIC", L"caller", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(form);
    ASSERT_EQ(GetForegroundWindow(), form);
    StartWaitingWindow(L"لطفا صبر کنيد");
    ASSERT_TRUE(PumpUntil([] { return TopLevelWindowsTitled(L"ZeltoWaitting_FRM").size() == 1; }, 10000));
    HWND waiting = TopLevelWindowsTitled(L"ZeltoWaitting_FRM")[0];
    Pump(300);
    EXPECT_TRUE(IsWindowVisible(waiting));
    EXPECT_EQ(GetForegroundWindow(), form);

    CloseWaitingWindow(form);
    HWND message = CreateWindowExW(0, L"STATIC", L"message", WS_POPUP | WS_CAPTION | WS_VISIBLE, 20, 20, 100, 60,
                                   form, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(message);
    EXPECT_TRUE(PumpUntil([] { return TopLevelWindowsTitled(L"ZeltoWaitting_FRM").empty(); }, 5000));
    Pump(500);
    EXPECT_EQ(GetForegroundWindow(), message);
    bool ownerBelow = false;
    for (HWND w = GetWindow(message, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) ownerBelow |= w == form;
    EXPECT_TRUE(ownerBelow) << "the message stays above its owner";
    DestroyWindow(message);
    DestroyWindow(form);
}

TEST_F(WaitingTest, AVeryShortOperationLeavesNothingOnScreen) {
    HWND form = CreateWindowExW(0, L"STATIC", L"caller", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    StartWaitingWindow(L"لطفا صبر کنيد");
    CloseWaitingWindow(form);  // before the waiting window can possibly be there
    EXPECT_TRUE(PumpUntil([] { return TopLevelWindowsTitled(L"ZeltoWaitting_FRM").empty(); }, 5000));
    Pump(500);
    EXPECT_TRUE(TopLevelWindowsTitled(L"ZeltoWaitting_FRM").empty());
    DestroyWindow(form);
}

TEST_F(WaitingTest, AnExistingProgramFileIsStartedAsItIsWithTheQuotedMessage) {
    ASSERT_TRUE(CopyFileW(ZZ_RECORDER_EXE, WaitingProgramPath().c_str(), FALSE));
    const std::string before = ReadFileBytes(WaitingProgramPath());
    const std::wstring log = WaitingProgramPath() + L".log";
    DeleteFileW(log.c_str());
    StartWaitingWindow(L"a message with blanks");
    ASSERT_TRUE(PumpUntil([&] { return ReadFileBytes(log) != "<missing>"; }));
    Pump(100);
    std::string line = ReadFileBytes(log);
    EXPECT_NE(line.find(" \"a message with blanks\"\r\n"), std::string::npos) << line;
    EXPECT_EQ(ReadFileBytes(WaitingProgramPath()), before) << "never replaced by the embedded copy";
    DeleteFileW(log.c_str());
}

TEST_F(WaitingTest, CloseGivesUpAfterItsBoundWhenNoWindowComes) {
    CloseWaitingWindow(nullptr, 200);
    SUCCEED();
}
