// The map view's zoom and grid. The visible part is composed at map scale and
// scaled onto the window in one nearest-neighbour step, so every zoom costs one
// composition of at most the map pixels in view, and the map stays crisp.
#include "stage/view/level_manager_win.h"

#include "resources/resource_ids.h"
#include "stage/map_zoom.h"
#include "stage/view/stage_owner_win.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr int kCellSize = 32;
// White over the terrain at this opacity: the line shows on dark and light cells
// alike and the cell stays readable through it.
constexpr BYTE kGridOpacity = 96;

int zoomCommand(int percent) {
    return IDM_VIEW_ZOOM_50 + std::max(0, zoomIndex(percent));
}

} // namespace

bool LevelManager::handleZoomCommand(int command) {
    if (command == IDM_VIEW_GRID) {
        showGrid = !showGrid;
        showZoomAndGrid();
        invalidateView();
        return true;
    }
    if (command < IDM_VIEW_ZOOM_50 || command > IDM_VIEW_ZOOM_300) return false;
    zoomAroundCentre(kZoomLevels[static_cast<std::size_t>(command - IDM_VIEW_ZOOM_50)]);
    return true;
}

// Ctrl with + or - steps the zoom, Ctrl+0 goes back to 100%. These give no WM_CHAR.
bool LevelManager::onZoomKey(WPARAM key) {
    if (GetKeyState(VK_CONTROL) >= 0 || !owner->romDocument().loaded) return false;
    switch (key) {
    case VK_OEM_PLUS:
    case VK_ADD: zoomAroundCentre(steppedZoom(zoom, 1)); return true;
    case VK_OEM_MINUS:
    case VK_SUBTRACT: zoomAroundCentre(steppedZoom(zoom, -1)); return true;
    case '0':
    case VK_NUMPAD0: zoomAroundCentre(kDefaultZoom); return true;
    default: return false;
    }
}

void LevelManager::zoomAroundCentre(int percent) {
    setZoom(percent, {hScroll.state.page / 2, vScroll.state.page / 2});
}

void LevelManager::setZoom(int percent, POINT anchor) {
    percent = validZoom(percent);
    // A press holds map points of the old zoom; the zoom waits until it ends.
    if (percent == zoom || isDragging()) return;
    const int x =
        anchoredScroll(hScroll.state.position, anchor.x, zoom, percent, widthTiles * kCellSize, hScroll.state.page);
    const int y =
        anchoredScroll(vScroll.state.position, anchor.y, zoom, percent, heightTiles * kCellSize, vScroll.state.page);
    zoom = percent;
    showMapExtent({x, y});
    showZoomAndGrid();
    fitOffscreen();
    invalidateView();
}

void LevelManager::showMapExtent(POINT position) {
    RECT client;
    GetClientRect(hwnd, &client);
    auto extent = [this](int cells) {
        return static_cast<int>(mapToView(static_cast<std::int64_t>(cells) * kCellSize, zoom)) - 1;
    };
    hScroll.setAll(extent(widthTiles), client.right, position.x);
    vScroll.setAll(extent(heightTiles), client.bottom, position.y);
    const int step = static_cast<int>(mapToView(kCellSize, zoom));
    hScroll.state.lineStep = step;
    vScroll.state.lineStep = step;
}

void LevelManager::showZoomAndGrid() {
    HMENU menu = GetMenu(mainWindow());
    CheckMenuRadioItem(menu, IDM_VIEW_ZOOM_50, IDM_VIEW_ZOOM_300, static_cast<UINT>(zoomCommand(zoom)), MF_BYCOMMAND);
    CheckMenuItem(menu, IDM_VIEW_GRID, MF_BYCOMMAND | (showGrid ? MF_CHECKED : MF_UNCHECKED));
}

bool LevelManager::isInView(int x, int y) const {
    auto within = [this](int at, const ScrollBar& bar) {
        const std::int64_t view = mapToView(at, zoom);
        return view >= bar.state.position && view < static_cast<std::int64_t>(bar.state.position) + bar.state.page;
    };
    return within(x, hScroll) && within(y, vScroll);
}

void LevelManager::paintZoomed(HDC dc, const RECT& paint) {
    const int h = hScroll.state.position;
    const int v = vScroll.state.position;
    const ZoomBlit blit = zoomBlit({paint.left + h, paint.top + v, paint.right + h, paint.bottom + v}, zoom);
    const int width = static_cast<int>(blit.map.right - blit.map.left);
    const int height = static_cast<int>(blit.map.bottom - blit.map.top);
    // Below 100% the map part in view is larger than the window: the buffer grows.
    if (!ensureOffscreen(width + 1, height + 1)) {
        // No memory for it: the view shows the background rather than whatever lay
        // there before.
        FillRect(dc, &paint, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        return;
    }
    const RECT drawing{static_cast<LONG>(blit.map.left), static_cast<LONG>(blit.map.top),
                       static_cast<LONG>(blit.map.right) + 1, static_cast<LONG>(blit.map.bottom) + 1};
    composeMap(offscreen.dc, drawing, showGrid, true);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, static_cast<int>(blit.view.left) - h, static_cast<int>(blit.view.top) - v,
               static_cast<int>(blit.view.right - blit.view.left), static_cast<int>(blit.view.bottom - blit.view.top),
               offscreen.dc, 0, 0, width, height, SRCCOPY);
}

bool LevelManager::ensureOffscreen(int width, int height) {
    if (offscreen.dc && width <= offscreenSize.cx && height <= offscreenSize.cy) return true;
    const SIZE wanted{std::max<LONG>(width, offscreenSize.cx), std::max<LONG>(height, offscreenSize.cy)};
    if (static_cast<std::int64_t>(wanted.cx) * wanted.cy > offscreenPixelLimit) return false;
    offscreen.release();
    HDC dc = GetDC(hwnd);
    const bool ok = offscreen.create(dc, wanted.cx, wanted.cy);
    ReleaseDC(hwnd, dc);
    offscreenSize = ok ? wanted : SIZE{};
    return ok;
}

void LevelManager::fitOffscreen() {
    RECT client;
    GetClientRect(hwnd, &client);
    // A client-wide paint at any scroll position, as paintZoomed asks for it.
    const SIZE needed{static_cast<LONG>(viewToMap(client.right, zoom)) + 3,
                      static_cast<LONG>(viewToMap(client.bottom, zoom)) + 3};
    if (offscreenSize.cx <= needed.cx && offscreenSize.cy <= needed.cy) return;
    offscreen.release();
    offscreenSize = {};
    ensureOffscreen(needed.cx, needed.cy);
}

// Lines along each cell's left and top edge, at map scale so they stay on the cell
// edges at every zoom. Below 100% a line is as many map pixels wide as one screen
// pixel holds, so the nearest-neighbour reduction cannot drop it.
void LevelManager::drawGrid(HDC target, const RECT& drawing) const {
    const int width = widthTiles * kCellSize;
    const int height = heightTiles * kCellSize;
    const int thickness = std::max(1, 100 / zoom);
    HDC white = CreateCompatibleDC(target);
    HBITMAP pixel = CreateCompatibleBitmap(target, 1, 1);
    HGDIOBJ old = SelectObject(white, pixel);
    PatBlt(white, 0, 0, 1, 1, WHITENESS);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, kGridOpacity, 0};
    auto line = [&](int x0, int y0, int x1, int y1) {
        const int left = std::max<int>(x0, drawing.left);
        const int top = std::max<int>(y0, drawing.top);
        const int right = std::min<int>(x1, drawing.right);
        const int bottom = std::min<int>(y1, drawing.bottom);
        if (left < right && top < bottom)
            GdiAlphaBlend(target, left - drawing.left, top - drawing.top, right - left, bottom - top, white, 0, 0, 1, 1,
                          blend);
    };
    const int firstColumn = std::max<int>(0, drawing.left / kCellSize);
    for (int x = firstColumn * kCellSize; x < std::min<int>(width, drawing.right); x += kCellSize)
        line(x, 0, x + thickness, height);
    const int firstRow = std::max<int>(0, drawing.top / kCellSize);
    for (int y = firstRow * kCellSize; y < std::min<int>(height, drawing.bottom); y += kCellSize)
        line(0, y, width, y + thickness);
    SelectObject(white, old);
    DeleteObject(pixel);
    DeleteDC(white);
}

} // namespace vexa
