#include "shell/Help.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

#include "common/Paths.h"
#include "shell/Application.h"
#include "shell/Main_UNT.h"
#include "shell/ModalUi.h"

const std::array<THelp_FRAM::Line, 7> THelp_FRAM::kLines = {{
    {1, L"1 -  راه اندازي سرويس ها ", nullptr},
    {2, L"2 - ثبت فايل هاي مورد نياز", nullptr},
    {3, L"3 - عمليات بانک اطلاعاتي",
     L"شامل موارد الحاق، جداسازي، پشتيبان گيري، بازگرداني، اجراي دستور SQL و ساخت بانک اطلاعاتي جديد مي باشد"},
    {4, L"4 - نمايش اطلاعات سيستم",
     L"اطلاعات سيستم از جمله نام کامپيوتر، آدرسIP و اطلاعاتي در مورد بانک اطلاعاتي را در اختيار شما قرار مي دهد"},
    {6, L"6 - تنظيمات پيش از اجرا", L"در اينجا مي توانيد تنظيمات زبان فارسي و ساخت فايل ini را انجام دهيد"},
    {-1, L"8 - بروز رسانی نرم افزار", L"از این گزینه برای دسترسی به سیستم بروزرسانی زلتو استفاده می شود"},
    {9, L"9 - سرویس هوشمند", L"مشاهده وضعیت و عملیات مربوط به سرویس هوشمند"},
}};

namespace {
constexpr int kRightEdge = 343;
constexpr int kFirstTop = 24;
constexpr int kLineStep = 30;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kHover = RGB(254, 191, 1);
}  // namespace

void THelp_FRAM::CreateControls() {
    const HFONT bold = zz::ProgramFont(12, true);
    for (size_t i = 0; i < kLines.size(); ++i) {
        const Line& line = kLines[i];
        zz::Label& label = labels_[i];
        label.CreateRightAligned(Handle(), line.text, kRightEdge, kFirstTop + static_cast<int>(i) * kLineStep,
                                 {kWhite, zz::Panel::kParentColor, bold, true, true});
        if (line.tag >= 0) {
            int tag = line.tag;
            label.OnClick = [this, tag] { lbl6Click(tag); };
        } else {
            label.OnClick = [this] { Label1Click(); };
        }
        label.OnMouseMove = [this, &label] { lbl6MouseMove(label); };
        label.OnMouseLeave = [this, &label] { lbl6MouseLeave(label); };
        if (line.hint) hints_.Add(Handle(), label.Handle(), line.hint);
    }
}

void THelp_FRAM::lbl6Click(int tag) {
    // This frame is replaced by what follows; the main window frees it once this click is over.
    TMain_frm& owner = Owner();
    SetWindowTextW(owner.Code_edt(), std::to_wstring(tag).c_str());
    WORD key = VK_RETURN;
    owner.Code_edtKeyDown(key, 0);
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
        zz::CurrentModalUi().ShowMessage(zz::Application::DialogParent(), L"فایل بروز رسان یافت نشد.",
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
