#include "platform/ShellOpen.h"

#include <windows.h>
#include <shellapi.h>

#include <utility>

namespace zz {

namespace {
TShellOpener& Installed() {
    static TShellOpener opener;
    return opener;
}
}  // namespace

void ShellOpenDocument(const std::wstring& path) {
    if (const TShellOpener& opener = Installed()) {
        opener(path);
        return;
    }
    ShellExecuteW(nullptr, L"Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

TShellOpener SetShellOpener(TShellOpener opener) {
    return std::exchange(Installed(), std::move(opener));
}

}  // namespace zz
