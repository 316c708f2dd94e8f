#pragma once

#include <array>

#include "shell/Controls.h"
#include "shell/Frame.h"

// The operation list: one clickable line per operation code, and the software updater's line.
class THelp_FRAM : public TOperationFrame {
public:
    struct Line {
        int tag;  // the code the line stands for; -1 for the updater line
        const wchar_t* text;
        const wchar_t* hint;
    };
    static const std::array<Line, 7> kLines;

    using TOperationFrame::TOperationFrame;
    int FrameWidth() const override { return 364; }
    int FrameHeight() const override { return 370; }

    void lbl6Click(int tag);
    void Label1Click();
    void lbl6MouseMove(zz::Label& line);
    void lbl6MouseLeave(zz::Label& line);

    zz::Label& LineLabel(size_t index) { return labels_[index]; }
    // The software updater's path: the executable's folder followed by "\Tools\InternetUpdater.exe".
    static std::wstring UpdaterPath();
    static const wchar_t* UpdaterParameters();

protected:
    void CreateControls() override;

private:
    std::array<zz::Label, 7> labels_;
    zz::Hints hints_;
};
