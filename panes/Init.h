#pragma once

#include "platform/DbQuery.h"
#include "ui/Pane.h"

// Code 6: prepares a workstation for the suite: Persian regional settings for the current user, and the suite's
// ini file after checking that the named server answers. Two buttons that are never shown switch the suite's
// first-run requirements check on and off.
class TInit_FRAM : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return 350; }
    int FrameHeight() const override { return 371; }

    void LanSetting_BTNClick();
    void OK_BTNClick();
    void ServerIP_CHKClick();
    void ActiveCheck_BTNClick();
    void DActiveCheck_BTNClick();

protected:
    std::span<const TControlDef> Controls() const override;
    void ControlsCreated() override;

private:
    // Opens the server's database list for the primary database on the primary server; raises the client's error.
    void CheckServer();
    void WriteIniFile();

    zz::TDbQuery FQuery;
};
