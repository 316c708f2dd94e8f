// The sweep over every Gregorian day 1900-2100, the sweep over every valid Persian date of the same
// span, and any 16-bit field values giving a defined result.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "CalendarTestSupport.h"

namespace zz {
namespace {

int GregorianMonthLength(int y, int m) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return lengths[m - 1] + ((m == 2 && IsGregorianLeapYear(y)) ? 1 : 0);
}

int PersianMonthLength(int y, int m) {
    if (m <= 6) return 31;
    if (m <= 11) return 30;
    return IsPersianLeapYear(y) ? 30 : 29;
}

using Ymd = std::tuple<int, int, int>;

Ymd NextPersianDay(Ymd p) {
    auto [y, m, d] = p;
    if (d < PersianMonthLength(y, m)) return {y, m, d + 1};
    if (m < 12) return {y, m + 1, 1};
    return {y + 1, 1, 1};
}

TEST(FaDateSweep, EveryGregorianDayFrom1900To2100) {
    std::map<Ymd, std::vector<Ymd>> gregorianDaysOf;
    Ymd previous{0, 0, 0};
    bool first = true;
    int days = 0;
    int gaps = 0;
    for (int y = 1900; y <= 2100; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= GregorianMonthLength(y, m); ++d) {
                ++days;
                const TFaDate f = TFaDate::CreateByGregorianDate(
                    static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(m), static_cast<std::uint16_t>(d));
                const Ymd p{f.Year(), f.Month(), f.Day()};
                SCOPED_TRACE(testing::Message()
                             << y << '-' << m << '-' << d << " -> " << f.Year() << '/' << f.Month() << '/' << f.Day());
                // never leaves the month table's ranges
                ASSERT_GE(f.Month(), 1);
                ASSERT_LE(f.Month(), 12);
                ASSERT_GE(f.Day(), 1);
                ASSERT_LE(f.Day(), f.GetDaysInMonth());
                ASSERT_EQ(f.GetDaysInMonth(), PersianMonthLength(f.Year(), f.Month()));
                ASSERT_FALSE(f.MonthName().empty());
                // never goes backwards; moves on by no day (a repeated date), one day, or two (a skipped date)
                if (!first) {
                    ASSERT_GE(p, previous);
                    const bool same = p == previous;
                    const bool next = p == NextPersianDay(previous);
                    const bool skip = p == NextPersianDay(NextPersianDay(previous));
                    ASSERT_TRUE(same || next || skip);
                    if (skip) ++gaps;
                }
                first = false;
                previous = p;
                gregorianDaysOf[p].push_back(Ymd{y, m, d});
            }
        }
    }
    EXPECT_EQ(days, 73414);

    // No Persian date is given to more than two Gregorian days; the given arithmetic repeats a few dozen.
    std::vector<std::pair<Ymd, Ymd>> pairs;
    for (const auto& [persian, gregorian] : gregorianDaysOf) {
        ASSERT_LE(gregorian.size(), 2u) << std::get<0>(persian) << '/' << std::get<1>(persian) << '/'
                                        << std::get<2>(persian);
        if (gregorian.size() == 2) pairs.emplace_back(gregorian[0], gregorian[1]);
    }
    EXPECT_EQ(pairs.size(), 32u);
    EXPECT_NE(std::find(pairs.begin(), pairs.end(), std::make_pair(Ymd{2024, 12, 31}, Ymd{2025, 1, 1})), pairs.end());
    for (const auto& [a, b] : pairs) {
        // the pairs are always 31 December and the following 1 January, both 10/11
        EXPECT_EQ(std::get<1>(a), 12);
        EXPECT_EQ(std::get<2>(a), 31);
        EXPECT_EQ(std::get<0>(b), std::get<0>(a) + 1);
        EXPECT_EQ(std::get<1>(b), 1);
        EXPECT_EQ(std::get<2>(b), 1);
    }
    RecordProperty("RepeatedPersianDates", static_cast<int>(pairs.size()));
    RecordProperty("SkippedPersianDates", gaps);
    // Every Persian date between the first and the last is either given (once or twice) or one of the skipped ones.
    int persianDays = 1;
    for (Ymd p = gregorianDaysOf.begin()->first; p != gregorianDaysOf.rbegin()->first; p = NextPersianDay(p))
        ++persianDays;
    EXPECT_EQ(static_cast<int>(gregorianDaysOf.size()) + gaps, persianDays);
    EXPECT_EQ(static_cast<int>(gregorianDaysOf.size()), days - 32);
}

TEST(FaDateSweep, EveryValidPersianDateGivesAValidGregorianDate) {
    std::map<Ymd, int> persianDatesOf;
    Ymd previous{0, 0, 0};
    for (int y = 1279; y <= 1479; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= PersianMonthLength(y, m); ++d) {
                const TGregorianDateTime g =
                    TFaDate(static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(m), static_cast<std::uint16_t>(d))
                        .ToGregorianDate();
                SCOPED_TRACE(testing::Message() << y << '/' << m << '/' << d << " -> " << testing::PrintToString(g));
                ASSERT_GE(g.Month, 1);
                ASSERT_LE(g.Month, 12);
                ASSERT_GE(g.Day, 1);
                ASSERT_LE(g.Day, GregorianMonthLength(g.Year, g.Month));
                const Ymd gy{g.Year, g.Month, g.Day};
                ASSERT_GE(gy, previous);
                previous = gy;
                ASSERT_LE(++persianDatesOf[gy], 2);
            }
        }
    }
}

// --- any 16-bit values --------------------------------------------------------------------------------------

int DaysBefore(int m) {
    static const int table[] = {0, 31, 62, 93, 124, 155, 186, 216, 246, 276, 306, 336};
    if (m < 1) return 0;
    if (m > 12) return 365;
    return table[m - 1];
}

const std::set<std::wstring>& AllDayNames() {
    static const std::set<std::wstring> names{L"شنبه",      L"يكشنبه",   L"دو شنبه", L"سه شنبه",
                                              L"چهار شنبه", L"پنج شنبه", L"جمعه"};
    return names;
}

const std::set<std::wstring>& AllSmallNames() {
    static const std::set<std::wstring> names{L"شنبه", L"يك", L"دو", L"سه", L"چهار", L"پنج", L"جمعه"};
    return names;
}

// Every query of a TFaDate, checked against the documented choices.
testing::AssertionResult CheckDefined(const TFaDate& f, bool withText) {
    const auto fail = [&f](const char* what) {
        return testing::AssertionFailure() << what << " for " << testing::PrintToString(f);
    };
    const int m = f.Month();
    const bool inTable = m >= 1 && m <= 12;
    if (f.MonthName().empty() == inTable) return fail("MonthName");
    const std::uint16_t length = f.GetDaysInMonth();
    if (inTable ? !(length == 29 || length == 30 || length == 31) : length != 0) return fail("GetDaysInMonth");
    if (f.GetDayOfYear() != static_cast<std::uint16_t>(DaysBefore(m) + f.Day())) return fail("GetDayOfYear");
    const std::uint16_t dow = f.GetDayOfWeek();
    if (dow < 1 || dow > 7) return fail("GetDayOfWeek");
    if (AllDayNames().count(f.DayName()) != 1) return fail("DayName");
    if (AllSmallNames().count(f.DaySmallName()) != 1) return fail("DaySmallName");
    const TGregorianDateTime g = f.ToGregorianDate();
    // the conversion always picks one of the twelve months; the time is carried
    if (g.Month < 1 || g.Month > 12) return fail("ToGregorianDate month");
    if (g.Hour != f.Hour() || g.Minute != f.Minute() || g.Second != f.Second() || g.MilliSecond != f.MilliSecond())
        return fail("ToGregorianDate time");
    const TGregorianDateTime s = f.ToShamsiDate();
    if (s.Year != f.Year() || s.Month != f.Month() || s.Day != f.Day()) return fail("ToShamsiDate");
    if (withText) {
        static const std::wstring kAllTokens =
            L"yyyy yyy yy dddddd ddddd dddd ddd dd d mmmm mmm mm m hh h nn n MM M ss s zzz z Today";
        const std::wstring text = f.ToString(kAllTokens);
        if (text.empty() || text != f.ToString(kAllTokens)) return fail("ToString(format)");
        if (f.ToString().empty() || f.ToDateString().empty() || f.ToTimeString().empty()) return fail("ToString");
        if (f.GetGregorianDateString().empty()) return fail("GetGregorianDateString");
        if (f.GetShamsiDateString().empty()) return fail("GetShamsiDateString");
    }
    return testing::AssertionSuccess();
}

const std::uint16_t kEdgeValues[] = {0,   1,   2,   6,   7,    11,   12,   13,   29,   30,    31,    32,    40,   186,
                                     187, 365, 366, 367, 1000, 1399, 1403, 1404, 9999, 32767, 32768, 65534, 65535};

TEST(FaDateAnyValues, EveryMonthValue) {
    ScopedShortDateFormat format(L"dddd d MMMM yyyy");
    for (unsigned m = 0; m <= 65535; ++m) {
        for (std::uint16_t y : {0, 1403, 65535}) {
            for (std::uint16_t d : {0, 1, 31, 40, 65535}) {
                ASSERT_TRUE(CheckDefined(TFaDate(y, static_cast<std::uint16_t>(m), d),
                                         m < 40 || m > 65500 || (d == 40 && y == 1403)));
            }
        }
    }
}

TEST(FaDateAnyValues, EveryDayValue) {
    ScopedShortDateFormat format(L"yyyy/MM/dd");
    for (unsigned d = 0; d <= 65535; ++d) {
        for (std::uint16_t m : {0, 1, 6, 7, 12, 13, 65535}) {
            for (std::uint16_t y : {0, 1403, 65535}) {
                ASSERT_TRUE(CheckDefined(TFaDate(y, m, static_cast<std::uint16_t>(d)), d < 40 || d > 65500));
            }
        }
    }
}

TEST(FaDateAnyValues, EveryYearValue) {
    ScopedShortDateFormat format(L"yyyy/MM/dd");
    for (unsigned y = 0; y <= 65535; ++y) {
        for (std::uint16_t m : {0, 1, 12, 13}) {
            for (std::uint16_t d : {0, 1, 30, 40}) {
                ASSERT_TRUE(CheckDefined(TFaDate(static_cast<std::uint16_t>(y), m, d), y % 997 == 0));
            }
        }
    }
}

TEST(FaDateAnyValues, RandomFieldValuesAndEdgeCombinations) {
    ScopedShortDateFormat format(L"ddd MMM yy");
    for (std::uint16_t y : kEdgeValues) {
        for (std::uint16_t m : kEdgeValues) {
            for (std::uint16_t d : kEdgeValues) {
                ASSERT_TRUE(CheckDefined(TFaDate(y, m, d), true));
            }
        }
    }
    std::mt19937 random(20240320);
    std::uniform_int_distribution<int> any16(0, 65535);
    for (int k = 0; k < 10000; ++k) {
        const auto v = [&] { return static_cast<std::uint16_t>(any16(random)); };
        const TFaDate f(Gregorian(v(), v(), v(), v(), v(), v(), v()));  // also through GregorianToPersian
        ASSERT_TRUE(CheckDefined(f, true));
        const TFaDate p(v(), v(), v());
        ASSERT_TRUE(CheckDefined(p, true));
    }
}

TEST(FaDateAnyValues, GregorianToPersianForAnyArguments) {
    // Every argument value at least once; the result is whatever the arithmetic gives with the documented choices
    // (days before a month outside 1-12, 16-bit year), so the Persian day is always 1-31 and the month at least 1.
    const auto check = [](std::uint16_t gy, std::uint16_t gm, std::uint16_t gd) {
        const TDateParts p = GregorianToPersian(gy, gm, gd);
        EXPECT_GE(p.Month, 1);
        EXPECT_GE(p.Day, 1);
        EXPECT_LE(p.Day, 31);
        EXPECT_EQ(p, GregorianToPersian(gy, gm, gd));
        const TDateParts back = PersianToGregorian(p.Year, p.Month, p.Day);
        EXPECT_GE(back.Month, 1);
        EXPECT_LE(back.Month, 12);
    };
    for (unsigned v = 0; v <= 65535; ++v) {
        const auto x = static_cast<std::uint16_t>(v);
        for (std::uint16_t e : {0, 1, 2, 12, 13, 31, 40, 65535}) {
            check(x, e, e);
            check(e, x, e);
            check(e, e, x);
            check(2024, x, e);
            check(2024, e, x);
        }
        if (HasFailure()) return;
    }
    // the documented example of a Gregorian month outside the table
    EXPECT_EQ(GregorianToPersian(2024, 13, 1), (TDateParts{1403, 10, 12}));  // day of year 366 + 1 in 2024
    EXPECT_EQ(GregorianToPersian(2024, 0, 1), GregorianToPersian(2024, 1, 1));
}

TEST(FaDateAnyValues, PersianToGregorianForDaysBeyondTheYear) {
    // A day far beyond its month pushes d past the Gregorian year even after the leap correction: December, day
    // above 31.
    EXPECT_EQ(PersianToGregorian(1403, 1, 1000),
              (TDateParts{2025, 12, static_cast<std::uint16_t>(1000 + 79 - 366 - 334)}));
    EXPECT_EQ(PersianToGregorian(1403, 13, 40), (TDateParts{2025, 4, 28}));
    const TGregorianDateTime g = TFaDate(1403, 12, 65535).ToGregorianDate();
    EXPECT_EQ(g.Month, 12);
    EXPECT_GT(g.Day, 31);
}

}  // namespace
}  // namespace zz
