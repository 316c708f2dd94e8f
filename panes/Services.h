#pragma once

#include "ui/Pane.h"

// Code 1: starts (or restarts) the Windows service of the suite's SQL Server instance, here or on another computer.
class TServices_FRAM : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return 350; }
    int FrameHeight() const override { return 250; }

    void StartSQL_BTNClick();

protected:
    std::span<const TControlDef> Controls() const override;
};
