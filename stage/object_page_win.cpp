#include "stage/object_page_win.h"

namespace vexa {

INT_PTR ObjectPage::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        enableTabTexture(window);
        onInitPage();
        return TRUE;
    case WM_COMMAND: return onPageCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    default: return FALSE;
    }
}

} // namespace vexa
