#include <gtest/gtest.h>

#include <optional>

#include "logic/EditMask.h"

namespace {

// The server address box: four groups of three optional digits, literals saved, blank shown as a space.
const TEditMask kIp(L"999\\.999\\.999\\.999;1; ");
const std::wstring kEmpty = L"   .   .   .   ";

TEST(EditMaskTest, TheAddressMask) {
    EXPECT_EQ(kIp.Length(), 15u);
    EXPECT_EQ(kIp.EmptyText(), kEmpty);
    EXPECT_TRUE(kIp.SavesLiterals());
    EXPECT_EQ(kIp.Blank(), L' ');
    for (std::size_t dot : {3u, 7u, 11u}) EXPECT_TRUE(kIp.IsLiteral(dot));
    EXPECT_FALSE(kIp.IsLiteral(0));
}

TEST(EditMaskTest, Typing) {
    struct Case {
        std::wstring text;
        std::size_t start, end;
        wchar_t ch;
        std::optional<TEditMask::TEdit> expected;  // nullopt: refused
    } cases[] = {
        {kEmpty, 0, 0, L'1', TEditMask::TEdit{L"1  .   .   .   ", 1}},
        {L"12 .   .   .   ", 2, 2, L'3', TEditMask::TEdit{L"123.   .   .   ", 4}},   // past the dot
        {L"123.   .   .   ", 3, 3, L'4', TEditMask::TEdit{L"123.4  .   .   ", 5}},   // before a dot: after it
        {L"123.456.789.012", 0, 0, L'9', TEditMask::TEdit{L"923.456.789.012", 1}},   // overwrites
        {kEmpty, 0, 0, L'۵', TEditMask::TEdit{L"5  .   .   .   ", 1}},               // Persian digit
        {kEmpty, 0, 0, L'٣', TEditMask::TEdit{L"3  .   .   .   ", 1}},               // Arabic-Indic digit
        {L"1  .   .   .   ", 1, 1, L'.', TEditMask::TEdit{L"1  .   .   .   ", 4}},   // the dot jumps on
        {L"123.   .   .   ", 4, 4, L'.', TEditMask::TEdit{L"123.   .   .   ", 4}},   // the dot just passed
        {L"123.456.789.01 ", 0, 15, L'7', TEditMask::TEdit{L"7  .   .   .   ", 1}},  // over a selection
        {L"123.456.789.012", 5, 9, L'0', TEditMask::TEdit{L"123.40 . 89.012", 6}},
        {kEmpty, 0, 0, L'a', std::nullopt},
        {kEmpty, 0, 0, L' ', std::nullopt},
        {kEmpty, 0, 0, L'-', std::nullopt},
        {kEmpty, 2, 2, L',', std::nullopt},
        {L"123.456.789.012", 15, 15, L'1', std::nullopt},  // at the end
        {L"123.456.789.012", 0, 3, L'x', std::nullopt},    // a refused key clears nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " " + std::to_string(c.start) + "-" + std::to_string(c.end) +
                     " " + testing::PrintToString(std::wstring(1, c.ch)));
        const auto edit = kIp.Type(c.text, c.start, c.end, c.ch);
        ASSERT_EQ(edit.has_value(), c.expected.has_value());
        if (edit) {
            EXPECT_EQ(edit->text, c.expected->text);
            EXPECT_EQ(edit->caret, c.expected->caret);
            EXPECT_EQ(edit->text.size(), 15u);
        }
    }
}

TEST(EditMaskTest, TypingAnAddressKeyByKey) {
    struct Case {
        std::wstring keys;
        std::wstring text;
        std::wstring value;
    } cases[] = {
        {L"192.168.1.5", L"192.168.1  .5  ", L"192.168.1  .5  "},
        {L"10.0.0.1", L"10 .0  .0  .1  ", L"10 .0  .0  .1  "},
        {L"192168001005", L"192.168.001.005", L"192.168.001.005"},
        {L"1a2b3c", L"123.   .   .   ", L"123.   .   .   "},
        {L"", kEmpty, kEmpty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.keys));
        TEditMask::TEdit edit{kEmpty, 0};
        for (wchar_t ch : c.keys) {
            if (auto typed = kIp.Type(edit.text, edit.caret, edit.caret, ch)) edit = *typed;
        }
        EXPECT_EQ(edit.text, c.text);
        EXPECT_EQ(kIp.Value(edit.text), c.value);
        EXPECT_EQ(kIp.Paste(kEmpty, 0, 0, c.keys).text, c.text) << "pasted";
    }
}

TEST(EditMaskTest, Erasing) {
    struct Case {
        std::wstring text;
        std::size_t start, end;
        bool backwards;
        TEditMask::TEdit expected;
    } cases[] = {
        {L"123.456.   .   ", 4, 4, true, {L"12 .456.   .   ", 2}},   // Backspace after a dot: the digit before it
        {L"123.456.   .   ", 2, 2, true, {L"13 .456.   .   ", 1}},   // the rest of the group moves up
        {L"123.456.   .   ", 0, 0, true, {L"123.456.   .   ", 0}},   // nothing before the caret
        {L"123.456.   .   ", 4, 4, false, {L"123.56 .   .   ", 4}},  // Delete
        {L"123.456.   .   ", 3, 3, false, {L"123.56 .   .   ", 3}},  // Delete on a dot: the group after it
        {L"123.456.789.012", 2, 9, false, {L"12 .   . 89.012", 2}},  // a selection is cleared, dots stay
        {L"123.456.789.012", 15, 15, false, {L"123.456.789.012", 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " " + std::to_string(c.start) + "-" + std::to_string(c.end));
        EXPECT_EQ(kIp.Erase(c.text, c.start, c.end, c.backwards), c.expected);
    }
}

TEST(EditMaskTest, TextsSetByTheProgramAreFittedToTheMask) {
    struct Case {
        std::wstring text;
        std::wstring fitted;
    } cases[] = {
        {kEmpty, kEmpty},
        {L"", kEmpty},
        {L"192.168.1.5", L"192.168.1  .5  "},
        {L"192.168.1  .5  ", L"192.168.1  .5  "},
        {L"1.2.3.4.5.6", L"1  .2  .3  .4  "},
        {L"abc", kEmpty},
        {L"1234567890123456789", L"123.456.789.012"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(kIp.Format(c.text), c.fitted);
    }
}

TEST(EditMaskTest, OtherMasksOfTheNotation) {
    struct Case {
        std::wstring mask;
        std::wstring keys;
        std::wstring text;
        std::wstring value;
    } cases[] = {
        {L"!>LL-0000;0;_", L"ab1234", L"AB-1234", L"AB1234"},  // literals left out of the value
        {L"!>LL-0000;0;_", L"a", L"A_-____", L"A     "},
        {L"<ll\\;99;1;*", L"Xy42", L"xy;42", L"xy;42"},  // an escaped semicolon is a literal
        {L"(999)_999", L"12)3", L"(12_) 3__", L"(12 ) 3  "},
        {L"#99", L"-5", L"-5_", L"-5 "},
        {L"ccc", L"a b", L"a b", L"a b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.mask) + " " + testing::PrintToString(c.keys));
        const TEditMask mask(c.mask);
        TEditMask::TEdit edit{mask.EmptyText(), 0};
        for (wchar_t ch : c.keys) {
            if (auto typed = mask.Type(edit.text, edit.caret, edit.caret, ch)) edit = *typed;
        }
        EXPECT_EQ(edit.text, c.text);
        EXPECT_EQ(mask.Value(edit.text), c.value);
    }
}

}  // namespace
