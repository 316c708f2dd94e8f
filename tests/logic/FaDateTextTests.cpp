// Month and day names, the ToString token language, parsing, SplitByDelimiter, the Gregorian and Shamsi date strings.
#include <gtest/gtest.h>

#include "CalendarTestSupport.h"

namespace zz {
namespace {

TEST(FaDateNames, MonthTable) {
    const wchar_t* names[] = {L"فروردين", L"ارديبهشت", L"خرداد", L"تير", L"مرداد", L"شهريور",
                              L"مهر",     L"آبان",     L"آذر",   L"دي",  L"بهمن",  L"اسفند"};
    for (std::uint16_t m = 1; m <= 12; ++m) EXPECT_EQ(TFaDate(1403, m, 1).MonthName(), names[m - 1]) << m;
    // outside the table (implementer's choice): no name
    EXPECT_EQ(TFaDate(1403, 0, 1).MonthName(), L"");
    EXPECT_EQ(TFaDate(1403, 13, 1).MonthName(), L"");
    EXPECT_EQ(TFaDate(1403, 65535, 1).MonthName(), L"");
}

TEST(FaDateNames, LettersAreArabicYehAndKafAndTwoWordNamesHoldASpace) {
    std::wstring all;
    for (std::uint16_t m = 1; m <= 12; ++m) all += TFaDate(1403, m, 1).MonthName();
    for (std::uint16_t d = 1; d <= 7; ++d) {
        const TFaDate f(1403, 1, d);
        all += f.DayName() + f.DaySmallName();
    }
    EXPECT_EQ(all.find(L'ی'), std::wstring::npos);                              // Persian yeh
    EXPECT_EQ(all.find(L'ک'), std::wstring::npos);                              // Persian kaf
    EXPECT_NE(TFaDate(1403, 1, 1).MonthName().find(L'ي'), std::wstring::npos);  // Arabic yeh
    const TFaDate sunday(1400, 1, 1);
    ASSERT_EQ(sunday.GetDayOfWeek(), 2);
    EXPECT_EQ(sunday.DayName(), L"يكشنبه");
    EXPECT_EQ(TFaDate(1403, 1, 1).DayName(), L"چهار شنبه");
}

TEST(FaDateNames, WeekdayTableOverOneWeek) {
    // 1403/01/04 is a Saturday under the weekday formula.
    const struct {
        const wchar_t* name;
        const wchar_t* smallName;
    } week[] = {{L"شنبه", L"شنبه"},      {L"يكشنبه", L"يك"},    {L"دو شنبه", L"دو"}, {L"سه شنبه", L"سه"},
                {L"چهار شنبه", L"چهار"}, {L"پنج شنبه", L"پنج"}, {L"جمعه", L"جمعه"}};
    for (std::uint16_t k = 0; k < 7; ++k) {
        const TFaDate f(1403, 1, static_cast<std::uint16_t>(4 + k));
        EXPECT_EQ(f.GetDayOfWeek(), k + 1);
        EXPECT_EQ(f.DayName(), week[k].name);
        EXPECT_EQ(f.DaySmallName(), week[k].smallName);
    }
}

struct FormatRow {
    TFaDate date;
    const wchar_t* format;
    const wchar_t* expected;
};

TEST(FaDateToString, FormatTable) {
    const TFaDate newYear(Gregorian(2024, 3, 20));               // 1403/01/01 00:00
    const TFaDate at1007(Gregorian(2024, 3, 20, 10, 7));         // 1403/01/01 10:07
    const TFaDate precise(Gregorian(2024, 3, 20, 9, 5, 3, 7));   // 1403/01/01 09:05:03.007
    const TFaDate mid(Gregorian(2024, 10, 5, 14, 30, 45, 250));  // 1403/07/14 14:30:45.250
    const FormatRow rows[] = {
        // the Part's examples
        {newYear, L"yyyy/mm/dd HH:nn", L"1403/01/01 00:00"},
        {newYear, L"dddd d mmmm yyyy", L"چهار شنبه 1 فروردين 1403"},
        {newYear, L"ddd dd MMMM yy", L"چهار 01 فروردين 03"},
        {at1007, L"yyyy/MM/dd", L"1403/07/01"},  // upper-case MM is the minute
        {precise, L"hh:nn:ss.zzz", L"09:05:03.007"},
        {newYear, L"Today", L"To1ay"},  // no quoting: the d of a literal word is the day
        {mid, L"Today", L"To14ay"},
        {newYear, L"TODAY", L"TO1AY"},
        // year tokens
        {newYear, L"yyyy", L"1403"},
        {newYear, L"YYYY", L"1403"},
        {newYear, L"yyy", L"1403"},
        {newYear, L"yy", L"03"},
        {newYear, L"Yy", L"03"},
        {newYear, L"y", L"y"},  // no single-letter year token
        {newYear, L"yyyyy", L"1403y"},
        {newYear, L"yyyyyy", L"140303"},  // "yyyy" takes four y's, "yy" then the remaining two
        // day tokens
        {mid, L"dddddd|ddddd|dddd|ddd", L"شنبه|شنبه|شنبه|شنبه"},
        {mid, L"dd d DD D", L"14 14 14 14"},
        {newYear, L"dd d", L"01 1"},
        {newYear, L"ddddddd", L"چهار شنبه1"},  // six d's then one
        // month tokens: mmmm/mmm any case, mm/m lower case only
        {mid, L"mmmm mmm MMMM MMM Mmmm", L"مهر مهر مهر مهر مهر"},
        {mid, L"mm m", L"07 7"},
        {newYear, L"mm m", L"01 1"},
        {at1007, L"Mm", L"71"},  // "m" becomes the month 1 first, then "M" becomes the minute 7
        {at1007, L"mM", L"17"},
        // hours, minutes (n, N, MM, M), seconds, milliseconds
        {at1007, L"HH:NN", L"10:07"},
        {at1007, L"h:n", L"10:7"},
        {precise, L"h:n:s.z", L"9:5:3.7"},
        {precise, L"H:M:S", L"9:5:3"},
        {precise, L"HH:MM:SS.ZZZ", L"09:05:03.007"},
        {at1007, L"hhh", L"1010"},  // "hh" first, then the remaining "h"
        {at1007, L"nnn", L"077"},
        {mid, L"zzz z ZZZZ", L"250 250 250250"},
        {mid, L"ss s", L"45 45"},
        // literal text that holds no token letters stays as it is
        {newYear, L"امروز yyyy/mm/dd", L"امروز 1403/01/01"},
        {newYear, L"", L""},
        {newYear, L"-- : ()", L"-- : ()"},
    };
    for (const auto& r : rows) EXPECT_EQ(r.date.ToString(r.format), r.expected) << testing::PrintToString(r.format);
}

TEST(FaDateToString, FixedFormats) {
    const TFaDate at1007(Gregorian(2024, 3, 20, 10, 7));
    EXPECT_EQ(at1007.ToString(), L"1403/01/01 10:07");
    EXPECT_EQ(at1007.ToDateString(), L"1403/01/01");
    EXPECT_EQ(at1007.ToTimeString(), L"10:07");
    EXPECT_EQ(TFaDate(Gregorian(2024, 3, 20)).ToString(), L"1403/01/01 00:00");
    EXPECT_EQ(TFaDate(1394, 10, 29).ToString(), L"1394/10/29 00:00");
}

TEST(FaDateToString, NumbersOutsideTheUsualRanges) {
    // Two digits pads below 10 only; milliseconds pad to three digits only; yy takes the 3rd and 4th characters.
    EXPECT_EQ(TFaDate(5, 1, 1).ToString(L"yyyy|yy|"), L"5||");
    EXPECT_EQ(TFaDate(140, 1, 1).ToString(L"yyyy|yy|"), L"140|0|");
    EXPECT_EQ(TFaDate(12345, 1, 1).ToString(L"yyyy|yy|"), L"12345|34|");
    EXPECT_EQ(TFaDate(1403, 13, 40).ToString(L"yyyy/mm/dd mmmm"), L"1403/13/40 ");  // no name for month 13
    EXPECT_EQ(TFaDate(0, 0, 0).ToString(), L"0/00/00 00:00");
    EXPECT_EQ(TFaDate(Gregorian(2024, 3, 20, 65535, 100, 61, 1234)).ToString(L"hh:nn:ss.zzz"), L"65535:100:61.1234");
}

struct ParseRow {
    const wchar_t* text;
    std::uint16_t y, m, d;
};

TEST(FaDateParse, Table) {
    const ParseRow rows[] = {
        // the Part's examples
        {L"1403/01/05", 1403, 1, 5},
        {L"1403/1/5", 1403, 1, 5},
        {L"1403/01/05/99", 1403, 1, 5},
        {L"1403/13/40", 1403, 13, 40},
        {L"1403/01", 0, 0, 0},
        {L"1403/01/05 10:30", 0, 0, 0},
        // fewer than three pieces
        {L"", 0, 0, 0},
        {L"1403", 0, 0, 0},
        {L"1403/01/", 0, 0, 0},  // the trailing empty text is no piece
        // an empty or non-integer piece among the first three, also after good pieces
        {L"1403//05", 0, 0, 0},
        {L"/1403/01/05", 0, 0, 0},
        {L"1403/x/5", 0, 0, 0},
        {L"1403/01/5a", 0, 0, 0},
        {L"abc/1/2", 0, 0, 0},
        {L" 1403/01/05", 0, 0, 0},  // no blanks inside a number
        {L"1403/01/05 ", 0, 0, 0},
        {L"۱۴۰۳/۰۱/۰۵", 0, 0, 0},  // Persian digits are not read
        {L"1403-01-05", 0, 0, 0},
        {L"1403/01/05/", 1403, 1, 5},  // further pieces, even empty ones, are ignored
        {L"1403/01/05//x", 1403, 1, 5},
        // signs and 16 bits (modulo 65536)
        {L"+1403/+1/+5", 1403, 1, 5},
        {L"-1/-2/0", 65535, 65534, 0},
        {L"70000/65536/65537", 4464, 0, 1},
        {L"2147483647/1/1", 65535, 1, 1},
        {L"2147483648/1/1", 0, 0, 0},  // outside the 32-bit integer range: not an integer
        {L"99999999999/1/1", 0, 0, 0},
        {L"-/1/1", 0, 0, 0},
        {L"1403/01/0005", 1403, 1, 5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.text));
        const TFaDate f{std::wstring(r.text)};
        EXPECT_EQ(f.Year(), r.y);
        EXPECT_EQ(f.Month(), r.m);
        EXPECT_EQ(f.Day(), r.d);
        EXPECT_EQ(f.Hour(), 0);
        EXPECT_EQ(f.Minute(), 0);
        EXPECT_EQ(f.Second(), 0);
        EXPECT_EQ(f.MilliSecond(), 0);
        EXPECT_FALSE(f.HasTime());
        EXPECT_EQ(TFaDate::CreateByPersianDate(std::wstring(r.text)), f);
        EXPECT_EQ(TFaDate(r.text), f);
    }
}

TEST(FaDateParse, FailedParseGivesAUsableZeroDate) {
    const TFaDate f(L"1403/01");
    EXPECT_EQ(f.ToString(), L"0/00/00 00:00");
    EXPECT_EQ(f.MonthName(), L"");
    EXPECT_EQ(f.GetDaysInMonth(), 0);
    EXPECT_EQ(f.GetDayOfYear(), 0);
    EXPECT_EQ(f.GetDayOfWeek(), 1);  // a = 0 + 0 + 0 + 1
    EXPECT_EQ(f.DayName(), L"شنبه");
    EXPECT_EQ(f.ToGregorianDate(), Gregorian(621, 3, 20));
}

TEST(SplitByDelimiter, Table) {
    const struct {
        const wchar_t* text;
        const wchar_t* delimiter;
        TSplitedString pieces;
    } rows[] = {
        {L"1403/01/05", L"/", {L"1403", L"01", L"05"}},
        {L"1403//05", L"/", {L"1403", L"", L"05"}},
        {L"1403/01/", L"/", {L"1403", L"01"}},
        {L"", L"/", {}},
        {L"/", L"/", {L""}},
        {L"//", L"/", {L"", L""}},
        {L"/a", L"/", {L"", L"a"}},
        {L"abc", L"/", {L"abc"}},
        {L"a--b", L"--", {L"a", L"b"}},
        {L"a---b", L"--", {L"a", L"-b"}},
        {L"abc", L"", {L"abc"}},  // an empty delimiter never occurs
        {L"", L"", {}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(SplitByDelimiter(r.text, r.delimiter), r.pieces)
            << testing::PrintToString(r.text) << " at " << testing::PrintToString(r.delimiter);
    }
}

TEST(FaDateGregorianString, UsesTheUsersShortDateFormat) {
    const TFaDate newYear(1403, 1, 1);  // 20 March 2024, a Wednesday
    const struct {
        const wchar_t* pattern;
        const wchar_t* expected;
    } rows[] = {
        {L"yyyy/MM/dd", L"2024/03/20"},
        {L"M/d/yyyy", L"3/20/2024"},
        {L"dd.MM.yy", L"20.03.24"},
        {L"y", L"24"},
        {L"dddd, MMMM d, yyyy", L"Wednesday, March 20, 2024"},
        {L"ddd dd MMM", L"Wed 20 Mar"},
        {L"'Date:' yyyy''MM", L"Date: 2024'03"},
        {L"'d M y' d", L"d M y 20"},
        {L"gg yyyy", L"A.D. 2024"},
        {L"yyyy-MM-dd mm hh", L"2024-03-20 mm hh"},  // the picture language is case-sensitive; no time tokens
    };
    for (const auto& r : rows) {
        ScopedShortDateFormat format(r.pattern);
        EXPECT_EQ(newYear.GetGregorianDateString(), r.expected) << testing::PrintToString(r.pattern);
    }
    ScopedShortDateFormat format(L"d/M/y");
    EXPECT_EQ(TFaDate(1394, 10, 29).GetGregorianDateString(), L"19/1/16");
    EXPECT_EQ(TFaDate(1371, 1, 1).GetGregorianDateString(), L"21/3/92");
}

TEST(FaDateGregorianString, FormatShortDateHandlesAnyParts) {
    ScopedShortDateFormat format(L"dddd MMMM yyyy/MM/dd");
    const std::wstring text = FormatShortDate(Gregorian(5, 13, 40), format.Format());
    EXPECT_NE(text.find(L" 0005/13/40"), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_EQ(FormatShortDate(Gregorian(2024, 3, 20), format.Format()), L"Wednesday March 2024/03/20");
    EXPECT_EQ(FormatShortDate(Gregorian(65535, 65535, 65535), format.Format()).empty(), false);
    EXPECT_EQ(FormatShortDate(Gregorian(0, 0, 0), format.Format()).empty(), false);
}

TEST(FaDateGregorianString, SystemFormatIsReadAndUsed) {
    const TShortDateFormat system = SystemShortDateFormat();
    EXPECT_FALSE(system.Pattern.empty());
    for (const auto& name : system.MonthNames) EXPECT_FALSE(name.empty());
    for (const auto& name : system.DayNames) EXPECT_FALSE(name.empty());
    // Without an installed provider, GetGregorianDateString uses the system's format.
    const std::wstring text = TFaDate(1403, 1, 1).GetGregorianDateString();
    EXPECT_EQ(text, FormatShortDate(Gregorian(2024, 3, 20), system));
    EXPECT_NE(text.find(L"20"), std::wstring::npos) << testing::PrintToString(text);
}

TEST(FaDateShamsi, StoredDateUnconvertedInTheShortDateFormat) {
    const TFaDate f(Gregorian(2024, 3, 24, 10, 7, 3, 9));  // 1403/01/05
    EXPECT_EQ(f.ToShamsiDate(), Gregorian(1403, 1, 5, 10, 7, 3, 9));
    ScopedShortDateFormat format(L"yyyy/MM/dd");
    EXPECT_EQ(f.GetShamsiDateString(), L"1403/01/05");
    EXPECT_EQ(TFaDate(L"1403/13/40").GetShamsiDateString(), L"1403/13/40");
    EXPECT_EQ(TFaDate(L"bad").GetShamsiDateString(), L"0000/00/00");
}

}  // namespace
}  // namespace zz
