#include "logic/FormatSettings.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace zz {
namespace {

std::wstring LocaleString(LCTYPE type, const wchar_t* fallback) {
    const int size = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, nullptr, 0);
    if (size <= 1) return fallback;
    std::wstring text(static_cast<size_t>(size), L'\0');
    const int written = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text.data(), size);
    text.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return text.empty() ? fallback : text;
}

std::wstring TwoDigits(int value) {
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}

}  // namespace

TFormatSettings SystemFormatSettings() {
    TFormatSettings s;
    s.DateSeparator = LocaleString(LOCALE_SDATE, L"/")[0];
    s.TimeSeparator = LocaleString(LOCALE_STIME, L":")[0];
    s.LongTimeFormat = LocaleString(LOCALE_STIMEFORMAT, L"HH:mm:ss");
    s.TimeAMString = LocaleString(LOCALE_S1159, L"AM");
    s.TimePMString = LocaleString(LOCALE_S2359, L"PM");
    return s;
}

TFormatSettings& FormatSettings() {
    static TFormatSettings settings = SystemFormatSettings();
    return settings;
}

std::wstring FormatLongTime(const TGregorianDateTime& time, const TFormatSettings& settings) {
    const std::wstring& p = settings.LongTimeFormat;
    // The picture as fields and the separators between them.
    struct Part {
        wchar_t field;  // 0 for text
        size_t count;
        std::wstring text;
        bool quoted = false;  // '...' text stays as it is
    };
    std::vector<Part> parts;
    for (size_t i = 0; i < p.size();) {
        const wchar_t c = p[i];
        if (c == L'h' || c == L'H' || c == L'm' || c == L's' || c == L't') {
            size_t n = 1;
            while (i + n < p.size() && p[i + n] == c) ++n;
            parts.push_back({c, n, {}});
            i += n;
        } else if (c == L'\'') {
            const size_t end = p.find(L'\'', i + 1);
            parts.push_back({0, 0, p.substr(i + 1, end == std::wstring::npos ? std::wstring::npos : end - i - 1), true});
            i = end == std::wstring::npos ? p.size() : end + 1;
        } else {
            if (parts.empty() || parts.back().field || parts.back().quoted) parts.push_back({0, 0, {}});
            parts.back().text += c;
            ++i;
        }
    }
    std::wstring out;
    bool afterField = false;
    for (size_t k = 0; k < parts.size(); ++k) {
        const Part& part = parts[k];
        const int hour12 = time.Hour % 12 == 0 ? 12 : time.Hour % 12;
        switch (part.field) {
            case L'H':
                out += part.count > 1 ? TwoDigits(time.Hour) : std::to_wstring(time.Hour);
                break;
            case L'h':
                out += part.count > 1 ? TwoDigits(hour12) : std::to_wstring(hour12);
                break;
            case L'm':
                out += TwoDigits(time.Minute);
                break;
            case L's':
                out += TwoDigits(time.Second);
                break;
            case L't': {
                const std::wstring& designator = time.Hour < 12 ? settings.TimeAMString : settings.TimePMString;
                out += part.count > 1 ? designator : designator.substr(0, 1);
                break;
            }
            default: {
                // Text between two of hours, minutes and seconds is the time separator; other text stays.
                const bool between = !part.quoted && afterField && k + 1 < parts.size() &&
                                     (parts[k + 1].field == L'm' || parts[k + 1].field == L's');
                out += between ? std::wstring(1, settings.TimeSeparator) : part.text;
                break;
            }
        }
        afterField = part.field == L'h' || part.field == L'H' || part.field == L'm';
    }
    return out;
}

}  // namespace zz
