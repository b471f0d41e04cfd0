// The map view: the stage editor's hub. It holds the open stage's state, owns the
// tile map, the object managers and the inspector, and draws the stage's map with
// the object layers over it.
#pragma once

#include "app/recent_menus_win.h"
#include "app/rom_data_base.h"
#include "bananas/bananas_page_win.h"
#include "cameras/cameras_page_win.h"
#include "sprites/sprites_page_win.h"
#include "stage/bitmap_buffer_win.h"
#include "stage/inspector_win.h"
#include "stage/map_tool_win.h"
#include "stage/object_layer_win.h"
#include "stage/stage_table.h"
#include "stage/tilemap_win.h"
#include "stage/view/map_edit_win.h"
#include "stage/view/object_group.h"
#include "stage/view/object_select_tool_win.h"
#include "stage/view/stage_edit_host_win.h"
#include "terrain/chip_palette_win.h"
#include "terrain/terrain_editor.h"
#include "terrain/terrain_page_win.h"
#include "terrain/terrain_tool_win.h"
#include "ui/scroll_bars_win.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

class StageOwner;

// Registers "orloed_mapview" and, with it, the inspector's class.
bool registerMapViewClasses(HINSTANCE instance);

class LevelManager : public MyWindow,
                     public WindowWithBothScrollBars,
                     public RomData_Base,
                     private MapToolContext,
                     public MarkHost {
public:
    explicit LevelManager(StageOwner* owner);
    ~LevelManager() override;

    bool createView(HWND mainWindow);
    void enableStageView(bool open);
    bool handleCommand(int command);
    void loadCurrentStage();
    // Makes `stage` the open stage and loads it.
    void openStage(int stage);
    void loadStageMap();
    // Reads the terrain again and redraws, keeping the scroll position.
    void refreshTerrain();
    void centerOn(int x, int y);
    // The view's scroll position in screen pixels of the zoomed map, to come back to
    // after a reload.
    POINT scrollPosition() const { return {hScroll.state.position, vScroll.state.position}; }
    // Held to the scroll ranges of the map shown now.
    void scrollTo(POINT position);
    // Whether map point (x, y) lies in the part of the map the view shows.
    bool isInView(int x, int y) const;
    // The zoom in percent, one of kZoomLevels.
    int zoomPercent() const { return zoom; }
    // Zooms to `percent` keeping the map point under client point `anchor` in place.
    void setZoom(int percent, POINT anchor);
    bool isGridShown() const { return showGrid; }
    // Draws the part `drawing` of the map, in map pixels, into `target` at its origin:
    // the terrain and the object layers as they are shown.
    void drawMap(HDC target, const RECT& drawing);
    void clearSelections() override;
    // Clears the marks of the kinds shown on pages other than `page`.
    void clearSelectionsExcept(PageKind page) override;
    void invalidateView() override;
    // The marked objects of every kind.
    KindMarks marks() const;
    // The interface's language changed: the inspector, the palette, the status bar
    // and the map's labels take its texts; the stage, selection and scroll stay.
    void applyLanguage();
    // The view is on a monitor of scale `dpi`: the objects' boxes, labels and handles
    // take that scale; the map keeps one map pixel per screen pixel at 100% zoom.
    void applyDpi(UINT dpi);
    // Marks `marks` (on shown layers; a hidden layer's page selects the lines alone)
    // and shows them on the pages.
    void markObjects(const KindMarks& marks) override;
    // Runs `edits`, an edit of several objects: its records become one undo step
    // named after `what` and `counts`, which marks `afterUndo` or `afterRedo` again
    // after each replay. `afterRedo` is marked at once.
    void editGroup(GroupEdit what, const KindCounts& counts, const KindMarks& afterUndo, const KindMarks& afterRedo,
                   const std::function<void()>& edits);
    void recordAsOneStep(GroupEdit what, const std::function<void()>& edits) override;
    // Edit > すべて選択: every object of the current page's kind; false when there is none.
    bool selectAll();
    // Empties the three object lists and their pages (closing a ROM).
    void clearObjects();
    // Holds the painting of the map view and of the pages' lists (true), or lets it go
    // and has each drawn once (false): many replays in a row then draw once.
    void holdPainting(bool hold);
    // Selects the inspector's tab and shows its page, without a tab-change notification.
    void showInspectorPage(PageKind page) override;
    // The terrain page is the inspector's page: the map's mouse paints the terrain.
    bool inTerrainMode() const { return tool == &terrainTool; }
    HWND inspectorWindow() const { return inspector.hwnd; }
    bool isPanning() const { return pan.isActive(); }
    // A tool holds the mouse (the left button holds an object or the empty map): the
    // lists must stay as they are until it is let go.
    bool isDragging() const { return tool->active(); }
    // The off-screen buffer's size in pixels, which follows the zoom.
    SIZE offscreenBufferSize() const { return offscreenSize; }
    // The most pixels the buffer may hold: all a 32-bit bitmap's byte count can tell
    // (tests lower it to see a paint without a buffer).
    std::int64_t offscreenPixelLimit = INT32_MAX / 4;
    HWND mainWindow() const;
    // Keyboard navigation of the three pages, offered every message by the main loop.
    bool isPageMessage(MSG* msg);
    std::span<std::uint8_t> romImage() const;

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void scrolled(ScrollAxis axis, int position, int page, int oldPosition, int oldPage) override;

    StageOwner* owner;
    // What the object pages and the tile map see of the stage editor; made before them.
    LevelEditHost host;
    int stageNumber = 37;
    StageHeader stageHeader{};
    int widthTiles = 0;
    int heightTiles = 0;
    bool wheelScrollsVertically = false;
    std::uint16_t mapType = 0;
    RecentLevelManager recentLevels;
    LevelTilemapManager tilemap;
    LevelSpritesManager sprites;
    LevelBananasManager bananas;
    LevelCamerasManager cameras;
    LevelEditInspector inspector;
    TerrainEditor terrain{host};
    TerrainPage terrainPage{terrain};
    ChipPalette chipPalette;

    MapEditCommands mapEdits{*this};
    ObjectSelectTool objectTool{*this};
    TerrainTool terrainTool{*this, terrain};

private:
    friend class MapEditCommands;

    LRESULT onCreate();
    void onDestroy();
    void onPaint();
    bool onKeyDown(WPARAM key);
    bool onChar(WPARAM character);
    void onMouseWheel(WPARAM wParam, LPARAM lParam);
    void selectStage();
    // Terrain mode follows the inspector's page (level_manager_terrain_win.cpp).
    void connectTerrain();
    void pageShown(int index);
    void toggleTerrainMode();
    void terrainToolChosen(TerrainToolKind kind);
    // The page and the palette show the terrain as it was read last.
    void showTerrainRead();
    // The open stage's terrain and chip bitmap from the image, with the map's size.
    void readTerrain();
    std::array<IntSetting, 3> settings();

    // The mouse on the map, handed to the tool in use (level_manager_mouse_win.cpp).
    void onSetCursor(LPARAM lParam);
    void onButtonDown(MapButton button, WPARAM keys, int x, int y);
    void onMouseMove(WPARAM keys, int x, int y);
    void onButtonUp(MapButton button, WPARAM keys, int x, int y);
    void onMiddleButtonDown(int x, int y);
    void onCaptureLost();
    void captureMouse() override;
    void releaseMouse() override;
    int mapZoom() const override { return zoom; }
    MapPointer pointerAt(WPARAM keys, int clientX, int clientY) const;
    POINT mapPoint(int clientX, int clientY) const;
    // A client point in screen pixels of the zoomed map: what the scroll bars count.
    POINT viewPoint(int clientX, int clientY) const;

    // Zoom and grid (level_manager_zoom_win.cpp).
    bool handleZoomCommand(int command);
    bool onZoomKey(WPARAM key);
    void zoomAroundCentre(int percent);
    // Scroll ranges and line steps for the map at the zoom, pages for the client area,
    // and `position` (screen pixels of the zoomed map): one update of each bar.
    void showMapExtent(POINT position);
    void showZoomAndGrid();
    void paintZoomed(HDC dc, const RECT& paint);
    bool ensureOffscreen(int width, int height);
    // Makes the buffer again at what the view needs at the zoom, when it holds more.
    void fitOffscreen();
    void composeMap(HDC target, const RECT& drawing, bool grid, bool toolMarks);
    void drawGrid(HDC target, const RECT& drawing) const;

    ObjectLayer& layer(ObjectKind kind) override { return *layers[indexOf(kind)]; }

    // The object layers by kind, in the order they are hit-tested.
    std::array<ObjectLayer*, kObjectKinds.size()> layers{&sprites, &bananas, &cameras};
    BitmapBuffer offscreen;
    SIZE offscreenSize{};
    WheelNotches scrollWheel;
    WheelNotches zoomWheel;
    int zoom = 100;
    bool showGrid = false;
    bool paintingHeld = false;
    MButtonPan pan{MButtonPan::kBoth, this, this, 10, 1};
    // The page Edit > Terrain (T) goes back to.
    PageKind pageBeforeTerrain = PageKind::Sprites;
    // The tool the mouse works with on the map.
    MapTool* tool = &objectTool;
};

} // namespace vexa
