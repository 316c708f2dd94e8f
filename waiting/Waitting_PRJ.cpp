#include <windows.h>
#include <shellapi.h>

#include <string>

#include "waiting/Waitting_UNT.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring message;
    int argc = 0;
    if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        if (argc > 1) message = argv[1];
        LocalFree(argv);
    }
    TForm1 form(message);
    if (!form.Create()) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
