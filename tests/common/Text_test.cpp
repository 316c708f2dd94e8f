#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Text.h"

TEST(Text, Utf8RoundTripKeepsArabicAndPersianLetterForms) {
    const std::wstring text = L"عملياتي با اين کد وجود ندارد ی ک";
    EXPECT_EQ(zz::FromUtf8(zz::ToUtf8(text)), text);
    EXPECT_EQ(zz::ToUtf8(L"ي").size(), 2u);
}

TEST(Text, FormatSReplacesThePlaceholder) {
    EXPECT_EQ(zz::FormatS(L"Resource %s not found", L"X"), L"Resource X not found");
    EXPECT_EQ(zz::FormatS(L"''%s'' is not a valid integer value", L"abc"), L"''abc'' is not a valid integer value");
}

TEST(Error, CarriesTheMessage) {
    zz::Error e(L"Unable to write to C:\\a.ini");
    EXPECT_EQ(e.Message(), L"Unable to write to C:\\a.ini");
    EXPECT_STREQ(e.what(), "Unable to write to C:\\a.ini");
}
