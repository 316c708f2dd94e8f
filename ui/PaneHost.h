#pragma once

#include <windows.h>

// What an operation pane may ask of the window that shows it.
class TPaneHost {
public:
    // The window that the pane's dialogs and messages belong to.
    virtual HWND DialogParent() const = 0;
    // While an operation of a pane runs (also while it waits for a launched program and handles messages), the
    // host takes no new code and no help key, and no pane button takes a second click.
    virtual bool Busy() const = 0;
    virtual void SetBusy(bool busy) = 0;
    // As if the code had been typed into the code box and Enter pressed.
    virtual void ShowCode(int code) = 0;

protected:
    ~TPaneHost() = default;
};

// The host is busy for the length of a scope.
class TBusyScope {
public:
    explicit TBusyScope(TPaneHost& host) : host_(host), was_(host.Busy()) { host_.SetBusy(true); }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;
    ~TBusyScope() { host_.SetBusy(was_); }

private:
    TPaneHost& host_;
    bool was_;
};
