#include "logic/BackupStatements.h"

#include "logic/ConnectionStrings_UNT.h"

namespace zz {

const TDatabaseLayout kZeltoLayout{
    L"zelto_Data",
    L"zelto_Log",
    L"FileRepository_Data",
    L" move 'zelto_Data' to ",
    L" move 'zelto_log'  to ",
    L" move 'zelto_Data'  to ",
    L" move 'zelto_Log'  to ",
    L" move 'FileRepository_Data' to ",
};

const TDatabaseLayout kZeltoAccLayout{
    L"ZeltoAcc",
    L"ZeltoAcc_Log",
    L"ZeltoAcc_Data",
    L" move 'ZeltoAcc' to ",
    L" move 'ZeltoAcc_log'  to ",
    L" move 'ZeltoAcc'  to ",
    L" move 'ZeltoAcc_Log'  to ",
    L" move 'ZeltoAcc_Data' to ",
};

namespace {

std::wstring PathOf(std::wstring_view logicalName, std::wstring_view end) {
    return L" (select cast(fileName as varchar(260)) from sysfiles where name='" + std::wstring(logicalName) + L"' )" +
           std::wstring(end);
}

std::wstring RestoreHead(std::wstring_view database, std::wstring_view file) {
    return L"RESTORE DATABASE " + std::wstring(database) + L" FROM  DISK = N" + SqlQuoted(file) +
           L" WITH  FILE = 1,  NOUNLOAD ,  STATS = 10,  RECOVERY ,  REPLACE, ";
}

}  // namespace

std::wstring BackupStatement(std::wstring_view database, std::wstring_view file) {
    return L"backup database " + std::wstring(database) + L" to disk=" + SqlQuoted(file);
}

std::wstring FilePathsQuery(std::wstring_view database, const TDatabaseLayout& layout) {
    return L"Use " + std::wstring(database) + L" select " + PathOf(layout.dataName, L",") +
           PathOf(layout.logName, L",") + PathOf(layout.thirdName, L"");
}

std::wstring UseMasterStatement() {
    return L" use master ";
}

std::wstring FileListStatement(std::wstring_view file) {
    return L"RESTORE FILELISTONLY FROM  DISK = N" + SqlQuoted(file) + L" WITH  FILE = 1 ,  NOUNLOAD";
}

std::wstring RestoreStatement(std::wstring_view database, std::wstring_view file, const TDatabaseLayout& layout,
                              std::size_t backupFileCount, const TDatabaseFilePaths& paths) {
    std::wstring text = RestoreHead(database, file);
    if (backupFileCount == 2) {
        text += std::wstring(layout.twoFileMoveData) + SqlQuoted(paths.data) + L"," +
                std::wstring(layout.twoFileMoveLog) + SqlQuoted(paths.log);
    } else {
        text += std::wstring(layout.threeFileMoveData) + SqlQuoted(paths.data) + L"," +
                std::wstring(layout.threeFileMoveLog) + SqlQuoted(paths.log) + L"," +
                std::wstring(layout.threeFileMoveThird) + SqlQuoted(paths.third);
    }
    return text;
}

std::wstring TrimRight(std::wstring_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] <= L' ') --end;
    return std::wstring(text.substr(0, end));
}

}  // namespace zz
