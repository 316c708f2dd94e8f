#include "panes/RegFiles.h"

#include "platform/Services_UNT.h"

namespace {

using K = TControlKind;

const wchar_t* const kFlashHint = L"فايل Flash.ocx را ثبت مي کند";
const wchar_t* const kChosenHint = L"فایل انتخابی را ثبت می کند";

const TControlDef kControls[] = {
    {.name = L"RegFlash_BTN", .kind = K::Button, .rect = {40, 20, 270, 33}, .text = L"&2 - ثبت فايل Flash.ocx",
     .hint = kFlashHint, .onClick = On<&TRegFiles_FRAM::RegFlash_BTNClick>},
    {.name = L"Button1", .kind = K::Button, .rect = {40, 65, 270, 33}, .text = L"&3 - ثبت فایل انتخابی",
     .hint = kChosenHint, .onClick = On<&TRegFiles_FRAM::Button1Click>},
    {.name = L"Bevel1", .kind = K::Bevel, .rect = {20, 118, 310, 2}},
    {.name = L"Button3", .kind = K::Button, .rect = {40, 140, 270, 33}, .text = L"&5 - Unregister Flash.ocx",
     .hint = kFlashHint, .onClick = On<&TRegFiles_FRAM::Button3Click>},
    {.name = L"Button4", .kind = K::Button, .rect = {40, 185, 270, 33}, .text = L"&6 - Unregister فایل انتخابی",
     .hint = kChosenHint, .onClick = On<&TRegFiles_FRAM::Button4Click>},
};

}  // namespace

std::span<const TControlDef> TRegFiles_FRAM::Controls() const {
    return kControls;
}

void TRegFiles_FRAM::RegFlash_BTNClick() {
    ExecuteAndWait(L"regsvr32", L"Flash.ocx", true);
}

void TRegFiles_FRAM::Button1Click() {
    if (!Open.Execute(Handle())) return;
    ExecuteAndWait(L"regsvr32", L"\"" + Open.FileName + L"\"", true);
}

void TRegFiles_FRAM::Button3Click() {
    ExecuteAndWait(L"regsvr32", L"Flash.ocx /u", true);
}

void TRegFiles_FRAM::Button4Click() {
    if (!Open.Execute(Handle())) return;
    ExecuteAndWait(L"regsvr32", L"\"" + Open.FileName + L"\" /u", true);
}
