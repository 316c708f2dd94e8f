#include <gtest/gtest.h>

#include "BackupFile.h"
#include "Catalogue.h"

namespace standin {
namespace {

backup::BackupSet sampleSet(const std::string& db, uint8_t fill) {
    backup::BackupSet s;
    s.databaseName = db;
    s.created = "2024-01-01 10:00:00.000";
    s.files.push_back({1, 'D', "zelto_Data", "C:\\D\\z.mdf", Bytes(20000, fill)});
    s.files.push_back({2, 'L', "zelto_Log", "C:\\D\\z_log.ldf", Bytes(10, 'L')});
    return s;
}

TEST(BackupFile, SetsAppendAndReadBack) {
    Bytes media;
    backup::appendSet(media, sampleSet("Zelto", 'a'));
    backup::appendSet(media, sampleSet("Other", 'b'));
    backup::Media m = backup::readMedia(media);
    ASSERT_EQ(m.error, backup::ReadError::None);
    ASSERT_EQ(m.sets.size(), 2u);
    EXPECT_EQ(m.sets[1].databaseName, "Other");
    EXPECT_EQ(m.sets[1].files[0].contents, Bytes(20000, 'b'));
    EXPECT_EQ(m.sets[0].files[1].physicalName, "C:\\D\\z_log.ldf");
}

TEST(BackupFile, TruncatedDamagedAndForeignFilesAreRecognised) {
    Bytes media;
    backup::appendSet(media, sampleSet("Zelto", 'a'));
    // Every cut of a one-set file is refused, none crashes.
    for (size_t cut = 0; cut < media.size(); cut += 97) {
        Bytes part(media.begin(), media.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_NE(backup::readMedia(part).error, backup::ReadError::None) << cut;
        EXPECT_TRUE(backup::readMedia(part).sets.empty()) << cut;
    }
    Bytes damaged = media;
    damaged[damaged.size() / 2] ^= 0x40;
    EXPECT_EQ(backup::readMedia(damaged).error, backup::ReadError::Damaged);
    EXPECT_EQ(backup::readMedia(Bytes{'P', 'K', 3, 4, 0, 0}).error, backup::ReadError::NotABackup);
    // A header that claims more payload than there is.
    Bytes lying = media;
    lying[16] = 0xFF;
    lying[17] = 0xFF;
    EXPECT_EQ(backup::readMedia(lying).error, backup::ReadError::NotABackup);
}

TEST(Catalogue, RoundTripsAwkwardNamesAndRefusesAShortFile) {
    std::vector<DatabaseEntry> dbs(2);
    dbs[0] = {"master", 1, "2024-01-01 00:00:00.000", {{1, 'D', "master", "C:\\data\\master.mdf"}}};
    dbs[1] = {"Tab\tName\\x", 5, "2024", {{1, 'D', "a\nb", "C:\\p\\z.mdf"}, {2, 'L', "l", "C:\\p\\z.ldf"}}};
    std::string text = Catalogue::serialize(dbs);
    std::vector<DatabaseEntry> back = Catalogue::deserialize(text);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].name, "Tab\tName\\x");
    EXPECT_EQ(back[1].files[0].logicalName, "a\nb");
    EXPECT_EQ(back[1].files[1].type, 'L');
    EXPECT_THROW(Catalogue::deserialize(text.substr(0, text.size() - 4)), std::runtime_error);
    EXPECT_THROW(Catalogue::deserialize("something else\n"), std::runtime_error);
}

}  // namespace
}  // namespace standin
