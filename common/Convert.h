#pragma once

#include <string>

namespace zz {

// The toolkit's standard text-to-integer conversion: leading blanks, an optional sign, and "$", "x" or "0x"
// (either case) for hexadecimal; anything else raises "''%s'' is not a valid integer value".
int StrToInt(const std::wstring& text);
bool TryStrToInt(const std::wstring& text, int& value);

}  // namespace zz
