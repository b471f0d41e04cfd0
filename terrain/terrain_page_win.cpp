#include "terrain/terrain_page_win.h"

#include "app/ini_file.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "stage/map_info.h"
#include "stage/object_page_tools_win.h"
#include "ui/texts.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr int kToolButtons[kTerrainToolCount] = {IDC_TERRAIN_PEN, IDC_TERRAIN_RECTANGLE, IDC_TERRAIN_FILL,
                                                 IDC_TERRAIN_SELECT};
constexpr int kEditControls[] = {IDC_TERRAIN_WORD_LABEL, IDC_TERRAIN_WORD,   IDC_TERRAIN_CHIP,
                                 IDC_TERRAIN_TOOLS,      IDC_TERRAIN_PEN,    IDC_TERRAIN_RECTANGLE,
                                 IDC_TERRAIN_FILL,       IDC_TERRAIN_SELECT, IDC_TERRAIN_PALETTE};
// The chip at twice its size, inside a one-pixel frame.
constexpr int kChipShown = 2 * kTileSize;
constexpr int kChipFrame = kChipShown + 2;

} // namespace

std::array<IntSetting, 1> TerrainPage::settings() {
    return {{{L"Terrain", L"Tool", 0, &toolSetting}}};
}

void TerrainPage::loadSettings() {
    appGlobals().config.load(settings());
    toolSetting = std::clamp(toolSetting, 0, kTerrainToolCount - 1);
}

void TerrainPage::saveSettings() {
    appGlobals().config.save(settings());
}

INT_PTR TerrainPage::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        enableTabTexture(window);
        onInit();
        return TRUE;
    case WM_COMMAND: return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_DRAWITEM: drawChip(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    default: return FALSE;
    }
}

void TerrainPage::onInit() {
    SendDlgItemMessageW(hwnd, IDC_TERRAIN_WORD, EM_SETLIMITTEXT, 4, 0);
    // The preview shows each chip pixel as two by two screen pixels, whatever the
    // dialog's font makes of its units.
    if (HWND chip = GetDlgItem(hwnd, IDC_TERRAIN_CHIP)) {
        RECT place{};
        GetWindowRect(chip, &place);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&place), 2);
        MoveWindow(chip, place.left, place.top, kChipFrame, kChipFrame, FALSE);
    }
    CheckRadioButton(hwnd, IDC_TERRAIN_PEN, IDC_TERRAIN_SELECT, kToolButtons[toolSetting]);
    showWord(editor.currentWord());
    updateEnabled();
}

bool TerrainPage::onCommand(int id, int code) {
    switch (id) {
    case IDOK: takeTypedWord(); return true;
    case IDC_TERRAIN_PALETTE:
        if (code == BN_CLICKED && onShowPalette) onShowPalette();
        return true;
    default: break;
    }
    for (int tool = 0; tool < kTerrainToolCount; ++tool)
        if (id == kToolButtons[tool] && code == BN_CLICKED) {
            chooseTool(static_cast<TerrainToolKind>(tool));
            return true;
        }
    return false;
}

// Enter in the word field: Enter anywhere else on the page does nothing.
void TerrainPage::takeTypedWord() {
    if (GetFocus() != GetDlgItem(hwnd, IDC_TERRAIN_WORD)) return;
    const std::optional<std::uint16_t> word = parseTileWord(fieldText(hwnd, IDC_TERRAIN_WORD));
    if (!word) {
        editor.tell(text(IDS_BAD_WORD));
        showWord(editor.currentWord());
        SetFocus(GetDlgItem(hwnd, IDC_TERRAIN_WORD));
        SendDlgItemMessageW(hwnd, IDC_TERRAIN_WORD, EM_SETSEL, 0, -1);
        return;
    }
    editor.setCurrentWord(*word);
    SendDlgItemMessageW(hwnd, IDC_TERRAIN_WORD, EM_SETSEL, 0, -1);
}

void TerrainPage::chooseTool(TerrainToolKind kind) {
    toolSetting = static_cast<int>(kind);
    if (hwnd) CheckRadioButton(hwnd, IDC_TERRAIN_PEN, IDC_TERRAIN_SELECT, kToolButtons[toolSetting]);
    if (onToolChosen) onToolChosen(kind);
}

void TerrainPage::showWord(std::uint16_t word) {
    if (!hwnd) return;
    const std::wstring text = hexText4(word);
    setFieldText(hwnd, IDC_TERRAIN_WORD, text);
    // The preview keeps the word as its text, for what reads the page's controls.
    setFieldText(hwnd, IDC_TERRAIN_CHIP, text);
    InvalidateRect(GetDlgItem(hwnd, IDC_TERRAIN_CHIP), nullptr, FALSE);
}

void TerrainPage::showTerrain(const BitmapBuffer* shownChips) {
    chips = shownChips;
    if (!hwnd) return;
    setFieldText(hwnd, IDC_TERRAIN_INFO, open ? editor.overview().text : std::wstring());
    updateEnabled();
    InvalidateRect(GetDlgItem(hwnd, IDC_TERRAIN_CHIP), nullptr, FALSE);
}

void TerrainPage::enable(bool isOpen) {
    open = isOpen;
    if (!hwnd) return;
    if (!open) setFieldText(hwnd, IDC_TERRAIN_INFO, L"");
    updateEnabled();
}

void TerrainPage::updateEnabled() {
    enableControls(hwnd, kEditControls, open && editor.editable());
}

void TerrainPage::drawChip(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    const RECT& all = item.rcItem;
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNSHADOW));
    const RECT inside{all.left + 1, all.top + 1, all.left + 1 + kChipShown, all.top + 1 + kChipShown};
    const bool drawable = open && editor.editable() && chips && chips->dc && !chips->pixels.empty();
    if (!drawable) {
        FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    const std::uint16_t cell = chipCellOf(editor.currentWord());
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, inside.left, inside.top, kChipShown, kChipShown, chips->dc, (cell & 0xFF) * kTileSize,
               (cell >> 8) * kTileSize, kTileSize, kTileSize, SRCCOPY);
}

} // namespace vexa
