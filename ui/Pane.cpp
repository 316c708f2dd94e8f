#include "ui/Pane.h"

#include <commctrl.h>

#include <algorithm>

#include "common/Error.h"
#include "ui/Application.h"

namespace {

constexpr int kFirstId = 100;

bool Named(const TControlDef& def, std::wstring_view name) {
    return def.name && name == def.name;
}


}  // namespace

TPane::~TPane() {
    // The controls' windows go with the pane's window; the program's own ones must not outlive their handles.
    Destroy();
}

void TPane::CreateFrame(HWND parent) {
    Create(parent, 0, 0, FrameWidth(), FrameHeight());
    ShowWindow(Handle(), SW_HIDE);
    const auto controls = Controls();
    made_.reserve(controls.size());
    for (const TControlDef& def : controls) MakeControl(def);
    ApplyTabOrder();
    for (const Made& m : made_) {
        if (m.def->kind == TControlKind::TabPages) PageChanged(m);
    }
    ControlsCreated();
}

HWND TPane::ParentWindow(const TControlDef& def, POINT& offset) const {
    offset = {0, 0};
    if (!def.parent) return Handle();
    const Made& holder = Find(def.parent);
    if (holder.def->kind == TControlKind::GroupBox) {
        // A group box is no parent window in this toolkit: its controls stand on the group box's parent, inside it.
        POINT inner{};
        HWND outer = ParentWindow(*holder.def, inner);
        offset = {inner.x + holder.def->rect.left, inner.y + holder.def->rect.top};
        return outer;
    }
    return holder.hwnd;
}

void TPane::MakeControl(const TControlDef& def) {
    POINT offset{};
    HWND parent = ParentWindow(def, offset);
    const TDesignRect& r = def.rect;
    const int x = offset.x + r.left, y = offset.y + r.top;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + made_.size()));
    const HFONT font = zz::ProgramFont(12, true);
    const DWORD visible = def.visible ? WS_VISIBLE : 0;
    const DWORD rtl = def.leftToRight ? 0 : WS_EX_RTLREADING;
    Made made{&def, nullptr, nullptr};

    auto native = [&](DWORD exStyle, const wchar_t* cls, DWORD style, int w, int h) {
        HWND hwnd = CreateWindowExW(exStyle, cls, def.text, WS_CHILD | WS_CLIPSIBLINGS | visible | style, x, y, w, h,
                                    parent, id, instance, nullptr);
        if (!hwnd) zz::RaiseLastOSError();
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return hwnd;
    };

    switch (def.kind) {
        case TControlKind::Button:
            made.hwnd = native(rtl, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, r.width, r.height);
            break;
        case TControlKind::CheckBox:
            // Right to left, the box stands at the right of its caption.
            made.hwnd = native(def.leftToRight ? 0 : WS_EX_LAYOUTRTL, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX,
                               r.width, r.height);
            break;
        case TControlKind::GroupBox:
            made.hwnd = native(rtl | (def.leftToRight ? 0 : WS_EX_RIGHT), L"BUTTON", BS_GROUPBOX, r.width, r.height);
            break;
        case TControlKind::Bevel: {
            auto line = std::make_unique<zz::Panel>();
            line->Create(parent, x, y, r.width, std::max(r.height, 1), GetSysColor(COLOR_BTNSHADOW));
            if (!def.visible) ShowWindow(line->Handle(), SW_HIDE);
            made.hwnd = line->Handle();
            made.window = std::move(line);
            break;
        }
        case TControlKind::Edit:
        case TControlKind::ReadOnlyEdit:
        case TControlKind::MaskEdit: {
            DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | (def.leftToRight ? ES_LEFT : ES_RIGHT);
            if (def.kind == TControlKind::ReadOnlyEdit) style |= ES_READONLY;
            made.hwnd = native(WS_EX_CLIENTEDGE | (def.leftToRight ? 0 : WS_EX_RTLREADING | WS_EX_RIGHT), L"EDIT",
                               style, r.width, r.height ? r.height : 21);
            if (def.kind == TControlKind::MaskEdit && def.mask)
                made.mask = std::make_unique<zz::MaskEdit>(made.hwnd, def.mask);
            break;
        }
        case TControlKind::TabPages:
            // Right to left, the first page's tab stands at the right.
            made.hwnd = native(def.leftToRight ? 0 : WS_EX_LAYOUTRTL, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPCHILDREN,
                               r.width, r.height);
            // Tabs in the regular weight and with narrow margins, so that a pane's width holds them all.
            SendMessageW(made.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(zz::ProgramFont(12, false)), FALSE);
            SendMessageW(made.hwnd, TCM_SETPADDING, 0, MAKELPARAM(3, 3));
            break;
        case TControlKind::TabPage: {
            // A page is a panel over the page control's display area; the page control lists its caption.
            const Made& pages = Find(def.parent);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(def.text);
            const int index = static_cast<int>(SendMessageW(pages.hwnd, TCM_GETITEMCOUNT, 0, 0));
            SendMessageW(pages.hwnd, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
            RECT area;
            GetClientRect(pages.hwnd, &area);
            SendMessageW(pages.hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
            MapWindowPoints(pages.hwnd, Handle(), reinterpret_cast<POINT*>(&area), 2);
            if (area.left > area.right) std::swap(area.left, area.right);  // mapped out of a mirrored control
            auto page = std::make_unique<zz::Panel>();
            page->Create(Handle(), area.left, area.top, area.right - area.left, area.bottom - area.top,
                         GetSysColor(COLOR_BTNFACE));
            ShowWindow(page->Handle(), SW_HIDE);
            // Above the page control, so that it is drawn over its display area.
            SetWindowPos(page->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            made.hwnd = page->Handle();
            made.window = std::move(page);
            break;
        }
        case TControlKind::Label: {
            auto label = std::make_unique<zz::Label>();
            zz::Label::Style style;
            style.textColor = def.textColor != CLR_INVALID ? def.textColor : RGB(0, 0, 0);
            style.font = font;
            style.handCursor = def.onClick != nullptr;
            style.rightAligned = !def.leftToRight;
            style.leftToRight = def.leftToRight;
            style.wordWrap = def.wordWrap;
            style.accelChar = true;
            style.exactRight = r.width != 0;  // a designed box: its right edge is where the text ends
            int w = r.width ? r.width : zz::Label::TextWidth(parent, font, def.text) + 2;
            int h = r.height ? r.height : zz::Label::LineHeight(parent, font);
            label->Create(parent, def.text, x, y, w, h, style);
            if (!def.visible) ShowWindow(label->Handle(), SW_HIDE);
            if (def.onClick) {
                const TPaneHandler handler = def.onClick;
                label->OnClick = [this, handler] { RunOperation(handler); };
            }
            made.hwnd = label->Handle();
            made.window = std::move(label);
            break;
        }
    }
    if (def.hint && made.hwnd) hints_.Add(Handle(), made.hwnd, def.hint);
    made_.push_back(std::move(made));
}

void TPane::ApplyTabOrder() {
    // The dialog manager moves the focus in the order of the windows among their siblings.
    std::vector<const Made*> order;
    for (const Made& m : made_) order.push_back(&m);
    std::stable_sort(order.begin(), order.end(), [](const Made* a, const Made* b) {
        const int ta = a->def->tabOrder ? a->def->tabOrder : INT_MAX;
        const int tb = b->def->tabOrder ? b->def->tabOrder : INT_MAX;
        return ta < tb;
    });
    HWND after = HWND_TOP;
    for (const Made* m : order) {
        if (m->def->kind == TControlKind::TabPage || m->def->kind == TControlKind::GroupBox) continue;
        if (GetParent(m->hwnd) != Handle()) continue;
        SetWindowPos(m->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = m->hwnd;
    }
    // Group boxes and pages stay beneath what stands on them (pages above their page control).
    for (const Made& m : made_) {
        if (m.def->kind == TControlKind::GroupBox)
            SetWindowPos(m.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (const Made& m : made_) {
        if (m.def->kind == TControlKind::TabPage)
            SetWindowPos(m.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

const TPane::Made& TPane::Find(std::wstring_view name) const {
    for (const Made& m : made_) {
        if (Named(*m.def, name)) return m;
    }
    throw zz::Error(L"The pane has no control " + std::wstring(name));
}

const TPane::Made* TPane::FindWindow(HWND hwnd) const {
    for (const Made& m : made_) {
        if (m.hwnd == hwnd) return &m;
    }
    return nullptr;
}

HWND TPane::Control(std::wstring_view name) const {
    return Find(name).hwnd;
}

const TControlDef& TPane::Definition(std::wstring_view name) const {
    return *Find(name).def;
}

std::wstring TPane::Text(std::wstring_view name) const {
    const Made& made = Find(name);
    if (made.mask) return made.mask->Value();
    HWND hwnd = made.hwnd;
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TPane::SetText(std::wstring_view name, const std::wstring& text) {
    SetWindowTextW(Control(name), text.c_str());
}

bool TPane::Checked(std::wstring_view name) const {
    return SendMessageW(Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TPane::SetChecked(std::wstring_view name, bool checked) {
    SendMessageW(Control(name), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring TPane::ShownPage(std::wstring_view pages) const {
    const Made& control = Find(pages);
    const int shown = static_cast<int>(SendMessageW(control.hwnd, TCM_GETCURSEL, 0, 0));
    int index = 0;
    for (const Made& m : made_) {
        if (m.def->kind == TControlKind::TabPage && Named(*control.def, m.def->parent ? m.def->parent : L"")) {
            if (index++ == shown) return m.def->name;
        }
    }
    return {};
}

void TPane::ShowPage(std::wstring_view page) {
    const Made& target = Find(page);
    const Made& pages = Find(target.def->parent);
    int index = 0;
    for (const Made& m : made_) {
        if (m.def->kind != TControlKind::TabPage || !Named(*pages.def, m.def->parent)) continue;
        if (&m == &target) break;
        ++index;
    }
    SendMessageW(pages.hwnd, TCM_SETCURSEL, index, 0);
    PageChanged(pages);
}

void TPane::PageChanged(const Made& pages) {
    const std::wstring shown = ShownPage(pages.def->name);
    const TControlDef* shownDef = nullptr;
    for (const Made& m : made_) {
        if (m.def->kind != TControlKind::TabPage || !Named(*pages.def, m.def->parent)) continue;
        const bool show = shown == m.def->name;
        ShowWindow(m.hwnd, show ? SW_SHOW : SW_HIDE);
        if (show) shownDef = m.def;
    }
    if (shownDef && shownDef->onChange) zz::Guarded([&] { shownDef->onChange(*this); });
}

bool TPane::RunOperation(TPaneHandler handler) {
    if (!handler) return false;
    if (host_.Busy()) return false;
    TBusyScope busy(host_);
    zz::Guarded([&] { handler(*this); });
    return true;
}

HBRUSH TPane::Brush(COLORREF color) {
    for (auto& [c, brush] : brushes_) {
        if (c == color) return static_cast<HBRUSH>(brush.get());
    }
    brushes_.emplace_back(color, zz::unique_gdi(CreateSolidBrush(color)));
    return static_cast<HBRUSH>(brushes_.back().second.get());
}

LRESULT TPane::ControlColor(UINT msg, HDC dc, HWND control) {
    const Made* made = FindWindow(control);
    if (made && made->def->kind == TControlKind::ReadOnlyEdit) {
        // A read-only box keeps the look of an edit box.
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    if (msg == WM_CTLCOLOREDIT) return Default(msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    // Check boxes, group boxes and lines stand on the colour of whatever holds them.
    const COLORREF back = zz::BackColorOf(GetParent(control));
    SetBkColor(dc, back);
    if (made && made->def->textColor != CLR_INVALID) ::SetTextColor(dc, made->def->textColor);
    return reinterpret_cast<LRESULT>(Brush(back));
}

LRESULT TPane::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: {
            const Made* made = FindWindow(reinterpret_cast<HWND>(lp));
            if (!made) break;
            const TControlDef& def = *made->def;
            switch (HIWORD(wp)) {
                case BN_CLICKED:
                    if (def.onClick) RunOperation(def.onClick);
                    return 0;
                case EN_SETFOCUS:
                    if (def.onEnter) def.onEnter(*this);
                    return 0;
                case EN_KILLFOCUS:
                    if (def.onExit) def.onExit(*this);
                    return 0;
            }
            return 0;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            const Made* made = FindWindow(header->hwndFrom);
            if (made && made->def->kind == TControlKind::TabPages && header->code == TCN_SELCHANGE) PageChanged(*made);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return ControlColor(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    }
    return Panel::HandleMessage(msg, wp, lp);
}
