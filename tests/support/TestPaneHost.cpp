#include "tests/support/TestPaneHost.h"

#include <stdexcept>

#include "tests/support/TestSupport.h"
#include "ui/Application.h"

namespace {

constexpr int kWidth = 450, kHeight = 600, kTop = 50;

}  // namespace

TestPaneHost::TestPaneHost() {
    window_.reset(CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"pane host", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN,
                                  100, 50, kWidth, kHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window_) throw std::runtime_error("cannot create the pane host window");
    // Keys go through the dialog manager of this window, as they do through the main window's.
    zz::Application::SetMainForm(window_.get(), nullptr);
    SetForegroundWindow(window_.get());
}

TestPaneHost::~TestPaneHost() {
    zz::Application::SetMainForm(nullptr, nullptr);
    pane_.reset();
}

void TestPaneHost::Place(std::unique_ptr<TPane> pane) {
    pane_.reset();
    pane_ = std::move(pane);
    pane_->CreateFrame(window_.get());
    RECT client;
    GetClientRect(window_.get(), &client);
    SetWindowPos(pane_->Handle(), nullptr, (client.right - pane_->FrameWidth()) / 2, kTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(pane_->Handle(), SW_SHOW);
    SetForegroundWindow(window_.get());
    Pump(20);
}
