#include "common/Error.h"

#include <windows.h>

#include "common/Text.h"

namespace zz {

Error::Error(std::wstring message) : message_(std::move(message)), narrow_(ToUtf8(message_)) {}

std::wstring SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length && buffer) {
        text.assign(buffer, length);
        while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    }
    if (buffer) LocalFree(buffer);
    if (text.empty()) text = L"System error " + std::to_wstring(code);
    return text;
}

void ThrowLastError(const std::wstring& prefix, unsigned long code) {
    throw Error(prefix + SystemErrorText(code));
}

}  // namespace zz
