#pragma once

#include <windows.h>

#include <string>

// The separate please-wait program around a long operation.
std::wstring WaitingProgramPath();
void StartWaitingWindow(const std::wstring& message);
// How long CloseWaitingWindow looks for a waiting window that has not come up yet: long enough for a slow start
// of the waiting program, short enough not to hold the caller when it could not be started.
constexpr DWORD kWaitingWindowSearchMs = 10000;

// form: the window that was active when the operation started, or nullptr.
void CloseWaitingWindow(HWND form, DWORD searchMs = kWaitingWindowSearchMs);

// The waiting window for the length of a scope: started on entry, closed on every way out (an error leaving the
// scope too). Close() closes it earlier, where a message must follow the waiting window's end.
class TWaitingScope {
public:
    explicit TWaitingScope(const std::wstring& message);
    TWaitingScope(const TWaitingScope&) = delete;
    TWaitingScope& operator=(const TWaitingScope&) = delete;
    ~TWaitingScope();
    void Close();

private:
    HWND form_;
    bool open_ = true;
};
