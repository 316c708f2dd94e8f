#include <windows.h>

#include <gtest/gtest.h>

#include "common/Error.h"
#include "common/Paths.h"
#include "common/Text.h"

TEST(Text, Utf8RoundTripKeepsArabicAndPersianLetterForms) {
    const std::wstring text = L"عملياتي با اين کد وجود ندارد ی ک";
    EXPECT_EQ(zz::FromUtf8(zz::ToUtf8(text)), text);
    EXPECT_EQ(zz::ToUtf8(L"ي").size(), 2u);
}

TEST(Text, FormatSReplacesThePlaceholder) {
    EXPECT_EQ(zz::FormatS(L"Resource %s not found", L"X"), L"Resource X not found");
    EXPECT_EQ(zz::FormatS(L"''%s'' is not a valid integer value", L"abc"), L"''abc'' is not a valid integer value");
}

TEST(Error, CarriesTheMessage) {
    zz::Error e(L"Unable to write to C:\\a.ini");
    EXPECT_EQ(e.Message(), L"Unable to write to C:\\a.ini");
    EXPECT_STREQ(e.what(), "Unable to write to C:\\a.ini");
}

TEST(Error, OperatingSystemErrorsCarryTheirCodeAndTheSystemsText) {
    const zz::Error e = zz::OSError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(e.Code(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(e.Message(), L"System Error.  Code: 2.\r\n" + zz::SystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(zz::OSError(0).Message(), L"A call to an OS function failed");
    try {
        SetLastError(ERROR_ACCESS_DENIED);
        zz::RaiseLastOSError();
    } catch (const zz::Error& raised) {
        EXPECT_EQ(raised.Code(), static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    }
}

TEST(Paths, ExtensionsAndFolders) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
        const wchar_t* ext;
        const wchar_t* asBak;
    } cases[] = {
        {L"C:\\Data\\Zelto.zip", L"C:\\Data\\", L".zip", L"C:\\Data\\Zelto.bak"},
        {L"C:\\Data\\Zelto", L"C:\\Data\\", L"", L"C:\\Data\\Zelto.bak"},
        {L"C:\\my.data\\Zelto", L"C:\\my.data\\", L"", L"C:\\my.data\\Zelto.bak"},
        {L"C:\\Data\\a.b.ZIP", L"C:\\Data\\", L".ZIP", L"C:\\Data\\a.b.bak"},
        {L"Zelto.zip", L"", L".zip", L"Zelto.bak"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        EXPECT_EQ(zz::ExtractFilePath(c.path), c.folder);
        EXPECT_EQ(zz::ExtractFileExt(c.path), c.ext);
        EXPECT_EQ(zz::ChangeFileExt(c.path, L".bak"), c.asBak);
    }
    EXPECT_TRUE(zz::SameFileName(L".ZIP", L".zip"));
    EXPECT_FALSE(zz::SameFileName(L".zip", L".bak"));
}
