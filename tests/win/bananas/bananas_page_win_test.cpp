#include "bananas/bananas_page_win.h"

#include "bananas/object_page_fixture.h"
#include "resources/resource_ids.h"
#include "tools/sample_game/rom_blocks.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using test::ObjectPageTest;
using test::pumpMessages;

constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kSelectionYellow = RGB(255, 255, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGray = RGB(192, 192, 192);

// Stage 0 (map type 0): banana 2 overlaps banana 1, banana 3 lies far off the first view.
const std::vector<BananaAllocData> kStage0 = {
    {16, 16, false, false, 0}, {64, 32, true, false, 5}, {72, 40, false, true, 0x20}, {1000, 600, false, false, 1}};

std::vector<std::uint8_t> bytes(const std::vector<std::uint8_t>& image, std::uint16_t start, int index) {
    std::vector<std::uint8_t> entry;
    for (unsigned i = 0; i < 4; ++i)
        entry.push_back(romByte(image, 0x2C, start + 4u * unsigned(index) + i));
    return entry;
}

std::vector<std::uint8_t> wordBytes(std::uint32_t word) {
    return {std::uint8_t(word), std::uint8_t(word >> 8), std::uint8_t(word >> 16), std::uint8_t(word >> 24)};
}

class BananaPageTest : public ObjectPageTest {
protected:
    void openStages(std::vector<std::vector<BananaAllocData>> stages = {kStage0},
                    const std::string& rominfo = "[Bananas]\r\nBananaSetCount=16\r\n"
                                                 "[BananaSetName]\r\n00=三角\r\n05=四角\r\n",
                    const std::string& config = "") {
        auto rom = test::objectStageImage();
        stages.resize(test::kStageCount);
        starts = test::putBananaLists(rom, stages);
        sample::writeBananaSet(rom, kDefaultBananaSets, 0, 0x200, {"", {".##", "#.#"}});
        sample::writeBananaSet(rom, kDefaultBananaSets, 1, 0x240, {"", {std::string(40, '#')}});
        original = rom;
        open(rom, test::utf8Rominfo(rominfo), "[Inspector]\r\nPos_X=660\r\nPos_Y=0\r\n" + config);
    }
    LevelBananasManager& bananas() { return view().bananas; }
    HWND page() { return view().bananas.hwnd; }
    std::vector<std::uint8_t> slot(int index) { return bytes(image(), starts[0], index); }
    std::vector<std::uint8_t> originalSlot(int index) { return bytes(original, starts[0], index); }
    int comboSelection() { return int(SendDlgItemMessageW(page(), IDC_BANANA_SET, CB_GETCURSEL, 0, 0)); }
    bool checked(int id) { return IsDlgButtonChecked(page(), id) == BST_CHECKED; }
    std::wstring lineOf(int index) { return line(page(), IDC_BANANA_LIST, index); }

    std::vector<std::uint16_t> starts;
    std::vector<std::uint8_t> original;
};

TEST_F(BananaPageTest, PageControlsCarryTheirIdsTextsAndStyles) {
    openStages();
    const struct {
        int id;
        const wchar_t* text;
    } labels[] = {{IDC_BANANA_NUMBER_LABEL, L"番号:"}, {IDC_BANANA_X_LABEL, L"X座標(&X):"},
                  {IDC_BANANA_Y_LABEL, L"Y座標(&Y):"}, {IDC_BANANA_FRONT1, L"手前に表示1"},
                  {IDC_BANANA_FRONT2, L"手前に表示2"}, {IDC_BANANA_SET_LABEL, L"種類(&T):"},
                  {IDC_BANANA_APPLY, L"適用(&A)"},     {IDC_BANANA_UP, L"上へ(&U)"},
                  {IDC_BANANA_DOWN, L"下へ(&N)"},      {IDC_BANANA_SORT, L"昇順にする(&S)"}};
    for (const auto& label : labels)
        EXPECT_EQ(text(page(), label.id), label.text) << label.id;
    auto style = [&](int id) { return GetWindowLongW(GetDlgItem(page(), id), GWL_STYLE); };
    EXPECT_TRUE(style(IDC_BANANA_LIST) & LBS_NOTIFY);
    EXPECT_TRUE(style(IDC_BANANA_NUMBER) & ES_READONLY);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(page(), IDC_BANANA_NUMBER), GWL_EXSTYLE), 0);
    EXPECT_TRUE(style(IDC_BANANA_X) & ES_NUMBER);
    EXPECT_TRUE(style(IDC_BANANA_Y) & ES_NUMBER);
    EXPECT_EQ(style(IDC_BANANA_SET) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(style(IDC_BANANA_SET_WINDOW) & (ES_MULTILINE | ES_READONLY), ES_MULTILINE | ES_READONLY);
    EXPECT_EQ(style(IDC_BANANA_APPLY) & 0xF, BS_DEFPUSHBUTTON);
    EXPECT_EQ(style(IDC_BANANA_FRONT1) & 0xF, BS_AUTOCHECKBOX);
}

TEST_F(BananaPageTest, SetComboOffersBananaSetCountSetsByNumberAndName) {
    openStages();
    ASSERT_EQ(SendDlgItemMessageW(page(), IDC_BANANA_SET, CB_GETCOUNT, 0, 0), 16);
    wchar_t item[64] = {};
    SendDlgItemMessageW(page(), IDC_BANANA_SET, CB_GETLBTEXT, 5, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"05: 四角");
    SendDlgItemMessageW(page(), IDC_BANANA_SET, CB_GETLBTEXT, 15, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"0F: ?");
}

TEST_F(BananaPageTest, WithoutSettingsTheComboHolds109Sets) {
    openStages({kStage0}, "[ROMInfo]\r\n");
    EXPECT_EQ(SendDlgItemMessageW(page(), IDC_BANANA_SET, CB_GETCOUNT, 0, 0), 109);
    EXPECT_EQ(lineOf(0), L"#0: 00: ?");
}

TEST_F(BananaPageTest, LinesGiveIndexSetNumberAndSetName) {
    openStages();
    ASSERT_EQ(lineCount(page(), IDC_BANANA_LIST), 4);
    EXPECT_EQ(lineOf(0), L"#0: 00: 三角");
    EXPECT_EQ(lineOf(1), L"#1: 05: 四角");
    EXPECT_EQ(lineOf(2), L"#2: 20: ?");
    EXPECT_EQ(bananas().selectedIndex, -1);
}

TEST_F(BananaPageTest, ChoosingALineShowsTheBananaItsSetAndSelectsItOnTheMap) {
    openStages();
    view().cameras.selectOnly(0);
    chooseLine(page(), IDC_BANANA_LIST, 1);
    EXPECT_EQ(text(page(), IDC_BANANA_NUMBER), L"1");
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"64");
    EXPECT_EQ(text(page(), IDC_BANANA_Y), L"32");
    EXPECT_TRUE(checked(IDC_BANANA_FRONT1));
    EXPECT_FALSE(checked(IDC_BANANA_FRONT2));
    EXPECT_EQ(comboSelection(), 5);
    EXPECT_EQ(bananas().selectedIndex, 1);
    EXPECT_EQ(view().cameras.selectedIndex, -1);

    chooseLine(page(), IDC_BANANA_LIST, 0);
    EXPECT_EQ(text(page(), IDC_BANANA_SET_WINDOW), L"┼●●\r\n●┼●\r\n");
    EXPECT_EQ(bananas().setWindow().set.width, 3);
    EXPECT_EQ(bananas().setWindow().set.height, 2);
}

TEST_F(BananaPageTest, ComboChangeShowsTheSetAtOnceAndAppliesNothing) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 0);
    SendDlgItemMessageW(page(), IDC_BANANA_SET, CB_SETCURSEL, 1, 0);
    SendMessageW(page(), WM_COMMAND, MAKEWPARAM(IDC_BANANA_SET, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page(), IDC_BANANA_SET)));
    EXPECT_EQ(text(page(), IDC_BANANA_SET_WINDOW), std::wstring(32, L'●') + L"\r\n") << "a set 40 columns wide";
    EXPECT_EQ(image(), original);
    EXPECT_EQ(undoSteps(), 0u);
}

TEST_F(BananaPageTest, ApplyWritesTheMaskedFieldsAndUndoRedoRestoreTheBytes) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 0);
    type(page(), IDC_BANANA_X, L"16383");
    type(page(), IDC_BANANA_Y, L"1023");
    SendDlgItemMessageW(page(), IDC_BANANA_SET, CB_SETCURSEL, 5, 0);
    press(page(), IDC_BANANA_APPLY);
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"16376");
    EXPECT_EQ(text(page(), IDC_BANANA_Y), L"1016");
    EXPECT_EQ(lineOf(0), L"#0: 05: 四角");
    EXPECT_EQ(selectedLine(page(), IDC_BANANA_LIST), 0);
    EXPECT_EQ(slot(0), wordBytes(0x05000000u | (2047u | 127u << 11) << 4));
    EXPECT_EQ(undoText(), L"元に戻す - バナナの変更(&U)\tCtrl+Z");

    undo();
    EXPECT_EQ(image(), original);
    EXPECT_EQ(lineOf(0), L"#0: 00: 三角");
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"16");
    redo();
    EXPECT_EQ(slot(0)[3], 0x05);
    EXPECT_TRUE(editor.project->isModified());
}

TEST_F(BananaPageTest, ApplyWithNoLineSelectedAddsNoStep) {
    openStages();
    type(page(), IDC_BANANA_X, L"80");
    press(page(), IDC_BANANA_APPLY);
    EXPECT_EQ(undoSteps(), 0u);
    EXPECT_EQ(image(), original);
}

TEST_F(BananaPageTest, ApplyUnchangedStillAddsOneStep) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 1);
    press(page(), IDC_BANANA_APPLY);
    EXPECT_EQ(undoSteps(), 1u);
    EXPECT_EQ(image(), original);
}

TEST_F(BananaPageTest, SetBeyondTheCombosItemsIsKeptWhenOnlyThePositionChanges) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 2);
    EXPECT_EQ(comboSelection(), -1) << "set 0x20 is past the 16 items";
    type(page(), IDC_BANANA_X, L"80");
    press(page(), IDC_BANANA_APPLY);
    EXPECT_EQ(bananas().editor().itemAt(2)->x, 80);
    EXPECT_EQ(slot(2)[3], 0x20);
    EXPECT_EQ(lineOf(2), L"#2: 20: ?");
}

TEST_F(BananaPageTest, UpOnBanana3ThenUndoRestoresBothEntries) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 3);
    press(page(), IDC_BANANA_UP);
    EXPECT_EQ(slot(2), originalSlot(3));
    EXPECT_EQ(slot(3), originalSlot(2));
    EXPECT_EQ(lineOf(2), L"#2: 01: ?");
    EXPECT_EQ(selectedLine(page(), IDC_BANANA_LIST), 2);
    EXPECT_EQ(text(page(), IDC_BANANA_NUMBER), L"2");
    EXPECT_EQ(bananas().selectedIndex, 2);

    view().showInspectorPage(PageKind::Sprites);
    undo();
    EXPECT_EQ(image(), original);
    EXPECT_EQ(selectedLine(page(), IDC_BANANA_LIST), 3);
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"1000");
    EXPECT_EQ(inspectorPage(), 1);
    EXPECT_EQ(bananas().selectedIndex, 3);
}

TEST_F(BananaPageTest, UpAtTheTopAndDownAtTheBottomDoNothing) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 0);
    press(page(), IDC_BANANA_UP);
    chooseLine(page(), IDC_BANANA_LIST, 3);
    press(page(), IDC_BANANA_DOWN);
    EXPECT_EQ(undoSteps(), 0u);
    EXPECT_EQ(image(), original);

    chooseLine(page(), IDC_BANANA_LIST, 1);
    press(page(), IDC_BANANA_DOWN);
    EXPECT_EQ(selectedLine(page(), IDC_BANANA_LIST), 2);
    EXPECT_EQ(undoText(), L"元に戻す - バナナを下へ(&U)\tCtrl+Z");
}

TEST_F(BananaPageTest, SortOrdersByXThenYOnTheStagesOwnMapType) {
    openStages({kStage0, {}, {}, {}, {{8, 16, false, false, 1}, {8, 8, false, false, 2}, {0, 24, false, false, 3}}});
    loadStage(4);
    ASSERT_EQ(view().mapType, 7);
    press(page(), IDC_BANANA_SORT);
    EXPECT_EQ(lineOf(0), L"#0: 03: ?");
    EXPECT_EQ(lineOf(1), L"#1: 02: ?");
    EXPECT_EQ(lineOf(2), L"#2: 01: ?");
    EXPECT_EQ(undoText(), L"元に戻す - バナナのソート(&U)\tCtrl+Z");
    EXPECT_EQ(bananas().editor().itemAt(0)->y, 24);
    undo();
    EXPECT_EQ(image(), original);
}

TEST_F(BananaPageTest, UndoOnAnotherStageLoadsItFirstAndShowsTheBananaPage) {
    openStages({kStage0, {}, {}, {{40, 48, false, false, 9}}});
    chooseLine(page(), IDC_BANANA_LIST, 0);
    type(page(), IDC_BANANA_Y, L"200");
    press(page(), IDC_BANANA_APPLY);
    loadStage(3);
    view().showInspectorPage(PageKind::Cameras);
    ASSERT_EQ(lineOf(0), L"#0: 09: ?");

    undo();
    EXPECT_EQ(view().stageNumber, 0);
    EXPECT_EQ(view().mapType, 0);
    EXPECT_EQ(image(), original);
    EXPECT_EQ(lineOf(0), L"#0: 00: 三角");
    EXPECT_EQ(lineCount(page(), IDC_BANANA_LIST), 4);
    EXPECT_EQ(inspectorPage(), 1);
    EXPECT_TRUE(IsWindowVisible(page()));
}

TEST_F(BananaPageTest, UndoCentresOnABananaOutsideTheViewAndDoubleClickCentresToo) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 3);
    press(page(), IDC_BANANA_APPLY);
    view().centerOn(0, 0);
    undo();
    EXPECT_EQ(view().hScroll.state.position, 1000 - view().hScroll.state.page / 2);
    EXPECT_EQ(view().vScroll.state.position, 600 - view().vScroll.state.page / 2);

    view().centerOn(0, 0);
    doubleClickLine(page(), IDC_BANANA_LIST, 3);
    EXPECT_EQ(view().hScroll.state.position, 1000 - view().hScroll.state.page / 2);
}

TEST_F(BananaPageTest, ClickPicksTheLaterOfTwoOverlappingBananasAndShowsTheirPage) {
    openStages();
    view().showInspectorPage(PageKind::Sprites);
    view().sprites.selectOnly(4);
    mouseDown(80, 50);
    EXPECT_EQ(bananas().selectedIndex, 2);
    EXPECT_EQ(view().objectTool.drag.heldKind(), ObjectKind::Banana);
    EXPECT_EQ(inspectorPage(), 1);
    EXPECT_EQ(view().sprites.selectedIndex, -1);
    EXPECT_EQ(selectedLine(page(), IDC_BANANA_LIST), 2);
    mouseMove(82, 47);
    mouseUp(82, 47);
    EXPECT_EQ(undoSteps(), 0u) << "the pointer stayed in the dead zone";
    EXPECT_EQ(image(), original);
}

TEST_F(BananaPageTest, DropStoresTheNearestMultipleOf8) {
    openStages();
    // Grabbed 4 pixels into banana 0: its top-left goes to 13, 43 and then to 11, 51.
    dragOnMap(20, 20, 17, 47);
    EXPECT_EQ(bananas().editor().itemAt(0)->x, 16);
    EXPECT_EQ(bananas().editor().itemAt(0)->y, 40);
    EXPECT_EQ(text(page(), IDC_BANANA_Y), L"40");
    dragOnMap(20, 44, 15, 55);
    EXPECT_EQ(bananas().editor().itemAt(0)->x, 8);
    EXPECT_EQ(bananas().editor().itemAt(0)->y, 48);
    EXPECT_EQ(slot(0), wordBytes((1u | 6u << 11) << 4));
    EXPECT_EQ(undoSteps(), 2u);
    EXPECT_FALSE(bananas().dragging());
    EXPECT_EQ(undoText(), L"元に戻す - バナナの変更(&U)\tCtrl+Z");
}

TEST_F(BananaPageTest, DragsAndTypedValuesStopAtWhatTheFieldsHold) {
    openStages();
    mouseDown(20, 20);
    mouseMove(-30, -30);
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"0") << "what the drag shows is what the drop stores";
    EXPECT_EQ(text(page(), IDC_BANANA_Y), L"0");
    mouseUp(-30, -30);
    EXPECT_EQ(bananas().editor().itemAt(0)->x, 0);
    EXPECT_EQ(bananas().editor().itemAt(0)->y, 0);
    type(page(), IDC_BANANA_X, L"-8");
    type(page(), IDC_BANANA_Y, L"99999");
    press(page(), IDC_BANANA_APPLY);
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"0");
    EXPECT_EQ(text(page(), IDC_BANANA_Y), L"1016");
    EXPECT_EQ(slot(0), wordBytes((127u << 11) << 4));
}

TEST_F(BananaPageTest, LosingTheMouseMidDragCancelsIt) {
    openStages();
    mouseDown(20, 20);
    mouseMove(200, 200);
    SendMessageW(view().hwnd, WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(bananas().dragging());
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"16");
    mouseMove(300, 300);
    mouseUp(300, 300);
    EXPECT_EQ(bananas().editor().itemAt(0)->x, 16);
    EXPECT_EQ(undoSteps(), 0u);
    EXPECT_EQ(image(), original);
}

TEST_F(BananaPageTest, DrawingShowsBoxMarkLabelsAndTheSelectionFrame) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 0);
    drawLayers(0, 0, 200, 200);
    EXPECT_EQ(pixel(17, 17), kYellow) << "corner mark";
    EXPECT_EQ(pixel(39, 30), kYellow) << "box edge";
    EXPECT_EQ(pixel(30, 49), kBlack) << "box body";
    EXPECT_EQ(pixel(14, 30), kSelectionYellow) << "selection frame";
    EXPECT_EQ(pixel(10, 10), kGray);
    int labelPixels = 0;
    for (int y = 22; y < 46; ++y)
        for (int x = 19; x < 39; ++x)
            labelPixels += pixel(x, y) == kYellow;
    EXPECT_GT(labelPixels, 20) << "#0 and 00";
    EXPECT_EQ(pixel(64, 40), kYellow) << "banana 1's edge";
    EXPECT_NE(pixel(62, 40), kSelectionYellow) << "only the selected banana is framed";

    mouseDown(20, 20);
    mouseMove(124, 124);
    drawLayers(0, 0, 200, 200);
    EXPECT_EQ(pixel(17, 17), kGray) << "the dragged banana leaves its place";
    EXPECT_EQ(pixel(121, 121), kYellow) << "and is drawn at the drag position";
    EXPECT_EQ(pixel(118, 130), kSelectionYellow);
    screenshot("bc_banana_drag");
    mouseUp(124, 124);
}

TEST_F(BananaPageTest, HoverOverABananaShowsTheFourHeadedCursor) {
    openStages();
    EXPECT_TRUE(bananas().hoverTest(20, 20));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_FALSE(bananas().hoverTest(200, 200));
}

TEST_F(BananaPageTest, HidingClearsTheMapSelectionAndIsRemembered) {
    openStages();
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_BANANAS));
    chooseLine(page(), IDC_BANANA_LIST, 1);
    ASSERT_EQ(bananas().selectedIndex, 1);
    SendMessageW(view().hwnd, WM_CHAR, 'b', 0);
    EXPECT_FALSE(bananas().shown());
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_BANANAS));
    EXPECT_EQ(bananas().selectedIndex, -1);

    chooseLine(page(), IDC_BANANA_LIST, 0);
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"16");
    EXPECT_EQ(bananas().selectedIndex, -1) << "hidden bananas are not selected on the map";
    EXPECT_FALSE(bananas().hoverTest(20, 20));
    mouseDown(20, 20);
    EXPECT_TRUE(!view().objectTool.drag.idle() && !view().objectTool.drag.heldKind()) << "pressed on the empty map";
    mouseUp(20, 20);
    drawLayers(0, 0, 100, 100);
    EXPECT_EQ(pixel(17, 17), kGray);

    editor.stop();
    EXPECT_EQ(editor.config(L"MapView", L"ShowBananas"), L"0");
    ASSERT_TRUE(editor.start());
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_BANANAS));
}

TEST_F(BananaPageTest, ClosingTheRomClearsAndDisablesThePage) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 1);
    editor.command(IDM_FILE_CLOSE);
    EXPECT_EQ(lineCount(page(), IDC_BANANA_LIST), 0);
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"");
    EXPECT_EQ(text(page(), IDC_BANANA_NUMBER), L"");
    EXPECT_FALSE(checked(IDC_BANANA_FRONT1));
    EXPECT_EQ(comboSelection(), 0);
    EXPECT_EQ(text(page(), IDC_BANANA_SET_WINDOW), L"");
    EXPECT_EQ(bananas().editor().count(), 0);
    for (const int id : {IDC_BANANA_LIST, IDC_BANANA_X, IDC_BANANA_SET, IDC_BANANA_SET_WINDOW, IDC_BANANA_APPLY,
                         IDC_BANANA_SORT, IDC_BANANA_NUMBER_LABEL})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page(), id))) << id;
}

// The map view's own painting, not the layers alone: the chosen banana framed where it
// lies, the others unframed, under the page that shows it.
TEST_F(BananaPageTest, PaintedMapFramesTheBananaThePageShows) {
    openStages();
    chooseLine(page(), IDC_BANANA_LIST, 0);
    view().showInspectorPage(PageKind::Bananas);
    EXPECT_TRUE(IsWindowVisible(page()));
    EXPECT_FALSE(IsWindowVisible(view().sprites.hwnd));
    EXPECT_FALSE(IsWindowVisible(view().cameras.hwnd));
    EXPECT_EQ(text(page(), IDC_BANANA_X), L"16");

    RedrawWindow(view().hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(shownPixel(17, 17), kYellow) << "corner mark";
    EXPECT_EQ(shownPixel(30, 49), kBlack) << "box body";
    EXPECT_EQ(shownPixel(14, 30), kSelectionYellow) << "selection frame";
    EXPECT_EQ(shownPixel(64, 40), kYellow) << "banana 1's edge";
    EXPECT_NE(shownPixel(62, 40), kSelectionYellow) << "only the chosen banana is framed";
    EXPECT_NE(shownPixel(200, 200), kYellow) << "nothing where no banana lies";
    screenshot("bc_banana_page");
}

} // namespace
} // namespace vexa
