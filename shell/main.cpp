#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "ui/Application.h"
#include "shell/Main_UNT.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    std::wstring firstParameter;
    int argc = 0;
    if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        if (argc > 1) firstParameter = argv[1];
        LocalFree(argv);
    }

    TMain_frm mainForm(firstParameter);
    zz::Guarded([&] { mainForm.CreateAndShow(); });
    if (!mainForm.Handle()) return 1;
    return zz::Application::Run();
}
