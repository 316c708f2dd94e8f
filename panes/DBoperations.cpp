#include "panes/DBoperations.h"

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "logic/ConnectionStrings_UNT.h"
#include "logic/DBoperationsStatements.h"
#include "logic/DateFunction_UNT.h"
#include "logic/FormatSettings.h"
#include "platform/FileFunction.h"
#include "ui/Message_UNT.h"

namespace {

using K = TControlKind;
using P = TDBoperations_FRAM;

const TControlDef kControls[] = {
    {.name = L"AttachDB_BTN", .kind = K::Button, .rect = {40, 73, 270, 33},
     .text = L"&1 - الحاق بانک اطلاعاتي               Attach", .hint = L"عمل الحاق بانک اطلاعاتي را انجام مي دهد",
     .tabOrder = 2, .onClick = On<&P::AttachDB_BTNClick>},
    {.name = L"DetachDB_BTN", .kind = K::Button, .rect = {40, 117, 270, 33},
     .text = L"&2 - جداسازي بانک اطلاعاتي          Detach ", .hint = L"عمل جداسازي بانک اطلاعاتي را انجام مي دهد",
     .tabOrder = 3, .onClick = On<&P::DetachDB_BTNClick>},
    {.name = L"BackupDB_BTN", .kind = K::Button, .rect = {40, 162, 270, 33},
     .text = L"&3 - پشتيبان گيري از بانک اطلاعاتي  Backup ",
     .hint = L"عمل پشتيبان گيري از بانک اطلاعاتي را انجام مي دهد", .tabOrder = 4, .onClick = On<&P::BackupDB_BTNClick>},
    {.name = L"RestoreDB_BTN", .kind = K::Button, .rect = {40, 207, 270, 33},
     .text = L"&4 - بازگرداني بانک اطلاعاتي         Restore ", .hint = L"عمل بازگرداني بانک اطلاعاتي را انجام مي دهد",
     .tabOrder = 5, .onClick = On<&P::RestoreDB_BTNClick>},
    {.name = L"Label1", .kind = K::Label, .rect = {219, 10}, .text = L"نام سرویس دهنده :", .textColor = kWhiteText},
    {.name = L"Database_EDT", .kind = K::Edit, .rect = {40, 36, 172, 25}, .text = L"Zelto", .leftToRight = true,
     .tabOrder = 1, .onEnter = On<&P::Database_EDTEnter>, .onExit = On<&P::Database_EDTExit>},
    {.name = L"RunSQLCommand_BTN", .kind = K::Button, .rect = {40, 252, 270, 33}, .text = L"&5 - اجراي دستور SQL",
     .hint = L"دستور SQL را روي سيستم شما اجرا مي کند", .tabOrder = 6, .onClick = On<&P::RunSQLCommand_BTNClick>},
    {.name = L"CreateDB_BTN", .kind = K::Button, .rect = {40, 297, 270, 33}, .text = L"&6 - ساخت بانک اطلاعاتي جديد",
     .hint = L"يک بانک اطلاعاتي جديد با نام زلتو مي سازد", .tabOrder = 7, .onClick = On<&P::CreateDB_BTNClick>},
    {.name = L"Server_EDT", .kind = K::Edit, .rect = {40, 6, 172, 25}, .text = L"(local)\\Zelto", .leftToRight = true,
     .tabOrder = 8, .onEnter = On<&P::Database_EDTEnter>, .onExit = On<&P::Database_EDTExit>},
    {.name = L"Label2", .kind = K::Label, .rect = {224, 41}, .text = L"نام بانک اطلاعاتي :", .textColor = kWhiteText},
};

// File names of this system ignore case: "BACKUP.ZIP" is an archive too.
bool IsZipFile(const std::wstring& path) {
    return zz::SameFileName(zz::ExtractFileExt(path), L".zip");
}

std::wstring ErrorText(const std::exception& error) {
    if (auto* e = dynamic_cast<const zz::Error*>(&error)) return e->Message();
    return zz::FromUtf8(error.what());
}

}  // namespace

TDBoperations_FRAM::TDBoperations_FRAM(TPaneHost& host) : TPane(host) {
    OpenDialog1.Filter = L"SQL Data File (*.mdf)|*.mdf";
    SaveDialog1.DefaultExt = L"zip";
    SaveDialog1.Filter = L"Backup File (*.bak)|*.bak|Compressed Archive File(*.zip)|*.zip";
    SaveDialog1.FilterIndex = 2;
    OpenDialog2.Filter = L"Text Documents (*.txt)|*.txt|Query Files (*.sql)|*.sql";
    OpenDialog3.Filter = L"Backup File(*.bak)|*.bak|Compressed Archive File(*.zip)|*.zip";
    OpenDialog3.FilterIndex = 2;
}

std::span<const TControlDef> TDBoperations_FRAM::Controls() const {
    return kControls;
}

void TDBoperations_FRAM::Report(const wchar_t* content, int icon, const std::wstring& expanded) {
    ShowMessageBox(L"", L"", content, expanded, static_cast<std::uint8_t>(icon), 1, 0, false, VerifyCheck, 0);
}

void TDBoperations_FRAM::ReportFailure(const wchar_t* content, int icon, const std::exception& error) {
    Report(content, icon, ErrorText(error));
}

void TDBoperations_FRAM::SetConnectionStrings() {
    const std::wstring connection = zz::AdminConnectionString(Text(L"Server_EDT"));
    for (zz::TDbQuery* query : {&ADOQuery1, &ADOQuery2}) {
        query->Close();
        query->SetConnectionString(connection);
    }
}

void TDBoperations_FRAM::Database_EDTEnter() {
    LoadKeyboardLayoutW(L"00000409", KLF_ACTIVATE);
}

void TDBoperations_FRAM::Database_EDTExit() {
    LoadKeyboardLayoutW(L"00000429", KLF_ACTIVATE);
}

TDataBackUpError TDBoperations_FRAM::AutoBackup(const std::wstring& folder) {
    zz::TFormatSettings& settings = zz::FormatSettings();
    settings.DateSeparator = L'-';
    settings.TimeSeparator = L'-';
    TDataBackUp engine(ADOQuery1.ConnectionString());
    const std::wstring name =
        zz::AutoBackupName(folder, zz::PersianDateStamp(L"-"), zz::FormatLongTime(zz::LocalNow(), settings));
    return engine.BackUp(DatabaseName(), name, true, true, true, true);
}

void TDBoperations_FRAM::AttachDB_BTNClick() {
    SetConnectionStrings();
    if (!OpenDialog1.Execute(Handle())) return;
    ADOQuery1.SetSQL(zz::AttachStatement(DatabaseName(), OpenDialog1.FileName));
    try {
        ADOQuery1.ExecSQL();
    } catch (const std::exception& e) {
        ReportFailure(L"الحاق بانک اطلاعاتي با خطا مواجه شد", 3, e);
        return;
    }
    Report(L"الحاق بانک اطلاعاتي با موفقيت به اتمام رسيد", 1);
}

void TDBoperations_FRAM::DetachDB_BTNClick() {
    SetConnectionStrings();
    ADOQuery1.SetSQL(zz::DetachStatement(DatabaseName()));
    try {
        ADOQuery1.ExecSQL();
    } catch (const std::exception& e) {
        ReportFailure(L"عمليات با خطا مواجه شد", 3, e);
        return;
    }
    Report(L"عمليات با موفقيت به اتمام رسيد", 1);
}

void TDBoperations_FRAM::BackupDB_BTNClick() {
    SetConnectionStrings();
    SaveDialog1.FileName = DatabaseName();
    if (!SaveDialog1.Execute(Handle())) return;
    const std::wstring chosen = SaveDialog1.FileName;
    // Unguarded: a server that cannot be reached goes to the program's error box.
    TDataBackUp engine(ADOQuery1.ConnectionString());
    try {
        engine.BackUp(DatabaseName(), zz::ChangeFileExt(chosen, L".bak"), false, IsZipFile(chosen), true, true);
    } catch (const std::exception& e) {
        ReportFailure(L"عمليات پشتيبان گيري با خطا مواجه شد", 3, e);
    }
}

void TDBoperations_FRAM::RestoreDB_BTNClick() {
    SetConnectionStrings();
    if (!OpenDialog3.Execute(Handle())) return;
    const std::wstring chosen = OpenDialog3.FileName;
    TDataBackUp engine(ADOQuery1.ConnectionString());
    try {
        if (AutoBackup(zz::ExtractFilePath(chosen)) != beNoError) return;
        engine.Restore(DatabaseName(), zz::ChangeFileExt(chosen, L".bak"), IsZipFile(chosen),
                       zz::ChangeFileExt(chosen, L".zip"), true);
    } catch (const std::exception& e) {
        ReportFailure(L"عمليات بازگرداني با خطا مواجه شد", 3, e);
    }
}

void TDBoperations_FRAM::RunSQLCommand_BTNClick() {
    try {
        SetConnectionStrings();
        if (!OpenDialog2.Execute(Handle())) return;
        if (AutoBackup(zz::ExtractFilePath(OpenDialog2.FileName)) != beNoError) return;
        ADOQuery2.SetSQL(zz::ScriptBatch(ReadWholeFile(OpenDialog2.FileName), DatabaseName()));
        try {
            ADOQuery2.ExecSQL();
        } catch (const std::exception& e) {
            ReportFailure(L"اجراي دستور با خطا مواجه شد", 3, e);
            return;
        }
        Report(L"اجراي دستور با موفقيت به اتمام رسيد", 1);
    } catch (const std::exception& e) {
        ReportFailure(L"عمليات پشتيبان گيري با خطا مواجه شد", 1, e);
    }
}

void TDBoperations_FRAM::CreateDB_BTNClick() {
    SetConnectionStrings();
    SaveDialog2.FileName = DatabaseName();
    if (!SaveDialog2.Execute(Handle())) return;
    ADOQuery1.SetSQL(zz::CreateStatement(DatabaseName(), SaveDialog2.FileName));
    try {
        ADOQuery1.ExecSQL();
    } catch (const std::exception& e) {
        ReportFailure(L"ساخت بانک اطلاعاتي با خطا مواجه شد", 3, e);
        return;
    }
    Report(L"ساخت بانک اطلاعاتي با موفقيت انجام شد", 1);
}
