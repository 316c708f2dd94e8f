#include <gtest/gtest.h>

#include "common/Convert.h"
#include "common/Error.h"
#include "ui/Message_UNT.h"

TEST(StrToInt, AcceptsWhatTheToolkitAccepts) {
    struct Case {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"0", 0},
        {L"3", 3},
        {L" 3", 3},
        {L"  9", 9},
        {L"-1", -1},
        {L"-99", -99},
        {L"+7", 7},
        {L"999", 999},
        {L"$9", 9},
        {L"x9", 9},
        {L"X1f", 31},
        {L"0x10", 16},
        {L"0XfF", 255},
        {L"-$A", -10},
        {L"$FFFFFFFF", -1},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_TRUE(zz::TryStrToInt(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(StrToInt, RejectsEverythingElseWithTheToolkitsMessage) {
    for (const wchar_t* text : {L"", L"3 ", L"abc", L"$", L"0x", L"-", L" ", L"1.5", L"\t3", L"3a", L"$G",
                                L"2147483648", L"$100000000", L"٣"}) {
        try {
            zz::StrToInt(text);
            ADD_FAILURE() << "accepted: " << testing::PrintToString(std::wstring(text));
        } catch (const zz::Error& e) {
            EXPECT_EQ(e.Message(), L"''" + std::wstring(text) + L"'' is not a valid integer value");
        }
    }
}

TEST(MessageBoxMapping, ButtonSetsCarryTheirCaptionsInOrder) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(MessageBoxButtonCaptions(1), (V{L"تأييـد"}));
    EXPECT_EQ(MessageBoxButtonCaptions(2), (V{L"انصراف", L"تأييـد"}));
    EXPECT_EQ(MessageBoxButtonCaptions(3), (V{L"خير", L"بله"}));
    EXPECT_EQ(MessageBoxButtonCaptions(4), (V{L"انصراف", L"خير", L"بله"}));
    EXPECT_EQ(MessageBoxButtonCaptions(5), (V{L"انصراف", L"تلاش مجدد"}));
    EXPECT_EQ(MessageBoxButtonCaptions(6), (V{L"توقف", L"تلاش مجدد", L"صرف نظر"}));
    EXPECT_TRUE(MessageBoxButtonCaptions(0).empty());
    EXPECT_TRUE(MessageBoxButtonCaptions(7).empty());
}

TEST(MessageBoxMapping, PressedButtonGivesTheDialogResult) {
    // set, identifier, result; 2 is closing without a button.
    const int table[][3] = {
        {1, 100, IDOK},    {1, 2, IDOK},       {1, 101, IDOK},     {1, 7, IDOK},      {2, 100, IDCANCEL},
        {2, 2, IDCANCEL},  {2, 101, IDOK},     {2, 102, 102},      {3, 100, IDNO},    {3, 2, IDNO},
        {3, 101, IDYES},   {3, 55, 55},        {4, 100, IDCANCEL}, {4, 2, IDCANCEL},  {4, 101, IDNO},
        {4, 102, IDYES},   {5, 100, IDCANCEL}, {5, 2, IDCANCEL},   {5, 101, IDRETRY}, {5, 102, 102},
        {6, 100, IDABORT}, {6, 101, IDRETRY},  {6, 102, IDIGNORE}, {6, 2, IDIGNORE},  {0, 100, 100},
        {7, 101, 101},     {255, 2, 2},
    };
    for (const auto& row : table) {
        EXPECT_EQ(MessageBoxResult(static_cast<std::uint8_t>(row[0]), row[1]), row[2])
            << "set " << row[0] << " id " << row[1];
    }
}

TEST(MessageBoxMapping, IconKindsPlayTheirSounds) {
    EXPECT_EQ(MessageBoxSound(1), 0x40u);
    EXPECT_EQ(MessageBoxSound(2), 0x30u);
    EXPECT_EQ(MessageBoxSound(3), 0x10u);
    EXPECT_EQ(MessageBoxSound(4), 0x20u);
    EXPECT_EQ(MessageBoxSound(0), 0u);
    EXPECT_EQ(MessageBoxSound(5), 0u);
}
