#include "ui/ZeltoWaitting_UNT.h"

#include <shellapi.h>

#include "common/Paths.h"
#include "ui/Application.h"
#include "platform/FileFunction.h"

std::wstring WaitingProgramPath() {
    return zz::ExecutableFolder() + L"\\Waitting_PRJ.exe";
}

void StartWaitingWindow(const std::wstring& message) {
    std::wstring path = WaitingProgramPath();
    if (!zz::FileExists(path)) ExtractResourceToFile(path, L"Waitting_PRJ");
    std::wstring parameters = L"\"" + message + L"\"";
    ShellExecuteW(nullptr, nullptr, path.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void CloseWaitingWindow(HWND form, DWORD searchMs) {
    // The waiting program may still be starting: look again until its window is there, for a bounded time,
    // yielding the processor between looks.
    HWND waiting = FindWindowW(nullptr, L"ZeltoWaitting_FRM");
    const ULONGLONG deadline = GetTickCount64() + searchMs;
    while (!waiting && GetTickCount64() < deadline) {
        Sleep(10);
        waiting = FindWindowW(nullptr, L"ZeltoWaitting_FRM");
    }
    if (waiting) PostMessageW(waiting, WM_CLOSE, 0, 0);

    HWND app = zz::Application::Handle();
    SetActiveWindow(app);
    ShowWindow(app, SW_SHOW);
    if (form) {
        ShowWindow(form, SW_SHOW);
        SetFocus(form);
    }
    ShowWindow(app, SW_SHOW);
    if (form) SetForegroundWindow(form);
}

TWaitingScope::TWaitingScope(const std::wstring& message) : form_(GetActiveWindow()) {
    StartWaitingWindow(message);
}

TWaitingScope::~TWaitingScope() {
    try {
        Close();
    } catch (...) {
    }
}

void TWaitingScope::Close() {
    if (!open_) return;
    open_ = false;
    CloseWaitingWindow(form_);
}
