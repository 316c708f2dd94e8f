#include "ui/Window.h"

#include "common/Error.h"
#include "ui/Application.h"

namespace zz {
namespace {
int handlerDepth = 0;
}  // namespace

int Window::HandlerDepth() noexcept {
    return handlerDepth;
}

Window::~Window() {
    Destroy();
}

void Window::Destroy() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }
}

void Window::CreateWin(const wchar_t* className, DWORD exStyle, const std::wstring& title, DWORD style, int x, int y,
                       int width, int height, HWND parent, HMENU id) {
    WNDCLASSEXW existing{sizeof existing};
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW wc{sizeof wc};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Window::Proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        RegisterClassExW(&wc);
    }
    CreateWindowExW(exStyle, className, title.c_str(), style, x, y, width, height, parent, id, instance, this);
    if (!hwnd_) throw Error(L"Cannot create window " + std::wstring(className));
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return Default(msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    bool handled = false;
    ++handlerDepth;
    Guarded([&] {
        result = self->HandleMessage(msg, wp, lp);
        handled = true;
    });
    --handlerDepth;
    if (!handled) result = DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace zz
