// WMI of the platform through the helper, as the machine answers it.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/WMI_UNT.h"

namespace {

TEST(WmiTest, UnknownClassesAndPropertiesGiveEmptyTexts) {
    EXPECT_EQ(GetWMIProperty(L"", L"Win32_NoSuchClass", L"Name"), L"");
    EXPECT_EQ(GetWMIProperty(L"", L"Win32_ComputerSystem", L"NoSuchProperty"), L"");
    EXPECT_EQ(GetWMIProperty(L"", L"Win32_ComputerSystem'; --", L"Name"), L"") << "a class name that breaks the query";
    EXPECT_EQ(GetWMIProperty(L"no-such-host.invalid", L"Win32_ComputerSystem", L"Name"), L"");
}

TEST(WmiTest, TextsAndNumbersOfTheFirstObject) {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(name, &size));
    EXPECT_EQ(GetWMIProperty(L"", L"Win32_ComputerSystem", L"Name"), name);

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    EXPECT_EQ(GetWMIProperty(L"", L"Win32_ComputerSystem", L"NumberOfLogicalProcessors"),
              std::to_wstring(system.dwNumberOfProcessors));

    // Drives come in the order of their letters; the workstation has C: and the Unix root as Z:.
    EXPECT_EQ(GetWMIProperty(L"", L"Win32_LogicalDisk", L"DeviceID"), L"C:");
}

// Windows names the computer in Caption; this platform's class lacks the property, so the helper gives "".
TEST(WmiTest, CaptionOfTheComputerSystem) {
    const std::wstring caption = GetWMIProperty(L"", L"Win32_ComputerSystem", L"Caption");
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        EXPECT_EQ(caption, L"");
    } else {
        EXPECT_EQ(caption, GetWMIProperty(L"", L"Win32_ComputerSystem", L"Name"));
    }
}

}  // namespace
