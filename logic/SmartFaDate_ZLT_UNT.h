// SmartFaDate_ZLT_UNT — the Persian (Solar Hijri) calendar: TFaDate, TSplitedString, SplitByDelimiter.
//
// All calendar arithmetic is done here on constant tables; no calendar service of the operating system is used.
// The only platform pieces (the user's short date format for GetGregorianDateString / GetShamsiDateString) go
// through a replaceable provider so that tests are deterministic.
//
// Choices the Part leaves to the implementer (every 16-bit field value gives a defined result; no table is ever
// read outside its rows):
//  * "Days before month m" is the sum of the common-year lengths of the table months that come before m: month 0
//    gives 0, months 1-12 give the table, months 13 and above give 365 (Gregorian: 365, plus the leap day when the
//    month is after February in a leap year, so 366). So GetDayOfYear of 1403/13/40 is 405 and of 0/0/0 is 0.
//  * GetDaysInMonth is 0 for a month outside 1-12; MonthName is the empty string for it.
//  * Days are never looked up in a table; they enter the arithmetic as plain numbers (day 0, day 40, ...).
//  * GetDayOfWeek (its day-count formula) is always 1-7, so DayName/DaySmallName always name a weekday.
//  * Arithmetic is done in int; a result stored in a 16-bit field (or returned as one) is kept modulo 65536, as
//    the date parser does. So GregorianToPersian for Gregorian years before 623 gives Persian year 0 or a
//    "negative" year modulo 65536 (621-01-01 gives 65535/10/11), and the Persian years 64915-65535 give Gregorian
//    years modulo 65536. GetDayOfYear is returned modulo 65536 (only for days above 65170); internally the full
//    value is used.
//  * The leap rule takes the non-negative remainder of ((Y + 38) x 31) mod 128 for Y + 38 < 0.
//  * PersianToGregorian (ToGregorianDate): when a day far beyond its month pushes d past the end of the Gregorian
//    year even after the leap correction, no month fits; the month is then 12 and the day d minus the days before
//    December (a day above 31). For a valid Persian date the result is always a valid Gregorian date.
//  * GregorianToPersian for a Gregorian month outside 1-12 uses the days-before rule above; a Persian day of the
//    year above 366 then gives a month above 12 by the day-of-year formula (unchanged).
//  * ToShamsiDate returns the stored Persian date and time, unconverted, as a date-time value (Year = Persian
//    year, and so on); GetShamsiDateString formats that value with the user's short date format, which gives e.g.
//    ‹1403/01/05› under a ‹yyyy/MM/dd› setting.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zz {

// A Gregorian date-time value, split into its parts (the fields of the Win32 SYSTEMTIME without the weekday).
// Nothing validates the parts.
struct TGregorianDateTime {
    std::uint16_t Year = 0;
    std::uint16_t Month = 0;
    std::uint16_t Day = 0;
    std::uint16_t Hour = 0;
    std::uint16_t Minute = 0;
    std::uint16_t Second = 0;
    std::uint16_t MilliSecond = 0;

    friend bool operator==(const TGregorianDateTime&, const TGregorianDateTime&) = default;
};

// Year, month and day of one calendar (Persian or Gregorian), as the conversions give them.
struct TDateParts {
    std::uint16_t Year = 0;
    std::uint16_t Month = 0;
    std::uint16_t Day = 0;

    friend bool operator==(const TDateParts&, const TDateParts&) = default;
};

// The dynamic array of strings that SplitByDelimiter returns.
using TSplitedString = std::vector<std::wstring>;

// An empty delimiter never occurs, so the whole text (when not empty) is the one piece.
TSplitedString SplitByDelimiter(const std::wstring& text, const std::wstring& delimiter);

// Leap years and month lengths.
bool IsPersianLeapYear(int year);
bool IsGregorianLeapYear(int year);

// The conversions (defined for all 16-bit arguments, see the choices above).
TDateParts GregorianToPersian(std::uint16_t gregorianYear, std::uint16_t gregorianMonth, std::uint16_t gregorianDay);
TDateParts PersianToGregorian(std::uint16_t persianYear, std::uint16_t persianMonth, std::uint16_t persianDay);

// --- the user's short date format (platform seam) ------------------------------------------------------------

// The user's short date picture (LOCALE_SSHORTDATE, Windows picture language: d dd ddd dddd, M MM MMM MMMM,
// y yy yyyy, g gg, '…' quoted text) with the names that its name tokens use.
struct TShortDateFormat {
    std::wstring Pattern;
    std::array<std::wstring, 12> MonthNames;  // January first
    std::array<std::wstring, 12> AbbrMonthNames;
    std::array<std::wstring, 7> DayNames;  // Sunday first
    std::array<std::wstring, 7> AbbrDayNames;
    std::wstring Era;  // for g / gg
};

using TShortDateFormatProvider = std::function<TShortDateFormat()>;

// The format in effect: the installed provider's, else the operating system's for the current user
// (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE and the name entries)).
TShortDateFormat CurrentShortDateFormat();
// Reads the user's format from the operating system (the default provider).
TShortDateFormat SystemShortDateFormat();
// Installs a provider (an empty one restores the operating system's) and returns the one it replaces.
TShortDateFormatProvider SetShortDateFormatProvider(TShortDateFormatProvider provider);

// Formats the date part of a value with a short date picture. Pure; any part values give a defined text (a month
// outside 1-12 gives an empty month name; numbers are written as they are).
std::wstring FormatShortDate(const TGregorianDateTime& value, const TShortDateFormat& format);

// --- TFaDate ---------------------------------------------------------------------------------------------------

class TFaDate {
public:
    // Create(gregorianDate): the four time parts go unchanged into the time fields; the date is converted.
    explicit TFaDate(const TGregorianDateTime& gregorianDate);
    // Create(persianYear, persianMonth, persianDay): stored as given, time 00:00:00.000.
    TFaDate(std::uint16_t persianYear, std::uint16_t persianMonth, std::uint16_t persianDay);
    // Create(persianDate): parsed as year/month/day; an unreadable text gives 0/0/0.
    explicit TFaDate(const std::wstring& persianDate);
    explicit TFaDate(const wchar_t* persianDate) : TFaDate(std::wstring(persianDate ? persianDate : L"")) {}

    // The class functions of the Part; each returns a new object that the caller owns.
    static TFaDate CreateByGregorianDate(const TGregorianDateTime& gregorianDate);
    static TFaDate CreateByGregorianDate(std::uint16_t gregorianYear, std::uint16_t gregorianMonth,
                                         std::uint16_t gregorianDay);
    static TFaDate CreateByPersianDate(std::uint16_t persianYear, std::uint16_t persianMonth, std::uint16_t persianDay);
    static TFaDate CreateByPersianDate(const std::wstring& persianDate);

    // Properties (read-only), in the Part's order.
    std::wstring DaySmallName() const;
    bool HasTime() const { return fHasTimeData; }
    std::uint16_t Year() const { return fFaYear; }
    std::uint16_t Month() const { return fFaMonth; }
    std::uint16_t Day() const { return fFaDay; }
    std::uint16_t Hour() const { return fFaHour; }
    std::uint16_t Minute() const { return fFaMinute; }
    std::uint16_t Second() const { return fFaSecond; }
    std::uint16_t MilliSecond() const { return fFaMilliSecond; }
    std::wstring DayName() const;
    std::wstring MonthName() const;

    // Queries.
    std::uint16_t GetDayOfYear() const;
    std::uint16_t GetDaysInMonth() const;
    std::uint16_t GetDayOfWeek() const;  // 1 = Saturday ... 7 = Friday

    // Conversion and text.
    TGregorianDateTime ToGregorianDate() const;
    std::wstring GetGregorianDateString() const;
    TGregorianDateTime ToShamsiDate() const;
    std::wstring GetShamsiDateString() const;
    std::wstring ToString(const std::wstring& format) const;  // token replacement, in order
    std::wstring ToString() const;                            // "yyyy/mm/dd HH:nn"
    std::wstring ToDateString() const;                        // "yyyy/mm/dd"
    std::wstring ToTimeString() const;                        // "HH:nn"

    friend bool operator==(const TFaDate&, const TFaDate&) = default;

private:
    int DayOfYear() const;  // the full (not 16-bit) Persian day of the year

    bool fHasTimeData = false;
    std::uint16_t fFaYear = 0;
    std::uint16_t fFaMonth = 0;
    std::uint16_t fFaDay = 0;
    std::uint16_t fFaHour = 0;
    std::uint16_t fFaMinute = 0;
    std::uint16_t fFaSecond = 0;
    std::uint16_t fFaMilliSecond = 0;
};

}  // namespace zz
