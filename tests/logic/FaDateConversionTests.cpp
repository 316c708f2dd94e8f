// Conversions both ways, leap years, day of week, GetDaysInMonth, GetDayOfYear (tables).
#include <gtest/gtest.h>

#include "CalendarTestSupport.h"

namespace zz {
namespace {

struct GregorianToPersianRow {
    std::uint16_t gy, gm, gd;
    std::uint16_t py, pm, pd;
};

// The conversion arithmetic exactly, also where it differs from the astronomical calendar.
const GregorianToPersianRow kGregorianToPersian[] = {
    // 1399/1400 year end (1399 is a leap year: Esfand has 30 days)
    {2021, 3, 19, 1399, 12, 29},
    {2021, 3, 20, 1399, 12, 30},
    {2021, 3, 21, 1400, 1, 1},
    {2021, 3, 22, 1400, 1, 2},
    // 1402/1403
    {2024, 3, 19, 1402, 12, 29},
    {2024, 3, 20, 1403, 1, 1},
    {2024, 2, 29, 1402, 12, 10},
    // 1403/1404 year end (1403 common under the leap rule)
    {2025, 3, 19, 1403, 12, 28},
    {2025, 3, 20, 1403, 12, 29},
    {2025, 3, 21, 1404, 1, 1},
    {2025, 3, 22, 1404, 1, 2},
    // 1404/1405 (1404 leap)
    {2026, 3, 20, 1404, 12, 29},
    {2026, 3, 21, 1404, 12, 30},
    {2026, 3, 22, 1405, 1, 1},
    // Gregorian year ends: 31 December 2024 and 1 January 2025 both give 1403/10/11
    {2020, 12, 31, 1399, 10, 11},
    {2021, 1, 1, 1399, 10, 12},
    {2024, 12, 30, 1403, 10, 10},
    {2024, 12, 31, 1403, 10, 11},
    {2025, 1, 1, 1403, 10, 11},
    {2025, 1, 2, 1403, 10, 12},
    // others of the Part
    {2016, 1, 19, 1394, 10, 29},
    {1992, 3, 20, 1370, 12, 30},
    {1992, 3, 21, 1371, 1, 1},
    // the first half / second half of the year (day of year 186 and 187)
    {2024, 9, 21, 1403, 6, 31},
    {2024, 9, 22, 1403, 7, 1},
    // the sweep's ends
    {1900, 1, 1, 1278, 10, 11},
    {2100, 12, 31, 1479, 10, 9},
};

TEST(FaDateConversion, GregorianToPersianTable) {
    for (const auto& r : kGregorianToPersian) {
        SCOPED_TRACE(testing::Message() << r.gy << '-' << r.gm << '-' << r.gd);
        EXPECT_EQ(GregorianToPersian(r.gy, r.gm, r.gd), (TDateParts{r.py, r.pm, r.pd}));
        const TFaDate byNumbers = TFaDate::CreateByGregorianDate(r.gy, r.gm, r.gd);
        EXPECT_EQ(byNumbers.Year(), r.py);
        EXPECT_EQ(byNumbers.Month(), r.pm);
        EXPECT_EQ(byNumbers.Day(), r.pd);
        EXPECT_EQ(byNumbers.Hour(), 0);
        EXPECT_EQ(byNumbers.Minute(), 0);
        EXPECT_EQ(byNumbers.Second(), 0);
        EXPECT_EQ(byNumbers.MilliSecond(), 0);
        EXPECT_FALSE(byNumbers.HasTime());
        EXPECT_EQ(TFaDate(Gregorian(r.gy, r.gm, r.gd)), byNumbers);
        EXPECT_EQ(TFaDate::CreateByGregorianDate(Gregorian(r.gy, r.gm, r.gd)), byNumbers);
    }
}

TEST(FaDateConversion, GregorianValueKeepsItsTimePartsAndHasTimeStaysFalse) {
    const TFaDate f(Gregorian(2024, 3, 20, 23, 59, 58, 999));
    EXPECT_EQ(f.Year(), 1403);
    EXPECT_EQ(f.Month(), 1);
    EXPECT_EQ(f.Day(), 1);
    EXPECT_EQ(f.Hour(), 23);
    EXPECT_EQ(f.Minute(), 59);
    EXPECT_EQ(f.Second(), 58);
    EXPECT_EQ(f.MilliSecond(), 999);
    EXPECT_FALSE(f.HasTime());
    EXPECT_EQ(TFaDate::CreateByGregorianDate(Gregorian(2024, 3, 20, 23, 59, 58, 999)), f);
}

struct PersianToGregorianRow {
    std::uint16_t py, pm, pd;
    std::uint16_t gy, gm, gd;
};

const PersianToGregorianRow kPersianToGregorian[] = {
    // 1399/1400
    {1399, 12, 29, 2021, 3, 19},
    {1399, 12, 30, 2021, 3, 20},
    {1400, 1, 1, 2021, 3, 21},
    {1400, 1, 2, 2021, 3, 22},
    // 1402/1403
    {1402, 12, 29, 2024, 3, 19},
    {1403, 1, 1, 2024, 3, 20},
    // 1403/1404: the Part gives 1403/12/30 (outside the common year 1403) as 20 March 2025
    {1403, 10, 11, 2024, 12, 31},
    {1403, 10, 12, 2025, 1, 1},
    {1403, 12, 29, 2025, 3, 19},
    {1403, 12, 30, 2025, 3, 20},
    {1404, 1, 1, 2025, 3, 21},
    // 1404/1405: 1404/12/30 and 1405/01/01 both give 21 March 2026 under the given arithmetic
    {1404, 12, 29, 2026, 3, 20},
    {1404, 12, 30, 2026, 3, 21},
    {1405, 1, 1, 2026, 3, 21},
    {1371, 1, 1, 1992, 3, 21},
    {1394, 10, 29, 2016, 1, 19},
    {1403, 6, 31, 2024, 9, 21},
    {1403, 7, 1, 2024, 9, 22},
};

TEST(FaDateConversion, PersianToGregorianTable) {
    for (const auto& r : kPersianToGregorian) {
        SCOPED_TRACE(testing::Message() << r.py << '/' << r.pm << '/' << r.pd);
        EXPECT_EQ(PersianToGregorian(r.py, r.pm, r.pd), (TDateParts{r.gy, r.gm, r.gd}));
        EXPECT_EQ(TFaDate(r.py, r.pm, r.pd).ToGregorianDate(), Gregorian(r.gy, r.gm, r.gd));
        EXPECT_EQ(TFaDate::CreateByPersianDate(r.py, r.pm, r.pd).ToGregorianDate(), Gregorian(r.gy, r.gm, r.gd));
    }
}

TEST(FaDateConversion, ToGregorianDateCarriesTheStoredTime) {
    const TFaDate f(Gregorian(2024, 3, 20, 9, 5, 3, 7));
    EXPECT_EQ(f.ToGregorianDate(), Gregorian(2024, 3, 20, 9, 5, 3, 7));
}

TEST(FaDateConversion, PersianConstructorsStoreTheNumbersAsGiven) {
    const TFaDate f(1403, 13, 40);
    EXPECT_EQ(f.Year(), 1403);
    EXPECT_EQ(f.Month(), 13);
    EXPECT_EQ(f.Day(), 40);
    EXPECT_EQ(f.Hour() + f.Minute() + f.Second() + f.MilliSecond(), 0);
    EXPECT_FALSE(f.HasTime());
    EXPECT_EQ(TFaDate::CreateByPersianDate(1403, 13, 40), f);
}

TEST(FaDateConversion, LeapYears) {
    const struct {
        int year;
        bool leap;
    } persian[] = {{1387, true},  {1391, true},  {1395, true}, {1399, true},  {1400, false}, {1401, false},
                   {1402, false}, {1403, false}, {1404, true}, {1405, false}, {1408, true},  {1412, true}};
    for (const auto& r : persian) EXPECT_EQ(IsPersianLeapYear(r.year), r.leap) << r.year;

    const struct {
        int year;
        bool leap;
    } gregorian[] = {{1900, false}, {2000, true},  {2020, true}, {2023, false},
                     {2024, true},  {2100, false}, {2400, true}};
    for (const auto& r : gregorian) EXPECT_EQ(IsGregorianLeapYear(r.year), r.leap) << r.year;
}

TEST(FaDateConversion, DayOfWeekTable) {
    const struct {
        std::uint16_t y, m, d;
        std::uint16_t dow;
        const wchar_t* name;
        const wchar_t* smallName;
    } rows[] = {
        {1403, 1, 1, 5, L"چهار شنبه", L"چهار"},  // 20 March 2024, Wednesday
        {1394, 10, 29, 4, L"سه شنبه", L"سه"},    // 19 January 2016, Tuesday
        {1399, 12, 30, 1, L"شنبه", L"شنبه"},     // 20 March 2021, Saturday
        {1400, 1, 1, 2, L"يكشنبه", L"يك"},      {1400, 1, 2, 3, L"دو شنبه", L"دو"},
        {1402, 12, 29, 4, L"سه شنبه", L"سه"},   {1403, 6, 31, 1, L"شنبه", L"شنبه"},
        {1403, 7, 1, 2, L"يكشنبه", L"يك"},      {1403, 10, 11, 4, L"سه شنبه", L"سه"},
        {1404, 1, 1, 7, L"جمعه", L"جمعه"},      {1403, 12, 29, 5, L"چهار شنبه", L"چهار"},
        {1371, 1, 1, 7, L"جمعه", L"جمعه"},  // the weekday formula stands by itself (21 March 1992 was a Saturday)
        {1403, 1, 2, 6, L"پنج شنبه", L"پنج"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '/' << r.m << '/' << r.d);
        const TFaDate f(r.y, r.m, r.d);
        EXPECT_EQ(f.GetDayOfWeek(), r.dow);
        EXPECT_EQ(f.DayName(), r.name);
        EXPECT_EQ(f.DaySmallName(), r.smallName);
    }
}

TEST(FaDateConversion, DaysInMonthTable) {
    const struct {
        std::uint16_t y, m;
        std::uint16_t days;
    } rows[] = {
        {1399, 12, 30},
        {1404, 12, 30},
        {1403, 12, 29},
        {1400, 12, 29},
        {1402, 12, 29},
        {1403, 7, 30},
        {1403, 1, 31},
        {1403, 6, 31},
        {1404, 6, 31},
        {1403, 11, 30},
        {1399, 7, 30},
        // outside the table (implementer's choice): 0
        {1403, 0, 0},
        {1403, 13, 0},
        {0, 0, 0},
        {65535, 65535, 0},
    };
    for (const auto& r : rows) EXPECT_EQ(TFaDate(r.y, r.m, 1).GetDaysInMonth(), r.days) << r.y << '/' << r.m;
}

TEST(FaDateConversion, DayOfYearTable) {
    const struct {
        std::uint16_t m, d;
        std::uint16_t doy;
    } rows[] = {
        {1, 1, 1},
        {1, 31, 31},
        {2, 1, 32},
        {6, 31, 186},
        {7, 1, 187},
        {10, 11, 287},
        {12, 29, 365},
        {12, 30, 366},
        // outside the tables (implementer's choice): month 0 has 0 days before it, months above 12 have 365
        {0, 0, 0},
        {0, 5, 5},
        {13, 40, 405},
        {1, 0, 0},
        {65535, 1, 366},
        {1, 65535, 65535},
        {12, 65535, static_cast<std::uint16_t>((336 + 65535) % 65536)},  // kept to 16 bits
    };
    for (const auto& r : rows) EXPECT_EQ(TFaDate(1403, r.m, r.d).GetDayOfYear(), r.doy) << r.m << '/' << r.d;
}

TEST(FaDateConversion, YearsBeforeTheEraAreKeptModulo65536) {
    // Implementer's choice: the computed Persian year, negative before Gregorian 622, is kept to 16 bits.
    EXPECT_EQ(GregorianToPersian(621, 1, 1), (TDateParts{65535, 10, 11}));
    EXPECT_EQ(GregorianToPersian(622, 3, 20), (TDateParts{0, 12, 29}));
    EXPECT_EQ(GregorianToPersian(622, 3, 21), (TDateParts{0, 12, 30}));
    EXPECT_EQ(GregorianToPersian(622, 3, 22), (TDateParts{1, 1, 1}));
    EXPECT_EQ(GregorianToPersian(0, 1, 1).Year, static_cast<std::uint16_t>(-622));
    // Persian years whose Gregorian year passes 65535 wrap the same way.
    EXPECT_EQ(PersianToGregorian(65535, 1, 1).Year, static_cast<std::uint16_t>(65535 + 621));
}

}  // namespace
}  // namespace zz
