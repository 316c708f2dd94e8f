#pragma once

#include <windows.h>

#include <string>

#include "common/Handle.h"

// The please-wait window: a gradient panel, a spinning indicator and the message.
class TForm1 {
public:
    static constexpr const wchar_t* kTitle = L"ZeltoWaitting_FRM";
    static constexpr int kClientWidth = 427;
    static constexpr int kClientHeight = 83;
    static constexpr int kBlocks = 8;

    explicit TForm1(std::wstring message);
    ~TForm1();
    HWND Create();
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Paint(HDC dc);
    void PaintIndicator(HDC dc);

    std::wstring message_;
    HWND hwnd_ = nullptr;
    zz::unique_gdi font_;
    int active_ = 0;
};
