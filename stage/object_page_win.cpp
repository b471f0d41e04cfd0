#include "stage/object_page_win.h"

#include "app/settings_win.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr const wchar_t* kMapViewSection = L"MapView";

} // namespace

INT_PTR ObjectPage::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        enableTabTexture(window);
        matchLineHeightToFont(list());
        onInitPage();
        return TRUE;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID != static_cast<UINT>(look.listId)) return FALSE;
        drawLine(item);
        return TRUE;
    }
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

void ObjectPage::holdListRedraw(bool hold) {
    SendMessageW(list(), WM_SETREDRAW, hold ? FALSE : TRUE, 0);
    if (!hold) InvalidateRect(list(), nullptr, TRUE);
}

// Lines from `from` on are new: a list rebuilt from its start also scrolls back to
// its top and loses its selection, as an emptied and refilled list would.
void ObjectPage::rebuildLines(int from) {
    const HWND lines = list();
    if (from <= 0) SendMessageW(lines, LB_RESETCONTENT, 0, 0);
    const int count = itemCount();
    if (SendMessageW(lines, LB_GETCOUNT, 0, 0) != count)
        SendMessageW(lines, LB_SETCOUNT, static_cast<WPARAM>(count), 0);
    invalidateLinesFrom(std::max(from, 0));
}

void ObjectPage::setLine(int index) {
    if (!hasItem(index)) return;
    RECT box;
    if (SendMessageW(list(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&box)) != LB_ERR)
        InvalidateRect(list(), &box, TRUE);
}

void ObjectPage::invalidateLinesFrom(int index) const {
    const HWND lines = list();
    RECT client;
    GetClientRect(lines, &client);
    RECT box;
    if (SendMessageW(lines, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&box)) != LB_ERR)
        client.top = std::clamp<LONG>(box.top, 0, client.bottom);
    InvalidateRect(lines, &client, TRUE);
}

void ObjectPage::drawLine(const DRAWITEMSTRUCT& item) const {
    drawListLine(item, line(static_cast<int>(item.itemID)));
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
