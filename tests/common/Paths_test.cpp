#include <gtest/gtest.h>

#include "common/Paths.h"

TEST(Paths, SplitAndChangeTheExtension) {
    const struct {
        std::wstring path, folder, dir, name, zip;
    } cases[] = {
        {L"C:\\Data\\Zelto.bak", L"C:\\Data\\", L"C:\\Data", L"Zelto.bak", L"C:\\Data\\Zelto.zip"},
        {L"C:\\Data\\Zelto", L"C:\\Data\\", L"C:\\Data", L"Zelto", L"C:\\Data\\Zelto.zip"},
        {L"C:\\Data.v2\\Zelto", L"C:\\Data.v2\\", L"C:\\Data.v2", L"Zelto", L"C:\\Data.v2\\Zelto.zip"},
        {L"C:\\Data\\a.b.ZIP", L"C:\\Data\\", L"C:\\Data", L"a.b.ZIP", L"C:\\Data\\a.b.zip"},
        {L"C:\\Zelto.bak", L"C:\\", L"C:\\", L"Zelto.bak", L"C:\\Zelto.zip"},
        {L"C:Zelto.bak", L"C:", L"C:", L"Zelto.bak", L"C:Zelto.zip"},
        {L"\\\\server\\share\\پشتيبان.bak", L"\\\\server\\share\\", L"\\\\server\\share", L"پشتيبان.bak",
         L"\\\\server\\share\\پشتيبان.zip"},
        {L"Z:/tmp/x.bak", L"Z:/tmp/", L"Z:/tmp", L"x.bak", L"Z:/tmp/x.zip"},
        {L"x.bak", L"", L"", L"x.bak", L"x.zip"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zz::ExtractFilePath(c.path), c.folder) << c.path;
        EXPECT_EQ(zz::ExtractFileDir(c.path), c.dir) << c.path;
        EXPECT_EQ(zz::ExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(zz::ChangeFileExt(c.path, L".zip"), c.zip) << c.path;
    }
}
