#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "tests/support/ErrorOf.h"
#include "common/Error.h"
#include "common/Paths.h"
#include "platform/FileFunction.h"
#include "platform/IniOptionFile_UNT.h"

TEST(ExtractResourceToFile, ReplacesAnExistingFileWithExactlyTheResource) {
    TempDir dir;
    const std::wstring target = dir.File(L"out.bin");
    WriteFileBytes(target, std::string(5000, 'x'));
    ExtractResourceToFile(target, L"testdata");  // names compare without case
    EXPECT_EQ(ReadFileBytes(target), ReadFileBytes(ZZ_TEST_RESOURCE));
}

TEST(ExtractResourceToFile, Errors) {
    TempDir dir;
    EXPECT_EQ(ErrorOf([&] { ExtractResourceToFile(dir.File(L"a.bin"), L"NOPE"); }), L"Resource NOPE not found");
    EXPECT_EQ(ReadFileBytes(dir.File(L"a.bin")), "<missing>");

    const std::wstring missingFolder = dir.File(L"no-such-folder\\a.bin");
    std::wstring message = ErrorOf([&] { ExtractResourceToFile(missingFolder, L"TESTDATA"); });
    EXPECT_EQ(message.rfind(L"Cannot create file \"" + missingFolder + L"\". ", 0), 0u)
        << testing::PrintToString(message);
    EXPECT_GT(message.size(), (L"Cannot create file \"" + missingFolder + L"\". ").size())
        << "the system's reason follows";
}

class IniTest : public testing::Test {
protected:
    void SetUp() override { DeleteFileW(ProgramIniPath().c_str()); }
    void TearDown() override { DeleteFileW(ProgramIniPath().c_str()); }
    std::string Ini() { return ReadFileBytes(ProgramIniPath()); }
};

TEST_F(IniTest, FollowsTheExecutablesName) {
    std::wstring exe = zz::ExecutablePath();
    EXPECT_EQ(ProgramIniPath(), exe.substr(0, exe.size() - 4) + L".ini");
}

TEST_F(IniTest, WritesReplacesAndErases) {
    WriteIniString(L"CONNECTION", L"Server", L"(local)\\Zelto");
    WriteIniString(L"CONNECTION", L"Database", L"Zelto");
    WriteIniString(L"CLIENTINFO", L"Name", L"a");
    WriteIniString(L"connection", L"SERVER", L"other");  // another letter case: the same key
    EXPECT_EQ(Ini(), "[CONNECTION]\r\nServer=other\r\nDatabase=Zelto\r\n[CLIENTINFO]\r\nName=a\r\n");

    EraseIniSection(L"NOT-THERE");
    EXPECT_EQ(Ini(), "[CONNECTION]\r\nServer=other\r\nDatabase=Zelto\r\n[CLIENTINFO]\r\nName=a\r\n");
    EraseIniSection(L"CLIENTINFO");
    EXPECT_EQ(Ini(), "[CONNECTION]\r\nServer=other\r\nDatabase=Zelto\r\n");
}

TEST_F(IniTest, UnwritableFileRaisesUnableToWrite) {
    ASSERT_TRUE(CreateDirectoryW(ProgramIniPath().c_str(), nullptr));
    EXPECT_EQ(ErrorOf([] { WriteIniString(L"A", L"b", L"c"); }), L"Unable to write to " + ProgramIniPath());
    EXPECT_EQ(ErrorOf([] { EraseIniSection(L"A"); }), L"Unable to write to " + ProgramIniPath());
    RemoveDirectoryW(ProgramIniPath().c_str());
}
