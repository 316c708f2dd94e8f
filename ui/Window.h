#pragma once

#include <windows.h>

#include <string>

namespace zz {

// Base for the program's own windows: routes messages to HandleMessage and keeps errors inside.
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const noexcept { return hwnd_; }
    void Destroy();

    // How many messages of the program's own windows are being handled right now (nested handlers count each).
    static int HandlerDepth() noexcept;

protected:
    // Creates the window of class className (registered once with the given background brush).
    void CreateWin(const wchar_t* className, DWORD exStyle, const std::wstring& title, DWORD style, int x, int y,
                   int width, int height, HWND parent, HMENU id = nullptr);
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
};

}  // namespace zz
