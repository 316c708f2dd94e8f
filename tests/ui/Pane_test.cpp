#include "ui/Pane.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include "common/Error.h"
#include "tests/support/TestPaneHost.h"
#include "tests/support/TestSupport.h"
#include "ui/Application.h"

namespace {

class TTestPane : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return 350; }
    int FrameHeight() const override { return 300; }

    void Go_BTNClick() {
        ++clicks;
        busyDuringClick = Host().Busy();
    }
    void Fail_BTNClick() { throw zz::Error(L"It went wrong"); }
    void Name_EDTEnter() { ++enters; }
    void PageShown() { ++pageChanges; }

    int clicks = 0, enters = 0, pageChanges = 0;
    bool busyDuringClick = false;

    static const TControlDef kControls[];

protected:
    std::span<const TControlDef> Controls() const override;
};

using K = TControlKind;
const TControlDef TTestPane::kControls[] = {
    {.name = L"Title_LBL", .kind = K::Label, .rect = {200, 10, 120}, .text = L"نام سرويس دهنده :",
     .textColor = kWhiteText},
    {.name = L"Name_EDT", .kind = K::Edit, .rect = {20, 8, 170, 25}, .text = L"(local)\\Zelto", .leftToRight = true,
     .tabOrder = 2, .onEnter = On<&TTestPane::Name_EDTEnter>},
    {.name = L"Go_BTN", .kind = K::Button, .rect = {40, 45, 270, 33}, .text = L"&1 - اجرا", .hint = L"راهنما",
     .tabOrder = 1, .onClick = On<&TTestPane::Go_BTNClick>},
    {.name = L"Fail_BTN", .kind = K::Button, .rect = {40, 85, 270, 33}, .text = L"&2 - خطا",
     .onClick = On<&TTestPane::Fail_BTNClick>},
    {.name = L"Hidden_BTN", .kind = K::Button, .rect = {40, 85, 270, 33}, .text = L"&3 - پنهان", .visible = false,
     .onClick = On<&TTestPane::Go_BTNClick>},
    {.name = L"Group", .kind = K::GroupBox, .rect = {10, 125, 330, 60}, .text = L"گروه"},
    {.name = L"Inner_CHK", .kind = K::CheckBox, .rect = {100, 25, 200, 20}, .text = L"انتخاب", .parent = L"Group"},
    {.name = L"Line", .kind = K::Bevel, .rect = {10, 190, 330, 2}},
    {.name = L"Pages", .kind = K::TabPages, .rect = {10, 195, 330, 100}},
    {.name = L"First_TBS", .kind = K::TabPage, .text = L" اول ", .parent = L"Pages",
     .onChange = On<&TTestPane::PageShown>},
    {.name = L"Second_TBS", .kind = K::TabPage, .text = L" دوم ", .parent = L"Pages",
     .onChange = On<&TTestPane::PageShown>},
    {.name = L"OnPage_EDT", .kind = K::ReadOnlyEdit, .rect = {10, 10, 150, 22}, .text = L"x",
     .parent = L"Second_TBS"},
};

std::span<const TControlDef> TTestPane::Controls() const {
    return kControls;
}

RECT RectIn(HWND control, HWND reference) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class PaneTest : public testing::Test {
protected:
    void SetUp() override {
        pane = &host.Show<TTestPane>();
        Pump(30);
    }
    FakeModalUi ui;
    TestPaneHost host;
    TTestPane* pane = nullptr;
};

TEST_F(PaneTest, ControlsStandAtTheirDesignPlacesWithTheirTexts) {
    for (const TControlDef& def : TTestPane::kControls) {
        if (def.kind == K::TabPage) continue;
        SCOPED_TRACE(def.name);
        HWND hwnd = pane->Control(def.name);
        RECT r = RectIn(hwnd, pane->Handle());
        POINT origin{0, 0};
        if (def.parent) {  // inside a group box or a page
            RECT holder = RectIn(pane->Control(def.parent), pane->Handle());
            origin = {holder.left, holder.top};
        }
        EXPECT_EQ(r.left, origin.x + def.rect.left);
        EXPECT_EQ(r.top, origin.y + def.rect.top);
        if (def.rect.width) EXPECT_EQ(r.right - r.left, def.rect.width);
        if (def.kind != K::TabPages && def.kind != K::Bevel) EXPECT_EQ(WindowText(hwnd), def.text);
        const bool onHiddenPage = def.parent && std::wstring_view(def.parent) == L"Second_TBS";
        EXPECT_EQ(IsWindowVisible(hwnd) != FALSE, def.visible && !onHiddenPage);
    }
    // Left-to-right edit boxes read left to right; the pane's own text reads right to left.
    EXPECT_FALSE(GetWindowLongW(pane->Control(L"Name_EDT"), GWL_EXSTYLE) & WS_EX_RTLREADING);
    EXPECT_TRUE(GetWindowLongW(pane->Control(L"Go_BTN"), GWL_EXSTYLE) & WS_EX_RTLREADING);
    // The hint is a tooltip of the button.
    HWND tips = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            wchar_t cls[64];
            GetClassNameW(w, cls, 64);
            if (std::wstring(cls) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(lp) = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips, nullptr);
    wchar_t text[128] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = pane->Handle();
    info.uId = reinterpret_cast<UINT_PTR>(pane->Control(L"Go_BTN"));
    info.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"راهنما");
}

TEST_F(PaneTest, ClicksAndAcceleratorsReachTheHandler) {
    SendMessageW(pane->Control(L"Go_BTN"), BM_CLICK, 0, 0);
    EXPECT_EQ(pane->clicks, 1);
    EXPECT_TRUE(pane->busyDuringClick);
    EXPECT_FALSE(host.Busy());

    // Alt with the digit, and the digit alone while the focus is on a button.
    SetFocus(pane->Control(L"Fail_BTN"));
    PostMessageW(pane->Control(L"Fail_BTN"), WM_SYSCHAR, L'1', 1 << 29);
    Pump(50);
    EXPECT_EQ(pane->clicks, 2);
    PostMessageW(pane->Control(L"Fail_BTN"), WM_CHAR, L'1', 1);
    Pump(50);
    EXPECT_EQ(pane->clicks, 3);
    // In an edit box the digit is text.
    SetFocus(pane->Control(L"Name_EDT"));
    EXPECT_EQ(pane->enters, 1);
    SendMessageW(pane->Control(L"Name_EDT"), EM_SETSEL, 0, -1);
    PostMessageW(pane->Control(L"Name_EDT"), WM_CHAR, L'1', 1);
    Pump(50);
    EXPECT_EQ(pane->clicks, 3);
    EXPECT_EQ(pane->Text(L"Name_EDT"), L"1");
    // The tab order of the table: the button numbered 1, then the edit box numbered 2, then the rest.
    EXPECT_EQ(GetNextDlgTabItem(pane->Handle(), pane->Control(L"Go_BTN"), FALSE), pane->Control(L"Name_EDT"));
}

TEST_F(PaneTest, AnErrorInAHandlerReachesTheErrorBoxAndThePaneGoesOn) {
    SendMessageW(pane->Control(L"Fail_BTN"), BM_CLICK, 0, 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, L"error");
    EXPECT_EQ(ui.shown[0].text, L"It went wrong.");
    EXPECT_FALSE(host.Busy());
    SendMessageW(pane->Control(L"Go_BTN"), BM_CLICK, 0, 0);
    EXPECT_EQ(pane->clicks, 1);
}

TEST_F(PaneTest, ABusyHostRefusesClicks) {
    host.SetBusy(true);
    SendMessageW(pane->Control(L"Go_BTN"), BM_CLICK, 0, 0);
    EXPECT_EQ(pane->clicks, 0);
    EXPECT_TRUE(host.Busy());
}

TEST_F(PaneTest, TabPagesShowTheirOwnControls) {
    EXPECT_EQ(pane->ShownPage(L"Pages"), L"First_TBS");
    EXPECT_FALSE(IsWindowVisible(pane->Control(L"OnPage_EDT")));
    const int before = pane->pageChanges;
    pane->ShowPage(L"Second_TBS");
    EXPECT_EQ(pane->ShownPage(L"Pages"), L"Second_TBS");
    EXPECT_TRUE(IsWindowVisible(pane->Control(L"OnPage_EDT")));
    EXPECT_FALSE(IsWindowVisible(pane->Control(L"First_TBS")));
    EXPECT_EQ(pane->pageChanges, before + 1);
    EXPECT_THROW(pane->Control(L"NoSuchControl"), zz::Error);
}

}  // namespace
