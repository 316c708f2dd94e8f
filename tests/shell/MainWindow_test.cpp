#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "tests/support/TestSupport.h"
#include "common/Paths.h"
#include "ui/Application.h"
#include "panes/DBoperations.h"
#include "panes/Help.h"
#include "platform/Services_UNT.h"
#include "panes/IntelligentService.h"
#include "panes/Init.h"
#include "panes/SysInfo.h"
#include "shell/Main_UNT.h"
#include "panes/RegFiles.h"
#include "panes/Services.h"

namespace {

std::string HandleLine(HWND hwnd) {
    return std::to_string(reinterpret_cast<uintptr_t>(hwnd)) + "\r\n";
}

RECT ClientRectOf(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class MainWindowTest : public testing::Test {
protected:
    void Open(const std::wstring& parameter = L"") {
        form = std::make_unique<TMain_frm>(parameter);
        form->QuitOnClose = false;
        form->CreateAndShow();
        Pump(50);
    }
    void TearDown() override {
        form.reset();
        Pump(20);
    }

    // Posts a key to the focused control as the keyboard would, with the given modifiers held.
    void Key(WORD key, TShiftState shift = 0, HWND target = nullptr) {
        BYTE state[256] = {};
        if (shift & ssShift) state[VK_SHIFT] = 0x80;
        if (shift & ssCtrl) state[VK_CONTROL] = 0x80;
        if (shift & ssAlt) state[VK_MENU] = 0x80;
        SetKeyboardState(state);
        PostMessageW(target ? target : form->Code_edt(), (shift & ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
        Pump(30);
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
    void EnterCode(const std::wstring& text, TShiftState shift = 0) {
        SetWindowTextW(form->Code_edt(), text.c_str());
        SendMessageW(form->Code_edt(), EM_SETSEL, 0, 0);
        Key(VK_RETURN, shift);
    }
    bool CodeSelected() {
        DWORD start = 0, end = 0;
        SendMessageW(form->Code_edt(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start == 0 && end > 0 && end == static_cast<DWORD>(GetWindowTextLengthW(form->Code_edt()));
    }
    void Click(HWND control) {
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        PostMessageW(control, WM_LBUTTONUP, 0, 0);
        Pump(30);
    }

    TempDir cwdDir;
    ScopedCurrentDirectory cwd{cwdDir.Path()};
    FakeModalUi ui;
    std::unique_ptr<TMain_frm> form;
};

}  // namespace

TEST_F(MainWindowTest, CodeBoxDispatch) {
    struct Case {
        const wchar_t* text;
        const std::type_info* frame;  // nullptr: the shown frame stays
        bool warning;
        bool selected;
        bool error;
    } cases[] = {
        {L"", nullptr, false, false, false},
        {L"0", &typeid(THelp_FRAM), false, true, false},
        {L"1", &typeid(TServices_FRAM), false, true, false},
        {L"2", &typeid(TRegFiles_FRAM), false, true, false},
        {L"3", &typeid(TDBoperations_FRAM), false, true, false},
        {L"4", &typeid(TSysInfo_FRAM), false, true, false},
        {L"6", &typeid(TInit_FRAM), false, true, false},
        {L"9", &typeid(TIntelligentService_FRAM), false, true, false},
        {L"5", nullptr, false, true, false},
        {L"7", nullptr, false, true, false},
        {L"8", nullptr, false, true, false},
        {L"-1", nullptr, false, true, false},
        {L"-99", nullptr, false, true, false},
        {L"10", nullptr, true, true, false},
        {L"99", nullptr, true, true, false},
        {L"999", nullptr, true, true, false},
        {L" 3", &typeid(TDBoperations_FRAM), false, true, false},
        {L"$9", &typeid(TIntelligentService_FRAM), false, true, false},
        {L"3 ", nullptr, false, false, true},
        {L"abc", nullptr, false, false, true},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        TPane* before = form->ActiveFrame();
        ui.shown.clear();
        EnterCode(c.text);
        TPane* after = form->ActiveFrame();
        ASSERT_NE(after, nullptr);
        if (c.frame) {
            EXPECT_NE(after, before) << "a new frame every time";
            EXPECT_EQ(typeid(*after), *c.frame);
        } else {
            EXPECT_EQ(after, before);
        }
        EXPECT_EQ(CodeSelected(), c.selected);
        if (c.warning) {
            ASSERT_EQ(ui.shown.size(), 1u);
            const auto& r = ui.shown[0].request;
            EXPECT_EQ(ui.shown[0].kind, L"task");
            EXPECT_EQ(r.content, L"عملياتي با اين کد وجود ندارد");
            EXPECT_EQ(r.title, L" ");
            EXPECT_EQ(r.instruction, L"");
            EXPECT_EQ(r.expandedText, L"");
            EXPECT_EQ(r.verificationText, L"");
            EXPECT_EQ(r.iconKind, 2);
            ASSERT_EQ(r.buttons.size(), 1u);
            EXPECT_EQ(r.buttons[0].caption, L"تأييـد");
            EXPECT_EQ(r.defaultButton, 99);
        } else if (c.error) {
            ASSERT_EQ(ui.shown.size(), 1u);
            EXPECT_EQ(ui.shown[0].kind, L"error");
            EXPECT_EQ(ui.shown[0].text, L"''" + std::wstring(c.text) + L"'' is not a valid integer value.");
            EXPECT_EQ(ui.shown[0].title, zz::Application::Title());
        } else {
            EXPECT_TRUE(ui.shown.empty());
        }
        EXPECT_TRUE(IsWindow(form->Handle()));
    }
}

TEST_F(MainWindowTest, KeysWithModifiersDoNothing) {
    Open();
    EnterCode(L"3");
    TPane* frame = form->ActiveFrame();
    for (TShiftState shift : {ssShift, ssCtrl, ssAlt}) {
        EnterCode(L"1", shift);
        EXPECT_EQ(form->ActiveFrame(), frame);
        EXPECT_FALSE(CodeSelected());
        Key(VK_F1, shift);
        EXPECT_EQ(form->ActiveFrame(), frame);
        Key(VK_ESCAPE, shift);
        EXPECT_TRUE(IsWindow(form->Handle()));
    }
}

TEST_F(MainWindowTest, F1ShowsTheListAndFocusesTheCodeBoxWhileAClickLeavesTheFocus) {
    Open();
    EnterCode(L"3");
    SetFocus(form->Label4());
    Key(VK_F1, 0, form->Label4());
    EXPECT_EQ(typeid(*form->ActiveFrame()), typeid(THelp_FRAM));
    EXPECT_EQ(GetFocus(), form->Code_edt());

    EnterCode(L"4");
    SetFocus(form->Label4());
    TPane* before = form->ActiveFrame();
    Click(form->Help_LBL());
    EXPECT_NE(form->ActiveFrame(), before);
    EXPECT_EQ(typeid(*form->ActiveFrame()), typeid(THelp_FRAM));
    EXPECT_EQ(GetFocus(), form->Label4());

    // A release without a press on the label is no click.
    EnterCode(L"4");
    before = form->ActiveFrame();
    PostMessageW(form->Help_LBL(), WM_LBUTTONUP, 0, 0);
    Pump(30);
    EXPECT_EQ(form->ActiveFrame(), before);
}

TEST_F(MainWindowTest, TheCodeBoxGetsTheFocusBackWhenTheWindowIsActivatedAgain) {
    Open();
    EnterCode(L"10");
    EXPECT_EQ(GetFocus(), form->Code_edt());
    HWND other = CreateWindowExW(0, L"STATIC", L"other form", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    Pump(30);
    SetActiveWindow(form->Handle());
    Pump(30);
    EXPECT_EQ(GetFocus(), form->Code_edt()) << "typing goes on where it left off";
    DestroyWindow(other);
}

TEST_F(MainWindowTest, AFrameReplacedWhileItsHandlerRunsLivesUntilTheHandlerEnds) {
    Open();
    auto& list = dynamic_cast<THelp_FRAM&>(*form->ActiveFrame());
    HWND listWindow = list.Handle();
    bool aliveInside = false;
    // A handler that handles messages while it runs (as waits for launched programs do), during which F1 replaces
    // its frame.
    list.LineLabel(0).OnClick = [&] {
        Key(VK_F1);
        Pump(50);
        aliveInside = IsWindow(listWindow) != FALSE;
    };
    Click(list.LineLabel(0).Handle());
    EXPECT_TRUE(aliveInside);
    EXPECT_NE(form->ActiveFrame()->Handle(), listWindow);
    Pump(30);
    EXPECT_FALSE(IsWindow(listWindow)) << "freed once the handler is over";
}

TEST_F(MainWindowTest, Appearances) {
    struct Case {
        const wchar_t* parameter;
        bool borderless;
    } cases[] = {{L"", false}, {L"mis", false}, {L"MISX", false}, {L"x", false}, {L"MIS", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.parameter)));
        Open(c.parameter);
        HWND h = form->Handle();
        LONG style = GetWindowLongW(h, GWL_STYLE);
        MINMAXINFO limits{};
        SendMessageW(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_EQ(limits.ptMinTrackSize.x, 450);
        EXPECT_EQ(limits.ptMinTrackSize.y, 600);
        if (c.borderless) {
            EXPECT_EQ(WindowText(h), L"ZeltoZariZovu");
            EXPECT_FALSE(style & WS_CAPTION);
            EXPECT_FALSE(style & WS_THICKFRAME);
            EXPECT_FALSE(IsWindowVisible(form->Footer_PNL()));
            EXPECT_FALSE(IsWindowVisible(form->Bevel1()));
            EXPECT_EQ(form->WindowColor(), RGB(128, 128, 128));
            EXPECT_EQ(form->HeaderColor(), RGB(192, 192, 192));
            EXPECT_NE(limits.ptMaxTrackSize.x, 450);
        } else {
            EXPECT_EQ(WindowText(h), L"ویرایش 8.455");
            EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
            EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
            EXPECT_TRUE(IsWindowVisible(form->Footer_PNL()));
            EXPECT_TRUE(IsWindowVisible(form->Bevel1()));
            EXPECT_EQ(form->WindowColor(), RGB(110, 43, 0));
            EXPECT_EQ(form->HeaderColor(), RGB(254, 191, 1));
            EXPECT_EQ(limits.ptMaxTrackSize.x, 450);
            EXPECT_EQ(limits.ptMaxTrackSize.y, 600);
            // The header text stands where it was designed and the code box 15 pixels to its left.
            RECT label1 = ClientRectOf(form->Label1()), code = ClientRectOf(form->Code_edt());
            EXPECT_EQ(label1.left, 72);
            EXPECT_EQ(label1.top, 15);
            EXPECT_EQ(label1.right - label1.left, 311);
            EXPECT_EQ(code.left, 72 - 50 - 15);
            EXPECT_EQ(code.right - code.left, 50);
        }
        EXPECT_EQ(GetFocus(), form->Code_edt());
        Key(VK_ESCAPE);
        EXPECT_EQ(IsWindow(h) != FALSE, c.borderless) << "Esc closes only the standard window";
        form.reset();
    }
}

TEST_F(MainWindowTest, FramesAreCentredBelowTheHeaderAndFollowResizing) {
    Open(L"MIS");
    for (const wchar_t* code : {L"0", L"3", L"9"}) {
        EnterCode(code);
        RECT outer, frame = ClientRectOf(form->ActiveFrame()->Handle());
        GetWindowRect(form->Handle(), &outer);
        EXPECT_EQ(frame.top, 50);
        EXPECT_EQ(frame.left, (outer.right - outer.left) / 2 - form->ActiveFrame()->FrameWidth() / 2);
    }
    auto centreFraction = [&](HWND control) {
        RECT r = ClientRectOf(control), client;
        GetClientRect(form->Handle(), &client);
        return (r.left + r.right) / 2.0 / client.right;
    };
    RECT client;
    GetClientRect(form->Handle(), &client);
    const double label1 = centreFraction(form->Label1());
    const int helpGap = client.bottom - ClientRectOf(form->Panel1()).bottom;

    SetWindowPos(form->Handle(), nullptr, 0, 0, 700, 650, SWP_NOMOVE | SWP_NOZORDER);
    Pump(30);
    GetClientRect(form->Handle(), &client);
    EXPECT_NEAR(centreFraction(form->Label1()), label1, 2.0 / client.right);
    EXPECT_EQ(ClientRectOf(form->Code_edt()).right, ClientRectOf(form->Label1()).left - 15);
    EXPECT_EQ(client.bottom - ClientRectOf(form->Panel1()).bottom, helpGap);
    RECT outer, frame = ClientRectOf(form->ActiveFrame()->Handle());
    GetWindowRect(form->Handle(), &outer);
    EXPECT_EQ(frame.left, (outer.right - outer.left) / 2 - form->ActiveFrame()->FrameWidth() / 2);
}

// With the workstation's fonts, no text of the window is cut off by its parent's edges or hidden by a sibling.
TEST_F(MainWindowTest, EveryControlCanBeSeen) {
    for (const wchar_t* parameter : {L"", L"MIS"}) {
        Open(parameter);
        EnumChildWindows(
            form->Handle(),
            [](HWND hwnd, LPARAM) -> BOOL {
                wchar_t cls[64];
                GetClassNameW(hwnd, cls, 64);
                if (std::wstring(cls) == L"ZZLabel" && IsWindowVisible(hwnd)) {
                    RECT r = ClientRectOf(hwnd), parent;
                    GetClientRect(GetParent(hwnd), &parent);
                    EXPECT_GE(r.left, 0) << testing::PrintToString(WindowText(hwnd));
                    EXPECT_LE(r.right, parent.right) << testing::PrintToString(WindowText(hwnd));
                }
                return TRUE;
            },
            0);
        RECT code = ClientRectOf(form->Code_edt());
        EXPECT_GE(code.left, 0);
        // Nothing lies over the code box and the header text (the header band is beneath them).
        for (HWND control : {form->Code_edt(), form->Label1()}) {
            RECT r = ClientRectOf(control);
            POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            HWND top = ChildWindowFromPointEx(form->Handle(), centre, CWP_SKIPINVISIBLE);
            wchar_t cls[64] = L"";
            GetClassNameW(top, cls, 64);
            RECT t = ClientRectOf(top);
            EXPECT_EQ(top, control) << testing::PrintToString(std::wstring(cls)) << " at " << t.left << "," << t.top
                                    << "-" << t.right << "," << t.bottom << " over " << r.left << "," << r.top;
        }
        form.reset();
    }
}

TEST_F(MainWindowTest, HandleFileAfterStartAndAfterReactivation) {
    Open();
    const std::wstring file = cwdDir.File(L"ZariZovuHandle.txt");
    EXPECT_EQ(ReadFileBytes(file), HandleLine(form->Handle()));

    DeleteFileW(file.c_str());
    HWND other = CreateWindowExW(0, L"STATIC", L"other form", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    Pump(30);
    EXPECT_EQ(ReadFileBytes(file), "<missing>") << "leaving the main window writes nothing";
    SetActiveWindow(form->Handle());
    Pump(30);
    EXPECT_EQ(ReadFileBytes(file), HandleLine(form->Handle()));
    DestroyWindow(other);
}

TEST_F(MainWindowTest, FailedHandleWriteIsReportedOncePerActivation) {
    // A folder of that name makes the file impossible to create.
    CreateDirectoryW(cwdDir.File(L"ZariZovuHandle.txt").c_str(), nullptr);
    // Like the real error box: a window of the program that takes the activation and hands it back.
    ui.answer = nullptr;
    struct ErrorWindowUi : FakeModalUi {
        void ErrorBox(HWND parent, const std::wstring& text, const std::wstring& title) override {
            FakeModalUi::ErrorBox(parent, text, title);
            HWND box = CreateWindowExW(0, L"STATIC", title.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, parent,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
            SetActiveWindow(box);
            Pump(20);
            DestroyWindow(box);
        }
    } boxes;
    Open();
    Pump(300);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, L"error");
    EXPECT_EQ(boxes.shown[0].text.rfind(L"Cannot create file \"ZariZovuHandle.txt\". ", 0), 0u)
        << testing::PrintToString(boxes.shown[0].text);
    EXPECT_EQ(boxes.shown[0].text.back(), L'.');
    EXPECT_TRUE(IsWindow(form->Handle()));

    // A real new activation tries again.
    HWND other = CreateWindowExW(0, L"STATIC", L"other form", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    Pump(30);
    SetActiveWindow(form->Handle());
    Pump(300);
    EXPECT_EQ(boxes.shown.size(), 2u);
    DestroyWindow(other);
}

// --- the operation list ---

class OperationListTest : public MainWindowTest {
protected:
    void SetUp() override { Open(); }
    THelp_FRAM& List() { return dynamic_cast<THelp_FRAM&>(*form->ActiveFrame()); }
    static std::wstring ProgramFolder() { return zz::ExecutableFolder(); }
};

TEST_F(OperationListTest, LinesStandRightAlignedOneUnderAnother) {
    THelp_FRAM& list = List();
    EXPECT_EQ(list.FrameWidth(), 364);
    const struct {
        int tag;
        const wchar_t* text;
    } lines[] = {
        {1, L"1 -  راه اندازي سرويس ها "}, {2, L"2 - ثبت فايل هاي مورد نياز"},
        {3, L"3 - عمليات بانک اطلاعاتي"},   {4, L"4 - نمايش اطلاعات سيستم"},
        {6, L"6 - تنظيمات پيش از اجرا"},    {-1, L"8 - بروز رسانی نرم افزار"},
        {9, L"9 - سرویس هوشمند"},
    };
    ASSERT_EQ(list.LineCount(), std::size(lines));
    for (size_t i = 0; i < std::size(lines); ++i) {
        RECT r = ClientRectOf(list.LineLabel(i).Handle());
        EXPECT_EQ(WindowText(list.LineLabel(i).Handle()), lines[i].text);
        EXPECT_EQ(list.LineTag(i), lines[i].tag);
        EXPECT_EQ(r.right, 343);
        EXPECT_EQ(r.top, 24 + 30 * static_cast<int>(i));
    }
}

TEST_F(OperationListTest, ClickOnALineActsAsTypingItsCode) {
    Click(List().LineLabel(2).Handle());  // "3 - ..."
    EXPECT_EQ(WindowText(form->Code_edt()), L"3");
    EXPECT_EQ(typeid(*form->ActiveFrame()), typeid(TDBoperations_FRAM));
    EXPECT_TRUE(CodeSelected());
    Pump(30);  // the old list is freed after its click; nothing of it is used any more
    EnterCode(L"0");
    Click(List().LineLabel(6).Handle());  // "9 - ..."
    EXPECT_EQ(typeid(*form->ActiveFrame()), typeid(TIntelligentService_FRAM));
}

TEST_F(OperationListTest, HoverHighlightsOnlyTheLineUnderTheMouse) {
    zz::Label& a = List().LineLabel(0);
    zz::Label& b = List().LineLabel(1);
    SendMessageW(a.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(a.TextColor(), RGB(254, 191, 1));
    LOGFONTW lf{};
    GetObjectW(a.Font(), sizeof lf, &lf);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    SendMessageW(a.Handle(), WM_MOUSELEAVE, 0, 0);
    SendMessageW(b.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(a.TextColor(), RGB(255, 255, 255));
    GetObjectW(a.Font(), sizeof lf, &lf);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_EQ(b.TextColor(), RGB(254, 191, 1));
}

TEST_F(OperationListTest, UpdaterLineStartsTheUpdaterWithItsParameters) {
    EnterCode(L"0");
    SetWindowTextW(form->Code_edt(), L"");
    TPane* frame = form->ActiveFrame();
    const std::wstring tools = ProgramFolder() + L"Tools";
    const std::wstring updater = tools + L"\\InternetUpdater.exe";
    DeleteFileW(updater.c_str());

    Click(List().LineLabel(5).Handle());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, L"message");
    EXPECT_EQ(ui.shown[0].text, L"فایل بروز رسان یافت نشد.");

    CreateDirectoryW(tools.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(ZZ_RECORDER_EXE, updater.c_str(), FALSE));
    const std::wstring log = updater + L".log";
    DeleteFileW(log.c_str());
    Click(List().LineLabel(5).Handle());
    EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(log) != "<missing>"; }));
    Pump(100);
    std::string line = ReadFileBytes(log);
    const std::string tail = " 0 null null null \"null\"\r\n";
    ASSERT_GE(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail) << line;
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(WindowText(form->Code_edt()), L"");
    EXPECT_EQ(form->ActiveFrame(), frame);
    Pump(200);
    DeleteFileW(log.c_str());
    DeleteFileW(updater.c_str());
    RemoveDirectoryW(tools.c_str());
}

TEST_F(OperationListTest, RemoteSupportMissingAndPresent) {
    const std::wstring folder = ProgramFolder() + L"Remote Support";
    const std::wstring program = folder + L"\\NetViewer.exe";
    DeleteFileW(program.c_str());
    Click(form->Label3());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, L"message");
    EXPECT_EQ(ui.shown[0].text, L"فایل پشتیبانی از راه دور در مسیر مربوطه وجود ندارد.\n\r\n\r" + program);
    EXPECT_EQ(ui.shown[0].title, zz::Application::Title());

    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(ZZ_RECORDER_EXE, program.c_str(), FALSE));
    const std::wstring log = program + L".log";
    DeleteFileW(log.c_str());
    Click(form->Label3());
    EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(log) != "<missing>"; }));
    Pump(100);
    std::string line = ReadFileBytes(log);
    EXPECT_EQ(line.find("null"), std::string::npos) << "started without parameters: " << line;
    EXPECT_EQ(ui.shown.size(), 1u);
    Pump(200);
    DeleteFileW(log.c_str());
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(MainWindowTest, ExitTextClosesTheWindow) {
    Open();
    HWND h = form->Handle();
    Click(form->Label4());
    EXPECT_FALSE(IsWindow(h));
}

// --- a pane's operation that waits for a launched program ---

namespace {

const Recorder* launched = nullptr;

class TWaitingPane : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return 350; }
    int FrameHeight() const override { return 100; }
    void Run_BTNClick() { ExecuteAndWait(launched->Path(), L"", false); }

protected:
    std::span<const TControlDef> Controls() const override {
        static const TControlDef controls[] = {
            {.name = L"Run_BTN", .kind = TControlKind::Button, .rect = {40, 20, 270, 33}, .text = L"&1 - اجرا",
             .onClick = On<&TWaitingPane::Run_BTNClick>},
        };
        return controls;
    }
};

class BusyTest : public MainWindowTest {
protected:
    void SetUp() override {
        program.RunFor(1500);
        launched = &program;
        Open();
        form->SetActiveFrame(&MakePane<TWaitingPane>);
        pane = form->ActiveFrame();
        button = pane->Control(L"Run_BTN");
    }
    TempDir programDir;
    Recorder program{programDir.File(L"tool.exe")};
    TPane* pane = nullptr;
    HWND button = nullptr;
};

}  // namespace

TEST_F(BusyTest, WhileAnOperationWaitsNoCodeNoHelpKeyAndNoSecondClickAreTaken) {
    SetWindowTextW(form->Code_edt(), L"3");
    PostMessageW(form->Code_edt(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(form->Code_edt(), WM_KEYDOWN, VK_F1, 1);
    PostMessageW(button, BM_CLICK, 0, 0);
    PostMessageW(form->Help_LBL(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(form->Help_LBL(), WM_LBUTTONUP, 0, 0);
    SendMessageW(button, BM_CLICK, 0, 0);  // runs until the program has ended
    EXPECT_EQ(program.CommandLines().size(), 1u) << "one run: the second click was refused";
    EXPECT_EQ(program.ShowModes().size(), 1u) << "the click returned once the program had ended";
    EXPECT_EQ(form->ActiveFrame(), pane) << "neither the code, F1 nor the help line replaced the pane";
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(form->Busy());
    EnterCode(L"3");
    EXPECT_NE(form->ActiveFrame(), pane) << "codes are taken again afterwards";
}

TEST_F(BusyTest, ClosingTheWindowEndsTheWait) {
    form->QuitOnClose = true;
    program.RunFor(4000);
    PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_TRUE(program.ShowModes().empty()) << "the wait ended while the program still ran";
    EXPECT_TRUE(PumpUntil([&] { return program.CommandLines().size() == 1; })) << "it had been started";
    EXPECT_FALSE(IsWindow(button));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program's loop ends next";
}
