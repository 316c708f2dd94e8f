#include "panes/Init.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "common/Error.h"
#include "common/Handle.h"
#include "common/Paths.h"
#include "logic/ConnectionStrings_UNT.h"
#include "platform/BaseClasses_UNT.h"
#include "platform/IniOptionFile_UNT.h"
#include "ui/Message_UNT.h"

namespace {

using K = TControlKind;

const wchar_t* const kServerLabel = L"سرويس &دهنده :";
const wchar_t* const kDatabaseLabel = L"نام بانک ا&طلاعاتي :";

const TControlDef kControls[] = {
    {.name = L"LanSetting_BTN", .kind = K::Button, .rect = {40, 15, 270, 33}, .text = L"&1 - تنظيمات زبان فارسي",
     .hint = L"تنظيمات زبان فارسي مورد نياز براي برنامه زلتو را انجام مي دهد",
     .onClick = On<&TInit_FRAM::LanSetting_BTNClick>},
    {.name = L"Label1", .kind = K::Label, .rect = {20, 68, 310}, .text = L"ساخت فايل تنظیمات اجرایی ini",
     .textColor = kWhiteText},
    {.name = L"PageControl", .kind = K::TabPages, .rect = {10, 92, 330, 180}},
    {.name = L"C1_TBS", .kind = K::TabPage, .text = L" بانک اطلاعاتي ", .parent = L"PageControl"},
    {.name = L"Label2", .kind = K::Label, .rect = {180, 30, 125}, .text = kServerLabel, .parent = L"C1_TBS"},
    {.name = L"Server_C1_EDT", .kind = K::Edit, .rect = {20, 27, 155}, .text = L"(Local)\\ZELTO", .leftToRight = true,
     .parent = L"C1_TBS"},
    {.name = L"Label3", .kind = K::Label, .rect = {180, 75, 125}, .text = kDatabaseLabel, .parent = L"C1_TBS"},
    {.name = L"Database_C1_EDT", .kind = K::Edit, .rect = {20, 72, 155}, .text = L"ZELTO",
     .leftToRight = true, .parent = L"C1_TBS"},
    {.name = L"C2_TBS", .kind = K::TabPage, .text = L" بانک اطلاعاتي ثانويه ",
     .parent = L"PageControl"},
    {.name = L"Label4", .kind = K::Label, .rect = {180, 30, 125}, .text = kServerLabel, .parent = L"C2_TBS"},
    {.name = L"Server_C2_EDT", .kind = K::Edit, .rect = {20, 27, 155}, .text = L"(Local)\\ZELTO", .leftToRight = true,
     .parent = L"C2_TBS"},
    {.name = L"Label5", .kind = K::Label, .rect = {180, 75, 125}, .text = kDatabaseLabel, .parent = L"C2_TBS"},
    {.name = L"Database_C2_EDT", .kind = K::Edit, .rect = {20, 72, 155}, .text = L"ZELTO",
     .leftToRight = true, .parent = L"C2_TBS"},
    {.name = L"Net_TBS", .kind = K::TabPage, .text = L" تنظيمات شبکه ", .parent = L"PageControl"},
    {.name = L"ServerIP_CHK", .kind = K::CheckBox, .rect = {290, 29, 17, 17}, .parent = L"Net_TBS",
     .onClick = On<&TInit_FRAM::ServerIP_CHKClick>},
    {.name = L"Label6", .kind = K::Label, .rect = {180, 30, 105}, .text = L"آدرس IP سرور :",
     .parent = L"Net_TBS"},
    {.name = L"ServerIP_EDT", .kind = K::MaskEdit, .rect = {20, 27, 155}, .text = L"   .   .   .   ",
     .leftToRight = true, .parent = L"Net_TBS", .mask = L"999\\.999\\.999\\.999;1; "},
    {.name = L"Label7", .kind = K::Label, .rect = {180, 75, 125}, .text = L"شماره کاربر :",
     .parent = L"Net_TBS"},
    {.name = L"ClientNum_EDT", .kind = K::Edit, .rect = {20, 72, 155}, .parent = L"Net_TBS"},
    {.name = L"OK_BTN", .kind = K::Button, .rect = {40, 292, 270, 33}, .text = L"&2 - ساخت فایل",
     .hint = L"فايل ini را با توجه به اطلاعات وارد شده مي سازد", .onClick = On<&TInit_FRAM::OK_BTNClick>},
    {.name = L"ActiveCheck_BTN", .kind = K::Button, .rect = {40, 330, 270, 33},
     .text = L"&2 - فعال شدن چک کردن اجرای اول برنامه",
     .visible = false, .onClick = On<&TInit_FRAM::ActiveCheck_BTNClick>},
    {.name = L"DActiveCheck_BTN", .kind = K::Button, .rect = {40, 330, 270, 33},
     .text = L"&3 - غیر فعال شدن چک کردن اجرای اول برنامه",
     .visible = false, .onClick = On<&TInit_FRAM::DActiveCheck_BTNClick>},
};

// The current user's regional settings, written in this order.
const wchar_t* const kInternationalKey = L"\\Control Panel\\International";
const std::pair<const wchar_t*, const wchar_t*> kRegionalSettings[] = {
    {L"iCurrDigits", L"0"}, {L"sCountry", L"Iran"}, {L"sCurrency", L" "},
    {L"sDate", L"/"}, {L"sDecimal", L"."}, {L"sLongDate", L"yyyy/MM/dd"},
    {L"sShortDate", L"yyyy/MM/dd"},
};

// While this value exists, the suite skips its first-run requirements check.
const wchar_t* const kSuiteKey = L"\\Software\\Zelto";
const wchar_t* const kCheckFlag = L"CheckRequirment";

const wchar_t* const kSettingsDone = L"انجام تنظيمات با موفقيت انجام شد";
const wchar_t* const kSettingsFailed = L"انجام تنظيمات با خطا مواجه شد";

void Inform(const std::wstring& content, const std::wstring& expanded, std::uint8_t iconKind, bool& verifyCheck) {
    ShowMessageBox(L"", L"", content, expanded, iconKind, 1, 0, false, verifyCheck, 0);
}

}  // namespace

std::span<const TControlDef> TInit_FRAM::Controls() const {
    return kControls;
}

void TInit_FRAM::ControlsCreated() {
    EnableWindow(Control(L"ServerIP_EDT"), FALSE);
    ShowPage(L"Net_TBS");
}

void TInit_FRAM::LanSetting_BTNClick() {
    try {
        TCustomRegistry registry;
        for (const auto& [name, data] : kRegionalSettings)
            registry.Write(HKEY_CURRENT_USER, kInternationalKey, name, data);
        Inform(L"تنظيمات زبان فارسي با موفقيت انجام شد", L"", 1, VerifyCheck);
    } catch (const zz::Error& e) {
        Inform(L"انجام تنظيمات زبان فارسي با خطا مواجه شد", e.Message(), 2, VerifyCheck);
    }
}

void TInit_FRAM::CheckServer() {
    FQuery.Close();
    FQuery.SetConnectionString(zz::ServerCheckConnectionString(Text(L"Server_C1_EDT")));
    FQuery.SetSQL(L"select * from sysdatabases where name=" + zz::SqlQuoted(Text(L"Database_C1_EDT")));
    FQuery.Open();
    // The rows do not matter: a database the server does not know passes.
    FQuery.Close();
}

void TInit_FRAM::WriteIniFile() {
    const std::wstring path = ProgramIniPath();
    if (!zz::FileExists(path)) {
        zz::unique_file file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) zz::ThrowLastError(L"Cannot create file \"" + path + L"\". ", GetLastError());
    }
    WriteIniString(L"CONNECTION", L"SERVER", Text(L"Server_C1_EDT"));
    WriteIniString(L"CONNECTION", L"DATABASE", Text(L"Database_C1_EDT"));
    WriteIniString(L"CONNECTION2", L"SERVER", Text(L"Server_C2_EDT"));
    WriteIniString(L"CONNECTION2", L"DATABASE", Text(L"Database_C2_EDT"));
    const std::wstring client = Text(L"ClientNum_EDT");
    if (!client.empty()) {
        WriteIniString(L"CLIENTINFO", L"NUMBER", client);
    } else {
        EraseIniSection(L"CLIENTINFO");
    }
    if (Checked(L"ServerIP_CHK")) {
        std::wstring ip = Text(L"ServerIP_EDT");
        std::erase(ip, L' ');
        WriteIniString(L"SERVERINFO", L"IP", ip);
    } else {
        EraseIniSection(L"SERVERINFO");
    }
    Inform(L"فایل در مسیر زیر ساخته شد\n\r\n\r" + path, L"", 1, VerifyCheck);
}

void TInit_FRAM::OK_BTNClick() {
    try {
        CheckServer();
    } catch (const zz::Error& e) {
        FQuery.Close();
        Inform(L"سرويس دهنده بانک اطلاعاتي موجود نمي باشد", e.Message(), 1, VerifyCheck);
        ShowPage(L"C1_TBS");
        SetFocus(Control(L"Server_C1_EDT"));
        return;
    }
    try {
        WriteIniFile();
    } catch (const zz::Error& e) {
        Inform(L"ساخت فایل تنظیمات اجرایی ، با خطا مواجه شد", e.Message(), 3, VerifyCheck);
    }
}

void TInit_FRAM::ServerIP_CHKClick() {
    HWND ip = Control(L"ServerIP_EDT");
    const bool on = Checked(L"ServerIP_CHK");
    EnableWindow(ip, on);
    if (on && ShownPage(L"PageControl") == L"Net_TBS") SetFocus(ip);
}

void TInit_FRAM::ActiveCheck_BTNClick() {
    TCustomRegistry registry;
    if (!registry.ValueExists(HKEY_CURRENT_USER, kSuiteKey, kCheckFlag)) {
        Inform(L"عمل چک کردن غیر فعال نشده است", L"عمل چک کردن پس از اولین اجرای برنامه غیر فعال میشود", 1,
               VerifyCheck);
        return;
    }
    try {
        registry.Delete(HKEY_CURRENT_USER, kSuiteKey, kCheckFlag);
        Inform(kSettingsDone, L"", 1, VerifyCheck);
    } catch (const zz::Error& e) {
        Inform(kSettingsFailed, e.Message(), 2, VerifyCheck);
    }
}

void TInit_FRAM::DActiveCheck_BTNClick() {
    TCustomRegistry registry;
    if (registry.ValueExists(HKEY_CURRENT_USER, kSuiteKey, kCheckFlag)) {
        Inform(L"عمل چک کردن قبلا فعال شده است", L"", 1, VerifyCheck);
        return;
    }
    try {
        registry.Write(HKEY_CURRENT_USER, kSuiteKey, kCheckFlag, L"1");
        Inform(kSettingsDone, L"", 1, VerifyCheck);
    } catch (const zz::Error& e) {
        Inform(kSettingsFailed, e.Message(), 2, VerifyCheck);
    }
}
