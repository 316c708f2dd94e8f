#include "common/Text.h"

#include <windows.h>

namespace zz {
namespace {

std::wstring Widen(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring FromUtf8(std::string_view text) {
    return Widen(CP_UTF8, text);
}
std::string ToUtf8(std::wstring_view text) {
    return Narrow(CP_UTF8, text);
}
std::wstring FromAnsi(std::string_view text) {
    return Widen(CP_ACP, text);
}
std::string ToAnsi(std::wstring_view text) {
    return Narrow(CP_ACP, text);
}

std::wstring FormatS(std::wstring_view pattern, std::wstring_view value) {
    std::wstring out(pattern);
    auto at = out.find(L"%s");
    if (at != std::wstring::npos) out.replace(at, 2, value);
    return out;
}

}  // namespace zz
