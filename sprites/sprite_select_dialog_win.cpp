#include "sprites/sprite_select_dialog_win.h"

#include "app/settings_win.h"
#include "resource_ids.h"
#include "sprites/sprite_edits.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace vexa {

namespace {

// Types are 16-bit and even, so 0x8000 rows name every one; the cap also keeps a
// mistyped Count from freezing the dialog while it fills billions of rows.
constexpr int kMaxTypeRows = 0x8000;
constexpr std::size_t kNameChars = 256;

std::wstring typeRow(const RomInfo& info, int row) {
    const int type = 2 * row;
    return hexText4(type) + L": " + nameText(info.spriteTypeName(type), L"?", kNameChars);
}

} // namespace

INT_PTR SpriteSelectDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: fillList(window, lParam); return TRUE;
    case WM_COMMAND: return onCommand(window, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}

void SpriteSelectDialog::fillList(HWND window, LPARAM startType) {
    const HWND list = GetDlgItem(window, IDC_SPRITE_SELECT_LIST);
    const RomInfo info = romInfo();
    const int rows = std::min(info.spriteTypeCount(), kMaxTypeRows);
    for (int row = 0; row < rows; ++row)
        SendMessageW(list, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(typeRow(info, row).c_str()));
    // A start type whose half is not a row leaves nothing selected.
    const auto startRow = static_cast<std::uint64_t>(startType) >> 1;
    const bool isRow = startRow < static_cast<std::uint64_t>(std::max(rows, 0));
    SendMessageW(list, LB_SETCURSEL, isRow ? static_cast<WPARAM>(startRow) : static_cast<WPARAM>(-1), 0);
}

INT_PTR SpriteSelectDialog::onCommand(HWND window, int id, int code) {
    switch (id) {
    case IDOK: {
        const LRESULT row = SendDlgItemMessageW(window, IDC_SPRITE_SELECT_LIST, LB_GETCURSEL, 0, 0);
        if (row >= 0) EndDialog(window, row * 2);
        return TRUE;
    }
    case IDCANCEL: EndDialog(window, -1); return TRUE;
    case IDC_SPRITE_SELECT_LIST:
        if (code != LBN_DBLCLK) return FALSE;
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
        return TRUE;
    default: return FALSE;
    }
}

} // namespace vexa
