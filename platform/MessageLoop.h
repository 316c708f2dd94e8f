#pragma once

#include <windows.h>

namespace zz {

// The program's message queue as seen from code without windows (waits that keep the program answering).
// The window layer installs how one message is dispatched (key preview, dialog keys, freeing replaced panes) and
// which window owns launched programs; without it messages are translated and dispatched plainly.
class MessageLoop {
public:
    using DispatchFn = void (*)(MSG& msg);
    using OwnerFn = HWND (*)();
    static void Install(DispatchFn dispatch, OwnerFn owner) noexcept;

    // Handles every message waiting in this thread's queue. A WM_QUIT is put back for the program's message loop
    // and marks the program as terminating; then false is returned.
    static bool ProcessPending();
    // A WM_QUIT has been seen: the program is ending and waits must end too.
    static bool Terminating() noexcept;
    // The window that owns programs the toolbox starts (the application's own window), or nullptr.
    static HWND Owner();
    // Forgets a seen WM_QUIT (tests that go on after closing a main window).
    static void ResetTerminating() noexcept;
};

}  // namespace zz
