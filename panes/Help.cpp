#include "panes/Help.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

#include "common/Paths.h"
#include "ui/Application.h"
#include "panes/OperationTable.h"
#include "ui/ModalUi.h"

namespace {
constexpr int kRightEdge = 343;
constexpr int kFirstTop = 24;
constexpr int kLineStep = 30;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kHover = RGB(254, 191, 1);
}  // namespace

void THelp_FRAM::ControlsCreated() {
    const HFONT bold = zz::ProgramFont(12, true);
    int top = kFirstTop;
    for (const TOperation& op : Operations()) {
        if (!op.line) continue;
        Line& line = lines_.emplace_back(Line{op.code, std::make_unique<zz::Label>()});
        zz::Label& label = *line.label;
        label.CreateRightAligned(Handle(), op.line, kRightEdge, top, {kWhite, zz::Panel::kParentColor, bold, true, true});
        top += kLineStep;
        if (op.code >= 0) {
            const int tag = op.code;
            label.OnClick = [this, tag] { lbl6Click(tag); };
        } else {
            label.OnClick = [this] { Label1Click(); };
        }
        label.OnMouseMove = [this, &label] { lbl6MouseMove(label); };
        label.OnMouseLeave = [this, &label] { lbl6MouseLeave(label); };
        if (op.hint) hints_.Add(Handle(), label.Handle(), op.hint);
    }
}

void THelp_FRAM::lbl6Click(int tag) {
    // This pane is replaced by what follows; the host frees it once this click is over.
    Host().ShowCode(tag);
}

std::wstring THelp_FRAM::UpdaterPath() {
    return zz::ExecutableFolder() + L"\\Tools\\InternetUpdater.exe";
}

const wchar_t* THelp_FRAM::UpdaterParameters() {
    static const std::wstring parameters = [] {
        wchar_t buffer[64];
        std::swprintf(buffer, 64, L"0 %ls %ls %ls \"%ls\"", L"null", L"null", L"null", L"null");
        return std::wstring(buffer);
    }();
    return parameters.c_str();
}

void THelp_FRAM::Label1Click() {
    std::wstring path = UpdaterPath();
    if (!zz::FileExists(path)) {
        zz::CurrentModalUi().ShowMessage(Host().DialogParent(), L"فایل بروز رسان یافت نشد.",
                                         zz::Application::Title());
        return;
    }
    ShellExecuteW(nullptr, nullptr, path.c_str(), UpdaterParameters(), nullptr, SW_SHOWNORMAL);
}

void THelp_FRAM::lbl6MouseMove(zz::Label& line) {
    line.SetTextColor(kHover);
    line.SetFont(zz::ProgramFont(12, true, true));
}

void THelp_FRAM::lbl6MouseLeave(zz::Label& line) {
    line.SetTextColor(kWhite);
    line.SetFont(zz::ProgramFont(12, true));
}
