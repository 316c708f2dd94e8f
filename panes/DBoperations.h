#pragma once

#include <exception>
#include <string>

#include "panes/DataBackup_UNT.h"
#include "platform/DbQuery.h"
#include "ui/FileDialogs.h"
#include "ui/Pane.h"

// Code 3: attaches, detaches, backs up, restores and creates the suite's database and runs script files against it;
// before a restore or a script it makes an automatic safety backup and goes on only when that succeeded.
class TDBoperations_FRAM : public TPane {
public:
    explicit TDBoperations_FRAM(TPaneHost& host);
    int FrameWidth() const override { return 350; }
    int FrameHeight() const override { return 340; }

    void AttachDB_BTNClick();
    void DetachDB_BTNClick();
    void BackupDB_BTNClick();
    void RestoreDB_BTNClick();
    void RunSQLCommand_BTNClick();
    void CreateDB_BTNClick();
    void Database_EDTEnter();
    void Database_EDTExit();
    void SetConnectionStrings();
    // The safety backup of the named database into folder (ending with its separator).
    TDataBackUpError AutoBackup(const std::wstring& folder);

    TOpenDialog OpenDialog1, OpenDialog2, OpenDialog3;
    TSaveDialog SaveDialog1, SaveDialog2;
    zz::TDbQuery ADOQuery1, ADOQuery2;

protected:
    std::span<const TControlDef> Controls() const override;

private:
    std::wstring DatabaseName() const { return Text(L"Database_EDT"); }
    void Report(const wchar_t* content, int icon, const std::wstring& expanded = L"");
    void ReportFailure(const wchar_t* content, int icon, const std::exception& error);
};
