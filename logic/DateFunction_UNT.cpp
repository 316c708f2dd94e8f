#include "logic/DateFunction_UNT.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#include <ctime>
#endif

namespace zz {
namespace {

TLocalNowProvider& InstalledLocalNowProvider() {
    static TLocalNowProvider provider;
    return provider;
}

std::wstring TwoDigits(int value) {
    return value < 10 ? L"0" + std::to_wstring(value) : std::to_wstring(value);
}

}  // namespace

TGregorianDateTime SystemLocalNow() {
    TGregorianDateTime v;
#ifdef _WIN32
    SYSTEMTIME st{};
    GetLocalTime(&st);
    v.Year = st.wYear;
    v.Month = st.wMonth;
    v.Day = st.wDay;
    v.Hour = st.wHour;
    v.Minute = st.wMinute;
    v.Second = st.wSecond;
    v.MilliSecond = st.wMilliseconds;
#else
    // Only for building the logic natively during development; the product is a Win32 program.
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    v.Year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    v.Month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    v.Day = static_cast<std::uint16_t>(tm.tm_mday);
    v.Hour = static_cast<std::uint16_t>(tm.tm_hour);
    v.Minute = static_cast<std::uint16_t>(tm.tm_min);
    v.Second = static_cast<std::uint16_t>(tm.tm_sec);
    v.MilliSecond = static_cast<std::uint16_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
#endif
    return v;
}

TGregorianDateTime LocalNow() {
    const TLocalNowProvider& provider = InstalledLocalNowProvider();
    return provider ? provider() : SystemLocalNow();
}

TLocalNowProvider SetLocalNowProvider(TLocalNowProvider provider) {
    return std::exchange(InstalledLocalNowProvider(), std::move(provider));
}

std::wstring PersianDateStamp(const std::wstring& separator) {
    const TGregorianDateTime now = LocalNow();
    const TFaDate today = TFaDate::CreateByGregorianDate(now.Year, now.Month, now.Day);  // date only, no time
    return std::to_wstring(today.Year()) + separator + TwoDigits(today.Month()) + separator + TwoDigits(today.Day());
}

}  // namespace zz
