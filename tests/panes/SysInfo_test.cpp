// The system information pane: the machine as the platform describes it, and the suite's database on the stand-in
// SQL Server read with the suite's own login.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "panes/SysInfo.h"
#include "platform/LocalAddresses.h"
#include "platform/WMI_UNT.h"
#include "tests/panes/LabelInk.h"
#include "tests/panes/SetupServer.h"
#include "tests/support/TestPaneHost.h"
#include "tests/support/TestSupport.h"

namespace {

class SysInfoPaneTest : public testing::Test {
protected:
    void Click(const wchar_t* name) {
        SendMessageW(pane.Control(name), BM_CLICK, 0, 0);
        Pump(10);
    }
    std::vector<std::wstring> Labels() const {
        return {pane.Text(L"Version_LBL"), pane.Text(L"LastUpdate_LBL"), pane.Text(L"LastRestore_LBL")};
    }

    FakeModalUi ui;
    TestPaneHost host;
    TSysInfo_FRAM& pane = host.Show<TSysInfo_FRAM>();
};

TEST_F(SysInfoPaneTest, MachineInformationShownAgainOnEveryClick) {
    EXPECT_EQ(pane.FrameWidth(), 350);
    EXPECT_EQ(pane.FrameHeight(), 372);
    EXPECT_EQ(pane.Text(L"Server_EDT"), L"(local)\\Zelto");
    EXPECT_EQ(pane.Text(L"Database_EDT"), L"Zelto");
    // This platform's computer system has no Caption (Windows' names the computer there).
    const std::wstring name = GetWMIProperty(L"", L"Win32_ComputerSystem", L"Caption");
    const std::vector<std::wstring> addresses = LocalIPAddresses();
    for (int click = 0; click < 2; ++click) {
        Click(L"Button1");
        EXPECT_EQ(pane.Text(L"PCName_EDT"), name);
        EXPECT_EQ(pane.Text(L"IPAddress_EDT"), addresses.empty() ? L"" : addresses.front());
    }
    EXPECT_TRUE(ui.shown.empty()) << "never a message";
}

// The captions right to left: each ends at the right edge of its box, however wide the system measures it, and
// none is cut off at the left.
TEST_F(SysInfoPaneTest, CaptionsEndAtTheirRightEdge) {
    for (const wchar_t* name : {L"Label1", L"Label2", L"Label3", L"Label4", L"Label5", L"Label6", L"Label7"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        const TLabelInk ink = LabelInk(pane.Control(name));
        EXPECT_GE(ink.right, ink.width - 4) << "box width " << ink.width;
        EXPECT_GT(ink.left, 1) << "box width " << ink.width;
    }
}

class SysInfoPaneServerTest : public SysInfoPaneTest {
protected:
    void SetUp() override {
        if (!SetupServer::Start()) GTEST_SKIP();
    }
};

TEST_F(SysInfoPaneServerTest, TheFirstThreeRowsOfTheDatabase) {
    const std::wstring v = SetupServer::kRows[0], u = SetupServer::kRows[1], r = SetupServer::kRows[2];
    struct Case {
        const wchar_t* database;
        std::vector<std::wstring> labels;
    } cases[] = {
        {L"ZzInfo3", {v, u, r}}, {L"ZzInfo4", {v, u, r}}, {L"ZzInfo2", {v, u, u}},
        {L"ZzInfo1", {v, v, v}}, {L"ZzInfo0", {L"", L"", L""}}, {L"ZzInfo3", {v, u, r}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.database)));
        pane.SetText(L"Database_EDT", c.database);
        Click(L"DBInfo_BTN");
        EXPECT_EQ(Labels(), c.labels);
        EXPECT_TRUE(ui.shown.empty());
    }
}

// A wrong name, another server or a table without "Value": one warning with the reason; the labels keep their texts.
TEST_F(SysInfoPaneServerTest, FailuresLeaveTheLabelsAsTheyWere) {
    pane.SetText(L"Database_EDT", L"ZzInfo3");
    Click(L"DBInfo_BTN");
    const std::vector<std::wstring> before = Labels();
    struct Case {
        const wchar_t* server;
        const wchar_t* database;
        const wchar_t* reason;  // part of the expanded text
    } cases[] = {
        {L"(local)\\Zelto", L"NoSuchDatabase", L"NoSuchDatabase"},
        {L"(local)\\Zelto", L"ZzNoValue", L"Value"},
        {L"127.0.0.1,1", L"ZzInfo3", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.database)));
        pane.SetText(L"Server_EDT", c.server);
        pane.SetText(L"Database_EDT", c.database);
        Click(L"DBInfo_BTN");
        ASSERT_EQ(ui.shown.size(), 1u);
        const zz::TaskDialogRequest& shown = ui.shown[0].request;
        EXPECT_EQ(shown.content, L"اتصال به بانک اطلاعاتي با خطا مواجه شد");
        EXPECT_EQ(shown.iconKind, 2);
        EXPECT_EQ(shown.buttons.size(), 1u);
        EXPECT_NE(shown.expandedText, L"");
        EXPECT_NE(shown.expandedText.find(c.reason), std::wstring::npos) << testing::PrintToString(shown.expandedText);
        ui.shown.clear();
        EXPECT_EQ(Labels(), before);
    }
}

}  // namespace
