// The sprite page driven as a user would: lines, fields and buttons, with undo and
// redo from the main window's Edit menu.
#include "sprite_stage_fixture.h"

#include "app/rom_image.h"
#include "resources/resource_ids.h"
#include "stage/map_keys_helpers.h"
#include "stage/view/level_manager_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vexa {
namespace {

using test::Bytes;
using test::kMapWidthTiles;
using test::kStage37List;
using test::pumpMessages;
using test::SpriteStageTest;
using test::stage37Sprites;

using SpritePageTest = SpriteStageTest;

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    CharLowerW(name);
    return name;
}

LONG styleOf(HWND window) {
    return GetWindowLongW(window, GWL_STYLE);
}

// What a list box is told while it is watched: the lines added to it, how many of them
// while it redraws, and the line storage reserved.
class ListSpy {
public:
    explicit ListSpy(HWND list) : list(list) { SetWindowSubclass(list, proc, 1, reinterpret_cast<DWORD_PTR>(this)); }
    ~ListSpy() { RemoveWindowSubclass(list, proc, 1); }
    ListSpy(const ListSpy&) = delete;
    ListSpy& operator=(const ListSpy&) = delete;

    int added = 0;
    int addedWhileDrawing = 0;
    WPARAM reserved = 0;
    bool drawing = true;

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto& spy = *reinterpret_cast<ListSpy*>(data);
        if (message == WM_SETREDRAW) spy.drawing = wParam != FALSE;
        if (message == LB_INITSTORAGE) spy.reserved += wParam;
        if (message == LB_ADDSTRING || message == LB_INSERTSTRING) {
            ++spy.added;
            spy.addedWhileDrawing += spy.drawing;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    HWND list;
};

TEST_F(SpritePageTest, TemplateHasEveryControlWithItsTextAndStyle) {
    struct Control {
        int id;
        const wchar_t* cls;
        const wchar_t* text;
    };
    const Control controls[] = {{IDC_SPRITE_LIST, L"listbox", L""},
                                {IDC_SPRITE_NUMBER_LABEL, L"static", L"番号:"},
                                {IDC_SPRITE_PARAMETER_LABEL, L"static", L"パラメータ(&P):"},
                                {IDC_SPRITE_X_LABEL, L"static", L"X座標(&X):"},
                                {IDC_SPRITE_Y_LABEL, L"static", L"Y座標(&Y):"},
                                {IDC_SPRITE_TYPE_LABEL, L"static", L"種類(&T):"},
                                {IDC_SPRITE_TYPE_BROWSE, L"button", L"..."},
                                {IDC_SPRITE_APPLY, L"button", L"適用(&L)"},
                                {IDC_SPRITE_ADD, L"button", L"追加(&A)"},
                                {IDC_SPRITE_DELETE, L"button", L"削除(&D)"},
                                {IDC_SPRITE_UP, L"button", L"上へ(&U)"},
                                {IDC_SPRITE_DOWN, L"button", L"下へ(&N)"},
                                {IDC_SPRITE_SORT, L"button", L"昇順にする(&S)"}};
    for (const Control& c : controls) {
        const HWND window = GetDlgItem(page(), c.id);
        ASSERT_TRUE(window) << c.id;
        EXPECT_EQ(className(window), c.cls) << c.id;
        EXPECT_EQ(field(c.id), c.text) << c.id;
    }
    for (int id = IDC_SPRITE_NUMBER; id <= IDC_SPRITE_DESCRIPTION; ++id)
        EXPECT_EQ(className(GetDlgItem(page(), id)), L"edit") << id;
    EXPECT_TRUE(styleOf(GetDlgItem(page(), IDC_SPRITE_LIST)) & LBS_NOTIFY);
    EXPECT_TRUE(styleOf(GetDlgItem(page(), IDC_SPRITE_NUMBER)) & ES_READONLY);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(page(), IDC_SPRITE_NUMBER), GWL_EXSTYLE), 0);
    EXPECT_TRUE(styleOf(GetDlgItem(page(), IDC_SPRITE_DESCRIPTION)) & ES_READONLY);
    EXPECT_TRUE(styleOf(GetDlgItem(page(), IDC_SPRITE_DESCRIPTION)) & ES_MULTILINE);
    EXPECT_EQ(styleOf(GetDlgItem(page(), IDC_SPRITE_APPLY)) & 0xF, BS_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageW(page(), DM_GETDEFID, 0, 0), MAKELRESULT(IDC_SPRITE_APPLY, DC_HASDEFID));

    // Typed characters: digits only in X and Y, upper case in parameter and type.
    for (const wchar_t c : {L'-', L'a', L'4', L'2'}) {
        SendDlgItemMessageW(page(), IDC_SPRITE_X, WM_CHAR, c, 0);
        SendDlgItemMessageW(page(), IDC_SPRITE_Y, WM_CHAR, c, 0);
        SendDlgItemMessageW(page(), IDC_SPRITE_PARAMETER, WM_CHAR, c, 0);
        SendDlgItemMessageW(page(), IDC_SPRITE_TYPE, WM_CHAR, c, 0);
    }
    EXPECT_EQ(field(IDC_SPRITE_X), L"42");
    EXPECT_EQ(field(IDC_SPRITE_Y), L"42");
    EXPECT_EQ(field(IDC_SPRITE_PARAMETER), L"-A42");
    EXPECT_EQ(field(IDC_SPRITE_TYPE), L"-A42");
}

TEST_F(SpritePageTest, LoadingShowsOneLinePerSpriteAndEmptyFields) {
    EXPECT_EQ(lines(), (std::vector<std::wstring>{L"#0: 0001-0012: ペンギン", L"#1: 0002-0002: ゴブリン",
                                                  L"#2: 0003-0004: スライム", L"#3: 0004-0006: コウモリ"}));
    for (int id = IDC_SPRITE_NUMBER; id <= IDC_SPRITE_DESCRIPTION; ++id)
        EXPECT_EQ(field(id), L"") << id;
    EXPECT_EQ(lineSelection(), -1);
    EXPECT_EQ(sprites().selectedIndex, -1);
    EXPECT_EQ(sprites().sprites().capacity, 0x100);
}

TEST_F(SpritePageTest, SelectingALineShowsTheSpriteAndMarksItOnTheMap) {
    levels().bananas.selectOnly(2);
    selectLine(1);
    EXPECT_EQ(field(IDC_SPRITE_NUMBER), L"1");
    EXPECT_EQ(field(IDC_SPRITE_PARAMETER), L"0002");
    EXPECT_EQ(field(IDC_SPRITE_X), L"300");
    EXPECT_EQ(field(IDC_SPRITE_Y), L"250");
    EXPECT_EQ(field(IDC_SPRITE_TYPE), L"0002");
    EXPECT_EQ(field(IDC_SPRITE_DESCRIPTION), L"ゴブリン");
    EXPECT_EQ(sprites().selectedIndex, 1);
    EXPECT_EQ(levels().bananas.selectedIndex, -1);
}

TEST_F(SpritePageTest, TypingATypeUpdatesTheDescriptionAtOnce) {
    type(IDC_SPRITE_TYPE, L"4");
    EXPECT_EQ(field(IDC_SPRITE_DESCRIPTION), L"スライム");
    type(IDC_SPRITE_TYPE, L"FFFE");
    EXPECT_EQ(field(IDC_SPRITE_DESCRIPTION), L"?");
    type(IDC_SPRITE_TYPE, L"ZZ");
    EXPECT_EQ(field(IDC_SPRITE_DESCRIPTION), L"?") << "type 0000 has no name here";
}

TEST_F(SpritePageTest, ApplyWritesTheEntryAndUndoesFromTheEditMenu) {
    selectLine(1);
    typeSprite(L"1f", L"64", L"80", L"12");
    press(IDC_SPRITE_APPLY);
    EXPECT_EQ(bytes(kStage37List + 8, 8), (Bytes{0x1F, 0x00, 0x40, 0x01, 0x50, 0x01, 0x12, 0x00}));
    EXPECT_EQ(lines()[1], L"#1: 001F-0012: ペンギン");
    EXPECT_EQ(lineSelection(), 1);
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの変更(&U)\tCtrl+Z");
    EXPECT_TRUE(editor.project->isModified());

    undo();
    EXPECT_EQ(bytes(kStage37List + 8, 8), (Bytes{0x02, 0x00, 0x2C, 0x02, 0xFA, 0x01, 0x02, 0x00}));
    EXPECT_EQ(lines()[1], L"#1: 0002-0002: ゴブリン");
    EXPECT_EQ(field(IDC_SPRITE_X), L"300");
    EXPECT_FALSE(editor.project->isModified());
    redo();
    EXPECT_EQ(spriteList()[1], (SpriteAllocData{64, 80, 0x12, 0x1F}));
    EXPECT_EQ(storedList(37), sprites().sprites().sprites);
}

TEST_F(SpritePageTest, ZeroParameterIsRefusedWithAMessage) {
    const Bytes before = image();
    selectLine(0);
    for (const wchar_t* parameter : {L"0", L"", L"XYZ"}) {
        editor.dialogs.answerNext(IDOK);
        type(IDC_SPRITE_PARAMETER, parameter);
        press(IDC_SPRITE_APPLY);
        editor.dialogs.answerNext(IDOK);
        press(IDC_SPRITE_ADD);
    }
    ASSERT_EQ(editor.dialogs.seen().size(), 6u);
    for (const auto& seen : editor.dialogs.seen()) {
        EXPECT_EQ(seen.caption, L"エラー");
        EXPECT_EQ(seen.text, L"パラメータに 0 は指定できません。");
    }
    EXPECT_TRUE(image() == before);
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_EQ(lines().size(), 4u);
}

// Stage 38's list moves to an odd offset whose steps through the bank never meet a
// zero word: the reader gives up after one pass, with a sprite at (100, 200) first.
TEST_F(SpritePageTest, EveryEditIsRefusedOnAStageWhoseListCannotBeRead) {
    constexpr unsigned kStart = 0x1401;
    setRomWord(image(), kSpriteBank, 2 * 38, kStart);
    writeSpriteEntry(image(), kStart, {100, 200, 0x12, 0x0101});
    for (unsigned step = 1; step < 0x2000; ++step) {
        const unsigned offset = (kStart + 8 * step) & 0xFFFF;
        if (romWord(image(), kSpriteBank, offset) == 0) setRomWord(image(), kSpriteBank, offset, 0x0101);
    }
    editor.dialogs.answerNext(IDOK);
    openStage(38);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].text, L"スプライトデータの読み込みに失敗しました。");
    const Bytes before = image();
    selectLine(0);
    for (const int id :
         {IDC_SPRITE_APPLY, IDC_SPRITE_ADD, IDC_SPRITE_DELETE, IDC_SPRITE_UP, IDC_SPRITE_DOWN, IDC_SPRITE_SORT}) {
        editor.dialogs.answerNext(IDOK);
        press(id);
    }
    // The drop through the layer itself: after so many message boxes, a late change of
    // activation can take the mouse capture from a drag made with the mouse, which
    // rightly cancels it before its drop.
    editor.dialogs.answerNext(IDOK);
    ASSERT_TRUE(sprites().hitTest(100, 190));
    sprites().dragStep(160, 240);
    sprites().drop(true);
    ASSERT_EQ(editor.dialogs.seen().size(), 8u);
    for (std::size_t i = 1; i < 8; ++i) {
        EXPECT_EQ(editor.dialogs.seen()[i].caption, L"エラー");
        EXPECT_EQ(editor.dialogs.seen()[i].text, L"このステージのスプライトリストは読み込めないため編集できません。");
    }
    EXPECT_TRUE(image() == before);
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_EQ(spriteList()[0], (SpriteAllocData{100, 200, 0x12, 0x0101}));
    // The Edit menu offers no Paste or Delete that would only be refused.
    test::putOnClipboard(SpriteAllocData{0, 0, 0x02, 0x0007});
    EXPECT_TRUE(test::editItemEnabled(editor, IDM_EDIT_COPY));
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_DELETE));
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_PASTE));
}

TEST_F(SpritePageTest, AddWithNothingSelectedAppendsTheTypedSprite) {
    typeSprite(L"9", L"500", L"260", L"6");
    press(IDC_SPRITE_ADD);
    ASSERT_EQ(lines().size(), 5u);
    EXPECT_EQ(lines()[4], L"#4: 0009-0006: コウモリ");
    EXPECT_EQ(lineSelection(), 4);
    EXPECT_EQ(sprites().selectedIndex, 4);
    EXPECT_EQ(field(IDC_SPRITE_NUMBER), L"4");
    EXPECT_EQ(bytes(kStage37List + 32, 10), (Bytes{0x09, 0x00, 0xF4, 0x02, 0x04, 0x02, 0x06, 0x00, 0x00, 0x00}));
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの追加(&U)\tCtrl+Z");
    undo();
    EXPECT_EQ(lines().size(), 4u);
    EXPECT_EQ(lineSelection(), -1) << "no sprite stands at the record's index any more";
}

TEST_F(SpritePageTest, AddRefusedWhenTheListWouldPassItsRoom) {
    openStage(39);
    typeSprite(L"5", L"1", L"2", L"2");
    press(IDC_SPRITE_ADD);
    ASSERT_EQ(lines().size(), 4u) << "8 x 3 + 10 = 34 bytes fit";
    const Bytes before = image();
    editor.dialogs.answerNext(IDOK);
    press(IDC_SPRITE_ADD);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].caption, L"エラー");
    EXPECT_EQ(editor.dialogs.seen()[0].text, L"これ以上スプライトを追加できません。\r\n現在: 34バイト, 最大: 34バイト");
    EXPECT_TRUE(image() == before);
    EXPECT_EQ(lines().size(), 4u);
}

TEST_F(SpritePageTest, DeleteUpDownAndSortThroughTheButtons) {
    selectLine(3);
    press(IDC_SPRITE_DELETE);
    EXPECT_EQ(lines().size(), 3u);
    EXPECT_EQ(lineSelection(), 2) << "the last sprite gone, its predecessor is selected";
    EXPECT_EQ(field(IDC_SPRITE_PARAMETER), L"0003");
    EXPECT_EQ(bytes(kStage37List + 24, 2), (Bytes{0, 0}));

    press(IDC_SPRITE_UP);
    EXPECT_EQ(lines()[1], L"#1: 0003-0004: スライム");
    EXPECT_EQ(lineSelection(), 1);
    EXPECT_EQ(field(IDC_SPRITE_NUMBER), L"1");
    EXPECT_EQ(bytes(kStage37List + 8, 2), (Bytes{3, 0}));
    press(IDC_SPRITE_DOWN);
    EXPECT_EQ(lines()[2], L"#2: 0003-0004: スライム");
    EXPECT_EQ(lineSelection(), 2);

    selectLine(0);
    typeSprite(L"7", L"305", L"1", L"2");
    press(IDC_SPRITE_APPLY); // (305, 1) sorts between (300, 250) and (310, 240)
    press(IDC_SPRITE_SORT);
    EXPECT_EQ(lines(), (std::vector<std::wstring>{L"#0: 0002-0002: ゴブリン", L"#1: 0007-0002: ゴブリン",
                                                  L"#2: 0003-0004: スライム"}));
    EXPECT_EQ(lineSelection(), 1) << "the selection follows its sprite";
    EXPECT_EQ(field(IDC_SPRITE_NUMBER), L"1");
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトのソート(&U)\tCtrl+Z");

    for (int i = 0; i < 5; ++i)
        undo();
    EXPECT_EQ(spriteList(), stage37Sprites());
    EXPECT_EQ(storedList(37), SpriteList(stage37Sprites().begin(), stage37Sprites().end()));
    EXPECT_FALSE(editor.project->isModified());
}

// A line the list makes again loses the mark set on it before the edit.
TEST_F(SpritePageTest, AnEditRewritesOnlyTheLinesWhoseTextItChanges) {
    const HWND list = GetDlgItem(page(), IDC_SPRITE_LIST);
    struct Case {
        const char* edit;
        std::function<void()> act;
        std::vector<int> remade;
    };
    const Case cases[] = {
        {"a move", [&] { selectLine(3), type(IDC_SPRITE_X, L"200"), press(IDC_SPRITE_APPLY); }, {}},
        {"a sort that moves the last sprite to line 1", [&] { press(IDC_SPRITE_SORT); }, {1, 2, 3}},
        {"a sort of a sorted list", [&] { press(IDC_SPRITE_SORT); }, {}},
        {"undoing the no-op sort and the sort", [&] { undo(), undo(); }, {1, 2, 3}},
        {"a new type", [&] { selectLine(1), type(IDC_SPRITE_TYPE, L"12"), press(IDC_SPRITE_APPLY); }, {1}},
        {"up", [&] { selectLine(2), press(IDC_SPRITE_UP); }, {1, 2}},
        {"an add before line 2",
         [&] { selectLine(2), type(IDC_SPRITE_PARAMETER, L"9"), press(IDC_SPRITE_ADD); },
         {2, 3, 4}},
        {"a delete of line 3", [&] { selectLine(3), press(IDC_SPRITE_DELETE); }, {3}},
    };
    for (const Case& c : cases) {
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(i), 1);
        c.act();
        std::vector<int> remade;
        for (int i = 0; i < static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); ++i)
            if (SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) != 1) remade.push_back(i);
        EXPECT_EQ(remade, c.remade) << c.edit;
    }
    EXPECT_EQ(lines(), (std::vector<std::wstring>{L"#0: 0001-0012: ペンギン", L"#1: 0003-0004: スライム",
                                                  L"#2: 0009-0012: ペンギン", L"#3: 0004-0006: コウモリ"}));
}

TEST_F(SpritePageTest, AStageSwitchFillsTheListWithItsRedrawHeld) {
    const ListSpy spy(GetDlgItem(page(), IDC_SPRITE_LIST));
    openStage(38);
    EXPECT_EQ(spy.added, 2);
    EXPECT_EQ(spy.addedWhileDrawing, 0);
    EXPECT_EQ(spy.reserved, 2u) << "storage for the new lines is reserved before they come";
    EXPECT_TRUE(spy.drawing);
}

TEST_F(SpritePageTest, UndoAfterSwitchingStageOpensThatStageAndSelectsTheSprite) {
    selectLine(2);
    type(IDC_SPRITE_PARAMETER, L"ABC");
    press(IDC_SPRITE_APPLY);
    openStage(38);
    levels().showInspectorPage(PageKind::Cameras);
    undo();
    EXPECT_EQ(levels().stageNumber, 37);
    EXPECT_EQ(bytes(kStage37List + 16, 2), (Bytes{0x03, 0x00}));
    EXPECT_EQ(lineSelection(), 2);
    EXPECT_EQ(field(IDC_SPRITE_PARAMETER), L"0003");
    EXPECT_EQ(sprites().selectedIndex, 2);
    EXPECT_TRUE(IsWindowVisible(page())) << "the inspector shows the sprite page";

    redo(); // stage 37 is open now: replayed without a new load
    EXPECT_EQ(levels().stageNumber, 37);
    EXPECT_EQ(lines()[2], L"#2: 0ABC-0004: スライム");
}

TEST_F(SpritePageTest, ReplayScrollsTheMapToASpriteOutOfView) {
    selectLine(3);
    type(IDC_SPRITE_TYPE, L"2");
    press(IDC_SPRITE_APPLY);
    ASSERT_EQ(levels().hScroll.state.position, 0);
    undo();
    const int page = levels().hScroll.state.page;
    EXPECT_EQ(levels().hScroll.state.position, std::min(1200 - page / 2, kMapWidthTiles * 32 - page));
}

TEST_F(SpritePageTest, ClosingTheRomEmptiesAndDisablesThePage) {
    selectLine(0);
    editor.command(IDM_FILE_CLOSE);
    EXPECT_TRUE(lines().empty());
    for (int id = IDC_SPRITE_NUMBER; id <= IDC_SPRITE_DESCRIPTION; ++id)
        EXPECT_EQ(field(id), L"") << id;
    for (int id : {IDC_SPRITE_LIST, IDC_SPRITE_APPLY, IDC_SPRITE_SORT, IDC_SPRITE_TYPE_BROWSE, IDC_SPRITE_X,
                   IDC_SPRITE_NUMBER_LABEL, IDC_SPRITE_DESCRIPTION})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page(), id))) << id;
}

TEST(SpritePageReadTest, ListWithoutTerminatorIsReportedAndShownAsFarAsRead) {
    test::EditorSession editor;
    Bytes image = test::titledImage();
    // Every word of the sprite bank is non-zero, so no list ever ends.
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(imageOffset(kSpriteBank, 0)), kBankSize, 0x11);
    editor.dialogs.answerNext(IDOK);
    ASSERT_TRUE(editor.start(L"\"" + editor.writeRom(L"endless.smc", image) + L"\""));
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].caption, L"エラー");
    EXPECT_EQ(editor.dialogs.seen()[0].text, L"スプライトデータの読み込みに失敗しました。");
    const HWND page = editor.project->levels.sprites.hwnd;
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_SPRITE_LIST, LB_GETCOUNT, 0, 0), kSpriteListScanLimit);
}

} // namespace
} // namespace vexa
