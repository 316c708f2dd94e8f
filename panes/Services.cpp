#include "panes/Services.h"

#include "platform/Services_UNT.h"
#include "ui/Message_UNT.h"

namespace {

using K = TControlKind;

const TControlDef kControls[] = {
    {.name = L"Label1", .kind = K::Label, .rect = {180, 20, 150}, .text = L"عنوان / آی پی سیستم :",
     .textColor = kWhiteText},
    {.name = L"System_EDT", .kind = K::Edit, .rect = {20, 16, 155, 25}, .leftToRight = true},
    {.name = L"GroupBox1", .kind = K::GroupBox, .rect = {10, 60, 330, 160}},
    {.name = L"Label2", .kind = K::Label, .rect = {170, 32, 150}, .text = L"عنوان سرویس دهنده :",
     .parent = L"GroupBox1", .textColor = kWhiteText},
    {.name = L"Label3", .kind = K::Label, .rect = {170, 52, 150}, .text = L"( Instance Name )",
     .parent = L"GroupBox1", .textColor = kWhiteText},
    {.name = L"Instance_EDT", .kind = K::Edit, .rect = {10, 36, 155, 25}, .text = L"Zelto", .leftToRight = true,
     .parent = L"GroupBox1"},
    {.name = L"StartSQL_BTN", .kind = K::Button, .rect = {30, 100, 270, 33}, .text = L"&1 - راه اندازي سرويس SQL",
     .hint = L"راه اندازي سرويس SQL روي سيستم شما", .parent = L"GroupBox1",
     .onClick = On<&TServices_FRAM::StartSQL_BTNClick>},
};

}  // namespace

std::span<const TControlDef> TServices_FRAM::Controls() const {
    return kControls;
}

void TServices_FRAM::StartSQL_BTNClick() {
    const std::wstring service = L"mssql$" + Text(L"Instance_EDT");
    const std::wstring machine = Text(L"System_EDT");
    std::int32_t result;
    if (IsServiceRunning(service, L"")) {
        // Restart the service that was found running (stopping a fixed name would restart the wrong instance).
        result = StopServiceByCommand(service, machine);
        if (result == 0) result = StartServiceByCommand(service, machine);
    } else {
        result = StartServiceByCommand(service, machine);
    }
    if (result != 0) {
        ShowMessageBox(L"", L"", L"سرويس موجود نمي باشد", L"", 2, 1, 0, false, VerifyCheck, 0);
    } else {
        ShowMessageBox(L"", L"", L"سرويس اجرا شد", L"", 1, 1, 0, false, VerifyCheck, 0);
    }
}
