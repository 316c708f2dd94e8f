// PersianDateStamp, with the clock replaced.
#include <gtest/gtest.h>

#include "CalendarTestSupport.h"

namespace zz {
namespace {

TEST(PersianDateStamp, Table) {
    const struct {
        TGregorianDateTime now;
        const wchar_t* separator;
        const wchar_t* expected;
    } rows[] = {
        {Gregorian(2024, 3, 20), L"-", L"1403-01-01"},
        {Gregorian(2025, 1, 1), L"-", L"1403-10-11"},
        {Gregorian(2024, 12, 31, 23, 59, 59, 999), L"-", L"1403-10-11"},
        {Gregorian(2016, 1, 19, 14, 5, 9), L"-", L"1394-10-29"},  // as in a safety backup's name
        {Gregorian(2021, 3, 20), L"-", L"1399-12-30"},
        {Gregorian(2021, 3, 21), L"-", L"1400-01-01"},
        {Gregorian(2025, 3, 20), L"-", L"1403-12-29"},
        {Gregorian(2025, 3, 21), L"-", L"1404-01-01"},
        {Gregorian(2024, 3, 20), L"/", L"1403/01/01"},
        {Gregorian(2024, 3, 20), L"", L"14030101"},
        {Gregorian(2024, 3, 20), L" - ", L"1403 - 01 - 01"},
        {Gregorian(622, 3, 22), L"-", L"1-01-01"},  // the year is not padded
    };
    for (const auto& r : rows) {
        ScopedLocalNow clock(r.now);
        EXPECT_EQ(PersianDateStamp(r.separator), r.expected) << testing::PrintToString(r.now);
    }
}

TEST(PersianDateStamp, UsesTheDateOnly) {
    // The time of day never changes the stamp.
    for (int hour : {0, 12, 23, 65535}) {
        ScopedLocalNow clock(Gregorian(2024, 3, 19, static_cast<std::uint16_t>(hour), 59, 59, 999));
        EXPECT_EQ(PersianDateStamp(L"-"), L"1402-12-29");
    }
}

TEST(PersianDateStamp, ClockSeam) {
    {
        ScopedLocalNow clock(Gregorian(2024, 3, 20, 10, 7, 3, 9));
        EXPECT_EQ(LocalNow(), Gregorian(2024, 3, 20, 10, 7, 3, 9));
    }
    // Without an installed clock the system's local time is used: a plausible date, and the stamp agrees with it.
    const TGregorianDateTime before = SystemLocalNow();
    const std::wstring stamp = PersianDateStamp(L"-");
    const TGregorianDateTime after = LocalNow();
    EXPECT_GE(before.Year, 2000);
    EXPECT_GE(before.Month, 1);
    EXPECT_LE(before.Month, 12);
    EXPECT_GE(before.Day, 1);
    EXPECT_LE(before.Day, 31);
    const auto expected = [](const TGregorianDateTime& now) {
        ScopedLocalNow clock(now);
        return PersianDateStamp(L"-");
    };
    EXPECT_TRUE(stamp == expected(before) || stamp == expected(after)) << testing::PrintToString(stamp);
}

}  // namespace
}  // namespace zz
