#pragma once

#include "ui/FileDialogs.h"
#include "ui/Pane.h"

// Code 2: registers and unregisters component files with the system's registration tool.
class TRegFiles_FRAM : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return 350; }
    int FrameHeight() const override { return 250; }

    void RegFlash_BTNClick();
    void Button1Click();
    void Button3Click();
    void Button4Click();

    TOpenDialog Open;

protected:
    std::span<const TControlDef> Controls() const override;
};
