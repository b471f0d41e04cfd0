// The map view's zoom and grid in the real editor: the menu and the config, the wheel
// and the keys, scrolling, picking, dragging and hovering at 50% and 300%, and the
// painted pixels.
#include "resources/resource_ids.h"
#include "sprites/sprite_stage_fixture.h"
#include "stage/map_zoom.h"
#include "stage/view/level_manager_win.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using test::Bytes;
using test::kGroundColour;
using test::kMapHeightTiles;
using test::kMapWidthTiles;
using test::kSkyColour;
using test::kStage37List;
using test::pumpMessages;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr int kZoomCommands[] = {IDM_VIEW_ZOOM_50, IDM_VIEW_ZOOM_100, IDM_VIEW_ZOOM_200, IDM_VIEW_ZOOM_300};

class MapZoomTest : public test::SpriteStageTest {
protected:
    int zoom() { return levels().zoomPercent(); }
    void zoomTo(int command) {
        editor.command(command);
        pumpMessages();
    }
    POINT scroll() { return levels().scrollPosition(); }
    // The map pixel under a client point, from the scroll bars as they stand.
    POINT mapAt(int x, int y) {
        return {static_cast<LONG>(viewToMap(x + scroll().x, zoom())),
                static_cast<LONG>(viewToMap(y + scroll().y, zoom()))};
    }
    void withCtrl(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    void ctrlKey(WPARAM key) {
        withCtrl(true);
        SendMessageW(mapView(), WM_KEYDOWN, key, 0);
        withCtrl(false);
        pumpMessages();
    }
    void ctrlWheel(int delta, int x, int y) {
        POINT at{x, y};
        ClientToScreen(mapView(), &at);
        SendMessageW(mapView(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, delta), MAKELPARAM(at.x, at.y));
        pumpMessages();
    }
    COLORREF shown(int x, int y) {
        RedrawWindow(mapView(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(mapView());
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(mapView(), dc);
        return colour;
    }
    HCURSOR hoverCursor(int x, int y) {
        POINT at{x, y};
        ClientToScreen(mapView(), &at);
        test::placePointer(at);
        SendMessageW(mapView(), WM_SETCURSOR, reinterpret_cast<WPARAM>(mapView()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }
};

TEST_F(MapZoomTest, TheMenuChecksOneLevelAndTheLevelAndGridAreSavedAndReadBack) {
    EXPECT_EQ(zoom(), 100);
    EXPECT_FALSE(levels().isGridShown());
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_GRID));
    for (std::size_t i = 0; i < kZoomLevels.size(); ++i) {
        zoomTo(kZoomCommands[i]);
        EXPECT_EQ(zoom(), kZoomLevels[i]);
        for (const int command : kZoomCommands)
            EXPECT_EQ(editor.menuChecked(command), command == kZoomCommands[i]) << kZoomLevels[i] << " " << command;
    }
    zoomTo(IDM_VIEW_ZOOM_50);
    zoomTo(IDM_VIEW_GRID);
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_GRID));
    editor.stop();
    EXPECT_EQ(editor.config(L"MapView", L"Zoom"), L"50");
    EXPECT_EQ(editor.config(L"MapView", L"ShowGrid"), L"1");
    ASSERT_TRUE(editor.start());
    EXPECT_EQ(zoom(), 50);
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_ZOOM_50));
    EXPECT_TRUE(levels().isGridShown());
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_GRID));
    EXPECT_FALSE(editor.menuEnabled(IDM_VIEW_ZOOM_200)) << "no ROM open";
    EXPECT_FALSE(editor.menuEnabled(IDM_VIEW_GRID));
    // Nor do the keys and the wheel that stand for those items.
    for (const wchar_t letter : {L'g', L's', L'b', L'c', L'm'})
        SendMessageW(mapView(), WM_CHAR, letter, 0);
    ctrlKey(VK_OEM_PLUS);
    ctrlWheel(WHEEL_DELTA, 10, 10);
    EXPECT_EQ(zoom(), 50);
    EXPECT_TRUE(levels().isGridShown());
    EXPECT_TRUE(levels().sprites.isShown());
    EXPECT_EQ(levels().tilemap.displayMode(), kTilemapGraphics);

    editor.stop();
    editor.writeSetting(L"config.ini", "[MapView]\r\nZoom=150\r\n");
    ASSERT_TRUE(editor.start());
    EXPECT_EQ(zoom(), 100) << "a level not in the menu";
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_ZOOM_100));
}

TEST_F(MapZoomTest, ScrollRangesAndLineStepsAreScreenPixelsOfTheZoomedMap) {
    struct Case {
        int command, width, height, step;
    };
    for (const Case c : {Case{IDM_VIEW_ZOOM_50, 640, 192, 16}, {IDM_VIEW_ZOOM_300, 3840, 1152, 96}}) {
        zoomTo(c.command);
        EXPECT_EQ(levels().hScroll.state.maximum, c.width - 1);
        EXPECT_EQ(levels().vScroll.state.maximum, c.height - 1);
        EXPECT_EQ(levels().hScroll.state.lineStep, c.step);
        EXPECT_EQ(levels().vScroll.state.lineStep, c.step);
    }
    levels().scrollTo({0, 0});
    SendMessageW(mapView(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(scroll().x, 96);
    // A position kept from a larger map (a reload, a restore) is held to this one.
    levels().scrollTo({100000, -5});
    EXPECT_EQ(scroll().x, 3840 - levels().hScroll.state.page);
    EXPECT_EQ(scroll().y, 0);
    // Centring on a map point is in view pixels too.
    levels().centerOn(1200, 300);
    EXPECT_EQ(scroll().x, 3840 - levels().hScroll.state.page);
    EXPECT_EQ(mapAt(levels().hScroll.state.page / 2, levels().vScroll.state.page / 2).y, 300);
}

TEST_F(MapZoomTest, CtrlWheelKeepsThePointUnderThePointerAndKeysKeepTheCentre) {
    ctrlWheel(WHEEL_DELTA, 200, 100);
    EXPECT_EQ(zoom(), 200);
    EXPECT_EQ(scroll().x, 200);
    EXPECT_EQ(scroll().y, 100);
    EXPECT_EQ(mapAt(200, 100).x, 200);
    ctrlWheel(WHEEL_DELTA, 50, 300);
    EXPECT_EQ(zoom(), 300);
    EXPECT_EQ(mapAt(50, 300).x, 125);
    EXPECT_EQ(mapAt(50, 300).y, 200);
    ctrlWheel(WHEEL_DELTA, 50, 300);
    EXPECT_EQ(zoom(), 300) << "the last level";
    ctrlWheel(-WHEEL_DELTA, 50, 300);
    EXPECT_EQ(zoom(), 200);
    EXPECT_EQ(mapAt(50, 300).x, 125);
    // A pinch on a touchpad comes in small parts: a notch of them is one step.
    for (int i = 0; i < 5; ++i)
        ctrlWheel(-WHEEL_DELTA / 6, 50, 300);
    EXPECT_EQ(zoom(), 200);
    ctrlWheel(-WHEEL_DELTA / 6, 50, 300);
    EXPECT_EQ(zoom(), 100);
    ctrlWheel(WHEEL_DELTA, 50, 300);

    const int cx = levels().hScroll.state.page / 2;
    const int cy = levels().vScroll.state.page / 2;
    levels().scrollTo({1280 - cx, 0}); // map x 640 in the middle: no zoom holds it at an end
    const POINT centre = mapAt(cx, cy);
    for (const auto& [key, expected] :
         {std::pair{VK_OEM_PLUS, 300}, {VK_SUBTRACT, 200}, {VK_OEM_MINUS, 100}, {VK_ADD, 200}, {'0', 100}}) {
        ctrlKey(static_cast<WPARAM>(key));
        EXPECT_EQ(zoom(), expected) << key;
        EXPECT_EQ(mapAt(cx, cy).x, centre.x) << key;
    }
    SendMessageW(mapView(), WM_KEYDOWN, VK_OEM_PLUS, 0);
    EXPECT_EQ(zoom(), 100) << "not without Ctrl";
}

struct DragCase {
    int command;
    POINT scroll;
    POINT press;   // client point over sprite 0 at (100, 200), map (100, 190)
    POINT rightOf; // client point just right of its box, map (116, 190)
    POINT drop;
    SpriteAllocData dropped;
    Bytes entry; // parameter, x + 256, y + 256, type: little-endian words
};

TEST_F(MapZoomTest, PickingAndDraggingWorkInMapPixelsAt50And300Percent) {
    const DragCase cases[] = {
        {IDM_VIEW_ZOOM_50,
         {0, 0},
         {50, 95},
         {58, 95},
         {100, 120},
         {200, 250, 0x12, 1},
         {1, 0, 0xC8, 1, 0xFA, 1, 0x12, 0}},
        {IDM_VIEW_ZOOM_300,
         {0, 450},
         {300, 120},
         {348, 120},
         {450, 150},
         {150, 210, 0x12, 1},
         {1, 0, 0x96, 1, 0xD2, 1, 0x12, 0}},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.command);
        zoomTo(c.command);
        levels().scrollTo(c.scroll);
        click(c.rightOf.x, c.rightOf.y);
        EXPECT_EQ(sprites().selectedIndex, -1);
        click(c.rightOf.x - 1, c.rightOf.y);
        EXPECT_EQ(sprites().selectedIndex, 0) << "its right edge";

        // The dead zone is in screen pixels: 3 of them are 6 map pixels at 50%.
        mouse(WM_LBUTTONDOWN, c.press.x, c.press.y);
        mouse(WM_MOUSEMOVE, c.press.x + 3, c.press.y + 3);
        EXPECT_EQ(field(IDC_SPRITE_X), L"100") << "the sprite does not follow yet";
        mouse(WM_LBUTTONUP, c.press.x + 3, c.press.y + 3);
        EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));

        drag(c.press, c.drop);
        EXPECT_EQ(spriteList()[0], c.dropped);
        EXPECT_EQ(bytes(kStage37List, 8), c.entry);
        undo();
        EXPECT_EQ(spriteList()[0], (SpriteAllocData{100, 200, 0x12, 1}));
        EXPECT_EQ(bytes(kStage37List, 8), (Bytes{1, 0, 0x64, 1, 0xC8, 1, 0x12, 0}));
        EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));
    }
}

TEST_F(MapZoomTest, TheBufferGrownFor50PercentShrinksAgainAt100) {
    RECT client;
    GetClientRect(mapView(), &client);
    zoomTo(IDM_VIEW_ZOOM_50);
    shown(0, 0);
    EXPECT_GE(levels().offscreenBufferSize().cx, 2 * client.right);
    zoomTo(IDM_VIEW_ZOOM_100);
    EXPECT_LE(levels().offscreenBufferSize().cx, client.right + 3);
    EXPECT_LE(levels().offscreenBufferSize().cy, client.bottom + 3);
    levels().scrollTo({0, 0});
    EXPECT_EQ(shown(84, 180), kRed) << "sprite 0's frame, painted from the new buffer";
}

TEST_F(MapZoomTest, WithoutMemoryForTheBufferTheViewShowsTheBackground) {
    HDC dc = GetDC(mapView());
    HBRUSH red = CreateSolidBrush(kRed);
    const RECT corner{0, 0, 40, 40};
    FillRect(dc, &corner, red);
    DeleteObject(red);
    ReleaseDC(mapView(), dc);
    levels().offscreenPixelLimit = 1000;
    zoomTo(IDM_VIEW_ZOOM_50);
    EXPECT_EQ(shown(10, 10), RGB(192, 192, 192)) << "not what lay there before";
    levels().offscreenPixelLimit = INT32_MAX / 4;
    zoomTo(IDM_VIEW_ZOOM_100);
    EXPECT_EQ(shown(10, 10), kSkyColour);
}

TEST_F(MapZoomTest, HoverOverASpriteAt300PercentShowsTheMoveCursor) {
    zoomTo(IDM_VIEW_ZOOM_300);
    levels().scrollTo({0, 450});
    EXPECT_EQ(hoverCursor(300, 120), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_EQ(hoverCursor(348, 120), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(hoverCursor(347, 120), LoadCursorW(nullptr, IDC_SIZEALL));
}

TEST_F(MapZoomTest, At200PercentEachMapPixelIsACrispTwoByTwoBlock) {
    zoomTo(IDM_VIEW_ZOOM_200);
    levels().scrollTo({0, 300});
    // Sprite 0's left frame edge, map x 84 at map y 180: client x 168 and 169, y 60.
    EXPECT_EQ(shown(167, 60), kSkyColour);
    EXPECT_EQ(shown(168, 60), kRed);
    EXPECT_EQ(shown(169, 60), kRed);
    EXPECT_EQ(shown(168, 61), kRed);
    EXPECT_NE(shown(170, 60), kRed);
    // The ground starts at map y 288: view y 576, client y 276, with no blended row.
    EXPECT_EQ(shown(10, 275), kSkyColour);
    EXPECT_EQ(shown(10, 276), kGroundColour);
}

TEST_F(MapZoomTest, TheGridLightensOneMapPixelAlongCellEdgesAtEveryZoom) {
    struct Case {
        int command;
        int y;                  // a client row at map y 50, within a cell
        std::vector<int> lines; // client columns of map x 32
        std::vector<int> clear; // their neighbours
    };
    const Case cases[] = {{IDM_VIEW_ZOOM_50, 25, {16}, {15, 17}},
                          {IDM_VIEW_ZOOM_100, 50, {32}, {31, 33}},
                          {IDM_VIEW_ZOOM_300, 150, {96, 97, 98}, {95, 99}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        zoomTo(c.command);
        levels().scrollTo({0, 0});
        for (const int x : c.lines)
            EXPECT_EQ(shown(x, c.y), kSkyColour) << "no grid yet";
        SendMessageW(mapView(), WM_CHAR, L'g', 0);
        EXPECT_TRUE(editor.menuChecked(IDM_VIEW_GRID));
        for (const int x : c.lines) {
            const COLORREF line = shown(x, c.y);
            EXPECT_GT(GetRValue(line), GetRValue(kSkyColour)) << x;
            EXPECT_GT(GetGValue(line), GetGValue(kSkyColour)) << x;
        }
        for (const int x : c.clear)
            EXPECT_EQ(shown(x, c.y), kSkyColour) << x;
        SendMessageW(mapView(), WM_CHAR, L'g', 0);
        EXPECT_FALSE(levels().isGridShown());
        EXPECT_EQ(shown(c.lines.front(), c.y), kSkyColour);
    }
}

} // namespace
} // namespace vexa
