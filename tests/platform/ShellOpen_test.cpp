#include "platform/ShellOpen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

// Top-level windows of any process whose title contains part.
std::vector<HWND> WindowsTitledWith(const std::wstring& part) {
    struct Search {
        std::wstring part;
        std::vector<HWND> found;
    } search{part, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (WindowText(hwnd).find(s->part) != std::wstring::npos) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

TEST(ShellOpenDocument, TheShellShowsTheDocumentInItsProgram) {
    TempDir dir;
    const std::wstring name = L"zz-opened-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring path = dir.File(name + L".txt");
    WriteFileBytes(path, "a line of the log\r\n");
    zz::ShellOpenDocument(path);
    ASSERT_TRUE(PumpUntil([&] { return !WindowsTitledWith(name).empty(); }, 20000)) << "no window shows the file";
    for (HWND viewer : WindowsTitledWith(name)) PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return WindowsTitledWith(name).empty(); }, 10000));
}

TEST(ShellOpenDocument, AnInstalledOpenerReceivesTheDocumentInstead) {
    std::vector<std::wstring> opened;
    zz::TShellOpener before = zz::SetShellOpener([&](const std::wstring& path) { opened.push_back(path); });
    zz::ShellOpenDocument(L"C:\\Program Files\\Zelto\\Smart Service\\log.txt");
    zz::SetShellOpener(before);
    EXPECT_EQ(opened, std::vector<std::wstring>{L"C:\\Program Files\\Zelto\\Smart Service\\log.txt"});
}
