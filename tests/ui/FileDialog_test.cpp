// The system's file dialogs, answered from a second thread as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <thread>

#include "tests/support/TestSupport.h"
#include "ui/FileDialogs.h"

namespace {

HWND WaitForDialog() {
    for (int i = 0; i < 1000; ++i) {
        struct S {
            HWND found = nullptr;
        } s;
        EnumWindows(
            [](HWND hwnd, LPARAM lp) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                wchar_t cls[64];
                GetClassNameW(hwnd, cls, 64);
                if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && std::wstring(cls) == L"#32770") {
                    reinterpret_cast<S*>(lp)->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(10);
    }
    return nullptr;
}

// Types name into the dialog's file name box and confirms it, or cancels when name is empty.
std::thread Answer(const std::wstring& name) {
    return std::thread([name] {
        HWND dialog = WaitForDialog();
        if (!dialog) return;
        Sleep(200);
        if (name.empty()) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        // The file name box of the explorer-style dialog (a combo box, or an edit in older layouts).
        if (!SetDlgItemTextW(dialog, cmb13, name.c_str())) SetDlgItemTextW(dialog, edt1, name.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
}

}  // namespace

TEST(FileDialog, SaveAddsTheDefaultExtensionAndRemembersTheName) {
    TempDir dir;
    TSaveDialog save;
    save.Filter = L"Backup File (*.bak)|*.bak|Compressed Archive File(*.zip)|*.zip";
    save.FilterIndex = 2;
    save.DefaultExt = L"zip";
    save.FileName = L"Zelto";
    std::thread user = Answer(dir.File(L"Zelto"));
    const bool chosen = save.Execute();
    user.join();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(save.FileName, dir.File(L"Zelto.zip"));
    EXPECT_EQ(save.FilterIndex, 2);
}

TEST(FileDialog, CancelLeavesTheLastNameAndSaysNo) {
    TOpenDialog open;
    open.Filter = L"SQL Data File (*.mdf)|*.mdf";
    open.FileName = L"C:\\previous.mdf";
    std::thread user = Answer(L"");
    const bool chosen = open.Execute();
    user.join();
    EXPECT_FALSE(chosen);
    EXPECT_EQ(open.FileName, L"C:\\previous.mdf");
}

TEST(FileDialog, OpenReturnsAnExistingFile) {
    TempDir dir;
    WriteFileBytes(dir.File(L"script.sql"), "select 1");
    TOpenDialog open;
    open.Filter = L"Text Documents (*.txt)|*.txt|Query Files (*.sql)|*.sql";
    std::thread user = Answer(dir.File(L"script.sql"));
    const bool chosen = open.Execute();
    user.join();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(open.FileName, dir.File(L"script.sql"));
}
