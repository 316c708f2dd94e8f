#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "common/Handle.h"
#include "ui/Window.h"

namespace zz {

// A window that has a background colour answers this with it; children without a colour of their own ask it.
UINT BackColorMessage();
constexpr DWORD kAnswered = 0x01000000;
LRESULT AnswerBackColor(COLORREF color);
COLORREF BackColorOf(HWND window);

// Tahoma-like fonts of the program, made once and kept for the whole run.
HFONT ProgramFont(int pixelHeight, bool bold, bool underline = false, const wchar_t* face = L"Tahoma");

// A panel: a plain child window with its own colour, or its parent's when it has none.
class Panel : public Window {
public:
    static constexpr COLORREF kParentColor = CLR_INVALID;
    void Create(HWND parent, int x, int y, int width, int height, COLORREF color = kParentColor,
                COLORREF outline = kParentColor);
    void SetColors(COLORREF color, COLORREF outline);
    COLORREF Color() const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    COLORREF color_ = kParentColor;
    COLORREF outline_ = kParentColor;
};

// A text (or icon) that paints itself: right-to-left reading, its own font and colours, clickable.
class Label : public Window {
public:
    struct Style {
        COLORREF textColor = RGB(0, 0, 0);
        COLORREF backColor = Panel::kParentColor;
        HFONT font = nullptr;
        bool handCursor = false;
        bool rightAligned = true;
        bool leftToRight = false;  // reading order
        bool wordWrap = false;     // several lines, broken between words
        bool accelChar = false;    // "&" underlines the next character ("&&" shows one "&")
        // Single line, right aligned: the text's right end stands exactly at the right edge (drawn by its glyphs'
        // own widths; accelerators are then not underlined).
        bool exactRight = false;
    };
    void Create(HWND parent, const std::wstring& text, int x, int y, int width, int height, const Style& style);
    // Sized to its text, growing to the left from its right edge, as right-to-left labels do.
    // minWidth: the designed width, kept when the text needs less.
    void CreateRightAligned(HWND parent, const std::wstring& text, int right, int top, const Style& style,
                            int minWidth = 0);
    // Width the text needs in the label's font.
    static int TextWidth(HWND reference, HFONT font, const std::wstring& text);
    // Height of one line of text in that font.
    static int LineHeight(HWND reference, HFONT font);
    void SetIcon(HICON icon);
    void SetTextColor(COLORREF color);
    void SetFont(HFONT font);
    void SetBackColor(COLORREF color);
    COLORREF TextColor() const { return style_.textColor; }
    HFONT Font() const { return style_.font; }

    std::function<void()> OnClick;
    std::function<void()> OnMouseMove;
    std::function<void()> OnMouseLeave;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    Style style_;
    HICON icon_ = nullptr;
    bool tracking_ = false;
    bool pressed_ = false;
};

// Tooltips for the controls of one window.
class Hints {
public:
    void Add(HWND owner, HWND tool, const std::wstring& text);
    HWND Tooltip() const { return tip_.get(); }

private:
    unique_hwnd tip_;
};

}  // namespace zz
