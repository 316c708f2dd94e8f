#include <gtest/gtest.h>

#include <regex>

#include "common/Handle.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "logic/ConnectionStrings_UNT.h"
#include "logic/DateFunction_UNT.h"
#include "panes/DBoperations.h"
#include "platform/DbQuery.h"
#include "tests/panes/PaneTestSupport.h"

namespace {

// The pane works on the workstation's instance "(local)\Zelto" and its sample database "Zelto".
const wchar_t* const kServer = L"(local)\\Zelto";

// A statement or query of the test's own, as the administrator, in a database.
void Exec(const std::wstring& database, const std::wstring& sql) {
    zz::TDbQuery q;
    q.SetConnectionString(zz::AdminConnectionString(kServer));
    q.SetSQL(L"use " + database + L"\r\n" + sql);
    q.ExecSQL();
}

std::wstring Scalar(const std::wstring& database, const std::wstring& sql) {
    zz::TDbQuery q;
    q.SetConnectionString(zz::AdminConnectionString(kServer));
    q.SetSQL(L"use " + database + L"\r\n" + sql);
    q.Open();
    return q.Eof() ? L"<none>" : q.FieldAsString(std::size_t{0});
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

class DBoperationsPaneTest : public PaneFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(workstation::PutInstance(SERVICE_RUNNING));
        OpenCode(L"3");
        ASSERT_NE(dynamic_cast<TDBoperations_FRAM*>(&Pane()), nullptr);
    }
    TDBoperations_FRAM& Db() { return dynamic_cast<TDBoperations_FRAM&>(Pane()); }
    workstation::ScopedInstanceState instance;
    // The last message shown: content, icon, expanded text.
    const zz::TaskDialogRequest& Last() { return ui.shown.back().request; }
    TempDir dir;
};

TEST_F(DBoperationsPaneTest, ControlsAndDialogs) {
    EXPECT_EQ(Pane().Text(L"Server_EDT"), L"(local)\\Zelto");
    EXPECT_EQ(Pane().Text(L"Database_EDT"), L"Zelto");
    // Tab order: the database box, buttons 1 to 6, the server box.
    HWND next = Pane().Control(L"Database_EDT");
    for (const wchar_t* name : {L"AttachDB_BTN", L"DetachDB_BTN", L"BackupDB_BTN", L"RestoreDB_BTN",
                                L"RunSQLCommand_BTN", L"CreateDB_BTN", L"Server_EDT"}) {
        next = GetNextDlgTabItem(Pane().Handle(), next, FALSE);
        EXPECT_EQ(next, Pane().Control(name)) << name;
    }
    // Every dialog cancelled: nothing is sent and nothing is said.
    struct Case {
        const wchar_t* button;
        bool save;
        const wchar_t* filter;
        int filterIndex;
        const wchar_t* defaultExt;
        const wchar_t* presetName;
    } cases[] = {
        {L"AttachDB_BTN", false, L"SQL Data File (*.mdf)|*.mdf", 1, L"", L""},
        {L"BackupDB_BTN", true, L"Backup File (*.bak)|*.bak|Compressed Archive File(*.zip)|*.zip", 2, L"zip",
         L"Zelto"},
        {L"RestoreDB_BTN", false, L"Backup File(*.bak)|*.bak|Compressed Archive File(*.zip)|*.zip", 2, L"", L""},
        {L"RunSQLCommand_BTN", false, L"Text Documents (*.txt)|*.txt|Query Files (*.sql)|*.sql", 1, L"", L""},
        {L"CreateDB_BTN", true, L"", 1, L"", L"Zelto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.button)));
        ui.fileDialogs.clear();
        ui.shown.clear();
        ClickButton(c.button);
        ASSERT_EQ(ui.fileDialogs.size(), 1u);
        const zz::FileDialogRequest& d = ui.fileDialogs[0];
        EXPECT_EQ(d.save, c.save);
        EXPECT_EQ(d.filter, c.filter);
        EXPECT_EQ(d.filterIndex, c.filterIndex);
        EXPECT_EQ(d.defaultExt, c.defaultExt);
        EXPECT_EQ(d.fileName, c.presetName);
        EXPECT_EQ(ui.shown.size(), 1u) << "only the dialog";
        EXPECT_EQ(Db().ADOQuery1.SQL(), L"") << "no statement";
    }
}

TEST_F(DBoperationsPaneTest, CreateDetachAndAttach) {
    Pane().SetText(L"Database_EDT", L"ZZPaneNew");
    ui.files = {dir.File(L"ZZPaneNew")};
    ClickButton(L"CreateDB_BTN");
    EXPECT_EQ(Last().content, L"ساخت بانک اطلاعاتي با موفقيت انجام شد");
    const std::wstring dataFile = dir.File(L"ZZPaneNew_data.mdf");
    EXPECT_TRUE(zz::FileExists(dataFile));
    EXPECT_EQ(Scalar(L"ZZPaneNew", L"select rtrim(name) from sysfiles where fileid = 1"), L"ZZPaneNew_data");

    ClickButton(L"DetachDB_BTN");
    EXPECT_EQ(Last().content, L"عمليات با موفقيت به اتمام رسيد");
    EXPECT_EQ(Scalar(L"master", L"select name from sysdatabases where name = 'ZZPaneNew'"), L"<none>");

    ui.files = {dataFile};
    ClickButton(L"AttachDB_BTN");
    EXPECT_EQ(Last().content, L"الحاق بانک اطلاعاتي با موفقيت به اتمام رسيد");
    EXPECT_EQ(Last().iconKind, 1);
    EXPECT_EQ(Scalar(L"master", L"select name from sysdatabases where name = 'ZZPaneNew'"), L"ZZPaneNew");
    ClickButton(L"DetachDB_BTN");
}

TEST_F(DBoperationsPaneTest, FailuresShowTheServersText) {
    struct Case {
        const wchar_t* button;
        const wchar_t* database;
        std::wstring file;
        const wchar_t* content;
        const wchar_t* serverText;
    } cases[] = {
        {L"DetachDB_BTN", L"ZZNoSuchDatabase", L"", L"عمليات با خطا مواجه شد", L"ZZNoSuchDatabase"},
        {L"AttachDB_BTN", L"ZZAttachMissing", dir.File(L"missing.mdf"), L"الحاق بانک اطلاعاتي با خطا مواجه شد",
         L"missing.mdf"},
        {L"CreateDB_BTN", L"Zelto", dir.File(L"Again"), L"ساخت بانک اطلاعاتي با خطا مواجه شد", L"already exists"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.button)));
        ui.shown.clear();
        Pane().SetText(L"Database_EDT", c.database);
        if (!c.file.empty()) ui.files = {c.file};
        ClickButton(c.button);
        ASSERT_FALSE(ui.shown.empty());
        EXPECT_EQ(Last().content, c.content);
        EXPECT_EQ(Last().iconKind, 3);
        EXPECT_NE(Last().expandedText.find(c.serverText), std::wstring::npos) << zz::ToUtf8(Last().expandedText);
    }
}

TEST_F(DBoperationsPaneTest, BackupToBakAndToZipWhateverTheCaseOfItsName) {
    ui.files = {dir.File(L"plain.bak"), dir.File(L"packed.zip"), dir.File(L"SHOUTED.ZIP")};
    for (int i = 0; i < 3; ++i) ClickButton(L"BackupDB_BTN");
    EXPECT_TRUE(zz::FileExists(dir.File(L"plain.bak")));
    EXPECT_FALSE(zz::FileExists(dir.File(L"plain.zip")));
    // Both files of a packed backup stay beside each other; an upper-case name is an archive as well.
    for (const wchar_t* name : {L"packed.bak", L"packed.zip", L"SHOUTED.bak", L"SHOUTED.ZIP"})
        EXPECT_TRUE(zz::FileExists(dir.File(name))) << zz::ToUtf8(name);
    for (const auto& shown : ui.shown) {
        if (shown.kind == L"task") EXPECT_EQ(shown.request.content, L"پشتيبان گيري از اطلاعات با موفقيت انجام شد");
    }
}

TEST_F(DBoperationsPaneTest, RestoreFromAnArchiveAfterASafetyBackup) {
    ui.files = {dir.File(L"before.zip")};
    ClickButton(L"BackupDB_BTN");
    ASSERT_TRUE(zz::FileExists(dir.File(L"before.zip")));
    DeleteFileW(dir.File(L"before.bak").c_str());
    Exec(L"Zelto", L"insert into ApplicationInfo values (90, 'ZZAfterBackup', 'x')");
    ASSERT_EQ(Scalar(L"Zelto", L"select Value from ApplicationInfo where Name = 'ZZAfterBackup'"), L"x");

    ui.shown.clear();
    ui.files = {dir.File(L"before.zip")};
    ClickButton(L"RestoreDB_BTN");
    // The safety backup's archive stands in the chosen file's folder, its .bak gone.
    const auto autos = FilesIn(dir.Path(), L"Auto*");
    ASSERT_EQ(autos.size(), 1u);
    EXPECT_TRUE(std::regex_match(zz::ToUtf8(autos[0]), std::regex(R"(Auto\d{4}-\d\d-\d\d-.*\.zip)")))
        << zz::ToUtf8(autos[0]);
    EXPECT_EQ(Last().content, L"بازگرداني پشتيبان با موفقيت انجام شد");
    EXPECT_EQ(Scalar(L"Zelto", L"select Value from ApplicationInfo where Name = 'ZZAfterBackup'"), L"<none>")
        << "the database holds the backup's rows";
}

TEST_F(DBoperationsPaneTest, AFailedSafetyBackupStopsTheRestore) {
    ui.files = {dir.File(L"before.zip")};
    ClickButton(L"BackupDB_BTN");
    Exec(L"Zelto", L"insert into ApplicationInfo values (91, 'ZZKeep', 'y')");
    // Two safety backups in the same second would have the same name: the clock stands still here.
    zz::TGregorianDateTime now{2026, 3, 20, 10, 11, 12, 0};
    zz::TLocalNowProvider previous = zz::SetLocalNowProvider([&] { return now; });
    ui.files = {dir.File(L"missing.sql")};
    ClickButton(L"RunSQLCommand_BTN");  // its safety backup is made; the script file is not there
    const auto autos = FilesIn(dir.Path(), L"Auto*.zip");
    ASSERT_EQ(autos.size(), 1u);
    ui.shown.clear();
    ui.files = {dir.File(L"before.zip")};
    ClickButton(L"RestoreDB_BTN");
    zz::SetLocalNowProvider(previous);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(Last().content, L"در مسير انتخاب شده فايل فشرده اي با همين نام وجود دارد");
    EXPECT_EQ(Scalar(L"Zelto", L"select Value from ApplicationInfo where Name = 'ZZKeep'"), L"y") << "not restored";
    Exec(L"Zelto", L"delete from ApplicationInfo where Name = 'ZZKeep'");
}

TEST_F(DBoperationsPaneTest, ScriptsRunLineByLineInTheNamedDatabase) {
    const std::wstring script = dir.File(L"three.sql");
    WriteFileBytes(script,
                   "create table ZZScript (n int)\r\ninsert into ZZScript values (1)\r\ninsert into ZZScript values (2)\r\n");
    ui.files = {script};
    ClickButton(L"RunSQLCommand_BTN");
    EXPECT_EQ(Db().ADOQuery2.SQL(),
              L"use Zelto\r\ncreate table ZZScript (n int)\r\nuse Zelto\r\ninsert into ZZScript values (1)\r\n"
              L"use Zelto\r\ninsert into ZZScript values (2)\r\n");
    EXPECT_EQ(Last().content, L"اجراي دستور با موفقيت به اتمام رسيد");
    EXPECT_EQ(Scalar(L"Zelto", L"select count(*) from ZZScript"), L"2");

    // A second script sends only its own lines; a statement spread over lines is rejected by the server.
    // (From another folder: two safety backups in one folder within a second would have the same name.)
    TempDir other;
    const std::wstring spread = other.File(L"spread.sql");
    WriteFileBytes(spread, "insert into ZZScript\r\nvalues (3)\r\n");
    ui.files = {spread};
    ClickButton(L"RunSQLCommand_BTN");
    EXPECT_EQ(Db().ADOQuery2.SQL(), L"use Zelto\r\ninsert into ZZScript\r\nuse Zelto\r\nvalues (3)\r\n");
    EXPECT_EQ(Last().content, L"اجراي دستور با خطا مواجه شد");
    EXPECT_EQ(Last().iconKind, 3);
    EXPECT_FALSE(Last().expandedText.empty());
    EXPECT_EQ(Scalar(L"Zelto", L"select count(*) from ZZScript"), L"2");
    Exec(L"Zelto", L"drop table ZZScript");
}

}  // namespace
