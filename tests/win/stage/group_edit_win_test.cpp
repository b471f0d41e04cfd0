// Many objects at once in the real editor on the sample game: box selection over each
// kind, Shift and Ctrl, Ctrl+A, the lists' several selected lines both ways, group
// drags stopping at the edges at 100% and 300%, Shift+arrows, Delete, copy and paste
// of a group, Apply on several, each one undo step replayed from another stage.
#include "stage/map_keys_helpers.h"
#include "terrain/terrain_fixture.h"

#include "resources/resource_ids.h"
#include "stage/map_zoom.h"
#include "stage/object_page_tools_win.h"
#include "stage/view/map_clipboard.h"
#include "ui/clipboard_win.h"

#include <algorithm>

namespace vexa {
namespace {

using test::kCtrl;
using test::kShift;
using test::pumpMessages;

int beeps = 0;

class GroupEditTest : public test::TerrainTest {
protected:
    void SetUp() override {
        TerrainTest::SetUp();
        beeps = 0;
        systemBeep = mapEditBeep;
        mapEditBeep = [] { ++beeps; };
    }
    void TearDown() override { mapEditBeep = systemBeep; }

    LevelSpritesManager& sprites() { return levels().sprites; }
    LevelBananasManager& bananas() { return levels().bananas; }
    std::vector<SpriteAllocData> spriteList() {
        return {sprites().sprites().sprites.begin(), sprites().sprites().sprites.end()};
    }
    std::vector<BananaAllocData> bananaList() {
        return {bananas().editor().items().begin(), bananas().editor().items().end()};
    }

    POINT clientOfMap(POINT map) {
        const int zoom = levels().zoomPercent();
        const POINT scroll = levels().scrollPosition();
        return {static_cast<LONG>(mapToView(map.x, zoom)) - scroll.x,
                static_cast<LONG>(mapToView(map.y, zoom)) - scroll.y};
    }
    void mouseAt(UINT message, POINT map, WPARAM keys = 0) {
        const POINT at = clientOfMap(map);
        if (message != WM_LBUTTONUP) keys |= MK_LBUTTON;
        SendMessageW(mapView(), message, keys, MAKELPARAM(at.x, at.y));
        pumpMessages();
    }
    // Where a press takes each kind's object: inside its box.
    static POINT spritePoint(const SpriteAllocData& s) { return {s.x, s.y - 10}; }
    static POINT bananaPoint(const BananaAllocData& b) { return {b.x + 4, b.y + 4}; }
    void ctrlClick(POINT map) {
        levels().centerOn(map.x, map.y);
        pumpMessages();
        mouseAt(WM_LBUTTONDOWN, map, MK_CONTROL);
        mouseAt(WM_LBUTTONUP, map, MK_CONTROL);
    }
    void dragMap(POINT from, POINT to, WPARAM keys = 0) {
        mouseAt(WM_LBUTTONDOWN, from, keys);
        mouseAt(WM_MOUSEMOVE, {(from.x + to.x) / 2, (from.y + to.y) / 2}, keys);
        mouseAt(WM_MOUSEMOVE, to, keys);
        mouseAt(WM_LBUTTONUP, to, keys);
    }
    // Two sprites and a banana of stage 37 that a press picks alone, selected by
    // Ctrl+clicks.
    void selectTwoSpritesAndABanana() {
        const std::vector<SpriteAllocData> all = spriteList();
        for (int index = 0; index < static_cast<int>(all.size()) && sprites().markCount() < 2; ++index)
            if (sprites().pick(spritePoint(all[index]).x, spritePoint(all[index]).y) == index)
                ctrlClick(spritePoint(all[index]));
        const std::vector<BananaAllocData> fruit = bananaList();
        for (int index = 0; index < static_cast<int>(fruit.size()) && bananas().markCount() < 1; ++index) {
            const POINT at = bananaPoint(fruit[index]);
            if (sprites().pick(at.x, at.y) < 0 && bananas().pick(at.x, at.y) == index) ctrlClick(at);
        }
        ASSERT_EQ(sprites().markCount(), 2);
        ASSERT_EQ(bananas().markCount(), 1);
    }
    std::wstring statusObject() { return editor.project->statusBar.text(MainStatusBar::kObjectPart); }
    static std::wstring pageField(HWND page, int id) {
        wchar_t text[128] = {};
        GetDlgItemTextW(page, id, text, 128);
        return text;
    }
    void (*systemBeep)() = nullptr;
};

TEST_F(GroupEditTest, ABoxSelectsWhatItMeetsShiftAddsCtrlTogglesAndEscapeClears) {
    // A box over the view's first 600 x 300 map pixels, drawn from a corner where no
    // object lies.
    levels().scrollTo({0, 0});
    pumpMessages();
    RECT box{8, 8, 600, 300};
    while (sprites().pick(box.right - 1, box.bottom - 1) >= 0 || bananas().pick(box.right - 1, box.bottom - 1) >= 0 ||
           levels().cameras.pick(box.right - 1, box.bottom - 1) >= 0)
        box.bottom += 3;
    dragMap({box.right - 1, box.bottom - 1}, {box.left, box.top});
    const MapBox mapBox{box.left, box.top, box.right, box.bottom};
    const std::vector<int> expectedSprites = spritesMeeting(sprites().sprites().sprites, mapBox);
    const std::vector<int> expectedBananas = bananasMeeting(bananas().editor().items(), mapBox);
    ASSERT_FALSE(expectedSprites.empty());
    EXPECT_EQ(sprites().marked(), expectedSprites);
    EXPECT_EQ(bananas().marked(), expectedBananas);
    EXPECT_EQ(undoSteps(), 0u);
    // The list selects the same lines, and the number field counts them.
    EXPECT_EQ(listSelections(GetDlgItem(sprites().hwnd, IDC_SPRITE_LIST)), expectedSprites);
    if (expectedSprites.size() > 1) {
        EXPECT_EQ(pageField(sprites().hwnd, IDC_SPRITE_NUMBER), std::to_wstring(expectedSprites.size()) + L" 個選択");
    }
    levels().mapEdits.pointerLeft();
    std::wstring status = L"選択: スプライト " + std::to_wstring(expectedSprites.size());
    if (!expectedBananas.empty()) status += L", バナナ " + std::to_wstring(expectedBananas.size());
    EXPECT_EQ(statusObject().substr(0, status.size()), status);

    // Ctrl+click takes one out and puts it back; Shift+box adds.
    const SpriteAllocData first = spriteList()[static_cast<std::size_t>(expectedSprites.front())];
    ctrlClick(spritePoint(first));
    EXPECT_FALSE(sprites().isMarked(expectedSprites.front()));
    ctrlClick(spritePoint(first));
    EXPECT_TRUE(sprites().isMarked(expectedSprites.front()));
    const int before = sprites().markCount();
    levels().scrollTo({0, 0});
    pumpMessages();
    dragMap({box.right - 1, box.bottom - 1}, {1200, 400}, MK_SHIFT);
    EXPECT_GE(sprites().markCount(), before);
    EXPECT_TRUE(sprites().isMarked(expectedSprites.front())) << "Shift keeps what was selected";

    key(VK_ESCAPE);
    EXPECT_EQ(sprites().markCount() + bananas().markCount() + levels().cameras.markCount(), 0);
    EXPECT_TRUE(listSelections(GetDlgItem(sprites().hwnd, IDC_SPRITE_LIST)).empty());
}

TEST_F(GroupEditTest, CtrlASelectsThePagesKindAndTheListsSelectionIsTheMaps) {
    key('A', kCtrl);
    EXPECT_EQ(sprites().markCount(), sprites().objectCount());
    EXPECT_EQ(bananas().markCount(), 0);
    // Lines chosen in the banana list select those bananas alone.
    levels().showInspectorPage(PageKind::Bananas);
    const HWND list = GetDlgItem(bananas().hwnd, IDC_BANANA_LIST);
    ASSERT_GE(bananas().objectCount(), 3);
    selectListLines(list, {0, 2});
    SendMessageW(bananas().hwnd, WM_COMMAND, MAKEWPARAM(IDC_BANANA_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    pumpMessages();
    EXPECT_EQ(bananas().marked(), (std::vector<int>{0, 2}));
    EXPECT_EQ(sprites().markCount(), 0);
    EXPECT_EQ(pageField(bananas().hwnd, IDC_BANANA_NUMBER), L"2 個選択");
    key('A', kCtrl);
    EXPECT_EQ(bananas().markCount(), bananas().objectCount());
}

TEST_F(GroupEditTest, AGroupDragMovesEveryoneByOneSnappedOffsetAndStopsAtTheEdgeAsOne) {
    for (const int zoom : {IDM_VIEW_ZOOM_100, IDM_VIEW_ZOOM_300}) {
        SCOPED_TRACE(zoom);
        zoomTo(zoom);
        selectTwoSpritesAndABanana();
        const std::vector<int> marked = sprites().marked();
        const int banana = bananas().marked().front();
        const std::vector<SpriteAllocData> spritesBefore = spriteList();
        const std::vector<BananaAllocData> bananasBefore = bananaList();
        const test::Bytes imageBefore = image();
        const std::size_t steps = undoSteps();
        const POINT grab = spritePoint(spritesBefore[static_cast<std::size_t>(marked.front())]);
        levels().centerOn(grab.x, grab.y);
        pumpMessages();
        // 13 and 5 map pixels: to 16 and 8 on the bananas' grid.
        dragMap(grab, {grab.x + 13, grab.y + 5});
        EXPECT_EQ(undoSteps(), steps + 1);
        EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - オブジェクトの移動 (3 個)(&U)\tCtrl+Z");
        for (const int index : marked) {
            EXPECT_EQ(spriteList()[index].x, spritesBefore[index].x + 16);
            EXPECT_EQ(spriteList()[index].y, spritesBefore[index].y + 8);
        }
        EXPECT_EQ(bananaList()[banana].x, bananasBefore[banana].x + 16);
        EXPECT_EQ(bananaList()[banana].y, bananasBefore[banana].y + 8);
        EXPECT_EQ(sprites().marked(), marked) << "the group stays selected";

        // Far past the left edge: the group stops together, the banana at 0.
        const POINT moved = spritePoint(spriteList()[static_cast<std::size_t>(marked.front())]);
        levels().centerOn(moved.x, moved.y);
        pumpMessages();
        dragMap(moved, {moved.x - 8000, moved.y});
        const int shift = spriteList()[marked.front()].x - (spritesBefore[marked.front()].x + 16);
        EXPECT_LT(shift, 0);
        EXPECT_EQ(spriteList()[marked.back()].x, spritesBefore[marked.back()].x + 16 + shift) << "relative places kept";
        EXPECT_EQ(bananaList()[banana].x, bananasBefore[banana].x + 16 + shift);
        EXPECT_EQ(shift % 8, 0);

        // Both steps undo from another stage, exactly.
        levels().openStage(38);
        pumpMessages();
        editor.command(IDM_EDIT_UNDO);
        editor.command(IDM_EDIT_UNDO);
        EXPECT_EQ(levels().stageNumber, test::kSampleStage);
        EXPECT_TRUE(image() == imageBefore);
        EXPECT_EQ(sprites().marked(), marked) << "undo selects the group again";
        editor.command(IDM_EDIT_REDO);
        EXPECT_EQ(spriteList()[marked.front()].x, spritesBefore[marked.front()].x + 16);
        editor.command(IDM_EDIT_UNDO);
        EXPECT_TRUE(image() == imageBefore);
        key(VK_ESCAPE);
    }
}

TEST_F(GroupEditTest, ShiftArrowsDeleteCopyAndPasteOfAGroup) {
    selectTwoSpritesAndABanana();
    const std::vector<int> marked = sprites().marked();
    const std::vector<SpriteAllocData> before = spriteList();
    const test::Bytes imageBefore = image();
    key(VK_RIGHT, kShift);
    EXPECT_EQ(spriteList()[marked.front()].x, before[marked.front()].x + 8) << "a banana in the group: its grid";
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - オブジェクトの移動 (3 個)(&U)\tCtrl+Z");
    editor.command(IDM_EDIT_UNDO);
    EXPECT_TRUE(image() == imageBefore);

    // Delete beeps with a banana selected and deletes nothing.
    key(VK_DELETE);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(image() == imageBefore);

    // Copy: both forms, every object; the text one line each.
    test::emptyClipboard();
    key('C', kCtrl);
    const std::wstring text = test::clipboardText();
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 2);
    EXPECT_NE(text.find(L"banana "), std::wstring::npos);
    const auto bytes = clipboardBytes(mapView(), MapEditCommands::clipboardFormat());
    ASSERT_TRUE(bytes);
    const auto decoded = decodeMapObjects(*bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), 3u);

    // Without the banana, Delete takes both sprites as one step.
    ctrlClick(bananaPoint(bananaList()[bananas().marked().front()]));
    ASSERT_EQ(bananas().markCount(), 0);
    key(VK_DELETE);
    EXPECT_EQ(spriteList().size(), before.size() - 2);
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの削除 (2 個)(&U)\tCtrl+Z");

    // Paste at the pointer: the two sprites, their offset to each other kept, one step.
    const POINT at{400, 200};
    levels().scrollTo({0, 0});
    test::TerrainTest::pointAt(CellPoint{at.x / 32, at.y / 32});
    key('V', kCtrl);
    const std::vector<SpriteAllocData> pasted = spriteList();
    ASSERT_EQ(pasted.size(), before.size());
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの追加 (2 個)(&U)\tCtrl+Z");
    const std::vector<int> added = sprites().marked();
    ASSERT_EQ(added.size(), 2u);
    const SpriteAllocData& a = pasted[added[0]];
    const SpriteAllocData& b = pasted[added[1]];
    EXPECT_EQ(b.x - a.x, before[marked[1]].x - before[marked[0]].x);
    EXPECT_EQ(b.y - a.y, before[marked[1]].y - before[marked[0]].y);
    EXPECT_EQ(std::min(a.x, b.x), at.x / 32 * 32 + 16);

    // Everything undone from another stage gives the image back.
    levels().openStage(38);
    pumpMessages();
    editor.command(IDM_EDIT_UNDO);
    editor.command(IDM_EDIT_UNDO);
    EXPECT_TRUE(image() == imageBefore);
}

TEST_F(GroupEditTest, ApplyOnSeveralSetsOnlyTheFieldsTheUserChanged) {
    key('A', kCtrl);
    const std::vector<SpriteAllocData> before = spriteList();
    ASSERT_GE(before.size(), 3u);
    SetDlgItemTextW(sprites().hwnd, IDC_SPRITE_TYPE, L"0042");
    SendMessageW(sprites().hwnd, WM_COMMAND, MAKEWPARAM(IDC_SPRITE_APPLY, BN_CLICKED), 0);
    pumpMessages();
    const std::vector<SpriteAllocData> after = spriteList();
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].type, 0x42);
        EXPECT_EQ(after[i].x, before[i].x);
        EXPECT_EQ(after[i].parameter, before[i].parameter);
    }
    EXPECT_EQ(undoSteps(), 1u);
    editor.command(IDM_EDIT_UNDO);
    EXPECT_EQ(spriteList(), before);
}

} // namespace
} // namespace vexa
