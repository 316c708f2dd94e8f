#include "logic/CommandLine.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zz {
namespace {

TEST(ProgramOfCommandLine, QuotesArgumentsAndBlanks) {
    // The files that exist on the imagined machine.
    const std::set<std::wstring> files = {
        L"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe",
        L"C:\\Zelto\\svc.exe",
        L"C:\\Program Files\\Zelto\\run",
        L"D:\\Tools\\agent.exe",
    };
    auto isFile = [&](const std::wstring& path) { return files.count(path) > 0; };
    const struct {
        std::wstring line, program;
    } cases[] = {
        {L"\"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe\"",
         L"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe"},
        {L"\"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe\" /service -x",
         L"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe"},
        {L"  \"C:\\Zelto\\svc.exe\"/x", L"C:\\Zelto\\svc.exe"},
        {L"\"C:\\No End\\svc.exe", L"C:\\No End\\svc.exe"},  // no closing quote: the rest of the line
        {L"\"\"", L""},
        {L"C:\\Zelto\\svc.exe", L"C:\\Zelto\\svc.exe"},
        {L"C:\\Zelto\\svc.exe -service \"a b\"", L"C:\\Zelto\\svc.exe"},
        {L"C:\\Zelto\\svc -service", L"C:\\Zelto\\svc.exe"},  // ".exe" added as the system does
        {L"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe",
         L"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe"},  // unquoted with blanks
        {L"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe\t/x ",
         L"C:\\Program Files\\Zelto\\Smart Service\\IntelligentService.exe"},
        {L"C:\\Program Files\\Zelto\\run me", L"C:\\Program Files\\Zelto\\run"},  // the shortest existing one
        {L"D:\\Tools\\agent", L"D:\\Tools\\agent.exe"},
        {L"C:\\Missing\\svc.exe /x", L"C:\\Missing\\svc.exe"},  // nothing exists: the first word
        {L"C:\\Program Files\\Missing\\svc.exe", L"C:\\Program"},
        {L"", L""},
        {L"   ", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramOfCommandLine(c.line, isFile), c.program) << c.line;
}

TEST(FolderPart, UpToTheLastBackslashOrColon) {
    const struct {
        std::wstring path, folder;
    } cases[] = {
        {L"C:\\Program Files\\Zelto\\svc.exe", L"C:\\Program Files\\Zelto\\"},
        {L"C:svc.exe", L"C:"},
        {L"svc.exe", L""},
        {L"\\\\server\\share\\svc.exe", L"\\\\server\\share\\"},
        {L"\"C:\\Program Files\\Zelto\\svc.exe\"", L"\"C:\\Program Files\\Zelto\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
}

}  // namespace
}  // namespace zz
