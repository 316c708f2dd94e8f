#pragma once

#include <string>

#include "logic/SmartFaDate_ZLT_UNT.h"

namespace zz {

// The program's date and time formatting settings. They are read from the user's regional settings the first time
// they are needed and then belong to the program: the safety backups change both separators to "-" for the rest of
// the run, and every later default formatting of dates and times uses them.
struct TFormatSettings {
    wchar_t DateSeparator = L'/';
    wchar_t TimeSeparator = L':';
    std::wstring LongTimeFormat = L"HH:mm:ss";  // Windows time picture: h hh H HH m mm s ss t tt, '...' literal
    std::wstring TimeAMString = L"AM";
    std::wstring TimePMString = L"PM";
};

TFormatSettings& FormatSettings();
// The current user's settings as the system gives them (LOCALE_SDATE, LOCALE_STIME, LOCALE_STIMEFORMAT, ...).
TFormatSettings SystemFormatSettings();

// A time in the long time format: hours as the picture asks (12- or 24-hour, with or without a leading zero),
// minutes and seconds in two digits, the AM/PM designator where the picture has one; every separator of the
// picture (its ':' and the text between the fields) becomes settings.TimeSeparator.
std::wstring FormatLongTime(const TGregorianDateTime& time, const TFormatSettings& settings);

}  // namespace zz
