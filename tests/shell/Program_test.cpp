// The real program as a process, as the suite and the technician start it.
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "common/Handle.h"

namespace {

struct Started {
    zz::unique_handle process;
    DWORD pid = 0;
};

Started Start(const std::wstring& parameters, const std::wstring& cwd) {
    std::wstring commandLine = L"\"" + std::wstring(ZZ_PROGRAM_EXE) + L"\" " + parameters;
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    Started started;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        started.process.reset(pi.hProcess);
        started.pid = pi.dwProcessId;
    }
    return started;
}

HWND WindowOf(DWORD pid, const std::wstring& title) {
    for (HWND hwnd : TopLevelWindowsTitled(title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid && IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

}  // namespace

TEST(Program, StartsWithItsTitleWritesTheHandleFileAndEndsWhenClosed) {
    struct Case {
        const wchar_t* parameters;
        const wchar_t* title;
    } cases[] = {{L"", L"ویرایش 8.455"}, {L"MIS", L"ZeltoZariZovu"}, {L"mis", L"ویرایش 8.455"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.parameters)));
        TempDir dir;
        Started program = Start(c.parameters, dir.Path());
        ASSERT_TRUE(program.process) << "CreateProcess failed with " << GetLastError();
        HWND window = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (window = WindowOf(program.pid, c.title)) != nullptr; }, 20000));
        std::string expected = std::to_string(reinterpret_cast<uintptr_t>(window)) + "\r\n";
        EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(dir.File(L"ZariZovuHandle.txt")) == expected; }));
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(program.process.get(), 20000), WAIT_OBJECT_0);
        EXPECT_EQ(ReadFileBytes(dir.File(L"ZariZovuHandle.txt")), expected) << "left in place";
    }
}
