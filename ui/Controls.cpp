#include "ui/Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "common/Handle.h"

namespace zz {

LRESULT AnswerBackColor(COLORREF color) {
    return static_cast<LRESULT>(color | kAnswered);
}

UINT BackColorMessage() {
    static const UINT message = RegisterWindowMessageW(L"ZZ_BACKCOLOR");
    return message;
}

COLORREF BackColorOf(HWND window) {
    for (HWND w = window; w; w = GetParent(w)) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(w, BackColorMessage(), 0, 0, SMTO_NORMAL, 1000, &answer) && (answer & kAnswered))
            return static_cast<COLORREF>(answer & 0xFFFFFF);
    }
    return GetSysColor(COLOR_BTNFACE);
}

HFONT ProgramFont(int pixelHeight, bool bold, bool underline, const wchar_t* face) {
    static std::map<std::tuple<int, bool, bool, std::wstring>, unique_gdi> fonts;
    auto key = std::make_tuple(pixelHeight, bold, underline, std::wstring(face));
    auto& slot = fonts[key];
    if (!slot) {
        LOGFONTW lf{};
        lf.lfHeight = -pixelHeight;
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        lf.lfUnderline = underline;
        lf.lfCharSet = ARABIC_CHARSET;
        lf.lfQuality = CLEARTYPE_QUALITY;
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        slot.reset(CreateFontIndirectW(&lf));
    }
    return static_cast<HFONT>(slot.get());
}

namespace {

// The text as it shows with prefixes: "&x" is x, "&&" one "&".
std::wstring WithoutPrefixes(const std::wstring& text) {
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

}  // namespace

// Panel

void Panel::Create(HWND parent, int x, int y, int width, int height, COLORREF color, COLORREF outline) {
    color_ = color;
    outline_ = outline;
    CreateWin(L"ZZPanel", WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y,
              width, height, parent);
}

void Panel::SetColors(COLORREF color, COLORREF outline) {
    color_ = color;
    outline_ = outline;
    if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

COLORREF Panel::Color() const {
    return color_ != kParentColor ? color_ : BackColorOf(GetParent(Handle()));
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == BackColorMessage()) return AnswerBackColor(Color());
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT rc;
            GetClientRect(Handle(), &rc);
            unique_gdi brush(CreateSolidBrush(Color()));
            FillRect(reinterpret_cast<HDC>(wp), &rc, static_cast<HBRUSH>(brush.get()));
            if (outline_ != kParentColor) {
                unique_gdi pen(CreatePen(PS_SOLID, 1, outline_));
                HDC dc = reinterpret_cast<HDC>(wp);
                HGDIOBJ oldPen = SelectObject(dc, pen.get());
                HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
                Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
                SelectObject(dc, oldBrush);
                SelectObject(dc, oldPen);
            }
            return 1;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            return SendMessageW(GetParent(Handle()), msg, wp, lp);
        case WM_COMMAND:
        case WM_NOTIFY:
            // Frames handle their own controls; a bare panel passes them up.
            return SendMessageW(GetParent(Handle()), msg, wp, lp);
    }
    return Default(msg, wp, lp);
}

// Label

void Label::Create(HWND parent, const std::wstring& text, int x, int y, int width, int height, const Style& style) {
    style_ = style;
    if (!style_.font) style_.font = ProgramFont(12, true);
    CreateWin(L"ZZLabel", 0, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, width, height, parent);
}

int Label::TextWidth(HWND reference, HFONT font, const std::wstring& text) {
    HDC dc = GetDC(reference);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(reference, dc);
    return size.cx;
}

void Label::CreateRightAligned(HWND parent, const std::wstring& text, int right, int top, const Style& style,
                               int minWidth) {
    Style s = style;
    if (!s.font) s.font = ProgramFont(12, true);
    int width = std::max(TextWidth(parent, s.font, text) + 2, minWidth);
    Create(parent, text, right - width, top, width, LineHeight(parent, s.font), s);
}

int Label::LineHeight(HWND reference, HFONT font) {
    TEXTMETRICW metrics{};
    HDC dc = GetDC(reference);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(reference, dc);
    return metrics.tmHeight + 1;
}

void Label::SetIcon(HICON icon) {
    icon_ = icon;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetTextColor(COLORREF color) {
    style_.textColor = color;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetFont(HFONT font) {
    style_.font = font;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetBackColor(COLORREF color) {
    style_.backColor = color;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT rc;
    GetClientRect(Handle(), &rc);
    COLORREF back = style_.backColor != Panel::kParentColor ? style_.backColor : BackColorOf(GetParent(Handle()));
    unique_gdi brush(CreateSolidBrush(back));
    FillRect(dc, &rc, static_cast<HBRUSH>(brush.get()));
    if (icon_) {
        DrawIconEx(dc, 0, 0, icon_, rc.right, rc.bottom, 0, nullptr, DI_NORMAL);
    } else {
        wchar_t buffer[1024];
        int n = GetWindowTextW(Handle(), buffer, 1024);
        SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, style_.textColor);
        HGDIOBJ old = SelectObject(dc, style_.font);
        UINT format = (style_.accelChar ? 0 : DT_NOPREFIX) | (style_.rightAligned ? DT_RIGHT : DT_LEFT);
        format |= style_.wordWrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE;
        if (!style_.leftToRight) format |= DT_RTLREADING;
        if (style_.exactRight && style_.rightAligned && !style_.wordWrap) {
            // DrawText places a line by its letters' separate widths, which for joined Arabic letters (on some
            // systems) exceed what is drawn, so the line would stop short of the edge. Anchor its right end instead.
            std::wstring shown(buffer, static_cast<std::size_t>(n));
            if (style_.accelChar) shown = WithoutPrefixes(shown);
            const UINT align = SetTextAlign(dc, TA_RIGHT | TA_TOP | (style_.leftToRight ? 0 : TA_RTLREADING));
            ExtTextOutW(dc, rc.right, rc.top, ETO_CLIPPED | (style_.leftToRight ? 0 : ETO_RTLREADING), &rc,
                        shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
            SetTextAlign(dc, align);
        } else {
            DrawTextW(dc, buffer, n, &rc, format);
        }
        SelectObject(dc, old);
    }
    EndPaint(Handle(), &ps);
}

LRESULT Label::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETTEXT: {
            LRESULT r = Default(msg, wp, lp);
            InvalidateRect(Handle(), nullptr, TRUE);
            return r;
        }
        case WM_SETCURSOR:
            if (style_.handCursor) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(Handle());
            return 0;
        case WM_LBUTTONUP: {
            // A click is a press and a release on the label.
            const bool wasPressed = pressed_;
            pressed_ = false;
            if (GetCapture() == Handle()) ReleaseCapture();
            RECT rc;
            GetClientRect(Handle(), &rc);
            POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (!wasPressed || !PtInRect(&rc, at)) return 0;
            auto onClick = OnClick;  // the handler may replace this label's owner
            if (onClick) onClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            return 0;
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
                tracking_ = TrackMouseEvent(&tme) != FALSE;
            }
            if (OnMouseMove) OnMouseMove();
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            if (OnMouseLeave) OnMouseLeave();
            return 0;
    }
    return Default(msg, wp, lp);
}

// Hints

void Hints::Add(HWND owner, HWND tool, const std::wstring& text) {
    if (!tip_) {
        tip_.reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_LAYOUTRTL, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr));
        SendMessageW(tip_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(ProgramFont(12, false)), FALSE);
        SendMessageW(tip_.get(), TTM_SETMAXTIPWIDTH, 0, 320);
    }
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_RTLREADING;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace zz
