#include "logic/BackupCatalogue.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"

namespace zz {
namespace {

using TRecords = std::vector<std::vector<std::optional<std::wstring>>>;

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Template() {
    return ReadText(ZZ_CATALOGUE_TEMPLATE);
}

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    const std::size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return at == std::string::npos ? text : text.replace(at, what.size(), with);
}

const TBackupRecord kRecord{
    0, L"1402/12/05", L"14:05", L"3.2.1.0", L"D:\\پشتيبان\\Auto1402-12-05.zip", 200, L"قبل از بازگرداني <\"'&>"};

TEST(BackupCatalogue, TheEmptyCatalogueDeclaresTheSevenFieldsAndStartsAtOne) {
    TBackupCatalogue catalogue(Template());
    EXPECT_EQ(catalogue.Fields(), TBackupCatalogue::FieldNames());
    EXPECT_TRUE(catalogue.Records().empty());
    EXPECT_EQ(catalogue.NextBackUpId(), 1);

    TBackupRecord record = kRecord;
    record.BackUpId = catalogue.NextBackUpId();
    catalogue.Append(record);
    // Read back from its text, as the next call reads the file.
    TBackupCatalogue again(catalogue.Text());
    EXPECT_EQ(again.Records(), (TRecords{{L"1", L"1402/12/05", L"14:05", L"3.2.1.0", L"D:\\پشتيبان\\Auto1402-12-05.zip",
                                          L"200", L"قبل از بازگرداني <\"'&>"}}));
    EXPECT_EQ(again.NextBackUpId(), 2);
    EXPECT_EQ(catalogue.Text().rfind("<xml ", 0), 0u) << "the format's own root, no declaration";
}

// Another writer's catalogue: its own prefixes, a field named apart from its XML name, a field of its own and
// pending changes. The last record (a pending insertion with BackUpId 7) decides the next number, whatever the
// others hold; everything it had is written back.
TEST(BackupCatalogue, ReadsAndKeepsACatalogueItDidNotWrite) {
    TBackupCatalogue catalogue(ReadText(ZZ_FOREIGN_CATALOGUE));
    std::vector<std::wstring> fields = TBackupCatalogue::FieldNames();
    fields.push_back(L"Computer");
    EXPECT_EQ(catalogue.Fields(), fields);
    const TRecords before = catalogue.Records();
    ASSERT_EQ(before.size(), 4u) << "two rows, an updated one and an insertion; the deleted row is gone";
    EXPECT_EQ(before[0][6], L"پشتيبان 'روزانه' & ماهانه");
    EXPECT_EQ(before[0][7], L"ACC-1");
    EXPECT_EQ(before[1][3], std::nullopt) << "a missing attribute is null";
    EXPECT_EQ(before[2][0], L"5");
    EXPECT_EQ(before[2][4], L"D:\\New.zip") << "the pending update stands on its original row";
    EXPECT_EQ(before[3][0], L"7");
    EXPECT_EQ(catalogue.NextBackUpId(), 8);

    TBackupRecord record = kRecord;
    record.BackUpId = catalogue.NextBackUpId();
    catalogue.Append(record);
    const std::string text = catalogue.Text();
    TBackupCatalogue again(text);
    TRecords after = again.Records();
    ASSERT_EQ(after.size(), 5u);
    EXPECT_EQ(TRecords(after.begin(), after.begin() + 4), before);
    EXPECT_EQ(after[4][0], L"8");
    EXPECT_EQ(after[4][4], L"D:\\پشتيبان\\Auto1402-12-05.zip");
    EXPECT_EQ(after[4][7], std::nullopt);
    EXPECT_NE(text.find("<row:row BackUpId=\"8\""), std::string::npos) << "the file's own prefix";
    EXPECT_NE(text.find("c4=\"D:\\پشتيبان"), std::string::npos) << "the field's XML name";
    EXPECT_NE(text.find("<r:delete>"), std::string::npos);
}

TEST(BackupCatalogue, LastBackUpIdDecides) {
    const struct {
        std::string rows;
        std::int32_t next;
    } cases[] = {
        {"", 1},
        {"<z:row BackUpId=\"7\"/>", 8},
        {"<z:row BackUpId=\"50\"/><z:row BackUpId=\"7\"/>", 8},
        {"<z:row BackUpId=\"7\"/><z:row backDate=\"1402/01/01\"/>", 1},  // null counts as 0
        {"<z:row BackUpId=\"-3\"/>", -2},
    };
    for (const auto& c : cases) {
        TBackupCatalogue catalogue(Replaced(Template(), "<rs:data />", "<rs:data>" + c.rows + "</rs:data>"));
        EXPECT_EQ(catalogue.NextBackUpId(), c.next) << c.rows;
    }
}

TEST(BackupCatalogue, RefusesWhatIsNotACatalogue) {
    const std::string good = Template();
    const struct {
        const char* name;
        std::string text;
        std::wstring error;
    } cases[] = {
        {"not XML", "<xml><rs:data>", L"The backup catalogue cannot be read: "},
        {"empty file", "", L"The backup catalogue cannot be read: "},
        {"no namespaces", "<xml><data/></xml>", L"The backup catalogue cannot be read: it is not a persisted row set"},
        {"no schema", Replaced(good, "name=\"row\"", "name=\"line\""),
         L"The backup catalogue cannot be read: it has no schema of its rows"},
        {"a field missing", Replaced(good, "name=\"backType\"", "name=\"kind\""),
         L"The backup catalogue cannot be read: it has no field backType"},
        {"BackUpId not a number", Replaced(good, "<rs:data />", "<rs:data><z:row BackUpId=\"7a\"/></rs:data>"),
         L"The backup catalogue cannot be read: the last BackUpId is not a number: 7a"},
    };
    for (const auto& c : cases) {
        const std::wstring error = ErrorOf([&] { TBackupCatalogue(c.text).NextBackUpId(); });
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.name << ": " << ToUtf8(error);
    }
}

// A value longer than its field is refused whole: nothing of the record is added.
TEST(BackupCatalogue, AValueTooLongForItsFieldAddsNothing) {
    TBackupCatalogue catalogue(Template());
    TBackupRecord record = kRecord;
    record.backLocation = L"D:\\" + std::wstring(258, L'x');
    EXPECT_EQ(ErrorOf([&] { catalogue.Append(record); }).substr(0, 50),
              L"The value of backLocation is longer than its 260 c");
    EXPECT_TRUE(TBackupCatalogue(catalogue.Text()).Records().empty());
}

}  // namespace
}  // namespace zz
