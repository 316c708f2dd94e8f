#pragma once

#include <memory>

#include "shell/Controls.h"

class TMain_frm;

// An operation frame: a panel that the main window makes for one operation code and destroys when it is replaced.
class TOperationFrame : public zz::Panel {
public:
    explicit TOperationFrame(TMain_frm& owner) : owner_(owner) {}
    ~TOperationFrame() override = default;

    virtual int FrameWidth() const = 0;
    virtual int FrameHeight() const = 0;
    // Makes the frame's window as a child of parent, hidden, and its controls.
    void CreateFrame(HWND parent);
    TMain_frm& Owner() const { return owner_; }

    bool VerifyCheck = false;

protected:
    virtual void CreateControls() {}

private:
    TMain_frm& owner_;
};

using FrameFactory = std::unique_ptr<TOperationFrame> (*)(TMain_frm& owner);

template <typename T>
std::unique_ptr<TOperationFrame> MakeFrame(TMain_frm& owner) {
    return std::make_unique<T>(owner);
}
