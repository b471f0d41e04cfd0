// Program entry: settings paths, window classes, the main window, the message loop.
#include "app/main/project_manager_win.h"
#include "app/settings_win.h"

#include <commctrl.h>

#include <memory>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    vexa::initAppGlobals(instance);
    if (!vexa::registerMainWindowClass(instance) || !vexa::registerMapViewClasses(instance)) return 0;
    HACCEL accelerators = LoadAcceleratorsW(instance, L"ORLOED_ACC");

    auto project = std::make_unique<vexa::ProjectManager>();
    if (!project->create(commandLine, showCommand)) return 0;

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(project->hwnd, accelerators, &msg)) continue;
        if (project->levels.isPageMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
