#include "logic/SmartFaDate_ZLT_UNT.h"

#include "logic/FormatSettings.h"

#include <climits>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zz {
namespace {

// --- tables -----------------------------------------------------------------------------

struct TMonthRow {
    const wchar_t* Name;
    int DaysCommon;
    int DaysLeap;
    int DaysBefore;
};

constexpr std::array<TMonthRow, 12> kPersianMonths{{
    {L"فروردين", 31, 31, 0},
    {L"ارديبهشت", 31, 31, 31},
    {L"خرداد", 31, 31, 62},
    {L"تير", 31, 31, 93},
    {L"مرداد", 31, 31, 124},
    {L"شهريور", 31, 31, 155},
    {L"مهر", 30, 30, 186},
    {L"آبان", 30, 30, 216},
    {L"آذر", 30, 30, 246},
    {L"دي", 30, 30, 276},
    {L"بهمن", 30, 30, 306},
    {L"اسفند", 29, 30, 336},
}};

struct TWeekdayRow {
    const wchar_t* Name;
    const wchar_t* SmallName;
};

// Index 0 is day of week 1, Saturday.
constexpr std::array<TWeekdayRow, 7> kPersianWeekdays{{
    {L"شنبه", L"شنبه"},
    {L"يكشنبه", L"يك"},
    {L"دو شنبه", L"دو"},
    {L"سه شنبه", L"سه"},
    {L"چهار شنبه", L"چهار"},
    {L"پنج شنبه", L"پنج"},
    {L"جمعه", L"جمعه"},
}};

constexpr std::array<int, 12> kGregorianDaysBefore{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

constexpr int kPersianCommonYearDays = 365;
constexpr int kGregorianCommonYearDays = 365;

// Non-negative remainder.
int Mod(int a, int n) {
    const int r = a % n;
    return r < 0 ? r + n : r;
}

// A computed value kept to 16 bits (modulo 65536); conversion to an unsigned type is modular.
std::uint16_t To16(int value) {
    return static_cast<std::uint16_t>(static_cast<unsigned>(value));
}

// Days before a Persian month: the table for 1-12, 0 before month 1, the whole common year after month 12.
int PersianDaysBeforeMonth(int month) {
    if (month < 1) return 0;
    if (month > 12) return kPersianCommonYearDays;
    return kPersianMonths[static_cast<std::size_t>(month - 1)].DaysBefore;
}

// Days before a Gregorian month in a given year, leap correction included.
int GregorianDaysBeforeMonth(int year, int month) {
    if (month < 1) return 0;
    const int leapDay = (month > 2 && IsGregorianLeapYear(year)) ? 1 : 0;
    if (month > 12) return kGregorianCommonYearDays + leapDay;
    return kGregorianDaysBefore[static_cast<std::size_t>(month - 1)] + leapDay;
}

// Day of the year (Gregorian).
int GregorianDayOfYear(int year, int month, int day) {
    return GregorianDaysBeforeMonth(year, month) + day;
}

// Day of the year (Persian).
int PersianDayOfYear(int month, int day) {
    return PersianDaysBeforeMonth(month) + day;
}

// Month and day from the day of the year, for any d >= 0.
void PersianMonthDayFromDayOfYear(int d, int& month, int& day) {
    if (d <= 186) {
        month = d / 31 + (d % 31 != 0 ? 1 : 0);
        day = d % 31 == 0 ? 31 : d % 31;
    } else {
        const int e = d - 186;
        month = 6 + e / 30 + (e % 30 != 0 ? 1 : 0);
        day = e % 30 == 0 ? 30 : e % 30;
    }
}

std::wstring Decimal(int value) {
    return std::to_wstring(value);
}

std::wstring TwoDigits(int value) {
    return value < 10 ? L"0" + std::to_wstring(value) : std::to_wstring(value);
}

std::wstring PadLeft(std::wstring text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), L'0');
    return text;
}

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool MatchesAt(const std::wstring& text, std::size_t pos, std::wstring_view token, bool anyCase) {
    if (pos + token.size() > text.size()) return false;
    for (std::size_t k = 0; k < token.size(); ++k) {
        const wchar_t a = text[pos + k];
        const wchar_t b = token[k];
        if (anyCase ? AsciiLower(a) != AsciiLower(b) : a != b) return false;
    }
    return true;
}

// Replaces every occurrence of token, left to right, without rescanning inserted text. "Any case" folds the ASCII
// letters only (the tokens are ASCII letters).
void ReplaceAll(std::wstring& text, std::wstring_view token, const std::wstring& replacement, bool anyCase) {
    std::size_t i = 0;
    while (i < text.size() && !MatchesAt(text, i, token, anyCase)) ++i;
    if (i == text.size()) return;  // no occurrence: the text stays as it is
    std::wstring out(text, 0, i);
    while (i < text.size()) {
        if (MatchesAt(text, i, token, anyCase)) {
            out += replacement;
            i += token.size();
        } else {
            out += text[i++];
        }
    }
    text.swap(out);
}

// An integer is an optional sign and one or more ASCII digits, nothing else, within the 32-bit signed
// range (the range of the original's integer conversion).
bool ParseInteger(const std::wstring& text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i == text.size()) return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < L'0' || c > L'9') return false;
        magnitude = magnitude * 10 + (c - L'0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX || signedValue < INT_MIN) return false;
    value = static_cast<int>(signedValue);
    return true;
}

// --- the short date format provider ---------------------------------------------------------------------------

TShortDateFormatProvider& InstalledShortDateFormatProvider() {
    static TShortDateFormatProvider provider;
    return provider;
}

TShortDateFormat InvariantShortDateFormat() {
    TShortDateFormat f;
    f.Pattern = L"MM/dd/yyyy";
    f.MonthNames = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                    L"July",    L"August",   L"September", L"October", L"November", L"December"};
    f.AbbrMonthNames = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun", L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    f.DayNames = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
    f.AbbrDayNames = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    f.Era = L"A.D.";
    return f;
}

#ifdef _WIN32
bool ReadLocaleString(LCTYPE type, std::wstring& out) {
    const int size = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0) return false;
    std::wstring buffer(static_cast<std::size_t>(size), L'\0');
    const int written = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer.data(), size);
    if (written <= 0) return false;
    buffer.resize(static_cast<std::size_t>(written - 1));  // drop the terminating zero
    out = std::move(buffer);
    return true;
}
#endif

// Days from 1970-01-01 to 1 January of a proleptic Gregorian year (any int year).
long long DaysFromCivilJanuaryFirst(long long y) {
    // Howard Hinnant's days_from_civil with m = 1, d = 1 (January counts in the previous March-based year).
    y -= 1;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = 306;  // 1 January in a year starting on 1 March
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// 0 = Sunday ... 6 = Saturday, for any part values (month by the days-before rule, day as a plain number).
int GregorianWeekday(const TGregorianDateTime& v) {
    const long long days = DaysFromCivilJanuaryFirst(v.Year) + GregorianDaysBeforeMonth(v.Year, v.Month) +
                           static_cast<long long>(v.Day) - 1;
    const long long r = (days + 4) % 7;  // 1970-01-01 was a Thursday
    return static_cast<int>(r < 0 ? r + 7 : r);
}

}  // namespace

// --- unit-level operations -------------------------------------------------------------------------------------

TSplitedString SplitByDelimiter(const std::wstring& text, const std::wstring& delimiter) {
    TSplitedString result;
    if (delimiter.empty()) {
        if (!text.empty()) result.push_back(text);
        return result;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t found = text.find(delimiter, start);
        if (found == std::wstring::npos) break;
        result.push_back(text.substr(start, found - start));
        start = found + delimiter.size();
    }
    if (start < text.size()) result.push_back(text.substr(start));
    return result;
}

bool IsPersianLeapYear(int year) {
    return Mod((year + 38) * 31, 128) <= 30;
}

bool IsGregorianLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

TDateParts GregorianToPersian(std::uint16_t gregorianYear, std::uint16_t gregorianMonth, std::uint16_t gregorianDay) {
    const int gy = gregorianYear;
    int d = GregorianDayOfYear(gy, gregorianMonth, gregorianDay);             // 5.1
    int py = gy - 622;                                                        // 5.2
    d += (IsGregorianLeapYear(gy - 1) && IsPersianLeapYear(py)) ? 287 : 286;  // 5.3
    const int length = IsPersianLeapYear(py) ? 366 : 365;                     // 5.4
    if (d > length) {
        py += 1;
        d -= length;
    }
    int month = 0;
    int day = 0;
    PersianMonthDayFromDayOfYear(d, month, day);  // 5.5
    return {To16(py), To16(month), To16(day)};
}

TDateParts PersianToGregorian(std::uint16_t persianYear, std::uint16_t persianMonth, std::uint16_t persianDay) {
    const int py = persianYear;
    int d = PersianDayOfYear(persianMonth, persianDay);                     // 6.1
    int gy = py + 621;                                                      // 6.2
    d += (IsPersianLeapYear(py - 1) && IsGregorianLeapYear(gy)) ? 80 : 79;  // 6.3
    const int length = IsGregorianLeapYear(gy) ? 366 : 365;                 // 6.4
    if (d > length) {
        gy += 1;
        d -= length;
    }
    int month = 12;  // 6.5; a d beyond the year (only for days far outside their month) stays in December
    for (int m = 1; m <= 12; ++m) {
        if (d <= GregorianDaysBeforeMonth(gy, m + 1)) {
            month = m;
            break;
        }
    }
    const int day = d - GregorianDaysBeforeMonth(gy, month);
    return {To16(gy), To16(month), To16(day)};
}

TShortDateFormat SystemShortDateFormat() {
    TShortDateFormat f = InvariantShortDateFormat();
#ifdef _WIN32
    ReadLocaleString(LOCALE_SSHORTDATE, f.Pattern);
    for (int i = 0; i < 12; ++i) {
        ReadLocaleString(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i), f.MonthNames[static_cast<std::size_t>(i)]);
        ReadLocaleString(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i),
                         f.AbbrMonthNames[static_cast<std::size_t>(i)]);
    }
    // LOCALE_SDAYNAME1 is Monday; the table here starts on Sunday.
    for (int i = 0; i < 7; ++i) {
        const auto index = static_cast<std::size_t>((i + 1) % 7);
        ReadLocaleString(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + i), f.DayNames[index]);
        ReadLocaleString(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + i), f.AbbrDayNames[index]);
    }
    wchar_t era[80] = {};
    if (GetCalendarInfoEx(LOCALE_NAME_USER_DEFAULT, CAL_GREGORIAN, nullptr, CAL_SERASTRING, era, 80, nullptr) > 1)
        f.Era = era;
#else
    f.Pattern = L"yyyy-MM-dd";
#endif
    return f;
}

TShortDateFormat CurrentShortDateFormat() {
    const TShortDateFormatProvider& provider = InstalledShortDateFormatProvider();
    if (provider) return provider();
    // The program's date separator (which the safety backups change) stands where the user's settings have theirs.
    TShortDateFormat format = SystemShortDateFormat();
    const wchar_t from = SystemFormatSettings().DateSeparator, to = FormatSettings().DateSeparator;
    bool quoted = false;
    for (wchar_t& c : format.Pattern) {
        if (c == L'\'') quoted = !quoted;
        else if (!quoted && c == from) c = to;
    }
    return format;
}

TShortDateFormatProvider SetShortDateFormatProvider(TShortDateFormatProvider provider) {
    return std::exchange(InstalledShortDateFormatProvider(), std::move(provider));
}

std::wstring FormatShortDate(const TGregorianDateTime& value, const TShortDateFormat& format) {
    const std::wstring& p = format.Pattern;
    std::wstring out;
    bool quoted = false;
    std::size_t i = 0;
    while (i < p.size()) {
        const wchar_t c = p[i];
        if (c == L'\'') {
            if (i + 1 < p.size() && p[i + 1] == L'\'') {  // '' is one quote, inside or outside quoted text
                out += L'\'';
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
            continue;
        }
        if (quoted || (c != L'd' && c != L'M' && c != L'y' && c != L'g')) {
            out += c;
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < p.size() && p[i + run] == c) ++run;
        i += run;
        switch (c) {
            case L'd':
                if (run == 1)
                    out += Decimal(value.Day);
                else if (run == 2)
                    out += TwoDigits(value.Day);
                else {
                    const auto wd = static_cast<std::size_t>(GregorianWeekday(value));
                    out += run == 3 ? format.AbbrDayNames[wd] : format.DayNames[wd];
                }
                break;
            case L'M':
                if (run == 1)
                    out += Decimal(value.Month);
                else if (run == 2)
                    out += TwoDigits(value.Month);
                else if (value.Month >= 1 && value.Month <= 12) {
                    const auto m = static_cast<std::size_t>(value.Month - 1);
                    out += run == 3 ? format.AbbrMonthNames[m] : format.MonthNames[m];
                }
                break;
            case L'y':
                if (run == 1)
                    out += Decimal(value.Year % 100);
                else if (run == 2)
                    out += TwoDigits(value.Year % 100);
                else
                    out += PadLeft(Decimal(value.Year), 4);
                break;
            default:  // g, gg
                out += format.Era;
                break;
        }
    }
    return out;
}

// --- TFaDate ---------------------------------------------------------------------------------------------------

TFaDate::TFaDate(const TGregorianDateTime& gregorianDate) {
    const TDateParts p = GregorianToPersian(gregorianDate.Year, gregorianDate.Month, gregorianDate.Day);
    fFaYear = p.Year;
    fFaMonth = p.Month;
    fFaDay = p.Day;
    fFaHour = gregorianDate.Hour;
    fFaMinute = gregorianDate.Minute;
    fFaSecond = gregorianDate.Second;
    fFaMilliSecond = gregorianDate.MilliSecond;
}

TFaDate::TFaDate(std::uint16_t persianYear, std::uint16_t persianMonth, std::uint16_t persianDay)
    : fFaYear(persianYear), fFaMonth(persianMonth), fFaDay(persianDay) {}

TFaDate::TFaDate(const std::wstring& persianDate) {
    // 9.1: time fields and HasTime keep their zero/false initialisers.
    const TSplitedString pieces = SplitByDelimiter(persianDate, L"/");  // 9.2
    int values[3] = {0, 0, 0};
    bool ok = pieces.size() >= 3;  // 9.4
    for (std::size_t k = 0; ok && k < 3; ++k) ok = ParseInteger(pieces[k], values[k]);
    if (ok) {  // 9.3, each kept to 16 bits
        fFaYear = To16(values[0]);
        fFaMonth = To16(values[1]);
        fFaDay = To16(values[2]);
    }
}

TFaDate TFaDate::CreateByGregorianDate(const TGregorianDateTime& gregorianDate) {
    return TFaDate(gregorianDate);
}

TFaDate TFaDate::CreateByGregorianDate(std::uint16_t gregorianYear, std::uint16_t gregorianMonth,
                                       std::uint16_t gregorianDay) {
    TGregorianDateTime g;
    g.Year = gregorianYear;
    g.Month = gregorianMonth;
    g.Day = gregorianDay;
    return TFaDate(g);
}

TFaDate TFaDate::CreateByPersianDate(std::uint16_t persianYear, std::uint16_t persianMonth, std::uint16_t persianDay) {
    return TFaDate(persianYear, persianMonth, persianDay);
}

TFaDate TFaDate::CreateByPersianDate(const std::wstring& persianDate) {
    return TFaDate(persianDate);
}

std::wstring TFaDate::DaySmallName() const {
    return kPersianWeekdays[static_cast<std::size_t>(GetDayOfWeek() - 1)].SmallName;
}

std::wstring TFaDate::DayName() const {
    return kPersianWeekdays[static_cast<std::size_t>(GetDayOfWeek() - 1)].Name;
}

std::wstring TFaDate::MonthName() const {
    if (fFaMonth < 1 || fFaMonth > 12) return {};
    return kPersianMonths[static_cast<std::size_t>(fFaMonth - 1)].Name;
}

int TFaDate::DayOfYear() const {
    return PersianDayOfYear(fFaMonth, fFaDay);
}

std::uint16_t TFaDate::GetDayOfYear() const {
    return To16(DayOfYear());
}

std::uint16_t TFaDate::GetDaysInMonth() const {
    if (fFaMonth < 1 || fFaMonth > 12) return 0;
    const TMonthRow& row = kPersianMonths[static_cast<std::size_t>(fFaMonth - 1)];
    return To16(IsPersianLeapYear(fFaYear) ? row.DaysLeap : row.DaysCommon);
}

std::uint16_t TFaDate::GetDayOfWeek() const {
    // Day count; at most 65900 + 365 * 65535 + 16383 + 1, well inside int.
    const int a = DayOfYear() + 365 * static_cast<int>(fFaYear) + fFaYear / 4 + 1;
    const int r = a % 7;
    return To16(r == 0 ? 7 : r);
}

TGregorianDateTime TFaDate::ToGregorianDate() const {
    const TDateParts g = PersianToGregorian(fFaYear, fFaMonth, fFaDay);
    TGregorianDateTime v = ToShamsiDate();  // the time of day carries over unchanged
    v.Year = g.Year;
    v.Month = g.Month;
    v.Day = g.Day;
    return v;
}

std::wstring TFaDate::GetGregorianDateString() const {
    return FormatShortDate(ToGregorianDate(), CurrentShortDateFormat());
}

TGregorianDateTime TFaDate::ToShamsiDate() const {
    TGregorianDateTime v;
    v.Year = fFaYear;
    v.Month = fFaMonth;
    v.Day = fFaDay;
    v.Hour = fFaHour;
    v.Minute = fFaMinute;
    v.Second = fFaSecond;
    v.MilliSecond = fFaMilliSecond;
    return v;
}

std::wstring TFaDate::GetShamsiDateString() const {
    return FormatShortDate(ToShamsiDate(), CurrentShortDateFormat());
}

std::wstring TFaDate::ToString(const std::wstring& format) const {
    const std::wstring year = Decimal(fFaYear);
    const std::wstring yearShort = year.size() > 2 ? year.substr(2, 2) : std::wstring();
    const std::wstring dayName = DayName();
    const std::wstring monthName = MonthName();

    struct TStep {
        std::wstring_view Token;
        bool AnyCase;
        std::wstring Replacement;
    };
    const TStep steps[] = {
        {L"yyyy", true, year},                                // 1
        {L"yyy", true, year},                                 // 2
        {L"yy", true, yearShort},                             // 3
        {L"dddddd", true, dayName},                           // 4
        {L"ddddd", true, dayName},                            // 5
        {L"dddd", true, dayName},                             // 6
        {L"ddd", true, DaySmallName()},                       // 7
        {L"dd", true, TwoDigits(fFaDay)},                     // 8
        {L"d", true, Decimal(fFaDay)},                        // 9
        {L"mmmm", true, monthName},                           // 10
        {L"mmm", true, monthName},                            // 11
        {L"mm", false, TwoDigits(fFaMonth)},                  // 12
        {L"m", false, Decimal(fFaMonth)},                     // 13
        {L"hh", true, TwoDigits(fFaHour)},                    // 14
        {L"h", true, Decimal(fFaHour)},                       // 15
        {L"nn", true, TwoDigits(fFaMinute)},                  // 16
        {L"n", true, Decimal(fFaMinute)},                     // 17
        {L"MM", false, TwoDigits(fFaMinute)},                 // 18
        {L"M", false, Decimal(fFaMinute)},                    // 19
        {L"ss", true, TwoDigits(fFaSecond)},                  // 20
        {L"s", true, Decimal(fFaSecond)},                     // 21
        {L"zzz", true, PadLeft(Decimal(fFaMilliSecond), 3)},  // 22
        {L"z", true, Decimal(fFaMilliSecond)},                // 23
    };
    std::wstring text = format;
    for (const TStep& step : steps) ReplaceAll(text, step.Token, step.Replacement, step.AnyCase);
    return text;
}

std::wstring TFaDate::ToString() const {
    return ToString(L"yyyy/mm/dd HH:nn");
}

std::wstring TFaDate::ToDateString() const {
    return ToString(L"yyyy/mm/dd");
}

std::wstring TFaDate::ToTimeString() const {
    return ToString(L"HH:nn");
}

}  // namespace zz
