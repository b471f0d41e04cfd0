// The map view's editing keys and the Edit menu on sprites: Delete, copy and paste,
// Shift+arrows and the double click, each one undo step of the page's own edit.
#include "sprites/sprite_stage_fixture.h"
#include "stage/map_keys_helpers.h"

#include "app/rom_image.h"
#include "resources/resource_ids.h"
#include "stage/map_zoom.h"
#include "stage/view/status_text.h"

namespace vexa {
namespace {

using test::kCtrl;
using test::kShift;
using test::kStage37List;
using test::kStage39List;
using test::pressMapKey;
using test::pumpMessages;

constexpr std::size_t kStage37Bytes = 4 * 8 + 2;

class MapKeysTest : public test::SpriteStageTest {
protected:
    void key(WPARAM code, int modifiers = test::kNoModifier) { pressMapKey(mapView(), code, modifiers); }
    std::size_t undoSteps() { return editor.project->undoBuffer.undoCount(); }
    // The pointer over client point (x, y) of the map view.
    void pointAt(int x, int y) {
        POINT at{x, y};
        ClientToScreen(mapView(), &at);
        test::placePointer(at);
    }
    std::wstring lastMessage() { return editor.dialogs.seen().empty() ? L"" : editor.dialogs.seen().back().text; }
};

TEST_F(MapKeysTest, DeleteRemovesTheSelectedSpriteAsOneUndoStep) {
    const test::Bytes before = bytes(kStage37List, kStage37Bytes);
    click(100, 190);
    ASSERT_EQ(sprites().selectedIndex, 0);
    key(VK_DELETE);
    const auto& all = test::stage37Sprites();
    EXPECT_EQ(spriteList(), (std::vector<SpriteAllocData>{all[1], all[2], all[3]}));
    EXPECT_EQ(storedList(37), (SpriteList{all[1], all[2], all[3]}));
    EXPECT_EQ(undoSteps(), 1u);
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの削除(&U)\tCtrl+Z");
    undo();
    EXPECT_EQ(bytes(kStage37List, kStage37Bytes), before);

    // With nothing selected the key does nothing.
    click(600, 50);
    key(VK_DELETE);
    EXPECT_EQ(bytes(kStage37List, kStage37Bytes), before);
    EXPECT_EQ(undoSteps(), 0u);
}

TEST_F(MapKeysTest, CtrlCPutsTheSpriteOnTheClipboardInBothForms) {
    test::emptyClipboard();
    click(100, 190);
    key('C', kCtrl);
    EXPECT_EQ(test::clipboardObject(), MapObjectClip(test::stage37Sprites()[0]));
    EXPECT_EQ(test::clipboardText(), L"sprite 0012 0001 100 200");
    EXPECT_EQ(undoSteps(), 0u);
}

TEST_F(MapKeysTest, CtrlVAddsTheSpriteAtThePointerOrTheViewCentreAsOneAdd) {
    const test::Bytes before = bytes(kStage37List, kStage37Bytes + 16);
    click(100, 190);
    key('C', kCtrl);
    pointAt(400, 150);
    key('V', kCtrl);
    // The page's Add puts it at the list's selection.
    ASSERT_EQ(spriteList().size(), 5u);
    EXPECT_EQ(spriteList()[0], (SpriteAllocData{400, 150, 0x12, 0x0001}));
    EXPECT_EQ(storedList(37).front(), spriteList()[0]);
    EXPECT_EQ(undoSteps(), 1u);
    EXPECT_EQ(sprites().selectedIndex, 0);

    // Off the map view: the middle of what the view shows.
    levels().scrollTo({64, 0});
    pointAt(-50, -50);
    key('V', kCtrl);
    RECT client;
    GetClientRect(mapView(), &client);
    EXPECT_EQ(spriteList()[0], (SpriteAllocData{64 + client.right / 2, client.bottom / 2, 0x12, 0x0001}));
    EXPECT_EQ(undoSteps(), 2u);
    undo();
    undo();
    EXPECT_EQ(bytes(kStage37List, kStage37Bytes + 16), before) << "the bytes behind the list come back too";
}

TEST_F(MapKeysTest, PasteKeepsEveryRuleOfAdd) {
    openStage(39);
    const test::Bytes before = bytes(kStage39List, 34);
    test::putOnClipboard(SpriteAllocData{0, 0, 0x02, 0x0000});
    editor.dialogs.answerNext(IDOK);
    key('V', kCtrl);
    EXPECT_EQ(lastMessage(), L"パラメータに 0 は指定できません。");
    test::putOnClipboard(SpriteAllocData{0, 0, 0x02, 0x0007});
    EXPECT_TRUE(test::editItemEnabled(editor, IDM_EDIT_PASTE));
    key('V', kCtrl);
    EXPECT_EQ(spriteList().size(), 4u);
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_PASTE)) << "the list is full: the key tells why";
    editor.dialogs.answerNext(IDOK);
    key('V', kCtrl);
    EXPECT_EQ(lastMessage(), L"これ以上スプライトを追加できません。\r\n現在: 34バイト, 最大: 34バイト");
    EXPECT_EQ(spriteList().size(), 4u);
    EXPECT_EQ(undoSteps(), 1u);
    undo();
    EXPECT_EQ(bytes(kStage39List, 34), before);
}

TEST_F(MapKeysTest, WhileADragHoldsASpriteTheEditKeysAndUndoWait) {
    // A step to redo: sprite 1 moved and moved back.
    click(288, 245);
    ASSERT_EQ(sprites().selectedIndex, 1);
    key(VK_RIGHT, kShift);
    undo();
    test::putOnClipboard(SpriteAllocData{10, 10, 0x02, 0x0007});
    const auto& all = test::stage37Sprites();

    mouse(WM_LBUTTONDOWN, 95, 190);
    mouse(WM_MOUSEMOVE, 150, 200);
    ASSERT_TRUE(sprites().isDragging());
    key(VK_DELETE);
    key('V', kCtrl);
    key(VK_RIGHT, kShift);
    for (const int command : {IDM_EDIT_UNDO, IDM_EDIT_REDO, IDM_EDIT_DELETE, IDM_EDIT_PASTE})
        editor.command(command);
    EXPECT_EQ(spriteList(), all);
    EXPECT_EQ(undoSteps(), 0u);
    EXPECT_EQ(editor.project->undoBuffer.redoCount(), 1u);
    EXPECT_EQ(sprites().selectedIndex, 0);
    mouse(WM_LBUTTONUP, 150, 200);
    EXPECT_EQ(spriteList(), (std::vector<SpriteAllocData>{{155, 210, 0x12, 0x0001}, all[1], all[2], all[3]}));
    EXPECT_EQ(undoSteps(), 1u);

    // The inspector's list is the one way left to move the selection mid-drag: the
    // drop then writes nothing, rather than the dragged place into that sprite.
    const test::Bytes dropped = bytes(kStage37List, kStage37Bytes);
    mouse(WM_LBUTTONDOWN, 150, 200);
    mouse(WM_MOUSEMOVE, 250, 120);
    selectLine(2);
    mouse(WM_MOUSEMOVE, 260, 130);
    mouse(WM_LBUTTONUP, 260, 130);
    EXPECT_EQ(bytes(kStage37List, kStage37Bytes), dropped);
    EXPECT_EQ(undoSteps(), 1u);
    EXPECT_FALSE(sprites().isDragging());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MapKeysTest, TheStatusBarFollowsEditsScrollingZoomAndThePointerLeaving) {
    auto part = [&](MainStatusBar::Part which) { return editor.project->statusBar.text(which); };
    // What the status bar is to say of client point (100, 190) as the view stands.
    auto expected = [&] {
        const POINT scroll = levels().scrollPosition();
        const int zoom = levels().zoomPercent();
        return pointerStatusText(levels().tilemap.data(), static_cast<int>(viewToMap(100 + scroll.x, zoom)),
                                 static_cast<int>(viewToMap(190 + scroll.y, zoom)));
    };
    const std::wstring penguin = L"スプライト #0 0012-0001 ペンギン";
    pointAt(100, 190);
    mouse(WM_MOUSEMOVE, 100, 190);
    EXPECT_EQ(part(MainStatusBar::kObjectPart), penguin);
    click(100, 190);
    key(VK_DELETE);
    EXPECT_EQ(part(MainStatusBar::kObjectPart), L"") << "the sprite is gone";
    undo();
    EXPECT_EQ(part(MainStatusBar::kObjectPart), penguin);
    key(VK_RIGHT);
    EXPECT_EQ(part(MainStatusBar::kPointerPart), L"X 132 Y 190 | 16, 23 | セル 4, 5 タイル 0000");
    EXPECT_EQ(part(MainStatusBar::kObjectPart), L"");
    editor.command(IDM_VIEW_ZOOM_200);
    EXPECT_EQ(part(MainStatusBar::kPointerPart), expected());
    editor.command(IDM_VIEW_ZOOM_100);
    levels().scrollTo({0, 0});
    EXPECT_EQ(part(MainStatusBar::kObjectPart), penguin);

    // The pointer going away: moved off the view, the view hears of it.
    pointAt(-50, -50);
    pumpMessages(600); // the system looks at the hover time's pace
    EXPECT_EQ(part(MainStatusBar::kPointerPart), L"");
    EXPECT_EQ(part(MainStatusBar::kObjectPart), L"");
}

TEST_F(MapKeysTest, WithTheRomClosedTheKeysEditNothing) {
    editor.command(IDM_FILE_CLOSE);
    const test::Bytes closed = image();
    test::putOnClipboard(SpriteAllocData{10, 10, 0x02, 0x0007});
    for (const WPARAM code : {WPARAM('V'), WPARAM(VK_DELETE)})
        key(code, code == 'V' ? kCtrl : test::kNoModifier);
    editor.command(IDM_EDIT_PASTE);
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(undoSteps(), 0u);
    EXPECT_EQ(image(), closed) << "the closed image is never written";
}

TEST_F(MapKeysTest, ShiftArrowsMoveTheSpriteOnePixelAsADropWould) {
    const test::Bytes before = bytes(kStage37List, kStage37Bytes);
    click(100, 190);
    // Typed but not applied: a drag starts from the sprite's own values, and so does a key.
    type(IDC_SPRITE_PARAMETER, L"7777");
    key(VK_RIGHT, kShift);
    key(VK_UP, kShift);
    key(VK_UP, kShift);
    EXPECT_EQ(spriteList()[0], (SpriteAllocData{101, 198, 0x12, 0x0001}));
    EXPECT_EQ(storedList(37).front(), spriteList()[0]);
    EXPECT_EQ(undoSteps(), 3u);
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの変更(&U)\tCtrl+Z");
    EXPECT_EQ(levels().hScroll.state.position, 0) << "Shift+arrows do not scroll";
    undo();
    EXPECT_EQ(spriteList()[0], (SpriteAllocData{101, 199, 0x12, 0x0001}));
    undo();
    undo();
    EXPECT_EQ(bytes(kStage37List, kStage37Bytes), before);

    // Plain arrows still scroll and move nothing.
    key(VK_RIGHT);
    EXPECT_EQ(levels().hScroll.state.position, 32);
    EXPECT_EQ(bytes(kStage37List, kStage37Bytes), before);
}

TEST_F(MapKeysTest, EditMenuItemsFollowSelectionAndClipboardAndActOnTheMap) {
    test::emptyClipboard();
    click(600, 50);
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_COPY));
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_PASTE));
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_DELETE));
    click(100, 190);
    EXPECT_TRUE(test::editItemEnabled(editor, IDM_EDIT_COPY));
    EXPECT_TRUE(test::editItemEnabled(editor, IDM_EDIT_DELETE));
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_PASTE));
    editor.command(IDM_EDIT_COPY);
    EXPECT_TRUE(test::editItemEnabled(editor, IDM_EDIT_PASTE));
    editor.command(IDM_EDIT_DELETE);
    EXPECT_EQ(spriteList().size(), 3u);
    editor.command(IDM_EDIT_PASTE);
    EXPECT_EQ(spriteList().size(), 4u);
    EXPECT_EQ(undoSteps(), 2u);
    EXPECT_EQ(editor.submenuTexts(GetSubMenu(editor.menu(), MENU_POS_EDIT)),
              (std::vector<std::wstring>{L"元に戻す - スプライトの追加(&U)\tCtrl+Z", L"やり直し(&R)\tCtrl+Y", L"-",
                                         L"コピー(&C)\tCtrl+C", L"貼り付け(&P)\tCtrl+V", L"削除(&D)\tDel",
                                         L"すべて選択(&A)\tCtrl+A", L"-", L"地形の編集(&T)\tT"}));
}

TEST_F(MapKeysTest, DoubleClickPutsTheKeyboardInTheParameterField) {
    mouse(WM_LBUTTONDOWN, 300, 240);
    mouse(WM_LBUTTONUP, 300, 240);
    mouse(WM_LBUTTONDBLCLK, 300, 240);
    mouse(WM_LBUTTONUP, 300, 240);
    EXPECT_EQ(sprites().selectedIndex, 1);
    EXPECT_EQ(GetFocus(), GetDlgItem(page(), IDC_SPRITE_PARAMETER));
    EXPECT_EQ(spriteList(), test::stage37Sprites()) << "a double click moves nothing";
}

} // namespace
} // namespace vexa
