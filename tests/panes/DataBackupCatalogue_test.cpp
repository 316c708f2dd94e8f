// The engine's catalogue beside the program: made from the program's empty catalogue, appended to, rewritten whole.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"
#include "logic/BackupCatalogue.h"
#include "panes/DataBackup_UNT.h"
#include "tests/support/TestSupport.h"

namespace {

const std::wstring kFolder = zz::ExecutableFolder() + L"BackUp";
const std::wstring kCatalogue = kFolder + L"\\BackUpList.xml";

class BakUpSaveToXmlTest : public testing::Test {
protected:
    void SetUp() override { Remove(); }
    void TearDown() override { Remove(); }
    static void Remove() {
        DeleteFileW(kCatalogue.c_str());
        RemoveDirectoryW(kFolder.c_str());
    }
    static zz::TBackupCatalogue::TRecords Records() {
        return zz::TBackupCatalogue(ReadFileBytes(kCatalogue)).Records();
    }
};

TEST_F(BakUpSaveToXmlTest, MakesTheFolderAndCatalogueThenNumbersOnFromTheLastRecord) {
    TDataBackUp engine(L"");  // the catalogue needs no server
    engine.BakUpSaveToXml(L"1402/12/05", L"14:05:09", L"D:\\پشتيبان\\Zelto.zip", L"3.2.1.0", L"روزانه", 1);
    engine.BakUpSaveToXml(L"1402/12/06", L"9:5", L"D:\\Zelto.zip", L"3.2.1.0", L"", 255);
    EXPECT_EQ(Records(), (zz::TBackupCatalogue::TRecords{
                             {L"1", L"1402/12/05", L"14:05", L"3.2.1.0", L"D:\\پشتيبان\\Zelto.zip", L"1", L"روزانه"},
                             {L"2", L"1402/12/06", L"9:5", L"3.2.1.0", L"D:\\Zelto.zip", L"255", L""}}));

    // Another writer's catalogue in its place is read, kept and numbered on from its last record.
    WriteFileBytes(kCatalogue, ReadFileBytes(ZZ_FOREIGN_CATALOGUE_W));
    engine.BakUpSaveToXml(L"1402/12/07", L"08:00", L"E:\\z.zip", L"3.3", L"", 2);
    const auto records = Records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0][7], L"ACC-1");
    EXPECT_EQ(records[4][0], L"8");
}

// Whatever fails, the catalogue on disk stays as it was.
TEST_F(BakUpSaveToXmlTest, AFailureRaisesAndLeavesTheCatalogue) {
    CreateDirectoryW(kFolder.c_str(), nullptr);
    const struct {
        const char* name;
        std::string content;
        std::wstring address;
        std::wstring error;
    } cases[] = {
        {"not a catalogue", "<xml>", L"D:\\z.zip", L"The backup catalogue cannot be read: "},
        {"address too long", "", L"D:\\" + std::wstring(300, L'x'), L"The value of backLocation is longer than"},
    };
    for (const auto& c : cases) {
        if (c.content.empty())
            DeleteFileW(kCatalogue.c_str());
        else
            WriteFileBytes(kCatalogue, c.content);
        TDataBackUp engine(L"");
        std::wstring error = L"(no error)";
        try {
            engine.BakUpSaveToXml(L"1402/12/05", L"14:05", c.address, L"3.2", L"", 1);
        } catch (const zz::Error& e) {
            error = e.Message();
        }
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.name << ": " << zz::ToUtf8(error);
        if (!c.content.empty())
            EXPECT_EQ(ReadFileBytes(kCatalogue), c.content) << c.name;
        else
            EXPECT_TRUE(Records().empty()) << c.name << ": the empty catalogue, nothing added";
    }
}

}  // namespace
