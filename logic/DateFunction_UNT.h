// DateFunction_UNT — today's Persian date as text, for the names of the automatic safety backups. The current local
// date and time come through a replaceable clock so that tests are deterministic.
#pragma once

#include <functional>
#include <string>

#include "logic/SmartFaDate_ZLT_UNT.h"

namespace zz {

using TLocalNowProvider = std::function<TGregorianDateTime()>;

// The current local date and time: the installed clock's, else the operating system's (GetLocalTime).
TGregorianDateTime LocalNow();
// Reads the operating system's local date and time (the default clock).
TGregorianDateTime SystemLocalNow();
// Installs a clock (an empty one restores the operating system's) and returns the one it replaces.
TLocalNowProvider SetLocalNowProvider(TLocalNowProvider provider);

// Today's local date, without time, converted with TFaDate::CreateByGregorianDate: the decimal year (not padded),
// the separator, the month in two digits, the separator, the day in two digits. PersianDateStamp(L"-") on
// 20 March 2024 gives ‹1403-01-01›.
std::wstring PersianDateStamp(const std::wstring& separator);

}  // namespace zz
