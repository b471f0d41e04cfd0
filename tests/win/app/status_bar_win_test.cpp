// The main window's status bar: the map view gets the area above it, View hides and
// shows it (saved in config.ini), and its parts follow the pointer and the sprite room.
#include "sprites/sprite_stage_fixture.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

namespace vexa {
namespace {

using test::pumpMessages;

class StatusBarTest : public test::SpriteStageTest {
protected:
    MainStatusBar& bar() { return editor.project->statusBar; }
    // A part's text as the bar holds it.
    std::wstring part(MainStatusBar::Part which) {
        const auto length = LOWORD(SendMessageW(bar().hwnd, SB_GETTEXTLENGTHW, which, 0));
        std::wstring text(length + 1u, L'\0');
        SendMessageW(bar().hwnd, SB_GETTEXTW, which, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        return text;
    }
    void hover(int x, int y) {
        SendMessageW(mapView(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        pumpMessages();
    }
    static RECT screenRect(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }
    // Both: the map view ends where the bar begins (or at the client's bottom), and
    // its vertical page is the height it really has.
    void expectMapAboveBar(bool barShown) {
        RECT client;
        GetClientRect(editor.project->hwnd, &client);
        POINT bottom{0, client.bottom};
        ClientToScreen(editor.project->hwnd, &bottom);
        const int barTop = barShown ? screenRect(bar().hwnd).top : bottom.y;
        EXPECT_EQ(IsWindowVisible(bar().hwnd) != FALSE, barShown);
        EXPECT_EQ(screenRect(mapView()).bottom, barTop);
        if (barShown) {
            EXPECT_EQ(screenRect(bar().hwnd).bottom, bottom.y);
        }
        RECT map;
        GetClientRect(mapView(), &map);
        EXPECT_EQ(levels().vScroll.state.page, map.bottom);
    }
    // Whether the room part shows any clearly red pixel.
    bool roomDrawnRed() {
        RedrawWindow(bar().hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT box;
        SendMessageW(bar().hwnd, SB_GETRECT, MainStatusBar::kRoomPart, reinterpret_cast<LPARAM>(&box));
        HDC dc = GetDC(bar().hwnd);
        bool red = false;
        for (int y = box.top; y < box.bottom && !red; ++y)
            for (int x = box.left; x < box.right && !red; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                red = GetRValue(c) > 150 && GetGValue(c) < 80 && GetBValue(c) < 80;
            }
        ReleaseDC(bar().hwnd, dc);
        return red;
    }
};

TEST_F(StatusBarTest, MapViewTakesTheAreaAboveTheBarAndViewTogglesIt) {
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_STATUS_BAR));
    expectMapAboveBar(true);
    editor.command(IDM_VIEW_STATUS_BAR);
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_STATUS_BAR));
    expectMapAboveBar(false);
    MoveWindow(editor.project->hwnd, 300, 0, 700, 500, TRUE);
    pumpMessages();
    expectMapAboveBar(false);
    editor.command(IDM_VIEW_STATUS_BAR);
    expectMapAboveBar(true);
    editor.command(IDM_VIEW_STATUS_BAR);
    editor.stop();
    EXPECT_EQ(editor.config(L"MainWindow", L"StatusBar"), L"0");
}

TEST(StatusBarSetting, ReadFromConfigAndTheItemSitsAtTheViewMenusEndBeforeTheHistoryAndTheLanguages) {
    test::EditorSession editor;
    editor.writeSetting(L"config.ini", "[MainWindow]\r\nStatusBar=0\r\n");
    ASSERT_TRUE(editor.start());
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_STATUS_BAR));
    EXPECT_FALSE(IsWindowVisible(editor.project->statusBar.hwnd));
    const std::vector<std::wstring> view = editor.submenuTexts(GetSubMenu(editor.menu(), MENU_POS_VIEW));
    ASSERT_GE(view.size(), 4u);
    EXPECT_EQ(view[view.size() - 3], L"ステータスバー(&T)");
    EXPECT_EQ(view[view.size() - 2], L"履歴(&H)");
    EXPECT_EQ(view.back(), L"言語(&L)");
    EXPECT_EQ(GetSubMenu(GetSubMenu(editor.menu(), MENU_POS_VIEW), MENU_POS_VIEW_MAP) != nullptr, true);
    editor.command(IDM_VIEW_STATUS_BAR);
    editor.stop();
    EXPECT_EQ(editor.config(L"MainWindow", L"StatusBar"), L"1");
}

TEST_F(StatusBarTest, PointerPartsFollowTheMouseOverSpritesAndGround) {
    hover(100, 190);
    EXPECT_EQ(part(MainStatusBar::kPointerPart), L"X 100 Y 190 | 12, 23 | セル 3, 5 タイル 0000");
    EXPECT_EQ(part(MainStatusBar::kObjectPart), L"スプライト #0 0012-0001 ペンギン");
    hover(100, 300);
    EXPECT_EQ(part(MainStatusBar::kPointerPart), L"X 100 Y 300 | 12, 37 | セル 3, 9 タイル 0001");
    EXPECT_EQ(part(MainStatusBar::kObjectPart), L"");
    // Scrolled, the same client point is another map point.
    levels().scrollTo({64, 0});
    hover(36, 190);
    EXPECT_EQ(part(MainStatusBar::kPointerPart), L"X 100 Y 190 | 12, 23 | セル 3, 5 タイル 0000");
    EXPECT_EQ(part(MainStatusBar::kObjectPart), L"スプライト #0 0012-0001 ペンギン");
    // A hidden layer names nothing.
    editor.command(IDM_VIEW_SPRITES);
    hover(36, 190);
    EXPECT_EQ(part(MainStatusBar::kObjectPart), L"");
    EXPECT_EQ(part(MainStatusBar::kZoomPart), L"100%");
}

TEST_F(StatusBarTest, RoomPartCountsTheListAndTurnsRedWhenFull) {
    openStage(39);
    EXPECT_EQ(part(MainStatusBar::kRoomPart), L"スプライト 3/4");
    EXPECT_FALSE(bar().roomFull());
    EXPECT_FALSE(roomDrawnRed());
    typeSprite(L"9", L"10", L"20", L"2");
    press(IDC_SPRITE_ADD);
    EXPECT_EQ(part(MainStatusBar::kRoomPart), L"スプライト 4/4");
    EXPECT_TRUE(bar().roomFull());
    EXPECT_TRUE(roomDrawnRed());
    undo();
    EXPECT_EQ(part(MainStatusBar::kRoomPart), L"スプライト 3/4");
    EXPECT_FALSE(roomDrawnRed());
    editor.project->document.markSaved();
    editor.command(IDM_FILE_CLOSE);
    EXPECT_EQ(part(MainStatusBar::kRoomPart), L"");
}

} // namespace
} // namespace vexa
