#include <gtest/gtest.h>

#include "common/Handle.h"
#include "panes/RegFiles.h"
#include "tests/panes/PaneTestSupport.h"

namespace {

// The class that the workstation's "Flash.ocx" registers.
const wchar_t* const kClassKey = L"CLSID\\{6A3C1E52-8F0B-4D7E-9C21-5B7A2E3F4D10}\\InprocServer32";

// The registered file of the component, or empty when it is not registered.
std::wstring RegisteredFile() {
    zz::unique_hkey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return {};
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    return value;
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH];
    GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

class RegFilesPaneTest : public PaneFixture {
protected:
    void SetUp() override { OpenCode(L"2"); }
};

TEST_F(RegFilesPaneTest, RegistersAndUnregistersTheComponentByItsBareName) {
    ClickButton(L"Button3");
    EXPECT_EQ(RegisteredFile(), L"");
    ClickButton(L"RegFlash_BTN");
    EXPECT_EQ(RegisteredFile(), SystemFolder() + L"\\Flash.ocx");
    ClickButton(L"Button3");
    EXPECT_EQ(RegisteredFile(), L"");
    EXPECT_TRUE(ui.shown.empty()) << "the pane itself says nothing";
}

TEST_F(RegFilesPaneTest, AChosenFileWithBlanksInItsPathIsPassedInOnePiece) {
    TempDir dir;
    const std::wstring folder = dir.File(L"my components");
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring chosen = folder + L"\\Flash copy.ocx";
    ASSERT_TRUE(CopyFileW((SystemFolder() + L"\\Flash.ocx").c_str(), chosen.c_str(), FALSE));
    ui.files = {chosen, chosen};
    ClickButton(L"Button1");
    EXPECT_EQ(RegisteredFile(), chosen);
    ClickButton(L"Button4");
    EXPECT_EQ(RegisteredFile(), L"");
    ASSERT_EQ(ui.fileDialogs.size(), 2u);
    EXPECT_FALSE(ui.fileDialogs[0].save);
    EXPECT_EQ(ui.fileDialogs[0].filter, L"");
}

TEST_F(RegFilesPaneTest, ACancelledDialogLaunchesNothing) {
    Recorder regsvr32(cwdDir.File(L"regsvr32.exe"));  // a bare "regsvr32" would find this one first
    ClickButton(L"Button1");
    ClickButton(L"Button4");
    EXPECT_EQ(ui.fileDialogs.size(), 2u);
    EXPECT_TRUE(regsvr32.CommandLines().empty());
    ClickButton(L"Button3");
    ASSERT_EQ(regsvr32.CommandLines().size(), 1u);
    EXPECT_EQ(Recorder::Arguments(regsvr32.CommandLines()[0]), "Flash.ocx /u");
    EXPECT_EQ(regsvr32.ShowModes(), std::vector<std::string>{"1"}) << "shown, and waited for";
}

}  // namespace
