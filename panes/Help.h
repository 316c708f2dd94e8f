#pragma once

#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Pane.h"

// The operation list: one clickable line per operation, read from the operation table.
class THelp_FRAM : public TPane {
public:
    using TPane::TPane;
    int FrameWidth() const override { return 364; }
    int FrameHeight() const override { return 370; }

    void lbl6Click(int tag);
    void Label1Click();
    void lbl6MouseMove(zz::Label& line);
    void lbl6MouseLeave(zz::Label& line);

    size_t LineCount() const { return lines_.size(); }
    zz::Label& LineLabel(size_t index) { return *lines_[index].label; }
    int LineTag(size_t index) const { return lines_[index].tag; }
    // The software updater's path: the executable's folder followed by "\Tools\InternetUpdater.exe".
    static std::wstring UpdaterPath();
    static const wchar_t* UpdaterParameters();

protected:
    void ControlsCreated() override;

private:
    struct Line {
        int tag;  // the code the line stands for; -1 for the updater line
        std::unique_ptr<zz::Label> label;
    };
    std::vector<Line> lines_;
    zz::Hints hints_;
};
