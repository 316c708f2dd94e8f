#include "platform/Services_UNT.h"

#include <gtest/gtest.h>

#include "common/Handle.h"
#include "common/Text.h"
#include "tests/support/TestSupport.h"

namespace {

// A service every prefix has.
const wchar_t* const kExisting = L"RpcSs";
const wchar_t* const kMissing = L"ZZ_NoSuchService_7f3a";

std::wstring ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &n);
    return std::wstring(name, n);
}

// The tools "net" and "sc" are found in the current folder first: recorders stand in for them here.
class ServiceCommandTest : public testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDirectory cwd{dir.Path()};
    Recorder net{dir.File(L"net.exe")};
    Recorder sc{dir.File(L"sc.exe")};
};

TEST_F(ServiceCommandTest, RunsTheToolWithTheServiceAndWaitsForIt) {
    const std::string machine = zz::ToUtf8(ComputerName());
    struct Case {
        std::int32_t (*command)(const std::wstring&, const std::wstring&);
        std::wstring machine;
        const Recorder* tool;
        std::string arguments;
    } cases[] = {
        {&StartServiceByCommand, L"", &net, "start RpcSs"},
        {&StopServiceByCommand, L"", &net, "Stop RpcSs"},
        {&StartServiceByCommand, ComputerName(), &sc, "\\\\" + machine + " start RpcSs"},
        {&StopServiceByCommand, ComputerName(), &sc, "\\\\" + machine + " Stop RpcSs"},
    };
    net.RunFor(300);
    sc.RunFor(300);
    size_t runs = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(c.command(kExisting, c.machine), 0);
        ++runs;
        // Returned only after the tool had ended, which it had been asked to do hidden.
        ASSERT_EQ(net.ShowModes().size() + sc.ShowModes().size(), runs);
        EXPECT_EQ(c.tool->ShowModes().back(), "0");
        EXPECT_EQ(Recorder::Arguments(c.tool->CommandLines().back()), c.arguments);
    }
}

TEST_F(ServiceCommandTest, AServiceThatCannotBeFoundRunsNothing) {
    EXPECT_EQ(StartServiceByCommand(kMissing, L""), ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_EQ(StopServiceByCommand(kMissing, L""), ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_EQ(StartServiceByCommand(L"mssql$", L""), ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_TRUE(net.CommandLines().empty());
    EXPECT_TRUE(sc.CommandLines().empty());
}

TEST(QueryServiceState, ReportsTheLookupsError) {
    DWORD error = 12345;
    SERVICE_STATUS status = QueryServiceState(kMissing, L"", error);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
    EXPECT_EQ(status.dwCurrentState, 0u);
    EXPECT_FALSE(IsServiceRunning(kMissing, L""));

    QueryServiceState(kExisting, L"", error);
    EXPECT_EQ(error, 0u);
    EXPECT_TRUE(IsServiceRunning(kExisting, L""));
}

TEST(ExecuteAndWait, AProgramThatCannotBeStartedGivesFalse) {
    TempDir dir;
    EXPECT_FALSE(ExecuteAndWait(dir.File(L"missing.exe"), L"", true));
}

// Window messages that arrive while a program runs are handled at once; the wait ends with the program.
const Recorder* running = nullptr;
bool handledWhileRunning = false;

LRESULT CALLBACK Receiver(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) handledWhileRunning = running->ShowModes().empty();
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(ExecuteAndWait, HandlesMessagesWhileItWaitsAndEndsWithTheProgram) {
    TempDir dir;
    Recorder program(dir.File(L"tool.exe"));
    program.RunFor(700);
    running = &program;
    WNDCLASSW wc{};
    wc.lpfnWndProc = Receiver;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZZReceiver";
    RegisterClassW(&wc);
    zz::unique_hwnd receiver(CreateWindowExW(0, L"ZZReceiver", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                             GetModuleHandleW(nullptr), nullptr));
    SetTimer(receiver.get(), 1, 200, [](HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        PostMessageW(h, WM_APP, 0, 0);
    });
    EXPECT_TRUE(ExecuteAndWait(program.Path(), L"a \"b c\"", true));
    EXPECT_TRUE(handledWhileRunning);
    ASSERT_EQ(program.ShowModes(), std::vector<std::string>{"1"});
    EXPECT_EQ(Recorder::Arguments(program.CommandLines().at(0)), "a \"b c\"");
}

TEST(ExecuteAndWait, EndsWhenTheProgramIsTerminating) {
    TempDir dir;
    Recorder program(dir.File(L"tool.exe"));
    program.RunFor(5000);
    PostQuitMessage(7);
    EXPECT_TRUE(ExecuteAndWait(program.Path(), L"", false));
    EXPECT_TRUE(program.ShowModes().empty()) << "returned while the program still ran";
    // The quit request is kept for the program's own message loop.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
