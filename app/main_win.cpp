// Program entry: settings paths, the main window, the message loop.
#include "app/main_window_win.h"
#include "app/settings_win.h"

#include <windows.h>
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    vexa::initAppGlobals(instance);
    if (!vexa::registerMainWindowClass(instance)) return 0;

    vexa::MainWindow window;
    if (!window.create(commandLine, showCommand)) return 0;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
