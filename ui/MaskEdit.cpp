#include "ui/MaskEdit.h"

#include <commctrl.h>

namespace zz {

namespace {

constexpr UINT_PTR kSubclassId = 0x5A4D;  // one mask per edit box

// The clipboard's text, "" when it holds none.
std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

MaskEdit::MaskEdit(HWND edit, std::wstring_view mask) : FEdit(edit), FMask(mask) {
    FAttached = SetWindowSubclass(FEdit, &MaskEdit::Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    SendMessageW(FEdit, EM_SETLIMITTEXT, FMask.Length(), 0);
    SetWindowTextW(FEdit, EditText().c_str());  // fitted to the mask on the way in
}

MaskEdit::~MaskEdit() {
    if (FAttached) RemoveWindowSubclass(FEdit, &MaskEdit::Proc, kSubclassId);
}

std::wstring MaskEdit::EditText() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(FEdit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(FEdit, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring MaskEdit::Value() const {
    return FMask.Value(EditText());
}

void MaskEdit::Selection(std::size_t& start, std::size_t& end) const {
    DWORD s = 0, e = 0;
    SendMessageW(FEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = s;
    end = e;
}

bool MaskEdit::ReadOnly() const {
    return (GetWindowLongW(FEdit, GWL_STYLE) & ES_READONLY) != 0;
}

void MaskEdit::Apply(const TEditMask::TEdit& edit) {
    // Past this box's own handler: the text is already fitted.
    DefSubclassProc(FEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(edit.text.c_str()));
    SendMessageW(FEdit, EM_SETSEL, edit.caret, edit.caret);
}

void MaskEdit::Paste(const std::wstring& text) {
    std::size_t start, end;
    Selection(start, end);
    Apply(FMask.Paste(EditText(), start, end, text));
}

void MaskEdit::EraseSelection() {
    std::size_t start, end;
    Selection(start, end);
    if (start != end) Apply(FMask.Erase(EditText(), start, end, false));
}

LRESULT CALLBACK MaskEdit::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    auto* mask = reinterpret_cast<MaskEdit*>(self);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &MaskEdit::Proc, kSubclassId);
        mask->FAttached = false;
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    return mask->Handle(msg, wp, lp);
}

LRESULT MaskEdit::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETTEXT: {
            const std::wstring fitted = FMask.Format(lp ? reinterpret_cast<const wchar_t*>(lp) : L"");
            return DefSubclassProc(FEdit, msg, wp, reinterpret_cast<LPARAM>(fitted.c_str()));
        }
        case WM_UNDO:
        case EM_UNDO:
            return FALSE;
    }
    if (ReadOnly()) return DefSubclassProc(FEdit, msg, wp, lp);
    switch (msg) {
        case WM_CHAR:
        case WM_IME_CHAR: {
            const auto ch = static_cast<wchar_t>(wp);
            std::size_t start, end;
            switch (ch) {
                case L'\b':
                    Selection(start, end);
                    Apply(FMask.Erase(EditText(), start, end, true));
                    return 0;
                case 0x16:  // Ctrl+V
                    Paste(ClipboardText(FEdit));
                    return 0;
                case 0x18:  // Ctrl+X
                    DefSubclassProc(FEdit, WM_COPY, 0, 0);
                    EraseSelection();
                    return 0;
                case 0x1A:  // Ctrl+Z: the mask keeps no history
                case 0x7F:  // Ctrl+Backspace
                    return 0;
            }
            if (ch < L' ') return DefSubclassProc(FEdit, msg, wp, lp);  // Ctrl+C, Ctrl+A, Enter, Tab, Esc
            Selection(start, end);
            if (auto typed = FMask.Type(EditText(), start, end, ch)) {
                Apply(*typed);
            } else {
                MessageBeep(MB_OK);
            }
            return 0;
        }
        case WM_KEYDOWN: {
            const bool shift = GetKeyState(VK_SHIFT) < 0;
            if (wp == VK_DELETE) {
                if (shift) {
                    SendMessageW(FEdit, WM_CUT, 0, 0);
                } else {
                    std::size_t start, end;
                    Selection(start, end);
                    Apply(FMask.Erase(EditText(), start, end, false));
                }
                return 0;
            }
            if (wp == VK_INSERT && shift) {
                Paste(ClipboardText(FEdit));
                return 0;
            }
            break;
        }
        case WM_PASTE:
            Paste(ClipboardText(FEdit));
            return 0;
        case EM_REPLACESEL:
            Paste(lp ? reinterpret_cast<const wchar_t*>(lp) : L"");
            return 0;
        case WM_CUT:
            DefSubclassProc(FEdit, WM_COPY, 0, 0);
            EraseSelection();
            return 0;
        case WM_CLEAR:
            EraseSelection();
            return 0;
    }
    return DefSubclassProc(FEdit, msg, wp, lp);
}

}  // namespace zz
