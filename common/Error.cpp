#include "common/Error.h"

#include <windows.h>

#include "common/Handle.h"
#include "common/Text.h"

namespace zz {

Error::Error(std::wstring message, unsigned long code)
    : message_(std::move(message)), narrow_(ToUtf8(message_)), code_(code) {}

std::wstring SystemErrorText(unsigned long code) {
    unique_hlocal buffer;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
    std::wstring text;
    if (length && buffer) {
        text.assign(static_cast<const wchar_t*>(buffer.get()), length);
        while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    }
    if (text.empty()) text = L"System error " + std::to_wstring(code);
    return text;
}

void ThrowLastError(const std::wstring& prefix, unsigned long code) {
    throw Error(prefix + SystemErrorText(code), code);
}

Error OSError(unsigned long code) {
    if (code == 0) return Error(L"A call to an OS function failed");
    return Error(L"System Error.  Code: " + std::to_wstring(code) + L".\r\n" + SystemErrorText(code), code);
}

void RaiseLastOSError(unsigned long code) {
    throw OSError(code);
}

void RaiseLastOSError() {
    RaiseLastOSError(GetLastError());
}

}  // namespace zz
