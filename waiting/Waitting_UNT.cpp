#include "waiting/Waitting_UNT.h"

#include <cmath>

namespace {

constexpr UINT_PTR kSpinTimer = 1;
constexpr COLORREF kOutline = RGB(141, 178, 227);
constexpr COLORREF kBlock = RGB(255, 206, 13);
constexpr COLORREF kActiveBlock = RGB(255, 255, 255);

void VerticalGradient(HDC dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to) {
    const int height = bottom - top;
    for (int y = 0; y < height; ++y) {
        auto mix = [&](int a, int b) { return a + (b - a) * y / (height > 1 ? height - 1 : 1); };
        zz::unique_gdi brush(CreateSolidBrush(RGB(mix(GetRValue(from), GetRValue(to)),
                                                  mix(GetGValue(from), GetGValue(to)), mix(GetBValue(from), GetBValue(to)))));
        RECT line{left, top + y, right, top + y + 1};
        FillRect(dc, &line, static_cast<HBRUSH>(brush.get()));
    }
}

}  // namespace

TForm1::TForm1(std::wstring message) : message_(std::move(message)) {}

TForm1::~TForm1() = default;

HWND TForm1::Create() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TForm1::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_WAIT);
    wc.lpszClassName = L"TForm1";
    RegisterClassW(&wc);

    LOGFONTW lf{};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = ARABIC_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Zeltok");
    font_.reset(CreateFontIndirectW(&lf));

    int x = (GetSystemMetrics(SM_CXSCREEN) - kClientWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kClientHeight) / 2;
    // A tool window has no taskbar button; topmost keeps it above the toolbox while the operation runs. It never
    // takes the activation: when it goes, the system would otherwise hand the activation on from this program, and
    // that hand-over can reach the toolbox after its message dialog came up and put the dialog's owner above it.
    CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"TForm1", kTitle, WS_POPUP, x, y,
                    kClientWidth, kClientHeight, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_) {
        // MessageText_LBL holds the message as its text; the form paints it over the gradient.
        CreateWindowExW(0, L"STATIC", message_.c_str(), WS_CHILD, 8, 16, 328, 24, hwnd_, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        SetTimer(hwnd_, kSpinTimer, 100, nullptr);
    }
    return hwnd_;
}

void TForm1::PaintIndicator(HDC dc) {
    // Blocks on a circle inside the 50 x 50 box at (350, 16) with an inner margin of 4; the active one is white.
    const double cx = 350 + 25, cy = 16 + 25, radius = 25 - 4 - 5;
    for (int i = 0; i < kBlocks; ++i) {
        double angle = 2 * 3.14159265358979 * i / kBlocks;
        int bx = static_cast<int>(std::lround(cx + radius * std::sin(angle)));
        int by = static_cast<int>(std::lround(cy - radius * std::cos(angle)));
        zz::unique_gdi brush(CreateSolidBrush(i == active_ ? kActiveBlock : kBlock));
        RECT block{bx - 4, by - 4, bx + 4, by + 4};
        FillRect(dc, &block, static_cast<HBRUSH>(brush.get()));
    }
}

void TForm1::Paint(HDC target) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    zz::unique_hdc memory(CreateCompatibleDC(target));
    HDC dc = memory.get();
    zz::unique_gdi bitmap(CreateCompatibleBitmap(target, rc.right, rc.bottom));
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap.get());

    const int middle = rc.bottom / 2;
    VerticalGradient(dc, 0, 0, rc.right, middle, RGB(233, 241, 250), RGB(199, 216, 237));
    VerticalGradient(dc, 0, middle, rc.right, rc.bottom, RGB(199, 216, 237), RGB(231, 242, 255));
    zz::unique_gdi pen(CreatePen(PS_SOLID, 1, kOutline));
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, rc.right, rc.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);

    PaintIndicator(dc);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font_.get());
    RECT messageBox{8, 16, 336, 40};
    DrawTextW(dc, message_.c_str(), static_cast<int>(message_.size()), &messageBox,
              DT_RIGHT | DT_RTLREADING | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    const wchar_t* waitText = L"لطفاً صبر کنید ...";
    RECT waitBox{8, 45, 336, 70};
    DrawTextW(dc, waitText, -1, &waitBox, DT_RIGHT | DT_RTLREADING | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);

    BitBlt(target, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
}

LRESULT CALLBACK TForm1::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TForm1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            self->Paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_TIMER:
            self->active_ = (self->active_ + 1) % kBlocks;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kSpinTimer);
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
