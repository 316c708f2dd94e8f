#include "common/Convert.h"

#include <cstdint>

#include "common/Error.h"
#include "common/Text.h"

namespace zz {

bool TryStrToInt(const std::wstring& text, int& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    int base = 10;
    if (i < text.size() && (text[i] == L'$' || text[i] == L'x' || text[i] == L'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        int digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        // Hexadecimal texts may spell the full 32-bit pattern (e.g. $FFFFFFFF is -1).
        if (magnitude > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL)) return false;
    }
    std::int64_t result = negative ? -magnitude : magnitude;
    if (base == 10 && (result > INT32_MAX || result < INT32_MIN)) return false;
    value = static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(result)));
    return true;
}

int StrToInt(const std::wstring& text) {
    int value = 0;
    if (!TryStrToInt(text, value)) throw Error(FormatS(L"''%s'' is not a valid integer value", text));
    return value;
}

}  // namespace zz
