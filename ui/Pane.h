#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Handle.h"
#include "ui/Controls.h"
#include "ui/MaskEdit.h"
#include "ui/PaneHost.h"

class TPane;

enum class TControlKind {
    Button,
    Label,
    Edit,
    ReadOnlyEdit,
    MaskEdit,  // an edit box whose text follows an edit mask (TControlDef::mask; see TEditMask)
    CheckBox,
    GroupBox,  // holds the controls that name it as their parent; their positions are inside it
    Bevel,     // a separator line
    TabPages,  // a page control; its pages are the TabPage rows that name it as their parent
    TabPage,
};

// Left, top, width and height at design, in pixels, inside the parent (the pane, a group box or a tab page).
// A label with no width takes its text's width; with no height, one line's height.
struct TDesignRect {
    int left = 0, top = 0, width = 0, height = 0;
};

using TPaneHandler = void (*)(TPane& pane);

// One control of a pane, as the pane's design lists it.
struct TControlDef {
    const wchar_t* name;  // the field name, by which handlers and tests find the control
    TControlKind kind;
    TDesignRect rect;
    const wchar_t* text = L"";      // caption or initial text
    const wchar_t* hint = nullptr;  // shown as a tooltip when the mouse rests on the control
    bool leftToRight = false;       // the pane reads right to left; edit boxes with numbers and paths do not
    const wchar_t* parent = nullptr;  // name of the group box or tab page holding the control
    int tabOrder = 0;                 // 0: the order of the rows; otherwise ascending, before the unnumbered ones
    bool visible = true;
    COLORREF textColor = CLR_INVALID;  // CLR_INVALID: the system's; white labels say so
    bool wordWrap = false;             // labels
    const wchar_t* mask = nullptr;     // MaskEdit
    TPaneHandler onClick = nullptr;    // buttons, check boxes, labels
    TPaneHandler onEnter = nullptr;    // edit boxes: the control gains the focus
    TPaneHandler onExit = nullptr;     // edit boxes: the control loses the focus
    TPaneHandler onChange = nullptr;   // tab pages: another page shows
};

namespace zz::detail {
template <typename>
struct MemberOf;
template <typename C>
struct MemberOf<void (C::*)()> {
    using type = C;
};
}  // namespace zz::detail

// A member function of a pane as a handler in its table: .onClick = On<&TServices_FRAM::StartSQL_BTNClick>.
template <auto Method>
void On(TPane& pane) {
    using Pane = typename zz::detail::MemberOf<decltype(Method)>::type;
    (static_cast<Pane&>(pane).*Method)();
}

constexpr COLORREF kWhiteText = RGB(255, 255, 255);

// An operation pane: a panel that the main window makes for one operation code and destroys when it is replaced.
// It is built from its table of controls; a click reaches its handler through the pane, which refuses it while the
// host is busy, keeps the host busy while it runs and hands an error that escapes it to the top-level error box.
class TPane : public zz::Panel {
public:
    explicit TPane(TPaneHost& host) : host_(host) {}
    ~TPane() override;

    virtual int FrameWidth() const = 0;
    virtual int FrameHeight() const = 0;
    // Makes the pane's window as a child of parent, hidden, and its controls.
    void CreateFrame(HWND parent);
    TPaneHost& Host() const { return host_; }

    // The control of that name; raises an error for a name the pane does not have.
    HWND Control(std::wstring_view name) const;
    const TControlDef& Definition(std::wstring_view name) const;
    // A control's text; a masked edit box gives its value (TEditMask::Value).
    std::wstring Text(std::wstring_view name) const;
    void SetText(std::wstring_view name, const std::wstring& text);
    bool Checked(std::wstring_view name) const;
    void SetChecked(std::wstring_view name, bool checked);
    // The tab page shown by a page control, and showing another one.
    std::wstring ShownPage(std::wstring_view pages) const;
    void ShowPage(std::wstring_view page);

    // Runs handler as a click of the user: refused while the host is busy, the host busy for its length, an
    // error that escapes it shown by the top-level error box. false when refused.
    bool RunOperation(TPaneHandler handler);

    bool VerifyCheck = false;

protected:
    // The pane's controls; tables are static and live as long as the program.
    virtual std::span<const TControlDef> Controls() const { return {}; }
    // Runs after the controls of the table are made (panes with controls of their own make them here).
    virtual void ControlsCreated() {}
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct Made {
        const TControlDef* def;
        HWND hwnd;
        std::unique_ptr<zz::Window> window;  // labels and tab pages are windows of the program's own
        std::unique_ptr<zz::MaskEdit> mask;  // the behaviour of a masked edit box
    };
    const Made& Find(std::wstring_view name) const;
    const Made* FindWindow(HWND hwnd) const;
    void MakeControl(const TControlDef& def);
    HWND ParentWindow(const TControlDef& def, POINT& offset) const;
    void ApplyTabOrder();
    void PageChanged(const Made& pages);
    HBRUSH Brush(COLORREF color);
    LRESULT ControlColor(UINT msg, HDC dc, HWND control);

    TPaneHost& host_;
    std::vector<Made> made_;
    zz::Hints hints_;
    std::vector<std::pair<COLORREF, zz::unique_gdi>> brushes_;
};

template <typename T>
std::unique_ptr<TPane> MakePane(TPaneHost& host) {
    return std::make_unique<T>(host);
}
using TPaneFactory = std::unique_ptr<TPane> (*)(TPaneHost& host);
