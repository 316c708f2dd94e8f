#include <windows.h>
#include <shellapi.h>

#include <string>

#include "common/Handle.h"
#include "waiting/Waitting_UNT.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring message;
    int argc = 0;
    zz::unique_hlocal arguments(CommandLineToArgvW(GetCommandLineW(), &argc));
    if (arguments && argc > 1) message = static_cast<wchar_t**>(arguments.get())[1];
    TForm1 form(message);
    if (!form.Create()) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
