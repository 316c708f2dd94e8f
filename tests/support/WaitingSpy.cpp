// Plays the waiting program for tests that need to see it come and go: it shows no window on screen but has a
// top-level window of the waiting program's title, appends "start <command line>" to "<its own path>.log" when it
// starts and "close" once it has closed its window on request, and then ends.
#include <windows.h>

#include <string>

namespace {

std::wstring g_log;

void Append(const std::wstring& text) {
    const std::wstring line = text + L"\r\n";
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr, nullptr);
    HANDLE file = CreateFileW(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        // Gone before it is told, so that a later look for the title cannot find this window any more.
        DestroyWindow(hwnd);
        Append(L"close");
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    g_log = std::wstring(self, n) + L".log";

    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"ZzWaitingSpy";
    RegisterClassW(&wc);
    // Told before the window exists: whoever finds the window finds the start in the log.
    Append(std::wstring(L"start ") + GetCommandLineW());
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"ZeltoWaitting_FRM", WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
