#pragma once

#include "platform/DbQuery.h"
#include "ui/Pane.h"

// Code 4: the computer's name and IP address, and the version, last update and last restore dates that the
// suite's database keeps about itself. Nothing is written anywhere.
class TSysInfo_FRAM : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return 350; }
    int FrameHeight() const override { return 372; }

    void Button1Click();
    void DBInfo_BTNClick();

protected:
    std::span<const TControlDef> Controls() const override;

private:
    zz::TDbQuery FQuery;
};
