// The backup engine against the stand-in SQL Server, with the waiting program played by a spy that logs when it
// starts and when it is asked to close.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "logic/ConnectionStrings_UNT.h"
#include "logic/ZipArchive.h"
#include "panes/DataBackup_UNT.h"
#include "platform/DbConnection.h"
#include "tests/support/StandInServer.h"
#include "tests/support/TestSupport.h"
#include "ui/ZeltoWaitting_UNT.h"

namespace {

constexpr const wchar_t* kServer = L"(local)\\Zelto";
const std::wstring kCaption = L"نرم افزار حسابداري زلتو";
const std::wstring kNotice = L"پيغام";
const std::wstring kBackingUp = L"سیستم در حال تهیه پشتیبان از اطلاعات می باشد.";
const std::wstring kRestoring = L"سیستم در حال بازگردانی اطلاعات می باشد.";

// A message as the engine shows it; expanded is matched as a prefix (server texts go on with more messages).
struct TMessage {
    std::wstring instruction, content;
    int icon = 0;
    std::wstring expanded;
};
TMessage DuplicateName(const std::wstring& path) {
    return {L"نام فايل تکراري", L"در مسير انتخاب شده فايل فشرده اي با همين نام وجود دارد", 1, path};
}
TMessage BackupFailed(const std::wstring& error) {
    return {kNotice, L"پشتيبان گيري از اطلاعات با خطا مواجه شده است . ادامه اطلاعات امکان پذير نيست", 3, error};
}
TMessage CompressionFailed(const std::wstring& error) {
    return {kNotice, L"عمليات فشرده سازي با خطا مواجه شده است . ادامه اطلاعات امکان پذير نيست", 3, error};
}
TMessage BackedUp(const std::wstring& path) {
    return {kNotice, L"پشتيبان گيري از اطلاعات با موفقيت انجام شد", 1, path};
}
TMessage ArchiveMissing(const std::wstring& archive) {
    return {kNotice, L"در مسير انتخاب شده فايل فشرده اي با نام " + zz::ExtractFileName(archive) + L" موجود نيست", 1,
            archive};
}
TMessage ArchiveFailed(const std::wstring& error) {
    return {kNotice, L"باز کردن فايل فشرده با خطا مواجه شده است . ادامه اطلاعات امکان پذير نيست", 3, error};
}
TMessage BackupMissing(const std::wstring& path) {
    return {kNotice, L"در مسير انتخاب شده فايلي با اين نام موجود نيست", 1, path};
}
TMessage RestoreFailed(const std::wstring& error) {
    return {kNotice, L"عمليات بازگرداني پشتيبان با خطا مواجه شده است . ادامه اطلاعات امکان پذير نيست", 3, error};
}
TMessage Restored(const std::wstring& path) {
    return {kNotice, L"بازگرداني پشتيبان با موفقيت انجام شد", 1, path};
}

bool LocalResolves() {
    addrinfo* result = nullptr;
    if (getaddrinfo("(local)", nullptr, nullptr, &result) != 0) return false;
    freeaddrinfo(result);
    return true;
}

// The names of the files in a folder, sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

class DataBackUpTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LocalResolves()) << "\"(local)\" must resolve to 127.0.0.1 (the workstation's hosts file)";
        try {
            FServer = std::make_unique<zz::test::TStandInServer>(zz::test::TStandInServer::TLogins{});
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        CreateDatabase(L"ZzBackup", {L"zelto_Data", L"zelto_Log"});

        // The spy answers for the waiting program: an existing program file is started as it is.
        ASSERT_TRUE(RemoveSpy());
        ASSERT_TRUE(CopyFileW(ZZ_WAITING_SPY_EXE, WaitingProgramPath().c_str(), FALSE));
        FUi.answer = [this](const zz::TaskDialogRequest& request) {
            // The waiting window must already have been asked to close: it goes while the message is up.
            FClosedBeforeMessage.push_back(PumpUntil([this] { return WaitingClosed(); }, 10000));
            return zz::TaskDialogAnswer{request.buttons.empty() ? 0 : request.buttons.front().id, false};
        };
    }

    void TearDown() override {
        PumpUntil([this] { return WaitingClosed(); }, 3000);
        RemoveSpy();
    }

    // Removes the spy and its log. A spy that came up after the engine had stopped looking for it (a start slower
    // than the engine's bound, on a busy machine) is closed first, so that it cannot write into the next test's log.
    static bool RemoveSpy() {
        return PumpUntil(
            [] {
                for (HWND stray : TopLevelWindowsTitled(L"ZeltoWaitting_FRM")) PostMessageW(stray, WM_CLOSE, 0, 0);
                const bool gone = DeleteFileW(WaitingProgramPath().c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
                return gone && (DeleteFileW(SpyLog().c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND);
            },
            15000);
    }

    // Creates a database with one file per logical name (data files first, the one ending in "Log" as the log)
    // and a table Numbers holding 1, 2 and 3.
    void CreateDatabase(const std::wstring& name, const std::vector<std::wstring>& files) {
        std::wstring data, log;
        for (const std::wstring& file : files) {
            const bool isLog = file.size() > 3 && file.substr(file.size() - 3) == L"Log";
            std::wstring& list = isLog ? log : data;
            list += (list.empty() ? L"" : L",") + std::wstring(L"(name=") + file + L",filename=" +
                    zz::SqlQuoted(FServer->DataFolder() + L"\\" + name + L"_" + file + L".dat") + L")";
        }
        zz::TDbConnection admin(zz::AdminConnectionString(kServer));
        admin.Execute(L"create database " + name + L" on " + data + L" log on " + log);
        admin.Execute(L"use " + name +
                      L"\r\ncreate table Numbers (N int)\r\n"
                      L"insert into Numbers values (1)\r\ninsert into Numbers values (2)\r\n"
                      L"insert into Numbers values (3)");
    }

    // A silent backup made to prepare a test; returns once its waiting window is gone, so that the next
    // operation's look for the waiting window cannot find this one.
    TDataBackUpError Prepare(const std::wstring& database, const std::wstring& bak, bool zip = false) {
        const TDataBackUpError result =
            TDataBackUp(zz::AdminConnectionString(kServer)).BackUp(database, bak, zip, zip, false, false);
        EXPECT_TRUE(PumpUntil([this] { return WaitingClosed(); }, 10000));
        return result;
    }

    // Runs a batch on a connection of its own, closed again at once.
    static void Exec(const std::wstring& text) { zz::TDbConnection(zz::AdminConnectionString(kServer)).Execute(text); }

    static std::wstring Numbers(const std::wstring& database) {
        zz::TDbConnection c(zz::AdminConnectionString(kServer));
        zz::TDbRowSet rows = c.Query(L"use " + database + L" select N from Numbers order by N");
        std::wstring text;
        for (; !rows.Eof(); rows.Next()) text += (text.empty() ? L"" : L",") + rows.FieldAsString(std::size_t{0});
        return text;
    }

    static std::wstring FilePaths(const std::wstring& database) {
        zz::TDbConnection c(zz::AdminConnectionString(kServer));
        zz::TDbRowSet rows = c.Query(L"use " + database + L" select name, filename from sysfiles order by fileid");
        std::wstring text;
        for (; !rows.Eof(); rows.Next())
            text += zz::TrimRight(rows.FieldAsString(std::size_t{0})) + L"=" +
                    zz::TrimRight(rows.FieldAsString(std::size_t{1})) + L";";
        return text;
    }

    static std::size_t FilesInBackup(const std::wstring& bak) {
        zz::TDbConnection c(zz::AdminConnectionString(kServer));
        return c.Query(zz::FileListStatement(bak)).RecordCount();
    }

    static std::wstring SpyLog() { return WaitingProgramPath() + L".log"; }
    static bool WaitingClosed() {
        const std::string log = ReadFileBytes(SpyLog());
        return Count(log, "start ") == Count(log, "close\r\n");
    }

    // The waiting program has been started once with each of these messages, in this order (every operation
    // of the test so far), and every one of them has been asked to close.
    void ExpectWaiting(const std::vector<std::wstring>& messages) {
        ASSERT_TRUE(PumpUntil([this] { return WaitingClosed(); }, 10000)) << "a waiting window was left open";
        const std::string log = ReadFileBytes(SpyLog());
        std::vector<std::wstring> started;
        std::istringstream lines(log);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("start ", 0) != 0) continue;
            const std::size_t open = line.rfind(" \"");
            started.push_back(zz::FromUtf8(line.substr(open + 2, line.size() - open - 4)));  // without "\"\r"
        }
        EXPECT_EQ(started, messages) << log;
    }

    // Exactly these messages were shown, each after its waiting window was asked to close. Clears the record.
    void ExpectMessages(const std::vector<TMessage>& expected, const std::string& where) {
        ASSERT_EQ(FUi.shown.size(), expected.size()) << where;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const zz::TaskDialogRequest& r = FUi.shown[i].request;
            EXPECT_EQ(FUi.shown[i].kind, L"task") << where;
            EXPECT_EQ(r.title, kCaption) << where;
            EXPECT_EQ(r.instruction, expected[i].instruction) << where;
            EXPECT_EQ(r.content, expected[i].content) << where;
            EXPECT_EQ(r.iconKind, expected[i].icon) << where;
            EXPECT_EQ(r.expandedText.substr(0, expected[i].expanded.size()), expected[i].expanded)
                << where << ": " << zz::ToUtf8(r.expandedText);
            ASSERT_EQ(r.buttons.size(), 1u) << where;
            EXPECT_EQ(r.defaultButton, r.buttons[0].id) << where;
            EXPECT_TRUE(r.verificationText.empty()) << where;
            EXPECT_EQ(r.helpContext, 0) << where;
        }
        ASSERT_EQ(FClosedBeforeMessage.size(), expected.size());
        for (bool closed : FClosedBeforeMessage)
            EXPECT_TRUE(closed) << where << ": message shown over the waiting window";
        FUi.shown.clear();
        FClosedBeforeMessage.clear();
    }

    std::unique_ptr<zz::test::TStandInServer> FServer;
    TempDir FDir;
    FakeModalUi FUi;
    std::vector<bool> FClosedBeforeMessage;
};

std::string Where(const char* name, bool show) {
    return std::string(name) + (show ? " (with messages)" : " (silent)");
}

TEST_F(DataBackUpTest, BackUpToABakFile) {
    const std::wstring unknownDb = L"Database 'NoSuchDb' does not exist. Make sure that the name is entered correctly.";
    struct Case {
        const char* name;
        std::wstring database;
        std::string existing;  // content of a file already at the path, or "" for none
        TDataBackUpError result;
        std::function<TMessage(const std::wstring& bak)> message;
    };
    const Case cases[] = {
        {"new file", L"ZzBackup", "", beNoError, [](const std::wstring& bak) { return BackedUp(bak); }},
        {"existing file", L"ZzBackup", "not a backup", beFileExists,
         [](const std::wstring& bak) { return DuplicateName(bak); }},
        {"unknown database", L"NoSuchDb", "", beBackupError,
         [&](const std::wstring&) { return BackupFailed(unknownDb); }},
    };
    std::vector<std::wstring> waits;
    for (const Case& c : cases) {
        for (bool show : {true, false}) {
            const std::string where = Where(c.name, show);
            const std::wstring bak = FDir.File(zz::FromUtf8(c.name) + (show ? L" shown.bak" : L" silent.bak"));
            if (!c.existing.empty()) WriteFileBytes(bak, c.existing);
            TDataBackUp engine(zz::AdminConnectionString(kServer));
            EXPECT_EQ(engine.BackUp(c.database, bak, true, false, show, true), c.result) << where;
            waits.push_back(kBackingUp);
            ExpectWaiting(waits);
            ExpectMessages(show ? std::vector<TMessage>{c.message(bak)} : std::vector<TMessage>{}, where);
            if (!c.existing.empty())
                EXPECT_EQ(ReadFileBytes(bak), c.existing) << where << ": nothing may reach the server";
            else if (c.result == beNoError)
                EXPECT_EQ(FilesInBackup(bak), 2u) << where << ": the .bak stays without an archive";
            else
                EXPECT_FALSE(zz::FileExists(bak)) << where;
        }
    }
}

TEST_F(DataBackUpTest, RestoreFromABakFileBringsBackTheBackupsRowsOntoTheCurrentPaths) {
    const std::wstring bak = FDir.File(L"ZzBackup.bak");
    ASSERT_EQ(Prepare(L"ZzBackup", bak), beNoError);
    Exec(L"use ZzBackup\r\ndelete from Numbers where N = 1\r\ninsert into Numbers values (4)");
    ASSERT_EQ(Numbers(L"ZzBackup"), L"2,3,4");
    const std::wstring paths = FilePaths(L"ZzBackup");

    TDataBackUp engine(zz::AdminConnectionString(kServer));
    EXPECT_EQ(engine.Restore(L"ZzBackup", bak, false, zz::ChangeFileExt(bak, L".zip"), true), beNoError);
    ExpectWaiting({kBackingUp, kRestoring});
    ExpectMessages({Restored(bak)}, "restore");
    EXPECT_EQ(Numbers(L"ZzBackup"), L"1,2,3");
    EXPECT_EQ(FilePaths(L"ZzBackup"), paths);
    EXPECT_TRUE(zz::FileExists(bak)) << "a .bak restored directly stays";

    // The same engine can restore again: its query object is closed after use, not thrown away.
    Exec(L"use ZzBackup delete from Numbers");
    EXPECT_EQ(engine.Restore(L"ZzBackup", bak, false, L"", false), beNoError);
    ExpectWaiting({kBackingUp, kRestoring, kRestoring});
    EXPECT_EQ(Numbers(L"ZzBackup"), L"1,2,3");
}

// Three files: the repository file goes back onto its path too. Over a database without one, the third path is
// empty, the server refuses the move and nothing changes.
TEST_F(DataBackUpTest, ThreeFileBackupsNeedADatabaseWithARepositoryFile) {
    CreateDatabase(L"ZzRepo", {L"zelto_Data", L"FileRepository_Data", L"zelto_Log"});
    const std::wstring bak = FDir.File(L"ZzRepo.bak");
    ASSERT_EQ(Prepare(L"ZzRepo", bak), beNoError);
    ASSERT_EQ(FilesInBackup(bak), 3u);
    Exec(L"use ZzRepo delete from Numbers");
    const std::wstring paths = FilePaths(L"ZzRepo");

    EXPECT_EQ(TDataBackUp(zz::AdminConnectionString(kServer)).Restore(L"ZzRepo", bak, false, L"", true), beNoError);
    ExpectMessages({Restored(bak)}, "three files");
    EXPECT_EQ(Numbers(L"ZzRepo"), L"1,2,3");
    EXPECT_EQ(FilePaths(L"ZzRepo"), paths);

    Exec(L"use ZzBackup delete from Numbers where N = 2");
    EXPECT_EQ(TDataBackUp(zz::AdminConnectionString(kServer)).Restore(L"ZzBackup", bak, false, L"", true),
              beRestoreError);
    ExpectMessages({RestoreFailed(L"File 'FileRepository_Data' cannot be restored to ''.")}, "no third path");
    EXPECT_EQ(Numbers(L"ZzBackup"), L"1,3");
    ExpectWaiting({kBackingUp, kRestoring, kRestoring});
}

TEST_F(DataBackUpTest, RestoreFailuresLeaveTheDatabaseAsItWas) {
    const std::wstring bak = FDir.File(L"ZzBackup.bak");
    ASSERT_EQ(Prepare(L"ZzBackup", bak), beNoError);
    Exec(L"use ZzBackup insert into Numbers values (4)");
    const std::wstring missingBak = FDir.File(L"missing.bak");
    const std::wstring missingZip = FDir.File(L"missing.zip");
    struct Case {
        const char* name;
        std::wstring database, file;
        bool isZip;
        std::wstring zip;
        TDataBackUpError result;
        TMessage message;
        bool holdDatabase = false;  // another connection is in the database
    };
    const Case cases[] = {
        {"missing .bak", L"ZzBackup", missingBak, false, missingZip, beFileNotFound, BackupMissing(missingBak)},
        {"missing archive", L"ZzBackup", missingBak, true, missingZip, beFileNotFound, ArchiveMissing(missingZip)},
        {"unknown database", L"NoSuchDb", bak, false, L"", beRestoreError,
         RestoreFailed(L"Database 'NoSuchDb' does not exist. Make sure that the name is entered correctly.")},
        {"database in use", L"ZzBackup", bak, false, L"", beRestoreError,
         RestoreFailed(L"Exclusive access could not be obtained because the database is in use."), true},
    };
    std::vector<std::wstring> waits{kBackingUp};
    for (const Case& c : cases) {
        for (bool show : {true, false}) {
            const std::string where = Where(c.name, show);
            std::unique_ptr<zz::TDbConnection> other;
            if (c.holdDatabase) {
                other = std::make_unique<zz::TDbConnection>(zz::AdminConnectionString(kServer));
                other->Execute(L"use ZzBackup");
            }
            TDataBackUp engine(zz::AdminConnectionString(kServer));
            EXPECT_EQ(engine.Restore(c.database, c.file, c.isZip, c.zip, show), c.result) << where;
            waits.push_back(kRestoring);
            ExpectWaiting(waits);
            ExpectMessages(show ? std::vector<TMessage>{c.message} : std::vector<TMessage>{}, where);
            other.reset();
            EXPECT_EQ(Numbers(L"ZzBackup"), L"1,2,3,4") << where;
        }
    }
}

// The second layout's logical names, and no waiting window.
TEST_F(DataBackUpTest, Restore2008RestoresTheSecondLayoutWithoutAWaitingWindow) {
    CreateDatabase(L"ZzAcc", {L"ZeltoAcc", L"ZeltoAcc_Log"});
    const std::wstring bak = FDir.File(L"ZzAcc.bak");
    ASSERT_EQ(Prepare(L"ZzAcc", bak), beNoError);
    Exec(L"use ZzAcc update Numbers set N = N * 10");
    const std::wstring paths = FilePaths(L"ZzAcc");

    TDataBackUp engine(zz::AdminConnectionString(kServer));
    EXPECT_EQ(engine.Restore2008(L"ZzAcc", bak, false, L"", true), beNoError);
    ExpectWaiting({kBackingUp});
    ExpectMessages({Restored(bak)}, "second layout");
    EXPECT_EQ(Numbers(L"ZzAcc"), L"1,2,3");
    EXPECT_EQ(FilePaths(L"ZzAcc"), paths);

    // The first layout's names are not the second's: Restore finds no paths and the server refuses.
    EXPECT_EQ(TDataBackUp(zz::AdminConnectionString(kServer)).Restore(L"ZzAcc", bak, false, L"", false),
              beRestoreError);
}

TEST_F(DataBackUpTest, AServerGoneInTheMiddleIsABackupFailure) {
    const std::wstring bak = FDir.File(L"gone.bak");
    TDataBackUp engine(zz::AdminConnectionString(kServer));
    FServer.reset();
    EXPECT_EQ(engine.BackUp(L"ZzBackup", bak, true, true, true, true), beBackupError);
    ExpectWaiting({kBackingUp});
    ASSERT_EQ(FUi.shown.size(), 1u);
    EXPECT_FALSE(FUi.shown[0].request.expandedText.empty()) << "the client's own text";
    ExpectMessages({BackupFailed(L"")}, "server gone");
    EXPECT_FALSE(zz::FileExists(bak));
}

// With DoZipFile the .bak goes into an archive of the same name as its one entry, without a folder; with
// DeleteBackupFile only the archive stays.
TEST_F(DataBackUpTest, BackUpPacksTheBakIntoAOneEntryArchive) {
    struct Case {
        const char* name;
        bool deleteBak, zipExists;
        TDataBackUpError result;
        std::vector<std::wstring> files;  // in the folder afterwards
    };
    const Case cases[] = {
        {"archive", false, false, beNoError, {L"Zz.bak", L"Zz.zip"}},
        {"archive without the .bak", true, false, beNoError, {L"Zz.zip"}},
        {"existing archive", false, true, beFileExists, {L"Zz.bak", L"Zz.zip"}},
        {"existing archive, delete asked", true, true, beFileExists, {L"Zz.bak", L"Zz.zip"}},
    };
    std::vector<std::wstring> waits;
    for (const Case& c : cases) {
        for (bool show : {true, false}) {
            const std::string where = Where(c.name, show);
            TempDir folder;
            const std::wstring bak = folder.File(L"Zz.bak"), zip = folder.File(L"Zz.zip");
            if (c.zipExists) WriteFileBytes(zip, "an archive of the same name");
            TDataBackUp engine(zz::AdminConnectionString(kServer));
            EXPECT_EQ(engine.BackUp(L"ZzBackup", bak, c.deleteBak, true, show, true), c.result) << where;
            waits.push_back(kBackingUp);
            ExpectWaiting(waits);
            const TMessage message = c.zipExists ? DuplicateName(zip) : BackedUp(zip);
            ExpectMessages(show ? std::vector<TMessage>{message} : std::vector<TMessage>{}, where);
            EXPECT_EQ(FilesIn(folder.Path()), c.files) << where;
            if (zz::FileExists(bak)) {
                EXPECT_EQ(FilesInBackup(bak), 2u) << where << ": the .bak is written first";
            }
            if (c.zipExists) {
                EXPECT_EQ(ReadFileBytes(zip), "an archive of the same name") << where;
                continue;
            }
            TempDir out;
            EXPECT_EQ(zz::ExtractAll(zip, out.Path()), std::vector<std::wstring>{out.File(L"Zz.bak")}) << where;
            EXPECT_EQ(FilesInBackup(out.File(L"Zz.bak")), 2u) << where;
            if (!c.deleteBak) {
                EXPECT_EQ(ReadFileBytes(out.File(L"Zz.bak")), ReadFileBytes(bak)) << where;
            }
        }
    }
}

// An archive that cannot be written leaves the .bak.
TEST_F(DataBackUpTest, AFailedPackingKeepsTheBak) {
    const std::wstring bak = FDir.File(L"Zz.bak"), zip = FDir.File(L"Zz.zip");
    ASSERT_TRUE(CreateDirectoryW(zip.c_str(), nullptr)) << "a folder stands where the archive goes";
    TDataBackUp engine(zz::AdminConnectionString(kServer));
    EXPECT_EQ(engine.BackUp(L"ZzBackup", bak, true, true, true, true), beCompressingError);
    ExpectWaiting({kBackingUp});
    ExpectMessages({CompressionFailed(L"")}, "folder in the archive's place");
    EXPECT_EQ(FilesInBackup(bak), 2u);
    RemoveDirectoryW(zip.c_str());
}

// A name with a quote and Persian letters goes through the statements and the archive unharmed.
TEST_F(DataBackUpTest, RestoreFromAnArchiveRemovesOnlyTheExtractedBak) {
    const std::wstring name = L"پشتيبان O'Neil";
    const std::wstring bak = FDir.File(name + L".bak"), zip = FDir.File(name + L".zip");
    ASSERT_EQ(Prepare(L"ZzBackup", bak, true), beNoError);
    ASSERT_EQ(FilesIn(FDir.Path()), std::vector<std::wstring>{name + L".zip"});
    Exec(L"use ZzBackup update Numbers set N = 0 where N = 2");
    const std::wstring paths = FilePaths(L"ZzBackup");

    TDataBackUp engine(zz::AdminConnectionString(kServer));
    EXPECT_EQ(engine.Restore(L"ZzBackup", bak, true, zip, true), beNoError);
    ExpectWaiting({kBackingUp, kRestoring});
    ExpectMessages({Restored(zip)}, "from archive");
    EXPECT_EQ(Numbers(L"ZzBackup"), L"1,2,3");
    EXPECT_EQ(FilePaths(L"ZzBackup"), paths);
    EXPECT_EQ(FilesIn(FDir.Path()), std::vector<std::wstring>{name + L".zip"});
}

// The archive's entry is not the .bak the archive is named for: it is taken out and stays, and the .bak is missing.
TEST_F(DataBackUpTest, AnArchiveWithAnotherEntryNameLeavesItsFileAndFindsNoBackup) {
    const std::wstring bak = FDir.File(L"ZzBackup.bak"), zip = FDir.File(L"ZzBackup.zip");
    {
        TempDir source;
        ASSERT_EQ(Prepare(L"ZzBackup", source.File(L"other.bak")), beNoError);
        zz::PackFile(source.File(L"other.bak"), zip, L"other.bak");
    }
    Exec(L"use ZzBackup delete from Numbers");
    for (bool show : {true, false}) {
        EXPECT_EQ(TDataBackUp(zz::AdminConnectionString(kServer)).Restore(L"ZzBackup", bak, true, zip, show),
                  beFileNotFound);
        ExpectMessages(show ? std::vector<TMessage>{BackupMissing(bak)} : std::vector<TMessage>{},
                       Where("other", show));
        EXPECT_EQ(FilesIn(FDir.Path()), (std::vector<std::wstring>{L"ZzBackup.zip", L"other.bak"}));
    }
    ExpectWaiting({kBackingUp, kRestoring, kRestoring});
    EXPECT_EQ(Numbers(L"ZzBackup"), L"");
}

// An archive that is damaged, or whose entries would land outside its folder, is refused before anything is
// written or sent: the database and a .bak already in the folder stay as they were.
TEST_F(DataBackUpTest, ADamagedOrUnsafeArchiveLeavesEverythingAsItWas) {
    const std::wstring bak = FDir.File(L"ZzBackup.bak"), zip = FDir.File(L"ZzBackup.zip");
    ASSERT_EQ(Prepare(L"ZzBackup", bak), beNoError);
    const std::string before = ReadFileBytes(bak);
    Exec(L"use ZzBackup insert into Numbers values (4)");
    std::vector<std::wstring> waits{kBackingUp};
    for (const wchar_t* fixture : {L"unsafe-entry.zip", L"damaged-entry.zip"}) {
        for (bool show : {true, false}) {
            const std::string where = Where(zz::ToUtf8(fixture).c_str(), show);
            ASSERT_TRUE(CopyFileW((std::wstring(ZZ_PANES_TEST_DATA) + L"\\" + fixture).c_str(), zip.c_str(), FALSE));
            EXPECT_EQ(TDataBackUp(zz::AdminConnectionString(kServer)).Restore(L"ZzBackup", bak, true, zip, show),
                      beCompressingError)
                << where;
            waits.push_back(kRestoring);
            ExpectWaiting(waits);
            ExpectMessages(show ? std::vector<TMessage>{ArchiveFailed(L"")} : std::vector<TMessage>{}, where);
            EXPECT_EQ(ReadFileBytes(bak), before) << where;
            EXPECT_EQ(FilesIn(FDir.Path()), (std::vector<std::wstring>{L"ZzBackup.bak", L"ZzBackup.zip"})) << where;
            EXPECT_FALSE(zz::FileExists(zz::ExtractFilePath(FDir.Path()) + L"outside.bak")) << where;
            EXPECT_EQ(Numbers(L"ZzBackup"), L"1,2,3,4") << where;
        }
    }
}

}  // namespace
