// Terrain editing in the real editor on the sample game, with the mouse and keys: each
// tool at 100% and 300% checked in the saved file, the pen's line, Escape, the right
// button's pick, the clipboard's two forms, a stroke that does not fit, undo across
// stages, a block that cannot be edited, and the mode.
#include "terrain/terrain_fixture.h"

#include "app/ini_file.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "sprites/sprite_edits.h"
#include "stage/map_keys_helpers.h"
#include "stage/map_zoom.h"
#include "ui/clipboard_win.h"
#include "ui/texts.h"

#include <cstdlib>
#include <ostream>
#include <random>

namespace vexa {
namespace {

using test::cellWord;
using test::differences;
using test::kCtrl;
using test::kPaintWord;
using test::kSampleStage;
using test::pumpMessages;
using test::setCell;

constexpr int kEditControls[] = {IDC_TERRAIN_WORD, IDC_TERRAIN_PEN,    IDC_TERRAIN_RECTANGLE,
                                 IDC_TERRAIN_FILL, IDC_TERRAIN_SELECT, IDC_TERRAIN_PALETTE};

using TerrainEditTest = test::TerrainTest;

std::optional<TerrainCells> clipboardCells() {
    const auto bytes = clipboardBytes(nullptr, RegisterClipboardFormatW(L"VexaEditor.TerrainCells"));
    return bytes ? decodeTerrainCells(*bytes) : std::nullopt;
}

void paste(TerrainCells& into, const TerrainCells& clip, CellPoint at) {
    for (int row = 0; row < clip.height; ++row)
        for (int column = 0; column < clip.width; ++column)
            setCell(into, {at.column + column, at.row + row}, cellWord(clip, {column, row}));
}

struct ToolCase {
    const char* name;
    int button;
    CellPoint from;
    CellPoint to;
};

void PrintTo(const ToolCase& tool, std::ostream* out) {
    *out << tool.name;
}

// At 300% the view shows about nine by six cells; every case stays inside them.
const ToolCase kToolCases[] = {
    {"Pen", IDC_TERRAIN_PEN, {1, 1}, {4, 1}},
    {"Rectangle", IDC_TERRAIN_RECTANGLE, {3, 3}, {1, 1}},
    {"Fill", IDC_TERRAIN_FILL, {2, 2}, {2, 2}},
    {"SelectAndDelete", IDC_TERRAIN_SELECT, {1, 1}, {3, 2}},
};

class TerrainToolTest : public test::TerrainTest, public ::testing::WithParamInterface<std::tuple<ToolCase, int>> {};

TEST_P(TerrainToolTest, ChangesItsCellsAloneAndTheSavedFileHoldsThem) {
    const auto& [tool, zoom] = GetParam();
    enterTerrainMode();
    typeWord(L"1abc");
    ASSERT_EQ(levels().terrain.currentWord(), kPaintWord);
    press(tool.button);
    zoomTo(zoom);
    drag(tool.from, tool.to);
    if (tool.button == IDC_TERRAIN_SELECT) key(VK_DELETE);

    const std::vector<CellPoint> cells = tool.button == IDC_TERRAIN_FILL
                                             ? fillRegion(opened, tool.from)
                                             : writableCellsIn(opened, CellRect::spanning(tool.from, tool.to));
    ASSERT_GT(cells.size(), 1u);
    TerrainCells expected = cellsOf(opened);
    for (const CellPoint cell : cells)
        setCell(expected, cell, kPaintWord);
    EXPECT_EQ(differences(expected, shownCells()), "");
    EXPECT_EQ(differences(expected, savedCells()), "");
    EXPECT_EQ(undoSteps(), 1u);
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - 地形の変更(&U)\tCtrl+Z");
}

INSTANTIATE_TEST_SUITE_P(Tools, TerrainToolTest,
                         ::testing::Combine(::testing::ValuesIn(kToolCases),
                                            ::testing::Values(IDM_VIEW_ZOOM_100, IDM_VIEW_ZOOM_300)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == IDM_VIEW_ZOOM_100 ? "At100" : "At300");
                         });

TEST_F(TerrainEditTest, AFastPenDragPaintsALineWithoutGaps) {
    enterTerrainMode();
    typeWord(L"1ABC");
    drag({1, 1}, {11, 5});
    const TerrainCells shown = shownCells();
    // Each column from the press to the release holds the word, in rows that touch
    // the column before's.
    int previous = 1;
    for (int column = 1; column <= 11; ++column) {
        std::vector<int> rows;
        for (int row = 0; row < shown.height; ++row)
            if (cellWord(shown, {column, row}) == kPaintWord) rows.push_back(row);
        ASSERT_FALSE(rows.empty()) << "column " << column;
        EXPECT_LE(std::abs(rows.front() - previous), 1) << "column " << column;
        EXPECT_EQ(rows.back() - rows.front() + 1, static_cast<int>(rows.size())) << "column " << column;
        previous = rows.back();
    }
    EXPECT_EQ(cellWord(shown, {1, 1}), kPaintWord);
    EXPECT_EQ(cellWord(shown, {11, 5}), kPaintWord);
    EXPECT_EQ(differences(shown, savedCells()), "");
}

TEST_F(TerrainEditTest, EscapeDuringAPressPutsTheCellsBackAndRecordsNothing) {
    enterTerrainMode();
    typeWord(L"1ABC");
    const test::Bytes before = image();
    mouse(WM_LBUTTONDOWN, {1, 1});
    mouse(WM_MOUSEMOVE, {6, 2});
    ASSERT_NE(differences(cellsOf(opened), shownCells()), "") << "the stroke shows while it is painted";
    key(VK_ESCAPE);
    mouse(WM_LBUTTONUP, {6, 2});
    EXPECT_EQ(differences(imageCells(), shownCells()), "");
    EXPECT_EQ(differences(cellsOf(opened), shownCells()), "");
    EXPECT_TRUE(image() == before);
    EXPECT_EQ(undoSteps(), 0u);
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_UNDO));
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す(&U)\tCtrl+Z");
}

TEST_F(TerrainEditTest, TheRightButtonPicksTheWordOfTheCellUnderIt) {
    enterTerrainMode();
    press(IDC_TERRAIN_PALETTE);
    const test::Bytes before = image();
    const TerrainCells cells = cellsOf(opened);
    const CellPoint sky{0, 0};
    CellPoint other = sky;
    for (int row = 0; row < cells.height && other == sky; ++row)
        for (int column = 0; column < 20 && other == sky; ++column)
            if (cellWord(cells, {column, row}) != cellWord(cells, sky)) other = {column, row};
    ASSERT_NE(other, sky);
    for (const CellPoint cell : {other, sky}) {
        mouse(WM_RBUTTONDOWN, cell);
        mouse(WM_RBUTTONUP, cell);
        EXPECT_EQ(field(IDC_TERRAIN_WORD), hexText4(cellWord(cells, cell)));
        EXPECT_EQ(levels().chipPalette.currentWord(), cellWord(cells, cell));
    }
    EXPECT_TRUE(image() == before) << "a pick edits nothing";
    EXPECT_EQ(undoSteps(), 0u);
}

TEST_F(TerrainEditTest, CopyPutsBothFormsAndPasteTakesEitherAndRefusesNonsense) {
    enterTerrainMode();
    press(IDC_TERRAIN_SELECT);
    drag({2, 3}, {4, 5});
    key('C', kCtrl);
    TerrainCells clip{3, 3, {}};
    std::wstring text;
    for (int row = 3; row <= 5; ++row)
        for (int column = 2; column <= 4; ++column) {
            clip.words.push_back(cellWord(cellsOf(opened), {column, row}));
            text += (column > 2 ? L" " : row > 3 ? L"\r\n" : L"") + hexText4(clip.words.back());
        }
    EXPECT_EQ(clipboardCells(), clip);
    EXPECT_EQ(test::clipboardText(), text);

    TerrainCells expected = cellsOf(opened);
    pointAt(CellPoint{20, 8});
    key('V', kCtrl);
    paste(expected, clip, {20, 8});
    EXPECT_EQ(differences(expected, shownCells()), "") << "at the cell under the pointer";

    // With the pointer elsewhere, at the view's top left cell.
    levels().scrollTo({30 * kTileSize + 5, 0});
    pointAt(std::nullopt);
    key('V', kCtrl);
    paste(expected, clip, {30, 0});
    EXPECT_EQ(differences(expected, shownCells()), "") << "at the view's top left cell";

    test::putText(L"0123 0456\r\n0789\t0abc\r\n");
    key('V', kCtrl);
    paste(expected, {2, 2, {0x0123, 0x0456, 0x0789, 0x0ABC}}, {30, 0});
    EXPECT_EQ(differences(expected, shownCells()), "") << "another program's text";
    EXPECT_EQ(undoSteps(), 3u);

    const test::Bytes before = image();
    test::putText(L"grass, sky");
    editor.dialogs.answerNext(IDOK);
    key('V', kCtrl);
    EXPECT_EQ(messages(), std::vector<std::wstring>{vexa::text(IDS_NOT_TERRAIN_CELLS)});
    EXPECT_TRUE(image() == before);
    EXPECT_EQ(undoSteps(), 3u);
    EXPECT_EQ(differences(expected, savedCells()), "");
}

class TerrainTinyFreeSpaceTest : public test::TerrainTest {
protected:
    std::string freeSpace() const override { return "0=330010-33001F\r\n"; }
};

TEST_F(TerrainTinyFreeSpaceTest, AStrokeThatDoesNotFitIsRefusedAndTheCellsStayAsTheyWere) {
    enterTerrainMode();
    std::mt19937 random(37);
    std::wstring noise;
    for (int row = 0; row < 16; ++row, noise += L"\r\n")
        for (int column = 0; column < 40; ++column)
            noise += (column ? L" " : L"") + hexText4(static_cast<std::uint16_t>(random()));
    test::putText(noise);
    const test::Bytes before = image();
    editor.dialogs.answerNext(IDOK);
    key('V', kCtrl);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind(L"地形データが入りきりません。", 0), 0u);
    EXPECT_EQ(differences(cellsOf(opened), shownCells()), "");
    EXPECT_TRUE(image() == before);
    EXPECT_EQ(undoSteps(), 0u);
}

TEST_F(TerrainEditTest, UndoAndRedoOpenTheEditedStageAgain) {
    enterTerrainMode();
    typeWord(L"1ABC");
    drag({1, 1}, {5, 1});
    const TerrainCells edited = shownCells();
    ASSERT_NE(differences(cellsOf(opened), edited), "");
    for (const int command : {IDM_EDIT_UNDO, IDM_EDIT_REDO}) {
        levels().openStage(38);
        ASSERT_EQ(levels().stageNumber, 38);
        editor.command(command);
        EXPECT_EQ(levels().stageNumber, kSampleStage);
        const TerrainCells now = command == IDM_EDIT_UNDO ? cellsOf(opened) : edited;
        EXPECT_EQ(differences(now, shownCells()), "") << command;
        EXPECT_EQ(differences(now, imageCells()), "") << command;
    }
    EXPECT_EQ(differences(edited, savedCells()), "");
}

struct LockedCase {
    const char* name;
    std::string freeSpace;
    int stage;
    const wchar_t* info;
};

void PrintTo(const LockedCase& locked, std::ostream* out) {
    *out << locked.name;
}

class LockedTerrainTest : public test::TerrainTest, public ::testing::WithParamInterface<LockedCase> {
protected:
    std::string freeSpace() const override { return GetParam().freeSpace; }
};

TEST_P(LockedTerrainTest, ThePageIsDisabledAndSaysWhyAndThePenChangesNothing) {
    const LockedCase& locked = GetParam();
    enterTerrainMode();
    levels().openStage(locked.stage);
    for (const int id : kEditControls)
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page(), id))) << id;
    EXPECT_EQ(field(IDC_TERRAIN_INFO), locked.info);
    const test::Bytes before = image();
    drag({1, 1}, {4, 1});
    EXPECT_TRUE(image() == before);
    EXPECT_TRUE(messages().empty());
    // A stage of another block enables them again (stage 4 shows terrain 01).
    levels().openStage(locked.stage == kSampleStage ? 4 : kSampleStage);
    for (const int id : kEditControls)
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page(), id))) << id;
}

INSTANTIATE_TEST_SUITE_P(Blocks, LockedTerrainTest,
                         ::testing::Values(LockedCase{"NoTerrainData", "", 2,
                                                      L"このステージには地形データがありません。"},
                                           LockedCase{"FreeRangeOverTheBlock", "0=300020-3000FF\r\n", kSampleStage,
                                                      L"地形 00 は編集できません: 空き領域が一部にかかっています。\r\n"
                                                      L"(vexa validate が詳しく報告します)"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TerrainEditTest, TheKeyAndTheMenuToggleTheTerrainPageWhereObjectsAreNotPickedAndTheToolIsKept) {
    LevelEditInspector& inspector = levels().inspector;
    SendMessageW(inspector.tabControl, TCM_SETCURSEL, tabIndexOf(PageKind::Bananas), 0);
    NMHDR header{inspector.tabControl, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(inspector.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    for (const bool byKey : {true, false}) {
        for (const PageKind expected : {PageKind::Terrain, PageKind::Bananas}) {
            if (byKey)
                key('T');
            else
                editor.command(IDM_EDIT_TERRAIN);
            EXPECT_EQ(inspector.shownPage(), tabIndexOf(expected)) << byKey;
            EXPECT_EQ(levels().inTerrainMode(), expected == PageKind::Terrain) << byKey;
            EXPECT_EQ(editor.menuChecked(IDM_EDIT_TERRAIN), expected == PageKind::Terrain) << byKey;
        }
    }

    const SpriteList& sprites = levels().sprites.sprites().sprites;
    const SpriteAllocData sprite = sprites.front();
    const int picked = spriteIndexAt(sprites, sprite.x, sprite.y - 8);
    ASSERT_GE(picked, 0);
    levels().centerOn(sprite.x, sprite.y);
    pumpMessages();
    const POINT scroll = levels().scrollPosition();
    const POINT at{static_cast<LONG>(mapToView(sprite.x, levels().zoomPercent())) - scroll.x,
                   static_cast<LONG>(mapToView(sprite.y - 8, levels().zoomPercent())) - scroll.y};
    const auto click = [&] {
        SendMessageW(mapView(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageW(mapView(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        pumpMessages();
    };
    click();
    ASSERT_EQ(levels().sprites.selectedIndex, picked) << "picked outside terrain mode";
    enterTerrainMode();
    EXPECT_EQ(levels().sprites.selectedIndex, -1);
    press(IDC_TERRAIN_SELECT);
    click();
    EXPECT_EQ(levels().sprites.selectedIndex, -1);
    EXPECT_EQ(inspector.shownPage(), tabIndexOf(PageKind::Terrain));

    // The tool chosen is the one the next start works with.
    editor.stop();
    EXPECT_EQ(editor.config(L"Terrain", L"Tool"), L"3");
    ASSERT_TRUE(editor.start());
    EXPECT_EQ(levels().terrainTool.kind, TerrainToolKind::Select);
    EXPECT_EQ(IsDlgButtonChecked(page(), IDC_TERRAIN_SELECT), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page(), IDC_TERRAIN_PEN), BST_UNCHECKED);
}

} // namespace
} // namespace vexa
