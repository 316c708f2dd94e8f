#include "panes/DataBackup_UNT.h"

#include <windows.h>

#include <exception>
#include <optional>

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "logic/BackupCatalogue.h"
#include "logic/ZipArchive.h"
#include "platform/FileFunction.h"
#include "ui/Message_UNT.h"
#include "ui/ZeltoWaitting_UNT.h"

namespace {

const wchar_t* const kCaption = L"نرم افزار حسابداري زلتو";
const wchar_t* const kNotice = L"پيغام";
const wchar_t* const kBackingUp = L"سیستم در حال تهیه پشتیبان از اطلاعات می باشد.";
const wchar_t* const kRestoring = L"سیستم در حال بازگردانی اطلاعات می باشد.";

struct TEngineMessage {
    const wchar_t* instruction;
    const wchar_t* content;
    std::uint8_t iconKind;  // 1 information, 3 error
};

const TEngineMessage kDuplicateName{L"نام فايل تکراري", L"در مسير انتخاب شده فايل فشرده اي با همين نام وجود دارد", 1};
const TEngineMessage kBackupFailed{kNotice,
                                   L"پشتيبان گيري از اطلاعات با خطا مواجه شده است . ادامه اطلاعات امکان پذير نيست", 3};
const TEngineMessage kCompressionFailed{kNotice,
                                        L"عمليات فشرده سازي با خطا مواجه شده است . ادامه اطلاعات امکان پذير نيست", 3};
const TEngineMessage kBackedUp{kNotice, L"پشتيبان گيري از اطلاعات با موفقيت انجام شد", 1};
const wchar_t* const kArchiveMissingBefore = L"در مسير انتخاب شده فايل فشرده اي با نام ";
const wchar_t* const kArchiveMissingAfter = L" موجود نيست";
const TEngineMessage kArchiveMissing{kNotice, L"", 1};
const TEngineMessage kArchiveFailed{kNotice,
                                    L"باز کردن فايل فشرده با خطا مواجه شده است . ادامه اطلاعات امکان پذير نيست", 3};
const TEngineMessage kBackupMissing{kNotice, L"در مسير انتخاب شده فايلي با اين نام موجود نيست", 1};
const TEngineMessage kRestoreFailed{
    kNotice, L"عمليات بازگرداني پشتيبان با خطا مواجه شده است . ادامه اطلاعات امکان پذير نيست", 3};
const TEngineMessage kRestored{kNotice, L"بازگرداني پشتيبان با موفقيت انجام شد", 1};

// Ends an operation: the waiting window goes first, then the message when one is asked for.
TDataBackUpError Finish(std::optional<TWaitingScope>& waiting, bool showMessage, bool& verifyCheck,
                        TDataBackUpError result, const TEngineMessage& message, const std::wstring& expanded,
                        const std::wstring& content = {}) {
    if (waiting) waiting->Close();
    if (showMessage)
        ShowMessageBox(kCaption, message.instruction, content.empty() ? message.content : content, expanded,
                       message.iconKind, 1, 1, false, verifyCheck, 0);
    return result;
}

std::wstring MessageOf(const std::exception& error) {
    if (const auto* own = dynamic_cast<const zz::Error*>(&error)) return own->Message();
    return zz::FromUtf8(error.what());
}

}  // namespace

TDataBackUp::TDataBackUp(const std::wstring& ConnectionStr) {
    if (!ConnectionStr.empty()) Connection.Open(ConnectionStr);
}

TDataBackUp::~TDataBackUp() = default;

TDataBackUpError TDataBackUp::BackUp(const std::wstring& DatabaseName, const std::wstring& FileAddress,
                                     bool DeleteBackupFile, bool DoZipFile, bool ShowErrorMessages, bool SaveInXML) {
    (void)SaveInXML;
    std::optional<TWaitingScope> waiting(std::in_place, kBackingUp);
    auto finish = [&](TDataBackUpError result, const TEngineMessage& message, const std::wstring& expanded) {
        return Finish(waiting, ShowErrorMessages, VerifyCheck, result, message, expanded);
    };

    // An existing file is never appended to or overwritten: nothing goes to the server.
    if (zz::FileExists(FileAddress)) return finish(beFileExists, kDuplicateName, FileAddress);

    try {
        Command.SetCommandText(zz::BackupStatement(DatabaseName, FileAddress));
        Command.Execute();
    } catch (const std::exception& e) {
        return finish(beBackupError, kBackupFailed, MessageOf(e));
    }

    if (!DoZipFile) return finish(beNoError, kBackedUp, FileAddress);

    const std::wstring archive = zz::ChangeFileExt(FileAddress, L".zip");
    if (zz::FileExists(archive)) return finish(beFileExists, kDuplicateName, archive);
    try {
        PackBackup(FileAddress, archive, DeleteBackupFile);
    } catch (const std::exception& e) {
        return finish(beCompressingError, kCompressionFailed, MessageOf(e));
    }
    return finish(beNoError, kBackedUp, archive);
}

TDataBackUpError TDataBackUp::Restore(const std::wstring& DatabaseName, const std::wstring& FileAddress, bool IsZipFile,
                                      const std::wstring& ZipFileAddress, bool ShowErrorMessages) {
    return RestoreLayout(zz::kZeltoLayout, true, DatabaseName, FileAddress, IsZipFile, ZipFileAddress,
                         ShowErrorMessages);
}

TDataBackUpError TDataBackUp::Restore2008(const std::wstring& DatabaseName, const std::wstring& FileAddress,
                                          bool IsZipFile, const std::wstring& ZipFileAddress, bool ShowErrorMessages) {
    return RestoreLayout(zz::kZeltoAccLayout, false, DatabaseName, FileAddress, IsZipFile, ZipFileAddress,
                         ShowErrorMessages);
}

TDataBackUpError TDataBackUp::RestoreLayout(const zz::TDatabaseLayout& layout, bool showWaiting,
                                            const std::wstring& DatabaseName, const std::wstring& FileAddress,
                                            bool IsZipFile, const std::wstring& ZipFileAddress,
                                            bool ShowErrorMessages) {
    std::optional<TWaitingScope> waiting;
    if (showWaiting) waiting.emplace(kRestoring);
    auto finish = [&](TDataBackUpError result, const TEngineMessage& message, const std::wstring& expanded,
                      const std::wstring& content = {}) {
        return Finish(waiting, ShowErrorMessages, VerifyCheck, result, message, expanded, content);
    };

    if (IsZipFile) {
        if (!zz::FileExists(ZipFileAddress))
            return finish(beFileNotFound, kArchiveMissing, ZipFileAddress,
                          kArchiveMissingBefore + zz::ExtractFileName(ZipFileAddress) + kArchiveMissingAfter);
        // Everything is taken out, and checked, before the server is asked for anything: a damaged archive or
        // one that would write outside its folder leaves the database as it is.
        try {
            ExtractArchive(ZipFileAddress);
        } catch (const std::exception& e) {
            return finish(beCompressingError, kArchiveFailed, MessageOf(e));
        }
    }

    if (!zz::FileExists(FileAddress)) return finish(beFileNotFound, kBackupMissing, FileAddress);

    try {
        // Query and Command share the connection: the "Use" moves both into the database, and the use of master
        // moves both out again, so the connection no longer holds the database to be replaced.
        Query.SetSQL(zz::FilePathsQuery(DatabaseName, layout));
        Query.Open();
        const zz::TDatabaseFilePaths paths{zz::TrimRight(Query.FieldAsString(std::size_t{0})),
                                           zz::TrimRight(Query.FieldAsString(std::size_t{1})),
                                           zz::TrimRight(Query.FieldAsString(std::size_t{2}))};
        Query.SetSQL(zz::UseMasterStatement());
        Query.ExecSQL();
        Query.Close();

        Command.SetCommandText(zz::FileListStatement(FileAddress));
        const std::size_t files = Command.ExecuteWithRows().RecordCount();
        Command.SetCommandText(zz::RestoreStatement(DatabaseName, FileAddress, layout, files, paths));
        Command.Execute();
    } catch (const std::exception& e) {
        Query.Close();
        return finish(beRestoreError, kRestoreFailed, MessageOf(e));
    }

    if (IsZipFile) DeleteFileW(FileAddress.c_str());
    return finish(beNoError, kRestored, IsZipFile ? ZipFileAddress : FileAddress);
}

void TDataBackUp::BakUpSaveToXml(const std::wstring& bakDate, const std::wstring& bakHour,
                                 const std::wstring& bakAddress, const std::wstring& appVer,
                                 const std::wstring& bakDescr, std::uint8_t bakType) {
    const std::wstring folder = zz::ExecutableFolder() + L"\\BackUp";
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = zz::ExecutableFolder() + L"\\BackUp\\BackUpList.xml";
    if (!zz::FileExists(path)) ExtractResourceToFile(path, L"Backup_XML");

    zz::TBackupCatalogue catalogue(ReadWholeFile(path));
    catalogue.Append({catalogue.NextBackUpId(), bakDate, bakHour.substr(0, 5), appVer, bakAddress, bakType, bakDescr});
    ReplaceWholeFile(path, catalogue.Text());
}

void TDataBackUp::PackBackup(const std::wstring& backup, const std::wstring& archive, bool deleteBackup) {
    const zz::ZipEntryInfo entry = zz::PackFile(backup, archive, zz::ExtractFileName(backup));
    if (!deleteBackup) return;
    // The .bak goes only once the finished archive has been read back with the same size and checksum.
    zz::VerifyArchive(archive, entry);
    DeleteFileW(backup.c_str());
}

void TDataBackUp::ExtractArchive(const std::wstring& archive) {
    zz::ExtractAll(archive, zz::ExtractFileDir(archive));
}
