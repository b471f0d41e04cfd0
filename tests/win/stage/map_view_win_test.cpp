#include "stage/view/level_manager_win.h"

#include "app/settings_win.h"
#include "support/editor_session.h"
#include "tools/sample_game/rom_blocks.h"

#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vexa {
namespace {

using test::EditorSession;
using test::pumpMessages;
using test::titledImage;

// An image whose stage table gives every stage a header of type 4 or 5 (no tile
// map) except the stages listed, which point at a terrain without data: 8 x 8 cells.
std::vector<std::uint8_t> stageImage() {
    auto image = titledImage();
    // Stage n's header at 0x1000 + 8n; stage 5 has no tile map.
    for (int n = 0; n < 64; ++n) {
        const unsigned header = 0x1000 + 8 * n;
        sample::writeStageTableEntry(image, n, header);
        sample::writeStageHeader(image, header, {static_cast<std::uint16_t>(n == 5 ? 4 : 0), 0, 0});
    }
    return image;
}

WPARAM wheel(int delta) {
    return MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta)));
}

class MapViewTest : public testing::Test {
protected:
    void open(const std::string& config = "") {
        if (!config.empty()) editor.writeSetting(L"config.ini", config);
        const std::wstring path = editor.writeRom(L"stages.smc", stageImage());
        ASSERT_TRUE(editor.start(L"\"" + path + L"\""));
        ASSERT_TRUE(editor.project->document.loaded);
        MoveWindow(editor.project->hwnd, 0, 0, 400, 300, TRUE);
        pumpMessages();
    }
    LevelManager& view() { return editor.project->levels; }
    void key(UINT message, WPARAM code) {
        SendMessageW(view().hwnd, message, code, 0);
        pumpMessages();
    }
    HMENU recentStages() { return GetSubMenu(GetSubMenu(editor.menu(), MENU_POS_STAGE), MENU_POS_RECENT_STAGES); }

    EditorSession editor;
};

TEST_F(MapViewTest, OpeningLoadsTheSavedStageIntoTheRecentList) {
    open("[MapView]\r\nLevelNumber=3\r\n[RecentLevels]\r\n0=9\r\n1=-1\r\n2=5\r\n");
    EXPECT_EQ(view().stageNumber, 3);
    EXPECT_EQ(editor.submenuTexts(recentStages()),
              (std::vector<std::wstring>{L"03: ?", L"09: ?", L"-", L"履歴のクリア(&C)"}));
    // A terrain entry without data: 8 x 8 cells, so the range ends at 255.
    EXPECT_EQ(view().widthTiles, 8);
    EXPECT_EQ(view().hScroll.state.maximum, 255);
    EXPECT_TRUE(view().wheelScrollsVertically);
}

TEST_F(MapViewTest, RecentStageCommandLoadsThatStageAndClearWritesMinusOnes) {
    open("[RecentLevels]\r\n0=5\r\n");
    EXPECT_EQ(view().stageNumber, 37);
    editor.command(IDM_RECENT_STAGE_FIRST + 1);
    EXPECT_EQ(view().stageNumber, 5);
    EXPECT_EQ(view().widthTiles, 0) << "a stage of type 4 has no map";
    EXPECT_EQ(editor.submenuTexts(recentStages()).front(), L"05: ?");
    editor.command(IDM_RECENT_STAGE_CLEAR);
    EXPECT_EQ(editor.submenuTexts(recentStages()), (std::vector<std::wstring>{L"-", L"履歴のクリア(&C)"}));
    editor.stop();
    EXPECT_EQ(editor.config(L"RecentLevels", L"0"), L"-1");
    EXPECT_EQ(editor.config(L"RecentLevels", L"15"), L"-1");
    EXPECT_EQ(editor.config(L"MapView", L"LevelNumber"), L"5");
}

TEST_F(MapViewTest, StageSelectionLoadsTheChosenStageAndCancelKeepsIt) {
    open();
    editor.dialogs.answerNext(IDCANCEL);
    editor.command(IDM_STAGE_SELECT);
    EXPECT_EQ(view().stageNumber, 37);
    editor.dialogs.answerNext(IDOK,
                              [](HWND dialog) { SendDlgItemMessageW(dialog, IDC_LEVEL_LIST, LB_SETCURSEL, 12, 0); });
    editor.command(IDM_STAGE_SELECT);
    EXPECT_EQ(view().stageNumber, 12);
}

TEST_F(MapViewTest, ArrowKeysScrollALineOrWithCtrl256Pixels) {
    open();
    // A wide map: make the terrain ranges large enough to move.
    view().hScroll.setRange(4000);
    view().vScroll.setRange(4000);
    key(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(view().hScroll.state.position, 32);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    key(WM_KEYDOWN, VK_RIGHT);
    key(WM_KEYDOWN, VK_DOWN);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(view().hScroll.state.position, 32 + 256);
    EXPECT_EQ(view().vScroll.state.position, 256);
    key(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(view().hScroll.state.position, 256);
}

TEST_F(MapViewTest, WheelScrollsOneLinePerNotchAlongTheLayout) {
    open();
    view().hScroll.setRange(4000);
    view().vScroll.setRange(4000);
    view().wheelScrollsVertically = false;
    SendMessageW(view().hwnd, WM_MOUSEWHEEL, wheel(-WHEEL_DELTA * 3), 0);
    EXPECT_EQ(view().hScroll.state.position, 96) << "one message of three notches";
    // A precision touchpad: a notch in parts.
    for (int i = 0; i < 3; ++i)
        SendMessageW(view().hwnd, WM_MOUSEWHEEL, wheel(-WHEEL_DELTA / 4), 0);
    EXPECT_EQ(view().hScroll.state.position, 96);
    SendMessageW(view().hwnd, WM_MOUSEWHEEL, wheel(-WHEEL_DELTA / 4), 0);
    EXPECT_EQ(view().hScroll.state.position, 128);
    view().wheelScrollsVertically = true;
    SendMessageW(view().hwnd, WM_MOUSEWHEEL, wheel(-WHEEL_DELTA), 0);
    SendMessageW(view().hwnd, WM_MOUSEWHEEL, wheel(-WHEEL_DELTA), 0);
    SendMessageW(view().hwnd, WM_MOUSEWHEEL, wheel(WHEEL_DELTA), 0);
    EXPECT_EQ(view().vScroll.state.position, 32);
}

TEST_F(MapViewTest, TheThumbReachesPositionsPastSixteenBits) {
    open();
    // A 1,024-cell stage at 300%. Away from a real drag of the thumb the bar reports
    // its position as the track position, so the bar is put at 90,000 and the view's
    // record left behind.
    view().hScroll.setRange(98303);
    view().hScroll.setPosition(90000);
    view().hScroll.state.position = 0;
    SendMessageW(view().hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 90000 & 0xFFFF), 0);
    EXPECT_EQ(view().hScroll.state.position, 90000) << "not the message's 16 bits, 24464";
}

TEST_F(MapViewTest, LowerCaseKeysCycleTheMapModeUpperCaseDoNot) {
    open();
    ASSERT_EQ(view().tilemap.displayMode(), 1);
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_MAP_GRAPHICS));
    key(WM_CHAR, 'M');
    EXPECT_EQ(view().tilemap.displayMode(), 1);
    key(WM_CHAR, 'm');
    EXPECT_EQ(view().tilemap.displayMode(), 2);
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_MAP_ATTRIBUTES));
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_MAP_GRAPHICS));
    editor.command(IDM_VIEW_MAP_HIDDEN);
    EXPECT_EQ(view().tilemap.displayMode(), 0);
    editor.stop();
    EXPECT_EQ(editor.config(L"MapView", L"ShowTilemap"), L"0");
}

TEST_F(MapViewTest, CenterOnANarrowMapKeepsTheLeftEdge) {
    open();
    view().centerOn(100, 100);
    EXPECT_EQ(view().hScroll.state.position, 0) << "the 8-cell map is narrower than the view";
    view().widthTiles = 100;
    view().heightTiles = 100;
    view().hScroll.setRange(3199);
    view().vScroll.setRange(3199);
    RECT client;
    GetClientRect(view().hwnd, &client);
    view().centerOn(1000, 3190);
    EXPECT_EQ(view().hScroll.state.position, 1000 - client.right / 2);
    EXPECT_EQ(view().vScroll.state.position, 3200 - client.bottom) << "clamped to the end of the map";
}

TEST_F(MapViewTest, InspectorFollowsTheMainWindowAndItsModalDialogs) {
    open();
    HWND inspector = view().inspectorWindow();
    EXPECT_EQ(GetWindow(inspector, GW_OWNER), editor.project->hwnd);
    EnableWindow(editor.project->hwnd, FALSE);
    EXPECT_FALSE(IsWindowEnabled(inspector)) << "a modal dialog of the main window blocks the inspector too";
    EnableWindow(editor.project->hwnd, TRUE);
    EXPECT_TRUE(IsWindowEnabled(inspector));
}

TEST_F(MapViewTest, PanningEndsWhenTheMouseIsTakenAndANewPanEndsTheOld) {
    open();
    auto press = [&](UINT message) {
        SendMessageW(view().hwnd, message, message == WM_MBUTTONDOWN ? MK_MBUTTON : 0, MAKELPARAM(100, 100));
        pumpMessages();
    };
    press(WM_MBUTTONDOWN);
    ASSERT_TRUE(view().isPanning());
    EXPECT_EQ(GetCapture(), view().hwnd);
    press(WM_LBUTTONDOWN); // a left click while panning leaves the pan and its capture alone
    press(WM_LBUTTONUP);
    EXPECT_TRUE(view().isPanning());
    EXPECT_EQ(GetCapture(), view().hwnd);
    SendMessageW(view().hwnd, WM_CANCELMODE, 0, 0); // Alt+Tab, a message box
    EXPECT_FALSE(view().isPanning()) << "no timer keeps scrolling with no button held";
    // The button-up went elsewhere; the next press starts one pan, and its up ends it.
    press(WM_MBUTTONDOWN);
    press(WM_MBUTTONDOWN);
    EXPECT_TRUE(view().isPanning());
    press(WM_MBUTTONUP);
    EXPECT_FALSE(view().isPanning());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MapViewTest, RedoHasTwoShortcuts) {
    open();
    HACCEL accelerators = LoadAcceleratorsW(GetModuleHandleW(nullptr), L"ORLOED_ACC");
    ACCEL table[16];
    const int count = CopyAcceleratorTableW(accelerators, table, 16);
    int redo = 0;
    for (int i = 0; i < count; ++i)
        if (table[i].cmd == IDM_EDIT_REDO) ++redo;
    EXPECT_EQ(redo, 2) << "Ctrl+Y and Ctrl+Shift+Z";
}

} // namespace
} // namespace vexa
