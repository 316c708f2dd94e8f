#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "common/Handle.h"
#include "ui/Pane.h"
#include "ui/PaneHost.h"

// A shown top-level window that hosts one pane the way the main window does: the pane centred at top 50, the
// window as the parent of its dialogs, the busy flag kept, codes asked for recorded.
class TestPaneHost : public TPaneHost {
public:
    TestPaneHost();
    ~TestPaneHost();

    // Makes a pane of type T (replacing the one shown) and shows it.
    template <typename T>
    T& Show() {
        auto pane = std::make_unique<T>(*this);
        T& shown = *pane;
        Place(std::move(pane));
        return shown;
    }
    HWND Window() const { return window_.get(); }

    HWND DialogParent() const override { return window_.get(); }
    bool Busy() const override { return busy_; }
    void SetBusy(bool busy) override { busy_ = busy; }
    void ShowCode(int code) override { codes.push_back(code); }

    std::vector<int> codes;

private:
    void Place(std::unique_ptr<TPane> pane);

    zz::unique_hwnd window_;
    std::unique_ptr<TPane> pane_;  // destroyed before the window
    bool busy_ = false;
};
