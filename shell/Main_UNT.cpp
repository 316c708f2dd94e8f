#include "shell/Main_UNT.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cmath>
#include <string>

#include "common/Convert.h"
#include "common/Error.h"
#include "common/Handle.h"
#include "common/Paths.h"
#include "ui/Application.h"
#include "panes/Help.h"
#include "ui/Message_UNT.h"
#include "ui/ModalUi.h"
#include "panes/OperationTable.h"

namespace {

constexpr UINT WM_HANDLE_REPORT_DONE = WM_APP + 2;
constexpr int kDesignWidth = 434;
constexpr int kOuterWidth = 450;
constexpr int kOuterHeight = 600;
constexpr COLORREF kAmber = RGB(254, 191, 1);
constexpr COLORREF kFooterText = RGB(100, 50, 0);
constexpr int kRemoteRight = 390;  // right edge of the remote-support text, just left of its icon
const wchar_t* const kHandleFileName = L"ZariZovuHandle.txt";

LRESULT CALLBACK CodeEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* form = reinterpret_cast<TMain_frm*>(data);
    switch (msg) {
        case WM_GETDLGCODE:
            if (lp) {
                auto* m = reinterpret_cast<MSG*>(lp);
                if (m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
                    return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, msg, wp, lp);
            }
            break;
        case WM_KEYDOWN:
            if (wp == VK_RETURN) {
                WORD key = VK_RETURN;
                zz::Guarded([&] { form->Code_edtKeyDown(key, CurrentShiftState()); });
                return 0;
            }
            break;
        case WM_CHAR:
            if (wp == L'\r' || wp == 27 || wp == L'\n') return 0;  // no beep for Enter and Esc
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

TShiftState CurrentShiftState() {
    TShiftState state = 0;
    if (GetKeyState(VK_SHIFT) < 0) state |= ssShift;
    if (GetKeyState(VK_MENU) < 0) state |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) state |= ssCtrl;
    return state;
}

TMain_frm::TMain_frm(std::wstring firstParameter) : firstParameter_(std::move(firstParameter)) {}

TMain_frm::~TMain_frm() {
    zz::Application::SetAfterDispatch(nullptr);
    FActiveFrame.reset();
    retired_.clear();
    Destroy();
}

void TMain_frm::CreateAndShow() {
    borderless_ = firstParameter_ == L"MIS";
    DWORD style = borderless_ ? WS_POPUP | WS_CLIPCHILDREN
                              : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    int x = (GetSystemMetrics(SM_CXSCREEN) - kOuterWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kOuterHeight) / 2;
    CreateWin(L"TMain_frm", WS_EX_APPWINDOW | WS_EX_CONTROLPARENT | WS_EX_RTLREADING, L"", style, x, y, kOuterWidth,
              kOuterHeight, nullptr);
    zz::Application::SetMainForm(Handle(), [this](WPARAM key) {
        WORD k = static_cast<WORD>(key);
        FormKeyDown(k, CurrentShiftState());
    });
    zz::Application::SetAfterDispatch([this] { ReleaseRetiredFrames(); });
    FormCreate();
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
    SetFocus(codeEdit_);
}

void TMain_frm::CreateControls() {
    HWND self = Handle();
    RECT rc;
    GetClientRect(self, &rc);
    const int width = rc.right, height = rc.bottom;
    const HFONT bold12 = zz::ProgramFont(12, true);

    shape1_.Create(self, 0, 0, width, 48, kAmber, kAmber);
    bevel_.Create(self, 0, 48, width, 1, GetSysColor(COLOR_BTNSHADOW));

    label1_.CreateRightAligned(self, L"کد عملياتي که مي خواهيد انجام دهيد را انتخاب کنيد :", 72 + 311, 15,
                               {RGB(0, 0, 0), kAmber, bold12, false, true}, 311);
    codeEdit_ = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_RTLREADING | WS_EX_RIGHT, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL | WS_CLIPSIBLINGS, 14,
                                11, 50, 25, self, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(codeEdit_, WM_SETFONT, reinterpret_cast<WPARAM>(bold12), FALSE);
    SendMessageW(codeEdit_, EM_LIMITTEXT, 3, 0);
    SetWindowSubclass(codeEdit_, CodeEditProc, 1, reinterpret_cast<DWORD_PTR>(this));

    // The help line: one sentence, read right to left, around the key name.
    panel1_.Create(self, 15, 472, 407, 41);
    const std::wstring before = L"براي ديدن ليستي از گزينه هاي قابل انتخاب دکمه";
    const std::wstring key = L"F1";
    const std::wstring after = L"را فشار دهيد.";
    const HFONT bold16 = zz::ProgramFont(16, true);
    int wBefore = zz::Label::TextWidth(self, bold12, before) + 2;
    int wKey = zz::Label::TextWidth(self, bold16, key) + 2;
    int wAfter = zz::Label::TextWidth(self, bold12, after) + 2;
    const int gap = 5;
    int right = 407 - (407 - (wBefore + wKey + wAfter + 2 * gap)) / 2;
    label22_.CreateRightAligned(panel1_.Handle(), before, right, 11, {RGB(255, 255, 255)});
    right -= wBefore + gap;
    helpKey_.CreateRightAligned(panel1_.Handle(), key, right, 8,
                                {RGB(255, 255, 0), zz::Panel::kParentColor, bold16, true});
    right -= wKey + gap;
    label2_.CreateRightAligned(panel1_.Handle(), after, right, 11, {RGB(255, 255, 255)});
    for (zz::Label* l : {&label22_, &helpKey_, &label2_}) l->OnClick = [this] { Help_LNKClick(); };

    // Footer: exit at the left, remote support at the right.
    footer_.Create(self, 0, height - 47, width, 47, kAmber);
    const zz::Label::Style footerText{kFooterText, zz::Panel::kParentColor, bold12, true, true};
    image2_.Create(footer_.Handle(), L"", 10, 9, 32, 32, {kFooterText, zz::Panel::kParentColor, bold12, true});
    image2_.SetIcon(LoadIconW(nullptr, IDI_HAND));
    int wExit = zz::Label::TextWidth(self, bold12, L"خروج Esc") + 2;
    label4_.CreateRightAligned(footer_.Handle(), L"خروج Esc", 48 + wExit, 19, footerText);
    label3_.CreateRightAligned(footer_.Handle(), L"پشتیبانی از راه دور", kRemoteRight, 19, footerText);
    image1_.Create(footer_.Handle(), L"", 395, 9, 32, 32, {kFooterText, zz::Panel::kParentColor, bold12, true});
    image1_.SetIcon(LoadIconW(nullptr, IDI_INFORMATION));
    for (zz::Label* l : {&label4_, &image2_}) l->OnClick = [this] { Label4Click(); };
    for (zz::Label* l : {&label3_, &image1_}) l->OnClick = [this] { Label3Click(); };

    // New children go beneath their siblings: put the header band back under the header text and the code box.
    SetWindowPos(shape1_.Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    AnchorCentre(label1_.Handle(), false);
    AnchorCentre(codeEdit_, false);
    AnchorCentre(panel1_.Handle(), true);
}

void TMain_frm::AnchorCentre(HWND hwnd, bool bottom) {
    RECT client, r;
    GetClientRect(Handle(), &client);
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    double centre = client.right > 0 ? (r.left + (r.right - r.left) / 2.0) / client.right : 0.5;
    anchors_.push_back({hwnd, centre, bottom ? client.bottom - r.bottom : -1});
}

void TMain_frm::FormCreate() {
    // 1. Appearance.
    if (borderless_) {
        SetWindowTextW(Handle(), L"ZeltoZariZovu");
        windowColor_ = RGB(128, 128, 128);
    } else {
        SetWindowTextW(Handle(), L"ویرایش 8.455");
    }
    CreateControls();
    if (borderless_) {
        ShowWindow(footer_.Handle(), SW_HIDE);
        ShowWindow(bevel_.Handle(), SW_HIDE);
        shape1_.SetColors(RGB(192, 192, 192), RGB(192, 192, 192));
    }
    // 2. The operation list is the first frame.
    SetActiveFrame(&MakePane<THelp_FRAM>);
    // 3. Persian keyboard; the current layout stays if it is not available.
    LoadKeyboardLayoutW(L"00000429", KLF_ACTIVATE);
    FormResize();
}

COLORREF TMain_frm::HeaderColor() const {
    return shape1_.Color();
}

void TMain_frm::PlaceFrame(TPane& frame) {
    RECT outer;
    GetWindowRect(Handle(), &outer);
    int left = (outer.right - outer.left) / 2 - frame.FrameWidth() / 2;
    SetWindowPos(frame.Handle(), nullptr, left, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMain_frm::ReleaseRetiredFrames() {
    // Inside a handler (a frame's click, a modal dialog's loop, a wait that handles messages) a replaced frame may
    // still be on the call stack; it is freed when the outermost handler has returned.
    if (!retired_.empty() && zz::Window::HandlerDepth() == 0) retired_.clear();
}

void TMain_frm::SetActiveFrame(TPaneFactory NewFrame) {
    if (FActiveFrame) {
        // The old frame may be inside one of its own handlers: hide it now, free it once the message is over.
        std::unique_ptr<TPane> old = std::move(FActiveFrame);
        ShowWindow(old->Handle(), SW_HIDE);
        EnableWindow(old->Handle(), FALSE);
        retired_.push_back(std::move(old));
    }
    std::unique_ptr<TPane> frame = NewFrame(*this);
    frame->CreateFrame(Handle());
    PlaceFrame(*frame);
    FActiveFrame = std::move(frame);
    ShowWindow(FActiveFrame->Handle(), SW_SHOW);
}

void TMain_frm::Code_edtKeyDown(WORD& Key, TShiftState Shift) {
    if (Key != VK_RETURN || Shift != 0) return;
    if (busy_) return;  // a pane's operation is still running
    int length = GetWindowTextLengthW(codeEdit_);
    if (length == 0) return;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(codeEdit_, text.data(), length + 1)));
    int code = zz::StrToInt(text);
    if (TPaneFactory factory = PaneForCode(code)) SetActiveFrame(factory);
    if (code >= 10) {
        ShowMessageBox(L"", L"", L"عملياتي با اين کد وجود ندارد", L"", 2, 1, 0, false, VerifyCheck, 0);
    }
    SendMessageW(codeEdit_, EM_SETSEL, 0, -1);
}

void TMain_frm::FormKeyDown(WORD& Key, TShiftState Shift) {
    if (Shift != 0) return;
    if (Key == VK_ESCAPE) {
        if (IsWindowVisible(footer_.Handle())) PostMessageW(Handle(), WM_CLOSE, 0, 0);
    } else if (Key == VK_F1 && !busy_) {
        SetActiveFrame(&MakePane<THelp_FRAM>);
        SetFocus(codeEdit_);
    }
}

void TMain_frm::FormResize() {
    RECT client;
    GetClientRect(Handle(), &client);
    const int width = client.right, height = client.bottom;
    if (shape1_.Handle()) SetWindowPos(shape1_.Handle(), nullptr, 0, 0, width, 48, SWP_NOZORDER | SWP_NOACTIVATE);
    if (bevel_.Handle()) SetWindowPos(bevel_.Handle(), nullptr, 0, 48, width, 1, SWP_NOZORDER | SWP_NOACTIVATE);
    if (footer_.Handle()) {
        SetWindowPos(footer_.Handle(), nullptr, 0, height - 47, width, 47, SWP_NOZORDER | SWP_NOACTIVATE);
        // Remote support keeps its distance from the right edge.
        RECT l3;
        GetWindowRect(label3_.Handle(), &l3);
        SetWindowPos(label3_.Handle(), nullptr, width - (kDesignWidth - kRemoteRight) - (l3.right - l3.left), 19, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(image1_.Handle(), nullptr, width - (kDesignWidth - 395), 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    for (const Anchor& a : anchors_) {
        RECT r;
        GetWindowRect(a.hwnd, &r);
        int w = r.right - r.left, h = r.bottom - r.top;
        int left = static_cast<int>(std::lround(a.centre * width - w / 2.0));
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
        int top = a.bottomGap >= 0 ? height - a.bottomGap - h : r.top;
        SetWindowPos(a.hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (FActiveFrame) PlaceFrame(*FActiveFrame);
    // The code box stays 15 pixels to the left of the header text.
    if (label1_.Handle() && codeEdit_) {
        RECT l, e;
        GetWindowRect(label1_.Handle(), &l);
        GetWindowRect(codeEdit_, &e);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&l), 2);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&e), 2);
        SetWindowPos(codeEdit_, nullptr, l.left - (e.right - e.left) - 15, e.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TMain_frm::WriteHandleFile() {
    zz::unique_file file(CreateFileW(kHandleFileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD code = GetLastError();
        throw zz::Error(std::wstring(L"Cannot create file \"") + kHandleFileName + L"\". " + zz::SystemErrorText(code));
    }
    std::string content = std::to_string(reinterpret_cast<uintptr_t>(Handle())) + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size()) {
        DWORD code = GetLastError();
        throw zz::Error(std::wstring(L"Cannot create file \"") + kHandleFileName + L"\". " + zz::SystemErrorText(code));
    }
}

void TMain_frm::FormShow() {
    if (reportingHandleFailure_) return;
    try {
        WriteHandleFile();
    } catch (const zz::Error& e) {
        // The report's own window hands the activation back when it closes; that is not a new activation.
        reportingHandleFailure_ = true;
        zz::Application::HandleException(e);
        PostMessageW(Handle(), WM_HANDLE_REPORT_DONE, 0, 0);
    }
}

void TMain_frm::Help_LNKClick() {
    if (busy_) return;
    SetActiveFrame(&MakePane<THelp_FRAM>);
}

HWND TMain_frm::DialogParent() const {
    return zz::Application::DialogParent();
}

void TMain_frm::ShowCode(int code) {
    if (busy_) return;
    SetWindowTextW(codeEdit_, std::to_wstring(code).c_str());
    WORD key = VK_RETURN;
    Code_edtKeyDown(key, 0);
}

void TMain_frm::Label3Click() {
    std::wstring path = zz::ExecutableFolder() + L"Remote Support\\NetViewer.exe";
    if (zz::FileExists(path)) {
        ShellExecuteW(zz::Application::Handle(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    } else {
        zz::CurrentModalUi().ShowMessage(
            zz::Application::DialogParent(),
            L"فایل پشتیبانی از راه دور در مسیر مربوطه وجود ندارد." + std::wstring(L"\n\r\n\r") + path,
            zz::Application::Title());
    }
}

void TMain_frm::Label4Click() {
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

LRESULT TMain_frm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == zz::BackColorMessage()) return zz::AnswerBackColor(windowColor_);
    switch (msg) {
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = {kOuterWidth, kOuterHeight};
            if (!borderless_) info->ptMaxTrackSize = {kOuterWidth, kOuterHeight};
            return 0;
        }
        case WM_ERASEBKGND: {
            RECT rc;
            GetClientRect(Handle(), &rc);
            zz::unique_gdi brush(CreateSolidBrush(windowColor_));
            FillRect(reinterpret_cast<HDC>(wp), &rc, static_cast<HBRUSH>(brush.get()));
            return 1;
        }
        case WM_SIZE:
            FormResize();
            return 0;
        case WM_SHOWWINDOW:
            if (wp) FormShow();
            break;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(Handle(), focus)) focused_ = focus;
            } else if (lp) {
                DWORD pid = 0;
                GetWindowThreadProcessId(reinterpret_cast<HWND>(lp), &pid);
                if (pid == GetCurrentProcessId() && reinterpret_cast<HWND>(lp) != Handle()) FormShow();
            }
            break;
        case WM_SETFOCUS:
            // Back to the control that had the focus (the code box at first), not the window itself.
            SetFocus(focused_ && IsWindow(focused_) && IsWindowVisible(focused_) ? focused_ : codeEdit_);
            return 0;
        case WM_HANDLE_REPORT_DONE:
            reportingHandleFailure_ = false;
            return 0;
        case WM_COMMAND:
            return 0;
        case WM_CLOSE:
            DestroyWindow(Handle());
            return 0;
        case WM_DESTROY:
            if (zz::Application::MainForm() == Handle()) zz::Application::SetMainForm(nullptr, nullptr);
            if (QuitOnClose) PostQuitMessage(0);
            return 0;
    }
    return Default(msg, wp, lp);
}
