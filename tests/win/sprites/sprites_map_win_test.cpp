// The sprite layer in the real map view: picking, dragging, hiding and the picture.
#include "sprite_stage_fixture.h"

#include "resources/resource_ids.h"
#include "stage/view/level_manager_win.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using test::Bytes;
using test::kMapWidthTiles;
using test::kStage37List;
using test::pumpMessages;
using test::SpriteStageTest;
using test::stage37Sprites;

constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kLightRed = RGB(255, 128, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A 400 x 400 memory surface, green, for the layer's passes to draw on.
class Canvas {
public:
    Canvas() {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, 400, 400);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        clear();
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void clear() {
        HBRUSH green = CreateSolidBrush(kGreen);
        const RECT all{0, 0, 400, 400};
        FillRect(dc, &all, green);
        DeleteObject(green);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    int count(COLORREF colour, RECT area) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += at(x, y) == colour;
        return n;
    }

    HDC dc;

private:
    HBITMAP bitmap;
    HGDIOBJ old;
};

class SpriteMapTest : public SpriteStageTest {
protected:
    void draw(const RECT& map = {0, 0, 400, 400}) {
        canvas.clear();
        sprites().drawFirstPass(canvas.dc, map);
        sprites().drawSecondPass(canvas.dc, map);
    }
    bool undoEnabled() { return editor.menuEnabled(IDM_EDIT_UNDO); }

    Canvas canvas;
};

TEST_F(SpriteMapTest, ClickOnASpriteSelectsItAndShowsThePageWithoutARecord) {
    levels().showInspectorPage(PageKind::Cameras);
    levels().bananas.selectOnly(1);
    const Bytes before = image();
    click(100, 190);
    EXPECT_EQ(sprites().selectedIndex, 0);
    EXPECT_EQ(lineSelection(), 0);
    EXPECT_EQ(field(IDC_SPRITE_X), L"100");
    EXPECT_EQ(field(IDC_SPRITE_DESCRIPTION), L"ペンギン");
    EXPECT_TRUE(IsWindowVisible(page()));
    EXPECT_EQ(levels().bananas.selectedIndex, -1);
    EXPECT_FALSE(sprites().isDragging());
    EXPECT_FALSE(undoEnabled());
    EXPECT_TRUE(image() == before);
}

TEST_F(SpriteMapTest, TheLaterOfTwoOverlappingSpritesIsPicked) {
    click(305, 235);
    EXPECT_EQ(sprites().selectedIndex, 2);
    EXPECT_EQ(lineSelection(), 2);
}

TEST_F(SpriteMapTest, BottomAndRightEdgesMissAndAMissClearsTheMark) {
    click(84, 164); // top-left corner of sprite 0's box
    EXPECT_EQ(sprites().selectedIndex, 0);
    click(100, 200);
    EXPECT_EQ(sprites().selectedIndex, -1);
    EXPECT_EQ(lineSelection(), 0) << "the list keeps its selection";
    click(116, 190);
    EXPECT_EQ(sprites().selectedIndex, -1);
}

TEST_F(SpriteMapTest, DragKeepsTheGrabOffsetShowsThePositionAndDropAppliesOnce) {
    mouse(WM_LBUTTONDOWN, 95, 190);
    mouse(WM_MOUSEMOVE, 150, 200);
    EXPECT_TRUE(sprites().isDragging());
    EXPECT_EQ(field(IDC_SPRITE_X), L"155");
    EXPECT_EQ(field(IDC_SPRITE_Y), L"210");
    EXPECT_EQ(spriteList()[0].x, 100) << "nothing changes before the drop";
    mouse(WM_MOUSEMOVE, 195, 230);
    mouse(WM_LBUTTONUP, 195, 230);
    EXPECT_FALSE(sprites().isDragging());
    EXPECT_EQ(spriteList()[0], (SpriteAllocData{200, 240, 0x12, 1}));
    EXPECT_EQ(bytes(kStage37List, 8), (Bytes{0x01, 0x00, 0xC8, 0x01, 0xF0, 0x01, 0x12, 0x00}));
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの変更(&U)\tCtrl+Z");
    undo();
    EXPECT_EQ(spriteList()[0], (SpriteAllocData{100, 200, 0x12, 1}));
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO)) << "exactly one record";
}

TEST_F(SpriteMapTest, LosingTheMouseMidDragCancelsItAndNothingFollowsThePointer) {
    const Bytes before = image();
    mouse(WM_LBUTTONDOWN, 95, 190);
    mouse(WM_MOUSEMOVE, 150, 200);
    ASSERT_EQ(field(IDC_SPRITE_X), L"155");
    SendMessageW(mapView(), WM_CANCELMODE, 0, 0); // what Alt+Tab or a message box does
    EXPECT_FALSE(sprites().isDragging());
    EXPECT_EQ(field(IDC_SPRITE_X), L"100") << "the fields show the sprite where it is";
    mouse(WM_MOUSEMOVE, 250, 260);
    EXPECT_EQ(field(IDC_SPRITE_X), L"100") << "no button is held: nothing follows the pointer";
    mouse(WM_LBUTTONUP, 250, 260);
    EXPECT_TRUE(image() == before);
    EXPECT_FALSE(undoEnabled());

    // A button that went up where the map view did not hear of it: the next move,
    // without the button, ends the drag the same way.
    mouse(WM_LBUTTONDOWN, 95, 190);
    mouse(WM_MOUSEMOVE, 150, 200);
    ASSERT_TRUE(sprites().isDragging());
    SendMessageW(mapView(), WM_MOUSEMOVE, 0, MAKELPARAM(160, 210));
    EXPECT_FALSE(sprites().isDragging());
    EXPECT_EQ(field(IDC_SPRITE_X), L"100");
    EXPECT_EQ(GetCapture(), nullptr) << "the next click elsewhere goes where it is aimed";
    mouse(WM_LBUTTONUP, 160, 210);
    EXPECT_TRUE(image() == before);
    EXPECT_FALSE(undoEnabled());
}

TEST_F(SpriteMapTest, MovementWithinTheDeadZoneIsNoDrag) {
    const Bytes before = image();
    mouse(WM_LBUTTONDOWN, 100, 190);
    mouse(WM_MOUSEMOVE, 103, 193);
    mouse(WM_MOUSEMOVE, 96, 186);
    mouse(WM_LBUTTONUP, 96, 186);
    EXPECT_TRUE(image() == before);
    EXPECT_FALSE(undoEnabled());
    EXPECT_EQ(field(IDC_SPRITE_X), L"100");
}

TEST_F(SpriteMapTest, HiddenLayerIsNeitherDrawnNorPickedButDoubleClickStillCentres) {
    selectLine(1);
    SendMessageW(mapView(), WM_CHAR, L's', 0);
    pumpMessages();
    EXPECT_FALSE(sprites().isShown());
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_SPRITES));
    EXPECT_EQ(sprites().selectedIndex, -1);
    EXPECT_EQ(lineSelection(), 1) << "hiding keeps the list selection";

    draw();
    EXPECT_EQ(canvas.count(kGreen, {0, 0, 400, 400}), 400 * 400);
    EXPECT_FALSE(sprites().hoverTest(100, 190));
    click(100, 190);
    EXPECT_EQ(sprites().selectedIndex, -1);
    EXPECT_EQ(lineSelection(), 1);
    selectLine(0);
    EXPECT_EQ(sprites().selectedIndex, -1) << "a hidden layer marks nothing";
    EXPECT_EQ(field(IDC_SPRITE_X), L"100");

    doubleClickLine(3);
    const int page = levels().hScroll.state.page;
    EXPECT_EQ(levels().hScroll.state.position, std::min(1200 - page / 2, kMapWidthTiles * 32 - page));

    editor.command(IDM_VIEW_SPRITES);
    EXPECT_TRUE(sprites().isShown());
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_SPRITES));
}

TEST_F(SpriteMapTest, TheShownSwitchIsSavedAndReadBack) {
    editor.command(IDM_VIEW_SPRITES);
    editor.stop();
    EXPECT_EQ(editor.config(L"MapView", L"ShowSprites"), L"0");
    ASSERT_TRUE(editor.start());
    EXPECT_FALSE(sprites().isShown());
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_SPRITES));
}

TEST_F(SpriteMapTest, HoverOverASpriteShowsTheMoveCursor) {
    EXPECT_TRUE(sprites().hoverTest(300, 215));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_FALSE(sprites().hoverTest(300, 250));
}

TEST_F(SpriteMapTest, SpriteIsAFramedBlackBoxWithAnArrowHeadAndLabels) {
    draw();
    // Sprite 0 stands at (100, 200): its frame spans x 84..115 and y 164..199.
    for (const POINT p : {POINT{84, 180}, POINT{115, 180}, POINT{100, 164}, POINT{90, 199}})
        EXPECT_EQ(canvas.at(p.x, p.y), kRed) << p.x << "," << p.y;
    for (const POINT p : {POINT{83, 180}, POINT{116, 180}, POINT{100, 163}, POINT{90, 200}})
        EXPECT_EQ(canvas.at(p.x, p.y), kGreen) << p.x << "," << p.y;
    EXPECT_EQ(canvas.at(112, 170), kBlack);
    EXPECT_EQ(canvas.at(100, 198), kRed) << "arrow head";
    EXPECT_EQ(canvas.at(93, 196), kBlack) << "beside the arrow head";
    EXPECT_GT(canvas.count(kRed, {87, 167, 110, 179}), 5) << "the #0 label";
    EXPECT_GT(canvas.count(kRed, {87, 180, 115, 192}), 5) << "the type label";
    EXPECT_EQ(canvas.at(82, 180), kGreen) << "no selection frame";
    // Sprite 2 is drawn after sprite 1: its left frame edge lies over sprite 1's body.
    EXPECT_EQ(canvas.at(294, 230), kRed);

    selectLine(0);
    draw();
    EXPECT_EQ(canvas.at(82, 180), kLightRed);
    EXPECT_EQ(canvas.at(118, 180), kLightRed);
    EXPECT_EQ(canvas.at(100, 201), kLightRed);

    // Drawn at an offset of the map rectangle's corner.
    draw({50, 100, 450, 500});
    EXPECT_EQ(canvas.at(34, 80), kRed);
}

TEST_F(SpriteMapTest, TheDraggedSpriteIsDrawnOnTopAtThePointer) {
    mouse(WM_LBUTTONDOWN, 100, 190);
    mouse(WM_MOUSEMOVE, 320, 230); // sprite 0 now at (320, 240), over sprite 2 at (310, 240)
    draw();
    EXPECT_EQ(canvas.at(84, 180), kGreen) << "not at its own place";
    EXPECT_EQ(canvas.at(304, 236), kRed) << "its frame over sprite 2's body";
    EXPECT_EQ(canvas.at(325, 212), kBlack) << "its body over sprite 2's frame";
    EXPECT_EQ(canvas.at(302, 236), kLightRed) << "always framed";
    mouse(WM_LBUTTONUP, 320, 230);
    EXPECT_EQ(spriteList()[0].x, 320);
}

} // namespace
} // namespace vexa
