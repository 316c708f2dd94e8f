#pragma once

#include <windows.h>

// Where a shown label's text is drawn: the first and last pixel columns that differ from its background
// (-1 when nothing is drawn), and the label's width.
struct TLabelInk {
    int left = -1, right = -1, width = 0;
};

inline TLabelInk LabelInk(HWND label) {
    UpdateWindow(label);
    RECT box;
    GetClientRect(label, &box);
    TLabelInk ink;
    ink.width = box.right;
    HDC dc = GetDC(label);
    // The label's corner is background: the text never starts at its top line.
    const COLORREF background = GetPixel(dc, 0, 0);
    for (int x = 0; x < box.right; ++x) {
        for (int y = 0; y < box.bottom; ++y) {
            if (GetPixel(dc, x, y) != background) {
                if (ink.left < 0) ink.left = x;
                ink.right = x;
                break;
            }
        }
    }
    ReleaseDC(label, dc);
    return ink;
}
