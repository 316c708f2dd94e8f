// Shared helpers of the calendar tests: readable printing and scoped replacement of the platform seams.
#pragma once

#include <ostream>
#include <string>
#include <utility>

#include "logic/DateFunction_UNT.h"
#include "logic/SmartFaDate_ZLT_UNT.h"

namespace zz {

inline void PrintTo(const TDateParts& p, std::ostream* os) {
    *os << p.Year << '/' << p.Month << '/' << p.Day;
}

inline void PrintTo(const TGregorianDateTime& v, std::ostream* os) {
    *os << v.Year << '-' << v.Month << '-' << v.Day << ' ' << v.Hour << ':' << v.Minute << ':' << v.Second << '.'
        << v.MilliSecond;
}

inline void PrintTo(const TFaDate& f, std::ostream* os) {
    *os << "TFaDate(" << f.Year() << '/' << f.Month() << '/' << f.Day() << ' ' << f.Hour() << ':' << f.Minute() << ':'
        << f.Second() << '.' << f.MilliSecond() << ')';
}

inline TGregorianDateTime Gregorian(std::uint16_t y, std::uint16_t m, std::uint16_t d, std::uint16_t hh = 0,
                                    std::uint16_t nn = 0, std::uint16_t ss = 0, std::uint16_t zzz = 0) {
    TGregorianDateTime v;
    v.Year = y;
    v.Month = m;
    v.Day = d;
    v.Hour = hh;
    v.Minute = nn;
    v.Second = ss;
    v.MilliSecond = zzz;
    return v;
}

// Replaces the clock for the lifetime of the object.
class ScopedLocalNow {
public:
    explicit ScopedLocalNow(TGregorianDateTime now) : fPrevious(SetLocalNowProvider([now] { return now; })) {}
    ~ScopedLocalNow() { SetLocalNowProvider(std::move(fPrevious)); }
    ScopedLocalNow(const ScopedLocalNow&) = delete;
    ScopedLocalNow& operator=(const ScopedLocalNow&) = delete;

private:
    TLocalNowProvider fPrevious;
};

// Replaces the user's short date format for the lifetime of the object; names stay English.
class ScopedShortDateFormat {
public:
    explicit ScopedShortDateFormat(std::wstring pattern) {
        TShortDateFormat f;
        f.Pattern = std::move(pattern);
        f.MonthNames = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                        L"July",    L"August",   L"September", L"October", L"November", L"December"};
        f.AbbrMonthNames = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                            L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
        f.DayNames = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
        f.AbbrDayNames = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
        f.Era = L"A.D.";
        fFormat = f;
        fPrevious = SetShortDateFormatProvider([f] { return f; });
    }
    ~ScopedShortDateFormat() { SetShortDateFormatProvider(std::move(fPrevious)); }
    ScopedShortDateFormat(const ScopedShortDateFormat&) = delete;
    ScopedShortDateFormat& operator=(const ScopedShortDateFormat&) = delete;
    const TShortDateFormat& Format() const { return fFormat; }

private:
    TShortDateFormat fFormat;
    TShortDateFormatProvider fPrevious;
};

}  // namespace zz
