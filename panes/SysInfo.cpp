#include "panes/SysInfo.h"

#include <string>
#include <vector>

#include "common/Error.h"
#include "logic/ConnectionStrings_UNT.h"
#include "platform/LocalAddresses.h"
#include "platform/WMI_UNT.h"
#include "ui/Message_UNT.h"

namespace {

using K = TControlKind;

const TControlDef kControls[] = {
    {.name = L"Label1", .kind = K::Label, .rect = {195, 22, 135}, .text = L"نام سيستم :",
     .textColor = kWhiteText},
    {.name = L"PCName_EDT", .kind = K::ReadOnlyEdit, .rect = {20, 19, 170}, .leftToRight = true},
    {.name = L"Label2", .kind = K::Label, .rect = {195, 57, 135}, .text = L"آدرس IP :",
     .textColor = kWhiteText},
    {.name = L"IPAddress_EDT", .kind = K::ReadOnlyEdit, .rect = {20, 54, 170}, .leftToRight = true},
    {.name = L"Button1", .kind = K::Button, .rect = {40, 95, 270, 33}, .text = L"&1 - نمايش اطلاعات",
     .hint = L"از اين گزينه براي نمايش اطلاعات سيستم از شامل نام سيستم و آدرس IP خود استفاده کنيد",
     .onClick = On<&TSysInfo_FRAM::Button1Click>},
    {.name = L"Bevel1", .kind = K::Bevel, .rect = {20, 148, 310, 2}},
    {.name = L"Label3", .kind = K::Label, .rect = {155, 172, 175}, .text = L"سرویس دهنده بانک اطلاعاتی :",
     .textColor = kWhiteText},
    {.name = L"Server_EDT", .kind = K::Edit, .rect = {20, 169, 130}, .text = L"(local)\\Zelto", .leftToRight = true},
    {.name = L"Label4", .kind = K::Label, .rect = {155, 207, 175}, .text = L"نام بانک اطلاعاتي :",
     .textColor = kWhiteText},
    {.name = L"Database_EDT", .kind = K::Edit, .rect = {20, 204, 130}, .text = L"Zelto", .leftToRight = true},
    {.name = L"Label5", .kind = K::Label, .rect = {155, 242, 175}, .text = L"نسخه بانک اطلاعاتي :",
     .textColor = kWhiteText},
    {.name = L"Version_LBL", .kind = K::Label, .rect = {20, 242, 130}, .textColor = kWhiteText},
    {.name = L"Label6", .kind = K::Label, .rect = {155, 267, 175}, .text = L"تاريخ آخرين بروز رساني :",
     .textColor = kWhiteText},
    {.name = L"LastUpdate_LBL", .kind = K::Label, .rect = {20, 267, 130}, .textColor = kWhiteText},
    {.name = L"Label7", .kind = K::Label, .rect = {155, 292, 175}, .text = L"تاريخ آخرين بازگرداني اطلاعات :",
     .textColor = kWhiteText},
    {.name = L"LastRestore_LBL", .kind = K::Label, .rect = {20, 292, 130}, .textColor = kWhiteText},
    {.name = L"DBInfo_BTN", .kind = K::Button, .rect = {40, 325, 270, 33}, .text = L"&2 - مشخصات بانک اطلاعاتي",
     .hint = L"اين گزينه مشخصات بانک اطلاعاتي را به شما نمايش مي دهد", .onClick = On<&TSysInfo_FRAM::DBInfo_BTNClick>},
};

}  // namespace

std::span<const TControlDef> TSysInfo_FRAM::Controls() const {
    return kControls;
}

void TSysInfo_FRAM::Button1Click() {
    SetText(L"PCName_EDT", GetWMIProperty(L"", L"Win32_ComputerSystem", L"Caption"));
    const std::vector<std::wstring> addresses = LocalIPAddresses();
    SetText(L"IPAddress_EDT", addresses.empty() ? std::wstring() : addresses.front());
}

void TSysInfo_FRAM::DBInfo_BTNClick() {
    try {
        FQuery.Close();
        FQuery.SetConnectionString(zz::ProductConnectionString(Text(L"Database_EDT"), Text(L"Server_EDT")));
        FQuery.SetSQL(L"select * from ApplicationInfo");
        FQuery.Open();
        // Rows in the server's order: version, last update, last restore. Moving past the last row stays on it,
        // so fewer rows repeat the last one; no rows read as empty texts.
        SetText(L"Version_LBL", FQuery.FieldAsString(L"Value"));
        FQuery.Next();
        SetText(L"LastUpdate_LBL", FQuery.FieldAsString(L"Value"));
        FQuery.Next();
        SetText(L"LastRestore_LBL", FQuery.FieldAsString(L"Value"));
        FQuery.Close();
    } catch (const zz::Error& e) {
        FQuery.Close();
        ShowMessageBox(L"", L"", L"اتصال به بانک اطلاعاتي با خطا مواجه شد", e.Message(), 2, 1, 0, false,
                       VerifyCheck, 0);
    }
}
