#pragma once

#include <exception>
#include <string>

#include "platform/ServiceManager_UNT.h"
#include "ui/FileDialogs.h"
#include "ui/Pane.h"

// Code 9: the suite's smart service "IntelligentService_SVR": its program, state and start type, a restart, its
// log file, and a reinstall from a program the user chooses. Each click works through a service manager of its own.
class TIntelligentService_FRAM : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return 350; }
    int FrameHeight() const override { return 345; }

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

    TOpenDialog Open;

    static std::wstring StateWord(TServiceState state);
    static std::wstring StartupWord(TServiceStartup startup);

protected:
    std::span<const TControlDef> Controls() const override;

private:
    void ShowPlain(const std::wstring& text) const;
    void ShowFailure(const std::exception& error) const;
};
