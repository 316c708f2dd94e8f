// How much processor time the toolbox spends while it waits for a program it started: ExecuteAndWait against a loop
// that polls the program's exit code between passes over the message queue.
//   bench_execute_and_wait <program that runs for a while> [runs] [wait | poll]
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "common/Handle.h"
#include "platform/MessageLoop.h"
#include "platform/Services_UNT.h"

namespace {

double Seconds(const FILETIME& t) {
    ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
    return static_cast<double>(v.QuadPart) / 1e7;
}

double ProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

// The wait as a plain polling loop: handle messages, read the exit code, again, with no pause.
void BusyPollingWait(const std::wstring& program) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = program.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info)) return;
    zz::unique_handle process(info.hProcess);
    DWORD code = STILL_ACTIVE;
    do {
        zz::MessageLoop::ProcessPending();
        GetExitCodeProcess(process.get(), &code);
    } while (code == STILL_ACTIVE && !zz::MessageLoop::Terminating());
}

template <typename Wait>
void Measure(const char* name, Wait wait, int runs) {
    double wall = 0, cpu = 0;
    for (int i = 0; i < runs; ++i) {
        const ULONGLONG start = GetTickCount64();
        const double before = ProcessorSeconds();
        wait();
        cpu += ProcessorSeconds() - before;
        wall += static_cast<double>(GetTickCount64() - start) / 1000.0;
    }
    std::printf("| %s | %.2f | %.3f | %.1f %% |\n", name, wall / runs, cpu / runs, 100.0 * cpu / wall);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_execute_and_wait <program> [runs]\n");
        return 2;
    }
    const std::wstring program = argv[1];
    const int runs = argc > 2 ? _wtoi(argv[2]) : 3;
    const std::wstring only = argc > 3 ? argv[3] : L"";
    if (only != L"poll")
        Measure("ExecuteAndWait (sleeps on the process and the message queue)",
                [&] { ExecuteAndWait(program, L"", false); }, runs);
    if (only != L"wait") Measure("busy polling of the exit code", [&] { BusyPollingWait(program); }, runs);
    return 0;
}
