#include "stage/view/level_manager_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "stage/level_select_dialog_win.h"
#include "stage/map_look.h"
#include "stage/map_zoom.h"
#include "stage/view/stage_owner_win.h"
#include "ui/dpi_win.h"

#include <windowsx.h>

namespace vexa {

namespace {

constexpr const wchar_t* kClassName = L"orloed_mapview";
constexpr const wchar_t* kSection = L"MapView";
constexpr int kDefaultStage = 37;
constexpr UINT_PTR kPanTimer = 1;
constexpr int kCtrlScroll = 256;

} // namespace

bool registerMapViewClasses(HINSTANCE instance) {
    return registerWindowClass(instance, kClassName, CS_DBLCLKS, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))) &&
           registerInspectorClass(instance);
}

LevelManager::LevelManager(StageOwner* owner)
    : owner(owner), host(owner, this), sprites(host), bananas(host), cameras(host), inspector(nullptr) {
    tilemap.attach(&host);
    connectTerrain();
}

LevelManager::~LevelManager() {
    pan.end();
    offscreen.release();
}

HWND LevelManager::mainWindow() const {
    return owner->mainWindow();
}

bool LevelManager::isPageMessage(MSG* msg) {
    for (MyDialog* page : {static_cast<MyDialog*>(&sprites), static_cast<MyDialog*>(&bananas),
                           static_cast<MyDialog*>(&cameras), static_cast<MyDialog*>(&terrainPage)})
        if (page->hwnd && IsDialogMessageW(page->hwnd, msg)) return true;
    return false;
}

std::span<std::uint8_t> LevelManager::romImage() const {
    return owner->romDocument().image;
}

std::array<IntSetting, 3> LevelManager::settings() {
    return {{{kSection, L"LevelNumber", kDefaultStage, &stageNumber},
             {kSection, L"Zoom", kDefaultZoom, &zoom},
             {kSection, L"ShowGrid", 0, &showGrid}}};
}

bool LevelManager::createView(HWND main) {
    appGlobals().config.load(settings());
    zoom = validZoom(zoom);
    if (!CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0,
                         main, nullptr, appInstance(), static_cast<MyWindow*>(this)))
        return false;
    terrainPage.loadSettings();
    terrainTool.kind = terrainPage.tool();
    TabPage* const pages[] = {&sprites, &bananas, &cameras, &terrainPage};
    if (!inspector.create(pages, main) || !chipPalette.create(main)) return false;
    applyDpi(windowDpi(hwnd));
    return true;
}

void LevelManager::applyLanguage() {
    inspector.applyLanguage(currentLanguage());
    chipPalette.applyLanguage();
    if (!owner->romDocument().loaded) return;
    markObjects(marks());
    showTerrainRead();
    mapEdits.refreshPointer();
    mapEdits.refreshRoom();
}

void LevelManager::applyDpi(UINT dpi) {
    setObjectLookPercent(scaledForDpi(100, dpi));
    for (ObjectLayer* layer : layers)
        layer->lookChanged();
    invalidateView();
}

LRESULT LevelManager::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate();
    case WM_DESTROY: onDestroy(); return 0;
    case WM_SIZE:
        hScroll.resizePage(LOWORD(lParam));
        vScroll.resizePage(HIWORD(lParam));
        return 0;
    case WM_PAINT: onPaint(); return 0;
    case WM_SETCURSOR: onSetCursor(lParam); return TRUE;
    case WM_KEYDOWN:
        if (onKeyDown(wParam)) return 0;
        break;
    case WM_CHAR:
        if (onChar(wParam)) return 0;
        break;
    case WM_TIMER:
        if (wParam == kPanTimer && pan.tick()) return 0;
        break;
    case WM_HSCROLL: hScroll.onScroll(wParam); return 0;
    case WM_VSCROLL: vScroll.onScroll(wParam); return 0;
    case WM_MOUSEMOVE: onMouseMove(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSELEAVE:
        mapEdits.pointerLeft();
        terrainTool.pointerLeft();
        return 0;
    case WM_LBUTTONDOWN: onButtonDown(MapButton::Left, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONDBLCLK:
        onButtonDown(MapButton::Left, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        mapEdits.onDoubleClick();
        return 0;
    case WM_LBUTTONUP: onButtonUp(MapButton::Left, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_RBUTTONDOWN: onButtonDown(MapButton::Right, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_RBUTTONUP: onButtonUp(MapButton::Right, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MBUTTONDOWN: onMiddleButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MBUTTONUP: pan.end(); return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd) onCaptureLost();
        return 0;
    case WM_MOUSEWHEEL: onMouseWheel(wParam, lParam); return 0;
    default: break;
    }
    return MyWindow::handleMessage(window, message, wParam, lParam);
}

LRESULT LevelManager::onCreate() {
    bool ok = ensureOffscreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (ok) {
        HMENU stageMenu = GetSubMenu(GetMenu(mainWindow()), MENU_POS_STAGE);
        recentLevels.load(GetSubMenu(stageMenu, MENU_POS_RECENT_STAGES));
        ok = tilemap.initialize();
        for (ObjectLayer* layer : layers)
            ok = ok && layer->initialize();
    }
    if (!ok) return -1;
    showZoomAndGrid();
    for (ScrollBar* bar : {&hScroll, &vScroll}) {
        bar->setAll(0, 1, 0);
        bar->state.lineStep = 32;
    }
    return 0;
}

void LevelManager::onDestroy() {
    pan.end();
    appGlobals().config.save(settings());
    recentLevels.save();
    tilemap.saveSettings();
    for (ObjectLayer* layer : layers)
        layer->saveSettings();
    terrainPage.saveSettings();
    offscreen.release();
    if (inspector.hwnd && IsWindow(inspector.hwnd)) DestroyWindow(inspector.hwnd);
    if (chipPalette.hwnd && IsWindow(chipPalette.hwnd)) DestroyWindow(chipPalette.hwnd);
}

void LevelManager::enableStageView(bool open) {
    HMENU menu = GetMenu(mainWindow());
    const UINT state = open ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(GetSubMenu(menu, MENU_POS_VIEW), MENU_POS_VIEW_MAP, MF_BYPOSITION | state);
    for (int id : {IDM_VIEW_SPRITES, IDM_VIEW_BANANAS, IDM_VIEW_CAMERAS, IDM_VIEW_GRID, IDM_VIEW_ZOOM_50,
                   IDM_VIEW_ZOOM_100, IDM_VIEW_ZOOM_200, IDM_VIEW_ZOOM_300, IDM_STAGE_SELECT, IDM_EDIT_TERRAIN})
        EnableMenuItem(menu, id, MF_BYCOMMAND | state);
    EnableMenuItem(GetSubMenu(menu, MENU_POS_STAGE), MENU_POS_RECENT_STAGES, MF_BYPOSITION | state);
    ShowWindow(hwnd, open ? SW_SHOW : SW_HIDE);
    for (ObjectLayer* layer : layers)
        layer->enable(open);
    terrainPage.enable(open);
    if (!open) chipPalette.setTerrain(nullptr, {});
}

bool LevelManager::handleCommand(int command) {
    if (const auto stage = recentLevels.entryForCommand(command)) {
        openStage(*stage);
        return true;
    }
    if (command >= IDM_RECENT_STAGE_FIRST && command <= IDM_RECENT_STAGE_LAST) return true;
    if (command == IDM_RECENT_STAGE_CLEAR) {
        recentLevels.clear();
        return true;
    }
    if (tilemap.handleCommand(command) || handleZoomCommand(command) || mapEdits.handleCommand(command)) return true;
    switch (command) {
    case IDM_VIEW_SPRITES: return sprites.toggleShown();
    case IDM_VIEW_BANANAS: return bananas.toggleShown();
    case IDM_VIEW_CAMERAS: return cameras.toggleShown();
    case IDM_STAGE_SELECT: selectStage(); return true;
    case IDM_EDIT_TERRAIN:
        if (owner->romDocument().loaded) toggleTerrainMode();
        return true;
    default: return false;
    }
}

void LevelManager::selectStage() {
    LevelSelectDialog dialog(host.romInfo());
    const INT_PTR chosen = dialog.runModal(mainWindow(), static_cast<LPARAM>(stageNumber));
    if (chosen != -1) openStage(static_cast<int>(chosen));
}

void LevelManager::openStage(int stage) {
    stageNumber = stage;
    loadCurrentStage();
}

void LevelManager::loadCurrentStage() {
    // A held object belongs to the list being replaced.
    tool->cancel();
    const std::array<ObjectPage*, 3> pages{&sprites, &bananas, &cameras};
    for (ObjectPage* page : pages)
        page->holdListRedraw(true);
    terrainTool.stageLoaded();
    recentLevels.addLevel(stageNumber);
    stageHeader = readStageHeaderOfStage(romImage(), stageNumber);
    sprites.loadStage(stageNumber);
    loadStageMap();
    mapEdits.refreshRoom();
    for (ObjectPage* page : pages)
        page->holdListRedraw(false);
}

void LevelManager::readTerrain() {
    HDC dc = GetDC(hwnd);
    tilemap.loadTilemap(stageHeader, dc);
    ReleaseDC(hwnd, dc);
    widthTiles = tilemap.widthTiles();
    heightTiles = tilemap.heightTiles();
    wheelScrollsVertically = tilemap.rowMajor();
    mapType = tilemap.mapType();
    terrain.terrainRead();
    showTerrainRead();
}

void LevelManager::refreshTerrain() {
    const POINT position = scrollPosition();
    readTerrain();
    showMapExtent(position);
    scrollTo(position);
}

void LevelManager::loadStageMap() {
    readTerrain();
    showMapExtent({0, 0});

    // Banana and camera positions are read by the map type, so they load last.
    bananas.loadStage(stageNumber);
    cameras.loadStage(stageNumber);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void LevelManager::clearObjects() {
    tool->cancel();
    terrainTool.stageLoaded();
    for (ObjectLayer* layer : layers)
        layer->clearObjects();
    mapEdits.refreshRoom();
}

void LevelManager::holdPainting(bool hold) {
    // Letting go of the hold makes the view visible: a hidden view is never held.
    if (hold == paintingHeld || (hold && !(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE))) return;
    paintingHeld = hold;
    for (ObjectPage* page : std::array<ObjectPage*, 3>{&sprites, &bananas, &cameras})
        page->holdListRedraw(hold);
    SendMessageW(hwnd, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
    // The scroll bars may have moved while held: the frame is drawn again too.
    if (!hold) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void LevelManager::invalidateView() {
    InvalidateRect(hwnd, nullptr, TRUE);
    // Every edit of a list and every replay redraws the map, so the room and what lies
    // under the pointer follow here.
    mapEdits.refreshRoom();
    mapEdits.refreshPointer();
}

namespace {

// The lines of several marked objects are taken out of their list with the marks; the
// line of a single one stays, as its fields do.
void unmark(ObjectLayer& layer) {
    const bool several = layer.markCount() > 1;
    layer.selectOnly(-1);
    if (several) layer.showMarks();
}

} // namespace

void LevelManager::clearSelections() {
    for (ObjectLayer* each : layers)
        unmark(*each);
}

void LevelManager::clearSelectionsExcept(PageKind page) {
    for (const ObjectKind other : kObjectKinds)
        if (pageOf(other) != page) unmark(layer(other));
}

KindMarks LevelManager::marks() const {
    KindMarks all;
    for (const ObjectKind kind : kObjectKinds)
        all[indexOf(kind)] = layers[indexOf(kind)]->marked();
    return all;
}

void LevelManager::markObjects(const KindMarks& marked) {
    for (const ObjectKind kind : kObjectKinds) {
        ObjectLayer& each = layer(kind);
        const std::vector<int>& indices = marked[indexOf(kind)];
        const bool shown = kind == ObjectKind::Sprite   ? sprites.isShown()
                           : kind == ObjectKind::Banana ? bananas.isShown()
                                                        : cameras.isShown();
        each.setMarks(shown ? indices : std::vector<int>{});
        if (shown || !indices.empty()) each.showLines(indices);
    }
    invalidateView();
}

void LevelManager::editGroup(GroupEdit what, const KindCounts& counts, const KindMarks& afterUndo,
                             const KindMarks& afterRedo, const std::function<void()>& edits) {
    UndoBuffer& history = owner->undoHistory();
    // Each member's edit rewrites its list line: the lists and the map are drawn once,
    // at the end.
    const bool held = paintingHeld;
    holdPainting(true);
    history.beginGroup();
    edits();
    pushGroup(history, [&](std::vector<std::unique_ptr<UndoMethod>> parts) {
        return std::make_unique<ObjectGroupRecord>(*this, std::move(parts), what, counts, afterUndo, afterRedo);
    });
    markObjects(afterRedo);
    if (!held) holdPainting(false);
}

void LevelManager::recordAsOneStep(GroupEdit what, const std::function<void()>& edits) {
    const KindMarks marked = marks();
    editGroup(what, countsOf(marked), marked, marked, edits);
}

bool LevelManager::selectAll() {
    const int page = inspector.shownPage();
    if (page < 0 || page >= tabIndexOf(PageKind::Terrain)) return false;
    const ObjectKind kind = kObjectKinds[static_cast<std::size_t>(page)];
    ObjectLayer& chosen = layer(kind);
    std::vector<int> all(static_cast<std::size_t>(chosen.objectCount()));
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<int>(i);
    KindMarks marked;
    marked[indexOf(kind)] = std::move(all);
    if (marked[indexOf(kind)].empty()) return false;
    markObjects(marked);
    return true;
}

void LevelManager::showInspectorPage(PageKind page) {
    const int index = tabIndexOf(page);
    SendMessageW(inspector.tabControl, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    // The inspector tells pageShown, which sets the map's mode.
    inspector.showPage(index);
}

void LevelManager::centerOn(int x, int y) {
    hScroll.setPosition(centredScroll(x, zoom, widthTiles * 32, hScroll.state.page));
    vScroll.setPosition(centredScroll(y, zoom, heightTiles * 32, vScroll.state.page));
    invalidateView();
}

// A position kept across a reload or a restore may lie past the end of the map it
// now shows.
void LevelManager::scrollTo(POINT position) {
    hScroll.setPositionInRange(position.x);
    vScroll.setPositionInRange(position.y);
    invalidateView();
}

void LevelManager::onPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    paintZoomed(dc, ps.rcPaint);
    EndPaint(hwnd, &ps);
}

void LevelManager::drawMap(HDC target, const RECT& drawing) {
    composeMap(target, drawing, false, false);
}

// The grid and the tool's marks are the view's alone: the stage picture (drawMap)
// leaves them out.
void LevelManager::composeMap(HDC target, const RECT& drawing, bool grid, bool toolMarks) {
    SelectObject(target, GetStockObject(NULL_PEN));
    SelectObject(target, GetStockObject(LTGRAY_BRUSH));
    Rectangle(target, 0, 0, drawing.right - drawing.left + 1, drawing.bottom - drawing.top + 1);
    tilemap.drawTilemap(drawing, target);
    if (grid) drawGrid(target, drawing);
    // Cameras lie lowest and sprites on top; each kind draws its frames first and
    // its labels in a second pass over all three.
    for (auto it = layers.rbegin(); it != layers.rend(); ++it)
        (*it)->drawFirstPass(target, drawing);
    for (auto it = layers.rbegin(); it != layers.rend(); ++it)
        (*it)->drawSecondPass(target, drawing);
    // What the tool in use shows lies over them all.
    if (toolMarks) tool->overlay(target, drawing);
}

void LevelManager::scrolled(ScrollAxis axis, int position, int page, int oldPosition, int oldPage) {
    const int d = oldPosition - position;
    const bool horizontal = axis == ScrollAxis::Horizontal;
    const int across = horizontal ? vScroll.state.page : hScroll.state.page;
    // Rectangles along the scrolled axis, given as (from, to) and the full width across.
    auto rect = [&](int from, int to) { return horizontal ? RECT{from, 0, to, across} : RECT{0, from, across, to}; };
    const RECT area = rect(0, oldPage);
    ScrollWindowEx(hwnd, horizontal ? d : 0, horizontal ? 0 : d, &area, &area, nullptr, nullptr,
                   SW_INVALIDATE | SW_ERASE);
    if (d > 0) {
        const RECT strip = rect(0, d);
        InvalidateRect(hwnd, &strip, TRUE);
    }
    if (oldPage + d < page) {
        const RECT strip = rect(oldPage + d, page);
        InvalidateRect(hwnd, &strip, TRUE);
    }
    mapEdits.refreshPointer();
}

bool LevelManager::onKeyDown(WPARAM key) {
    if (onZoomKey(key) || mapEdits.onKeyDown(key)) return true;
    if (key == VK_ESCAPE && inTerrainMode() && tool->active()) {
        tool->cancel();
        return true;
    }
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (ctrl)
            hScroll.scrollBy(key == VK_LEFT ? -kCtrlScroll : kCtrlScroll);
        else
            SendMessageW(hwnd, WM_HSCROLL, key == VK_LEFT ? SB_LINELEFT : SB_LINERIGHT, 0);
        return true;
    case VK_UP:
    case VK_DOWN:
        if (ctrl)
            vScroll.scrollBy(key == VK_UP ? -kCtrlScroll : kCtrlScroll);
        else
            SendMessageW(hwnd, WM_VSCROLL, key == VK_UP ? SB_LINEUP : SB_LINEDOWN, 0);
        return true;
    default: return false;
    }
}

bool LevelManager::onChar(WPARAM character) {
    // The View menu's items that these stand for are disabled with no ROM open.
    if (!owner->romDocument().loaded) return false;
    switch (character) {
    case L'b': handleCommand(IDM_VIEW_BANANAS); return true;
    case L'c': handleCommand(IDM_VIEW_CAMERAS); return true;
    case L'g': handleCommand(IDM_VIEW_GRID); return true;
    case L'm': handleCommand(IDM_VIEW_MAP_CYCLE); return true;
    case L's': handleCommand(IDM_VIEW_SPRITES); return true;
    case L't': handleCommand(IDM_EDIT_TERRAIN); return true;
    default: return false;
    }
}

// One line step, or one zoom level with Ctrl, per notch of the wheel.
void LevelManager::onMouseWheel(WPARAM wParam, LPARAM lParam) {
    const bool zooming = (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0;
    // A gesture is one or the other: what the other had gathered is no part of it.
    (zooming ? scrollWheel : zoomWheel).reset();
    const int notches = (zooming ? zoomWheel : scrollWheel).add(GET_WHEEL_DELTA_WPARAM(wParam));
    if (notches == 0) return;
    if (!zooming) {
        ScrollBar& bar = wheelScrollsVertically ? vScroll : hScroll;
        return bar.scrollBy(-notches * bar.state.lineStep);
    }
    if (!owner->romDocument().loaded) return;
    POINT pointer{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd, &pointer);
    setZoom(steppedZoom(zoom, notches), pointer);
}

} // namespace vexa
