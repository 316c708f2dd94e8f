// The pre-run settings pane: regional settings and the first-run flag below a throw-away current user, the ini file
// beside this test program after a server check against the stand-in SQL Server.
#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "panes/Init.h"
#include "platform/IniOptionFile_UNT.h"
#include "tests/panes/LabelInk.h"
#include "tests/panes/SetupServer.h"
#include "tests/support/TempRegistryKey.h"
#include "tests/support/TestPaneHost.h"
#include "tests/support/TestSupport.h"

namespace {

const std::wstring kEmptyAddress = L"   .   .   .   ";

// The ini file's lines without the blank ones.
std::vector<std::string> IniLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileBytes(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::wstring IniPathBesideTheProgram() {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path = exe;
    return path.substr(0, path.rfind(L'.')) + L".ini";
}

void RemoveIniFile() {
    const std::wstring path = IniPathBesideTheProgram();
    DeleteFileW(path.c_str());
    RemoveDirectoryW(path.c_str());
}

class InitPaneTest : public testing::Test {
protected:
    void SetUp() override { RemoveIniFile(); }
    void TearDown() override { RemoveIniFile(); }

    // A click on a shown control as the user makes it.
    void Click(const wchar_t* name) {
        SendMessageW(pane.Control(name), BM_CLICK, 0, 0);
        Pump(10);
    }
    void Type(const wchar_t* name, const std::wstring& keys) {
        for (wchar_t key : keys) SendMessageW(pane.Control(name), WM_CHAR, key, 1);
    }
    const zz::TaskDialogRequest& OnlyMessage() {
        EXPECT_EQ(ui.shown.size(), 1u);
        if (ui.shown.empty()) ui.shown.push_back({L"none", L"", L"", {}});
        return ui.shown.back().request;
    }
    void ExpectMessage(const std::wstring& content, const std::wstring& expanded, int iconKind) {
        const zz::TaskDialogRequest& shown = OnlyMessage();
        EXPECT_EQ(ui.shown.back().kind, L"task");
        EXPECT_EQ(shown.content, content);
        EXPECT_EQ(shown.expandedText, expanded);
        EXPECT_EQ(shown.iconKind, iconKind);
        EXPECT_EQ(shown.title, L" ") << "no caption: the dialog's blank title";
        EXPECT_EQ(shown.instruction, L"");
        EXPECT_EQ(shown.verificationText, L"");
        EXPECT_EQ(shown.buttons.size(), 1u);
        ui.shown.clear();
    }

    FakeModalUi ui;
    TestPaneHost host;
    TInit_FRAM& pane = host.Show<TInit_FRAM>();
};

TEST_F(InitPaneTest, OpensOnTheNetworkTabWithTheSuitesDefaults) {
    EXPECT_EQ(pane.FrameWidth(), 350);
    EXPECT_EQ(pane.FrameHeight(), 371);
    EXPECT_EQ(pane.ShownPage(L"PageControl"), L"Net_TBS");
    const std::pair<const wchar_t*, std::wstring> texts[] = {
        {L"Server_C1_EDT", L"(Local)\\ZELTO"}, {L"Database_C1_EDT", L"ZELTO"},
        {L"Server_C2_EDT", L"(Local)\\ZELTO"}, {L"Database_C2_EDT", L"ZELTO"},
        {L"ServerIP_EDT", kEmptyAddress},  {L"ClientNum_EDT", L""},
    };
    for (const auto& [name, text] : texts) EXPECT_EQ(pane.Text(name), text) << testing::PrintToString(name);
    EXPECT_FALSE(pane.Checked(L"ServerIP_CHK"));
    EXPECT_FALSE(IsWindowEnabled(pane.Control(L"ServerIP_EDT")));
    for (const wchar_t* shown : {L"LanSetting_BTN", L"OK_BTN", L"ServerIP_CHK", L"ServerIP_EDT", L"ClientNum_EDT"})
        EXPECT_TRUE(IsWindowVisible(pane.Control(shown))) << testing::PrintToString(shown);
    for (const wchar_t* hidden : {L"ActiveCheck_BTN", L"DActiveCheck_BTN", L"Server_C1_EDT"})
        EXPECT_FALSE(IsWindowVisible(pane.Control(hidden))) << testing::PrintToString(hidden);
}

// Every caption on every page stands whole in its box, ending at the box's right edge.
TEST_F(InitPaneTest, CaptionsStandWholeAtTheRightOfTheirBoxes) {
    const std::pair<const wchar_t*, const wchar_t*> labels[] = {
        {nullptr, L"Label1"},     {L"C1_TBS", L"Label2"},  {L"C1_TBS", L"Label3"}, {L"C2_TBS", L"Label4"},
        {L"C2_TBS", L"Label5"},   {L"Net_TBS", L"Label6"}, {L"Net_TBS", L"Label7"},
    };
    for (const auto& [page, name] : labels) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        if (page) pane.ShowPage(page);
        const TLabelInk ink = LabelInk(pane.Control(name));
        EXPECT_GE(ink.right, ink.width - 4) << "box width " << ink.width;
        EXPECT_GT(ink.left, 1) << "box width " << ink.width;
    }
}

TEST_F(InitPaneTest, TheCheckBoxSwitchesTheAddressBoxAndFocusesItOnItsTab) {
    Click(L"ServerIP_CHK");
    EXPECT_TRUE(pane.Checked(L"ServerIP_CHK"));
    EXPECT_TRUE(IsWindowEnabled(pane.Control(L"ServerIP_EDT")));
    EXPECT_EQ(GetFocus(), pane.Control(L"ServerIP_EDT"));
    Click(L"ServerIP_CHK");
    EXPECT_FALSE(IsWindowEnabled(pane.Control(L"ServerIP_EDT")));

    // Switched on while another tab shows: enabled, the focus stays where it was.
    pane.ShowPage(L"C1_TBS");
    SetFocus(pane.Control(L"Server_C1_EDT"));
    pane.SetChecked(L"ServerIP_CHK", true);
    pane.ServerIP_CHKClick();
    EXPECT_TRUE(IsWindowEnabled(pane.Control(L"ServerIP_EDT")));
    EXPECT_EQ(GetFocus(), pane.Control(L"Server_C1_EDT"));
}

// The address box as the keyboard fills it: digits only, the dots fixed, always 15 characters.
TEST_F(InitPaneTest, TheAddressBoxFollowsItsMask) {
    Click(L"ServerIP_CHK");
    HWND box = pane.Control(L"ServerIP_EDT");
    struct Case {
        std::wstring keys;
        std::wstring text;
    } cases[] = {
        {L"192.168.1.5", L"192.168.1  .5  "},
        {L"10.0.0.1", L"10 .0  .0  .1  "},
        {L"abc-+ ,/", kEmptyAddress},
        {L"1x2y3z4", L"123.4  .   .   "},
        {L"1234567890123456", L"123.456.789.012"},
        {L"12\b\b7", L"7  .   .   .   "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.keys));
        SetWindowTextW(box, L"");
        SendMessageW(box, EM_SETSEL, 0, 0);
        EXPECT_EQ(pane.Text(L"ServerIP_EDT"), kEmptyAddress);
        Type(L"ServerIP_EDT", c.keys);
        EXPECT_EQ(pane.Text(L"ServerIP_EDT"), c.text);
        EXPECT_EQ(WindowText(box).size(), 15u);
    }
    // Delete on a dot takes the digit after it; text set by the program is fitted to the mask.
    SetWindowTextW(box, L"1.22.3.4");
    EXPECT_EQ(pane.Text(L"ServerIP_EDT"), L"1  .22 .3  .4  ");
    SendMessageW(box, EM_SETSEL, 3, 3);
    SendMessageW(box, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(pane.Text(L"ServerIP_EDT"), L"1  .2  .3  .4  ");
}

TEST_F(InitPaneTest, RegionalSettingsOfTheCurrentUser) {
    const std::wstring key = L"Control Panel\\International";
    {
        TempRegistryKey user(TempRegistryKey::AsCurrentUser);
        user.SetString(key, L"sShortDate", L"M/d/yyyy");
        user.SetString(key, L"sTimeFormat", L"h:mm:ss tt");
        Click(L"LanSetting_BTN");
        ExpectMessage(L"تنظيمات زبان فارسي با موفقيت انجام شد", L"", 1);
        const std::pair<std::wstring, std::wstring> written[] = {
            {L"iCurrDigits", L"0"},  {L"sCountry", L"Iran"},         {L"sCurrency", L" "},
            {L"sDate", L"/"},        {L"sDecimal", L"."},            {L"sLongDate", L"yyyy/MM/dd"},
            {L"sShortDate", L"yyyy/MM/dd"}, {L"sTimeFormat", L"h:mm:ss tt"},
        };
        for (const auto& [name, data] : written) {
            DWORD type = 0;
            EXPECT_EQ(user.Value(key, name, &type), data) << testing::PrintToString(name);
            EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        }
    }
    {
        // A key the registry will not create: the failure is reported with its words and nothing is written.
        TempRegistryKey user(TempRegistryKey::AsCurrentUser);
        user.CreateVolatile(L"Control Panel");
        Click(L"LanSetting_BTN");
        ExpectMessage(L"انجام تنظيمات زبان فارسي با خطا مواجه شد",
                      L"Failed to create key \\Control Panel\\International. " +
                          zz::SystemErrorText(ERROR_CHILD_MUST_BE_VOLATILE),
                      2);
        EXPECT_FALSE(user.Exists(key));
    }
}

TEST_F(InitPaneTest, FirstRunCheckButtons) {
    const std::wstring key = L"Software\\Zelto", flag = L"CheckRequirment";
    struct Case {
        TPaneHandler button;
        const wchar_t* before;  // nullptr: no value
        std::wstring content;
        std::wstring expanded;
        int icon;
        const wchar_t* after;
    } cases[] = {
        {On<&TInit_FRAM::ActiveCheck_BTNClick>, L"1", L"انجام تنظيمات با موفقيت انجام شد", L"", 1, nullptr},
        {On<&TInit_FRAM::ActiveCheck_BTNClick>, nullptr, L"عمل چک کردن غیر فعال نشده است",
         L"عمل چک کردن پس از اولین اجرای برنامه غیر فعال میشود", 1, nullptr},
        {On<&TInit_FRAM::DActiveCheck_BTNClick>, L"", L"عمل چک کردن قبلا فعال شده است", L"", 1, L""},
        {On<&TInit_FRAM::DActiveCheck_BTNClick>, nullptr, L"انجام تنظيمات با موفقيت انجام شد", L"", 1, L"1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.content));
        TempRegistryKey user(TempRegistryKey::AsCurrentUser);
        if (c.before) user.SetString(key, flag, c.before);
        EXPECT_TRUE(pane.RunOperation(c.button));
        ExpectMessage(c.content, c.expanded, c.icon);
        EXPECT_EQ(user.Value(key, flag), c.after ? c.after : L"<missing>");
    }
    // Twice on in a row: done, then nothing to do.
    TempRegistryKey user(TempRegistryKey::AsCurrentUser);
    user.SetString(key, flag, L"1");
    pane.RunOperation(On<&TInit_FRAM::ActiveCheck_BTNClick>);
    pane.RunOperation(On<&TInit_FRAM::ActiveCheck_BTNClick>);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].request.content, L"انجام تنظيمات با موفقيت انجام شد");
    EXPECT_EQ(ui.shown[1].request.content, L"عمل چک کردن غیر فعال نشده است");
}

TEST_F(InitPaneTest, SwitchingTheCheckOffWhereTheKeyCannotBeMade) {
    TempRegistryKey user(TempRegistryKey::AsCurrentUser);
    user.CreateVolatile(L"Software");
    pane.RunOperation(On<&TInit_FRAM::DActiveCheck_BTNClick>);
    ExpectMessage(L"انجام تنظيمات با خطا مواجه شد",
                  L"Failed to create key \\Software\\Zelto. " + zz::SystemErrorText(ERROR_CHILD_MUST_BE_VOLATILE), 2);
}

// A server that does not answer: the first tab, the focus in its server box, and no ini file written.
TEST_F(InitPaneTest, AServerThatDoesNotAnswerStopsBeforeTheIniFile) {
    const std::wstring ini = IniPathBesideTheProgram();
    for (bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "existing ini file" : "no ini file");
        if (existing) WriteFileBytes(ini, "[CONNECTION]\r\nSERVER=old\r\n");
        pane.ShowPage(L"Net_TBS");
        pane.SetText(L"Server_C1_EDT", L"127.0.0.1,1");
        Click(L"OK_BTN");
        const zz::TaskDialogRequest& shown = OnlyMessage();
        EXPECT_EQ(shown.content, L"سرويس دهنده بانک اطلاعاتي موجود نمي باشد");
        EXPECT_EQ(shown.iconKind, 1);
        EXPECT_NE(shown.expandedText, L"") << "the client's reason";
        ui.shown.clear();
        EXPECT_EQ(pane.ShownPage(L"PageControl"), L"C1_TBS");
        EXPECT_EQ(GetFocus(), pane.Control(L"Server_C1_EDT"));
        EXPECT_EQ(ReadFileBytes(ini), existing ? "[CONNECTION]\r\nSERVER=old\r\n" : "<missing>");
    }
}

class InitPaneServerTest : public InitPaneTest {
protected:
    void SetUp() override {
        InitPaneTest::SetUp();
        if (!SetupServer::Start()) GTEST_SKIP();
    }
};

TEST_F(InitPaneServerTest, TheIniFileAfterTheServerAnswers) {
    struct Case {
        const char* before;  // nullptr: no file
        const wchar_t* database;
        const wchar_t* client;
        bool ip;
        const wchar_t* address;  // typed into the address box, enabled or not
        std::vector<std::string> lines;
    } cases[] = {
        {nullptr, L"NoSuchDatabase", L"", false, nullptr,
         {"[CONNECTION]", "SERVER=(Local)\\ZELTO", "DATABASE=NoSuchDatabase", "[CONNECTION2]",
          "SERVER=(Local)\\ZELTO", "DATABASE=ZELTO"}},
        {nullptr, L"ZELTO", L"12ab", true, L"192.168.1.5",
         {"[CONNECTION]", "SERVER=(Local)\\ZELTO", "DATABASE=ZELTO", "[CONNECTION2]", "SERVER=(Local)\\ZELTO",
          "DATABASE=ZELTO", "[CLIENTINFO]", "NUMBER=12ab", "[SERVERINFO]", "IP=192.168.1.5"}},
        {nullptr, L"ZELTO", L"", true, nullptr,
         {"[CONNECTION]", "SERVER=(Local)\\ZELTO", "DATABASE=ZELTO", "[CONNECTION2]", "SERVER=(Local)\\ZELTO",
          "DATABASE=ZELTO", "[SERVERINFO]", "IP=..."}},
        {"[Other]\r\nA=1\r\n[connection]\r\nUser=u\r\nserver=old\r\n[CLIENTINFO]\r\nNUMBER=7\r\n"
         "[SERVERINFO]\r\nIP=1.2.3.4\r\n[Last]\r\nB=2\r\n",
         L"ZELTO", L"", false, L"10.0.0.1",
         {"[Other]", "A=1", "[connection]", "User=u", "server=(Local)\\ZELTO", "DATABASE=ZELTO", "[Last]", "B=2",
          "[CONNECTION2]", "SERVER=(Local)\\ZELTO", "DATABASE=ZELTO"}},
    };
    const std::wstring ini = IniPathBesideTheProgram();
    TempDir elsewhere;
    ScopedCurrentDirectory cwd(elsewhere.Path());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lines));
        RemoveIniFile();
        if (c.before) WriteFileBytes(ini, c.before);
        TInit_FRAM& init = host.Show<TInit_FRAM>();
        init.SetText(L"Database_C1_EDT", c.database);
        init.SetText(L"ClientNum_EDT", c.client);
        if (c.ip) SendMessageW(init.Control(L"ServerIP_CHK"), BM_CLICK, 0, 0);
        if (c.address) {
            SendMessageW(init.Control(L"ServerIP_EDT"), EM_SETSEL, 0, 0);
            for (wchar_t key : std::wstring(c.address))
                SendMessageW(init.Control(L"ServerIP_EDT"), WM_CHAR, key, 1);
        }
        SendMessageW(init.Control(L"OK_BTN"), BM_CLICK, 0, 0);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].request.content, L"فایل در مسیر زیر ساخته شد\n\r\n\r" + ini);
        EXPECT_EQ(ui.shown[0].request.iconKind, 1);
        ui.shown.clear();
        EXPECT_EQ(IniLines(ini), c.lines);
        EXPECT_EQ(ProgramIniPath(), ini);
    }
}

TEST_F(InitPaneServerTest, AnIniFileThatCannotBeWritten) {
    const std::wstring ini = IniPathBesideTheProgram();
    ASSERT_TRUE(CreateDirectoryW(ini.c_str(), nullptr));
    Click(L"OK_BTN");
    const zz::TaskDialogRequest& shown = OnlyMessage();
    EXPECT_EQ(shown.content, L"ساخت فایل تنظیمات اجرایی ، با خطا مواجه شد");
    EXPECT_EQ(shown.iconKind, 3);
    EXPECT_EQ(shown.expandedText.rfind(L"Cannot create file \"" + ini + L"\". ", 0), 0u)
        << zz::ToUtf8(shown.expandedText);
}

}  // namespace
