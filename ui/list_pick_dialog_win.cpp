#include "ui/list_pick_dialog_win.h"

namespace vexa {

void fillListLines(HWND list, int count, const std::function<std::wstring(int)>& line) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (count > 0) SendMessageW(list, LB_INITSTORAGE, static_cast<WPARAM>(count), static_cast<LPARAM>(count) * 64);
    for (int i = 0; i < count; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line(i).c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

INT_PTR ListPickDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: fillList(window, lParam); return TRUE;
    case WM_COMMAND: return onCommand(window, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}

void ListPickDialog::fillList(HWND window, LPARAM initParam) const {
    const HWND list = GetDlgItem(window, listId);
    const int count = lineCount();
    fillListLines(list, count, [this](int line) { return lineText(line); });
    const int initial = initialLine(initParam);
    const bool isLine = initial >= 0 && initial < count;
    SendMessageW(list, LB_SETCURSEL, isLine ? static_cast<WPARAM>(initial) : static_cast<WPARAM>(-1), 0);
}

INT_PTR ListPickDialog::onCommand(HWND window, int id, int code) const {
    if (id == IDOK) {
        const auto line = static_cast<int>(SendDlgItemMessageW(window, listId, LB_GETCURSEL, 0, 0));
        if (const auto chosen = result(line < 0 ? -1 : line)) EndDialog(window, *chosen);
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndDialog(window, -1);
        return TRUE;
    }
    if (id != listId || code != LBN_DBLCLK) return FALSE;
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    return TRUE;
}

} // namespace vexa
