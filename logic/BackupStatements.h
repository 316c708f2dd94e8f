#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zz {

// The logical file names of one of the suite's two database layouts, with the pieces of the restore statements
// that name them. The pieces are sent exactly as the server has always been sent them, blanks and letter case
// included (the server compares logical names without regard to case).
struct TDatabaseLayout {
    std::wstring_view dataName;  // in sysfiles
    std::wstring_view logName;
    std::wstring_view thirdName;  // only in three-file backups
    std::wstring_view twoFileMoveData;
    std::wstring_view twoFileMoveLog;
    std::wstring_view threeFileMoveData;
    std::wstring_view threeFileMoveLog;
    std::wstring_view threeFileMoveThird;
};

// The first layout (zelto_Data, zelto_Log, FileRepository_Data), restored by Restore.
extern const TDatabaseLayout kZeltoLayout;
// The second layout (ZeltoAcc, ZeltoAcc_Log, ZeltoAcc_Data), restored by Restore2008.
extern const TDatabaseLayout kZeltoAccLayout;

// Where the files of the database to be replaced are now; a logical file the database does not have is "".
struct TDatabaseFilePaths {
    std::wstring data;
    std::wstring log;
    std::wstring third;
};

// The database name goes in as typed (an identifier, unquoted); paths are SQL-quoted.
std::wstring BackupStatement(std::wstring_view database, std::wstring_view file);
// Moves the connection into the database and reads the paths of the layout's three files as one row of three
// columns.
std::wstring FilePathsQuery(std::wstring_view database, const TDatabaseLayout& layout);
// Moves the connection out of the database to be replaced.
std::wstring UseMasterStatement();
// One row per file of the backup.
std::wstring FileListStatement(std::wstring_view file);
// The restore over the database with its files moved onto their current paths: a backup of two files moves data
// and log; any other number of files takes the statement that moves all three.
std::wstring RestoreStatement(std::wstring_view database, std::wstring_view file, const TDatabaseLayout& layout,
                              std::size_t backupFileCount, const TDatabaseFilePaths& paths);

// The text without its trailing blanks and control characters (the server pads the paths it returns).
std::wstring TrimRight(std::wstring_view text);

}  // namespace zz
