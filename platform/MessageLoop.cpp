#include "platform/MessageLoop.h"

namespace zz {
namespace {

MessageLoop::DispatchFn dispatchFn = nullptr;
MessageLoop::OwnerFn ownerFn = nullptr;
bool terminating = false;

}  // namespace

void MessageLoop::Install(DispatchFn dispatch, OwnerFn owner) noexcept {
    dispatchFn = dispatch;
    ownerFn = owner;
}

bool MessageLoop::ProcessPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminating = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (dispatchFn) {
            dispatchFn(msg);
        } else {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return !terminating;
}

bool MessageLoop::Terminating() noexcept {
    return terminating;
}

void MessageLoop::ResetTerminating() noexcept {
    terminating = false;
}

HWND MessageLoop::Owner() {
    return ownerFn ? ownerFn() : nullptr;
}

}  // namespace zz
