#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace zz {

// What the program as a whole owns: its title, its own window, the main form, the message loop and the top-level
// error handler.
class Application {
public:
    // No title is set, so it is the executable's base name.
    static std::wstring Title();
    // The application's own window: a top-level window without size that owns nothing visible.
    static HWND Handle();
    static HWND MainForm();
    // The main form and the handler that sees its keys before the focused control does.
    static void SetMainForm(HWND form, std::function<void(WPARAM key)> keyPreview);
    // The window a modal dialog belongs to: the active window of the program, else the main form.
    static HWND DialogParent();

    // Shows an error that no handler caught, titled with the application's title, with a full stop added.
    static void HandleException(const std::exception& error) noexcept;
    static void HandleException(const std::wstring& message) noexcept;

    // Called after every message that the program's own loops handle (the main form frees replaced frames there).
    static void SetAfterDispatch(std::function<void()> handler);

    // One message through key preview, dialog navigation and dispatch.
    static void Dispatch(MSG& msg);
    // Runs the message loop until WM_QUIT.
    static int Run();
    // Handles what is waiting in the queue and returns (tests and waits use it).
    static void ProcessMessages();
};

// Runs fn; an error escaping it goes to the top-level handler. For window procedures and callbacks.
template <typename Fn>
void Guarded(Fn&& fn) noexcept {
    try {
        fn();
    } catch (const std::exception& e) {
        Application::HandleException(e);
    } catch (...) {
        Application::HandleException(L"Unknown error");
    }
}

}  // namespace zz
