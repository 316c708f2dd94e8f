#include "platform/DbRowSet.h"

#include <gtest/gtest.h>

#include "common/Error.h"

namespace zz {
namespace {

TDbRowSet TwoRows() {
    return TDbRowSet({L"Name", L"Value"}, {{L"Version", L"3.2"}, {L"LastUpdate", std::nullopt}});
}

TEST(DbRowSet, ReadsFieldsByPositionAndByNameAndStaysOnTheLastRow) {
    TDbRowSet rows = TwoRows();
    EXPECT_EQ(rows.RecordCount(), 2u);
    EXPECT_FALSE(rows.Eof());
    EXPECT_EQ(rows.FieldAsString(0), L"Version");
    EXPECT_EQ(rows.FieldAsString(L"value"), L"3.2");  // names ignore case

    rows.Next();
    EXPECT_FALSE(rows.Eof());
    EXPECT_EQ(rows.FieldAsString(L"Name"), L"LastUpdate");
    EXPECT_TRUE(rows.FieldIsNull(1));
    EXPECT_EQ(rows.FieldAsString(1), L"");  // NULL reads as empty text

    rows.Next();  // past the last row: Eof, still on the last row
    EXPECT_TRUE(rows.Eof());
    EXPECT_EQ(rows.FieldAsString(L"Name"), L"LastUpdate");
    rows.Next();
    EXPECT_EQ(rows.FieldAsString(0), L"LastUpdate");

    rows.First();
    EXPECT_FALSE(rows.Eof());
    EXPECT_EQ(rows.FieldAsString(0), L"Version");
}

TEST(DbRowSet, EmptyRowSetReadsEmptyTextButKnowsItsFields) {
    TDbRowSet rows({L"Value"}, {});
    EXPECT_TRUE(rows.Eof());
    EXPECT_EQ(rows.RecordCount(), 0u);
    EXPECT_EQ(rows.FieldAsString(L"Value"), L"");
    rows.Next();
    EXPECT_EQ(rows.FieldAsString(0), L"");
    EXPECT_THROW(rows.FieldAsString(L"Other"), Error);
}

TEST(DbRowSet, UnknownFieldRaises) {
    TDbRowSet rows = TwoRows();
    EXPECT_THROW(rows.FieldAsString(2), Error);
    try {
        rows.FieldAsString(L"Missing");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), L"Field 'Missing' not found");
    }
}

}  // namespace
}  // namespace zz
