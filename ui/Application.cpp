#include "ui/Application.h"

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "platform/MessageLoop.h"
#include "ui/ModalUi.h"

namespace zz {
namespace {

HWND appWindow = nullptr;
HWND mainForm = nullptr;
std::function<void(WPARAM)> mainKeyPreview;
std::function<void()> afterDispatch;

bool IsWithin(HWND hwnd, HWND root) {
    return root && hwnd && (hwnd == root || IsChild(root, hwnd));
}

// Waits below the window layer handle messages the way the program's own loop does.
const bool loopInstalled = (MessageLoop::Install(&Application::Dispatch, &Application::Handle), true);

}  // namespace

std::wstring Application::Title() {
    std::wstring path = ExecutablePath();
    auto slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    auto dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

HWND Application::Handle() {
    if (!appWindow) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZZApplication";
        RegisterClassW(&wc);
        appWindow = CreateWindowExW(WS_EX_TOOLWINDOW, L"ZZApplication", Title().c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    return appWindow;
}

HWND Application::MainForm() {
    return mainForm && IsWindow(mainForm) ? mainForm : nullptr;
}

void Application::SetMainForm(HWND form, std::function<void(WPARAM)> keyPreview) {
    mainForm = form;
    mainKeyPreview = std::move(keyPreview);
}

HWND Application::DialogParent() {
    HWND active = GetActiveWindow();
    if (active && active != appWindow) return active;
    return MainForm() ? MainForm() : Handle();
}

void Application::HandleException(const std::exception& error) noexcept {
    if (auto* e = dynamic_cast<const Error*>(&error)) {
        HandleException(e->Message());
    } else {
        HandleException(FromUtf8(error.what()));
    }
}

void Application::HandleException(const std::wstring& message) noexcept {
    try {
        std::wstring text = message;
        if (text.empty() || text.back() != L'.') text += L'.';
        CurrentModalUi().ErrorBox(DialogParent(), text, Title());
    } catch (...) {
    }
}

void Application::SetAfterDispatch(std::function<void()> handler) {
    afterDispatch = std::move(handler);
}

void Application::Dispatch(MSG& msg) {
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && mainKeyPreview &&
        IsWithin(msg.hwnd, MainForm())) {
        Guarded([&] { mainKeyPreview(msg.wParam); });
    }
    if (!(MainForm() && IsWithin(msg.hwnd, MainForm()) && IsDialogMessageW(MainForm(), &msg))) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (afterDispatch) {
        auto handler = afterDispatch;
        Guarded([&] { handler(); });
    }
}

int Application::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
    return static_cast<int>(msg.wParam);
}

void Application::ProcessMessages() {
    MessageLoop::ProcessPending();
}

}  // namespace zz
