#include "logic/BackupStatements.h"

#include <gtest/gtest.h>

#include <string>

namespace zz {
namespace {

TEST(BackupStatements, BackupQuotesThePathAndNotTheDatabase) {
    EXPECT_EQ(BackupStatement(L"Zelto", L"C:\\Back up\\O'Neil.bak"),
              L"backup database Zelto to disk='C:\\Back up\\O''Neil.bak'");
    EXPECT_EQ(BackupStatement(L"[My Db]", L"D:\\پشتيبان.bak"), L"backup database [My Db] to disk='D:\\پشتيبان.bak'");
}

TEST(BackupStatements, FilePathsQueryOfEachLayout) {
    EXPECT_EQ(FilePathsQuery(L"Zelto", kZeltoLayout),
              L"Use Zelto select  (select cast(fileName as varchar(260)) from sysfiles where name='zelto_Data' ), "
              L"(select cast(fileName as varchar(260)) from sysfiles where name='zelto_Log' ), (select "
              L"cast(fileName as varchar(260)) from sysfiles where name='FileRepository_Data' )");
    EXPECT_EQ(FilePathsQuery(L"Acc", kZeltoAccLayout),
              L"Use Acc select  (select cast(fileName as varchar(260)) from sysfiles where name='ZeltoAcc' ), "
              L"(select cast(fileName as varchar(260)) from sysfiles where name='ZeltoAcc_Log' ), (select "
              L"cast(fileName as varchar(260)) from sysfiles where name='ZeltoAcc_Data' )");
    EXPECT_EQ(UseMasterStatement(), L" use master ");
}

TEST(BackupStatements, FileListNamesTheBackupAsUnicodeLiteral) {
    EXPECT_EQ(FileListStatement(L"C:\\a'b.bak"),
              L"RESTORE FILELISTONLY FROM  DISK = N'C:\\a''b.bak' WITH  FILE = 1 ,  NOUNLOAD");
}

// Two files move data and log; every other count of files takes the statement with all three moves.
TEST(BackupStatements, RestoreStatementFollowsTheNumberOfFilesInTheBackup) {
    const TDatabaseFilePaths paths{L"C:\\D\\z.mdf", L"C:\\D\\z'log.ldf", L""};
    const std::wstring head =
        L"RESTORE DATABASE Zelto FROM  DISK = N'C:\\B\\z.bak' WITH  FILE = 1,  NOUNLOAD ,  "
        L"STATS = 10,  RECOVERY ,  REPLACE, ";
    const std::wstring zeltoTwo =
        head + L" move 'zelto_Data' to 'C:\\D\\z.mdf', move 'zelto_log'  to 'C:\\D\\z''log.ldf'";
    const std::wstring zeltoThree = head +
                                    L" move 'zelto_Data'  to 'C:\\D\\z.mdf', move 'zelto_Log'  to "
                                    L"'C:\\D\\z''log.ldf', move 'FileRepository_Data' to ''";
    const std::wstring accTwo =
        head + L" move 'ZeltoAcc' to 'C:\\D\\z.mdf', move 'ZeltoAcc_log'  to 'C:\\D\\z''log.ldf'";
    const std::wstring accThree = head +
                                  L" move 'ZeltoAcc'  to 'C:\\D\\z.mdf', move 'ZeltoAcc_Log'  to "
                                  L"'C:\\D\\z''log.ldf', move 'ZeltoAcc_Data' to ''";
    const struct {
        std::size_t files;
        const std::wstring &zelto, &acc;
    } cases[] = {{2, zeltoTwo, accTwo},
                 {3, zeltoThree, accThree},
                 {1, zeltoThree, accThree},
                 {0, zeltoThree, accThree},
                 {4, zeltoThree, accThree}};
    for (const auto& c : cases) {
        EXPECT_EQ(RestoreStatement(L"Zelto", L"C:\\B\\z.bak", kZeltoLayout, c.files, paths), c.zelto) << c.files;
        EXPECT_EQ(RestoreStatement(L"Zelto", L"C:\\B\\z.bak", kZeltoAccLayout, c.files, paths), c.acc) << c.files;
    }
}

TEST(BackupStatements, TrimRightRemovesThePadding) {
    EXPECT_EQ(TrimRight(L"C:\\Data\\z.mdf     "), L"C:\\Data\\z.mdf");
    EXPECT_EQ(TrimRight(L" a b \t\r\n"), L" a b");
    EXPECT_EQ(TrimRight(L"   "), L"");
}

}  // namespace
}  // namespace zz
