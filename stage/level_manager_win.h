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
#include "stage/object_layer_win.h"
#include "stage/stage_table.h"
#include "stage/tilemap_win.h"
#include "ui/scroll_bars_win.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

class ProjectManager;

// Registers "orloed_mapview" and, with it, the inspector's class.
bool registerMapViewClasses(HINSTANCE instance);

class LevelManager : public MyWindow, public WindowWithBothScrollBars, public RomData_Base {
public:
    explicit LevelManager(ProjectManager* project);
    ~LevelManager() override;

    bool createView(HWND mainWindow);
    void enableStageView(bool open);
    bool handleCommand(int command);
    void loadCurrentStage();
    void loadStageMap();
    void centerOn(int x, int y);
    // 0 clears every selection; 1, 2, 3 keep the sprites', bananas' or cameras'.
    void clearSelectionsExcept(int kind);
    void invalidateView();
    // Empties the three object lists and their pages (closing a ROM).
    void clearObjects();
    // Selects the inspector's tab and shows its page, without a tab-change notification.
    void showInspectorPage(int index);
    HWND inspectorWindow() const { return inspector.hwnd; }
    bool isPanning() const { return pan.isActive(); }
    HWND mainWindow() const;
    // Keyboard navigation of the three pages, offered every message by the main loop.
    bool isPageMessage(MSG* msg);
    std::span<std::uint8_t> romImage() const;

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void scrolled(ScrollAxis axis, int position, int page, int oldPosition, int oldPage) override;

    ProjectManager* project;
    int stageNumber = 37;
    StageHeader stageHeader{};
    int widthTiles = 0;
    int heightTiles = 0;
    bool verticalLayout = false;
    std::uint16_t mapType = 0;
    RecentLevelManager recentLevels;
    LevelTilemapManager tilemap;
    LevelSpritesManager sprites;
    LevelBananasManager bananas;
    LevelCamerasManager cameras;
    LevelEditInspector inspector;

    int dragState = 0;
    bool dragMoved = false;
    int pressX = 0;
    int pressY = 0;

private:
    LRESULT onCreate();
    void onDestroy();
    void onPaint();
    void onSetCursor(LPARAM lParam);
    bool onKeyDown(WPARAM key);
    bool onChar(WPARAM character);
    void onMouseWheel(WPARAM wParam);
    void onLeftButtonDown(int x, int y);
    void onMouseMove(int x, int y);
    void onLeftButtonUp();
    void onMiddleButtonDown(int x, int y);
    void onCaptureLost();
    void selectStage();
    POINT mapPoint(int clientX, int clientY) const;

    // The object layers in the order they are hit-tested: sprites, bananas, cameras.
    std::array<ObjectLayer*, 3> layers{&sprites, &bananas, &cameras};
    BitmapBuffer offscreen;
    MButtonPan pan{MButtonPan::kBoth, this, this, 10, 1};
};

} // namespace vexa
