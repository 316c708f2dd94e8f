// Plays one of the programs that the toolbox only starts (the software updater, the remote-support program, and in
// tests "sc" or any other tool): it appends the command line it was started with to "<its own path>.log"; when
// "<its own path>.wait" holds a number of milliseconds it then runs that long; last it appends the show mode it was
// asked for to "<its own path>.show" and ends.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/Handle.h"

namespace {

void Append(const std::wstring& path, const std::string& line) {
    zz::unique_file file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string Utf8(const wchar_t* text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string line(static_cast<size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, line.data(), bytes, nullptr, nullptr);
    return line;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring base(self, n);
    Append(base + L".log", Utf8(GetCommandLineW()) + "\r\n");
    DWORD ms = 0;
    if (std::ifstream wait(std::filesystem::path(base + L".wait")); wait >> ms) Sleep(ms);
    Append(base + L".show", std::to_string(show) + "\r\n");
    return 0;
}
