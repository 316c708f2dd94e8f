#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "logic/EditMask.h"

namespace zz {

// Gives an edit box the behaviour of an edit mask: its text always has the mask's length with the literals in
// place; typed, pasted and erased characters go only into the positions that take them (a refused key beeps);
// texts set by the program are fitted to the mask. Attached to an existing edit box for the box's lifetime.
class MaskEdit {
public:
    MaskEdit(HWND edit, std::wstring_view mask);
    MaskEdit(const MaskEdit&) = delete;
    MaskEdit& operator=(const MaskEdit&) = delete;
    ~MaskEdit();

    const TEditMask& Mask() const noexcept { return FMask; }
    // The box's value: unfilled positions as blanks, literals kept when the mask saves them.
    std::wstring Value() const;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    std::wstring EditText() const;
    void Selection(std::size_t& start, std::size_t& end) const;
    void Apply(const TEditMask::TEdit& edit);
    void Paste(const std::wstring& text);
    void EraseSelection();
    bool ReadOnly() const;

    HWND FEdit;
    TEditMask FMask;
    bool FAttached = false;
};

}  // namespace zz
