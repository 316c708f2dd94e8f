#include "panes/IntelligentService.h"

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "logic/CommandLine.h"
#include "platform/Services_UNT.h"
#include "platform/ShellOpen.h"
#include "ui/Application.h"
#include "ui/ModalUi.h"

namespace {

using K = TControlKind;

const wchar_t* const kServiceName = L"IntelligentService_SVR";
// Operations 1 to 3 report their failures with this, a line feed, a carriage return and the error's message.
const std::wstring kAccessFailed = L".دسترسی به سرویس هوشمند با مشکل مواجه شد";

const TControlDef kControls[] = {
    {.name = L"Button1",
     .kind = K::Button,
     .rect = {40, 12, 270, 33},
     .text = L"&1 - مشاهده وضعیت فعلی سرویس",
     .hint = L"وضعیت فعلی و حالت فعال سازی سرویس را نمایش می دهد",
     .onClick = On<&TIntelligentService_FRAM::Button1Click>},
    {.name = L"Label1",
     .kind = K::Label,
     .rect = {190, 60, 140},
     .text = L"آدرس فایل سرویس :",
     .textColor = kWhiteText},
    {.name = L"ServiceAddress_LBL",
     .kind = K::Label,
     .rect = {20, 80, 310, 34},
     .leftToRight = true,
     .textColor = kWhiteText,
     .wordWrap = true},
    {.name = L"Label2", .kind = K::Label, .rect = {190, 124, 140}, .text = L"وضعیت فعلی :", .textColor = kWhiteText},
    {.name = L"State_LBL", .kind = K::Label, .rect = {20, 124, 165}, .textColor = kWhiteText},
    {.name = L"Label3",
     .kind = K::Label,
     .rect = {190, 148, 140},
     .text = L"حالت فعال سازی :",
     .textColor = kWhiteText},
    {.name = L"StartupType_LBL", .kind = K::Label, .rect = {20, 148, 165}, .textColor = kWhiteText},
    {.name = L"Bevel1", .kind = K::Bevel, .rect = {20, 180, 310, 2}},
    {.name = L"Button2",
     .kind = K::Button,
     .rect = {40, 198, 270, 33},
     .text = L"&2 - راه اندازی مجدد سرویس         ",
     .hint = L"سرویس هوشمند را متوقف و سپس مجددا اجرا می کند",
     .onClick = On<&TIntelligentService_FRAM::Button2Click>},
    {.name = L"Button3",
     .kind = K::Button,
     .rect = {40, 243, 270, 33},
     .text = L"&3 - باز کردن فایل Log                   ",
     .hint = L"فایل Log مربوط به سرویس هوشمند را باز می کند",
     .onClick = On<&TIntelligentService_FRAM::Button3Click>},
    {.name = L"Button4",
     .kind = K::Button,
     .rect = {40, 288, 270, 33},
     .text = L"&4 - نصب مجدد سرویس                 ",
     .hint = L"برای نصب سرویس هوشمند جدبد استفاده می شود",
     .onClick = On<&TIntelligentService_FRAM::Button4Click>},
};

// Activates the manager of one click, allowed to lock when the click may change the start type. An error here is
// not the click's own: it reaches the top-level handler.
void Activate(TServiceManager& manager, bool allowLocking) {
    manager.SetAllowLocking(allowLocking);
    manager.SetActive(true);
}

// Operations 1 and 2 keep the service starting with the system.
void EnsureAutomatic(TServiceInfo& service) {
    if (service.StartType() != ssAutomatic) service.SetStartType(ssAutomatic);
}

std::wstring MessageOf(const std::exception& error) {
    if (const auto* e = dynamic_cast<const zz::Error*>(&error)) return e->Message();
    return zz::FromUtf8(error.what());
}

}  // namespace

std::span<const TControlDef> TIntelligentService_FRAM::Controls() const {
    return kControls;
}

std::wstring TIntelligentService_FRAM::StateWord(TServiceState state) {
    switch (state) {
        case ssStopped:
        case ssStopPending:
            return L"متوقف";
        case ssStartPending:
        case ssContinuePending:
            return L"آماده سازی برای اجرا";
        case ssRunning:
            return L"در حال اجرا";
        case ssPausePending:
        case ssPaused:
            return L"موقتا متوقف";
    }
    return L"";
}

std::wstring TIntelligentService_FRAM::StartupWord(TServiceStartup startup) {
    switch (startup) {
        case ssAutomatic:
            return L"خودکار";
        case ssManual:
            return L"دستی";
        case ssDisabled:
            return L"غیر فعال";
    }
    return L"";
}

void TIntelligentService_FRAM::ShowPlain(const std::wstring& text) const {
    zz::CurrentModalUi().ShowMessage(Host().DialogParent(), text, zz::Application::Title());
}

void TIntelligentService_FRAM::ShowFailure(const std::exception& error) const {
    ShowPlain(kAccessFailed + std::wstring(L"\n\r") + MessageOf(error));
}

void TIntelligentService_FRAM::Button1Click() {
    TServiceManager manager;
    Activate(manager, true);
    try {
        TServiceInfo& service = manager.FindService(kServiceName);
        EnsureAutomatic(service);
        SetText(L"ServiceAddress_LBL", service.BinaryPath());
        SetText(L"State_LBL", StateWord(service.State()));  // as captured when the manager was activated
        SetText(L"StartupType_LBL", StartupWord(service.StartType()));
    } catch (const std::exception& error) {
        SetText(L"State_LBL", L"");
        SetText(L"StartupType_LBL", L"");
        SetText(L"ServiceAddress_LBL", L"سرویس یافت نشد");
        ShowFailure(error);
    }
}

void TIntelligentService_FRAM::Button2Click() {
    TServiceManager manager;
    Activate(manager, true);
    try {
        TServiceInfo& service = manager.FindService(kServiceName);
        EnsureAutomatic(service);
        if (service.State() != ssStopped) service.ServiceStop(true);
        service.ServiceStart(true);
        ShowPlain(L".راه اندازی مجدد سرویس با موفقیت انجام شد");
    } catch (const std::exception& error) {
        ShowFailure(error);
    }
}

void TIntelligentService_FRAM::Button3Click() {
    TServiceManager manager;
    Activate(manager, false);
    try {
        TServiceInfo& service = manager.FindService(kServiceName);
        // The registered command line may quote the program's path or carry arguments: the log is beside the
        // program itself.
        const std::wstring program = zz::ProgramOfCommandLine(service.BinaryPath(), zz::FileExists);
        const std::wstring log = zz::FolderPart(program) + L"log.txt";
        if (zz::FileExists(log)) {
            zz::ShellOpenDocument(log);
        } else {
            ShowPlain(L".فایل یافت نشد");
        }
    } catch (const std::exception& error) {
        ShowFailure(error);
    }
}

void TIntelligentService_FRAM::Button4Click() {
    TServiceManager manager;
    std::exception_ptr activationError;
    try {
        manager.SetActive(true);
    } catch (...) {
        activationError = std::current_exception();
    }
    bool wasInstalled = false;
    if (!activationError) {
        try {
            TServiceInfo& old = manager.FindService(kServiceName);
            if (old.State() != ssStopped) old.ServiceStop(true);
            wasInstalled = true;
        } catch (const std::exception&) {
            // not installed, or not stoppable: nothing to uninstall
        }
    }
    if (!Open.Execute(Handle())) {
        if (activationError) std::rethrow_exception(activationError);
        return;
    }
    if (wasInstalled) {
        // The registered command line may quote the program's path or carry arguments: run the program itself.
        const std::wstring program =
            zz::ProgramOfCommandLine(manager.FindService(kServiceName).BinaryPath(), zz::FileExists);
        ExecuteAndWait(program, L"/uninstall", true);
    }
    ExecuteAndWait(Open.FileName, L"/install", true);
    manager.RebuildServicesList();
    manager.FindService(kServiceName).ServiceStart(true);
}
