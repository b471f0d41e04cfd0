// The map view's mouse: the left button goes to the tool in use, the middle button
// pans, and the cursor over the map is the tool's where it sets one.
#include "stage/view/level_manager_win.h"

#include "stage/map_zoom.h"

namespace vexa {

POINT LevelManager::viewPoint(int clientX, int clientY) const {
    return {clientX + hScroll.state.position, clientY + vScroll.state.position};
}

POINT LevelManager::mapPoint(int clientX, int clientY) const {
    const POINT view = viewPoint(clientX, clientY);
    return {static_cast<LONG>(viewToMap(view.x, zoom)), static_cast<LONG>(viewToMap(view.y, zoom))};
}

MapPointer LevelManager::pointerAt(WPARAM keys, int clientX, int clientY) const {
    return {{clientX, clientY}, mapPoint(clientX, clientY), viewPoint(clientX, clientY), keys};
}

void LevelManager::onSetCursor(LPARAM lParam) {
    if (tool->active()) return;
    const int hit = LOWORD(lParam);
    if (hit == HTCLIENT) {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(hwnd, &cursor);
        if (tool->hover(mapPoint(cursor.x, cursor.y))) return;
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    } else if (hit == HTHSCROLL || hit == HTVSCROLL) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
}

// Panning and dragging each hold the mouse capture; while one runs, the other
// button's press is ignored, so that neither ends the other's capture.
void LevelManager::onMiddleButtonDown(int x, int y) {
    if (!tool->active()) pan.begin({x, y});
}

void LevelManager::onButtonDown(MapButton button, WPARAM keys, int x, int y) {
    if (pan.isActive()) return;
    tool->press(button, pointerAt(keys, x, y));
}

void LevelManager::onMouseMove(WPARAM keys, int x, int y) {
    mapEdits.pointerMoved(x, y);
    tool->move(pointerAt(keys, x, y));
}

void LevelManager::onButtonUp(MapButton button, WPARAM keys, int x, int y) {
    tool->release(button, pointerAt(keys, x, y));
}

// Alt+Tab, a message box or another window taking the mouse ends whatever held it:
// panning stops, and a drag is cancelled with its object back where it was.
void LevelManager::onCaptureLost() {
    pan.end();
    tool->cancel();
}

void LevelManager::captureMouse() {
    SetCapture(hwnd);
}

// Called once the press has ended: the release reports the lost capture back to this
// window, which cancels whatever still holds the mouse.
void LevelManager::releaseMouse() {
    if (GetCapture() == hwnd) ReleaseCapture();
}

} // namespace vexa
