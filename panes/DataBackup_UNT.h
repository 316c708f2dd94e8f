#pragma once

#include <cstdint>
#include <string>

#include "logic/BackupStatements.h"
#include "platform/DbCommand.h"
#include "platform/DbConnection.h"
#include "platform/DbQuery.h"

// Result of the engine's backup and restore operations.
enum TDataBackUpError : std::uint8_t {
    beNoError = 0,
    beBackupError = 1,       // the server rejected the backup statement
    beFileNotFound = 2,      // the backup file or the archive to restore from is missing
    beFileExists = 3,        // the backup file or the archive to be written already exists
    beCompressingError = 4,  // writing or opening the ZIP archive failed
    beRestoreError = 5,      // reading the file paths or the restore statements failed
};

// Backs up and restores the suite's database over one connection of its own. A caller makes one engine for one
// operation and releases it. Every outcome is reported through the program's message dialog unless the caller
// asks for silence; the result code is the same either way.
class TDataBackUp {
public:
    // Opens the connection (an empty string makes the engine without one). A connection error leaves the
    // constructor: no engine exists then.
    explicit TDataBackUp(const std::wstring& ConnectionStr);
    TDataBackUp(const TDataBackUp&) = delete;
    TDataBackUp& operator=(const TDataBackUp&) = delete;
    ~TDataBackUp();

    // Has the server write the database to FileAddress (a .bak path as the server sees it) and, with DoZipFile,
    // packs it into the .zip of the same name; with DeleteBackupFile the .bak is removed once the archive has
    // been read back whole. SaveInXML is accepted and ignored: the catalogue is written only by BakUpSaveToXml.
    TDataBackUpError BackUp(const std::wstring& DatabaseName, const std::wstring& FileAddress, bool DeleteBackupFile,
                            bool DoZipFile, bool ShowErrorMessages, bool SaveInXML);
    // Restores FileAddress (taken out of ZipFileAddress first when IsZipFile) over the existing database, its
    // files moved onto the paths they have now. Restore serves the first database layout and shows the waiting
    // window; Restore2008 serves the second and shows none.
    TDataBackUpError Restore(const std::wstring& DatabaseName, const std::wstring& FileAddress, bool IsZipFile,
                             const std::wstring& ZipFileAddress, bool ShowErrorMessages);
    TDataBackUpError Restore2008(const std::wstring& DatabaseName, const std::wstring& FileAddress, bool IsZipFile,
                                 const std::wstring& ZipFileAddress, bool ShowErrorMessages);

    // Appends a backup to the catalogue "BackUp\BackUpList.xml" beside the program (made from the program's empty
    // catalogue when missing) with the next BackUpId and the first five characters of bakHour, and writes the
    // catalogue anew. Errors (unreadable catalogue, a value too long for its field, a failed write) go to the
    // caller; the catalogue on disk is then as it was.
    void BakUpSaveToXml(const std::wstring& bakDate, const std::wstring& bakHour, const std::wstring& bakAddress,
                        const std::wstring& appVer, const std::wstring& bakDescr, std::uint8_t bakType);

    // Receives the do-not-ask-again state of every message; nobody reads it.
    bool VerifyCheck = false;

private:
    TDataBackUpError RestoreLayout(const zz::TDatabaseLayout& layout, bool showWaiting,
                                   const std::wstring& DatabaseName, const std::wstring& FileAddress, bool IsZipFile,
                                   const std::wstring& ZipFileAddress, bool ShowErrorMessages);
    // Packs backup into archive; with deleteBackup removes backup once the archive has been read back whole.
    void PackBackup(const std::wstring& backup, const std::wstring& archive, bool deleteBackup);
    // Takes every entry of the archive out into the archive's folder.
    void ExtractArchive(const std::wstring& archive);

    zz::TDbConnection Connection;
    zz::TDbCommand Command{Connection};
    zz::TDbQuery Query{Connection};
};
