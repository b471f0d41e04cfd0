#include "stage/object_page_win.h"

#include "app/settings_win.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr const wchar_t* kMapViewSection = L"MapView";

} // namespace

INT_PTR ObjectPage::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        enableTabTexture(window);
        onInitPage();
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id != look.listId) return onPageCommand(id, code) ? TRUE : FALSE;
        if (code == LBN_SELCHANGE) onListSelectionChange();
        if (code == LBN_DBLCLK) centreOnListSelection();
        return TRUE;
    }
    default: return FALSE;
    }
}

bool ObjectPage::initialize() {
    drawing.create(look.colour, look.selectionColour);
    appGlobals().config.load(settings());
    host.setMenuCheck(look.viewCommand, shownOnMap);
    return true;
}

void ObjectPage::saveSettings() {
    appGlobals().config.save(settings());
}

std::array<IntSetting, 1> ObjectPage::settings() {
    return {{{kMapViewSection, look.shownKey, 1, &shownOnMap}}};
}

void ObjectPage::enable(bool open) {
    enableControls(hwnd, look.controls, open);
}

bool ObjectPage::toggleShown() {
    shownOnMap = !shownOnMap;
    host.setMenuCheck(look.viewCommand, shownOnMap);
    if (!shownOnMap) selectedIndex = -1;
    host.invalidateMap();
    return true;
}

void ObjectPage::setListRedraw(bool on) {
    SendMessageW(list(), WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) InvalidateRect(list(), nullptr, TRUE);
}

void ObjectPage::rebuildLines(int from) {
    const HWND lines = list();
    setListRedraw(false);
    if (from <= 0) SendMessageW(lines, LB_RESETCONTENT, 0, 0);
    while (SendMessageW(lines, LB_GETCOUNT, 0, 0) > from)
        SendMessageW(lines, LB_DELETESTRING, static_cast<WPARAM>(from), 0);
    for (int index = std::max(from, 0); index < itemCount(); ++index)
        SendMessageW(lines, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lineText(index).c_str()));
    setListRedraw(true);
}

void ObjectPage::setLine(int index) {
    if (!hasItem(index)) return;
    setListRedraw(false);
    replaceListLine(list(), index, lineText(index));
    setListRedraw(true);
}

void ObjectPage::selectLine(int index) {
    const HWND lines = list();
    const bool isLine = index >= 0 && index < SendMessageW(lines, LB_GETCOUNT, 0, 0);
    SendMessageW(lines, LB_SETCURSEL, isLine ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

// A line chosen in the list shows its entry, and marks it on the map while the layer
// is shownOnMap.
void ObjectPage::onListSelectionChange() {
    const int index = listSelection();
    if (!hasItem(index)) return;
    showItem(index);
    if (!shownOnMap) return;
    selectedIndex = index;
    host.clearOtherSelections(look.kind);
    host.invalidateMap();
}

void ObjectPage::centreOnListSelection() {
    POINT at;
    if (anchorOf(listSelection(), at)) host.centerOn(at.x, at.y);
}

} // namespace vexa
