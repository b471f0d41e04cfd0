#include "stage/level_select_dialog_win.h"

#include "app/settings_win.h"
#include "resource_ids.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace vexa {

namespace {

constexpr std::size_t kNameChars = 64;
// The stage table holds one 16-bit word per stage in a single bank, so no more
// stages than this can be told apart. The cap also keeps a mistyped Count from
// freezing the dialog while it fills billions of lines.
constexpr int kMaxStageCount = 0x8000;

std::wstring stageLine(const RomInfo& info, int stage) {
    const std::string key = hexKey2(stage);
    return std::wstring(key.begin(), key.end()) + L": " + nameText(info.levelName(stage), L"?", kNameChars);
}

} // namespace

INT_PTR LevelSelectDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: fillList(window, static_cast<int>(lParam)); return TRUE;
    case WM_COMMAND: return onCommand(window, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}

void LevelSelectDialog::fillList(HWND window, int initialStage) {
    const HWND list = GetDlgItem(window, IDC_LEVEL_LIST);
    const RomInfo info = romInfo();
    const int count = std::min(info.stageCount(), kMaxStageCount);
    for (int stage = 0; stage < count; ++stage)
        SendMessageW(list, LB_INSERTSTRING, stage, reinterpret_cast<LPARAM>(stageLine(info, stage).c_str()));
    // An initial stage outside the list leaves nothing selected.
    SendMessageW(list, LB_SETCURSEL, initialStage, 0);
}

INT_PTR LevelSelectDialog::onCommand(HWND window, int id, int code) {
    switch (id) {
    case IDOK: EndDialog(window, SendDlgItemMessageW(window, IDC_LEVEL_LIST, LB_GETCURSEL, 0, 0)); return TRUE;
    case IDCANCEL: EndDialog(window, -1); return TRUE;
    case IDC_LEVEL_LIST:
        if (code != LBN_DBLCLK) return FALSE;
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
        return TRUE;
    default: return FALSE;
    }
}

} // namespace vexa
