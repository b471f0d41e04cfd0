#include "cameras/cameras_page_win.h"

#include "bananas/object_page_fixture.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using test::ObjectPageTest;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kSelectionMagenta = RGB(255, 128, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGray = RGB(192, 192, 192);

CameraAllocData withLinks(CameraAllocData c, bool right, bool right2, bool down, bool down2) {
    c.rightLink = right;
    c.rightLink2 = right2;
    c.downLink = down;
    c.downLink2 = down2;
    return c;
}

// Stage 1 (map type 1), opened first: camera 1 lies over camera 0, camera 3 far off
// the first view.
const std::vector<CameraAllocData> kStage1 = {
    withLinks({0, 0, 256, 224}, true, false, false, false),
    {0, 0, 1024, 1024},
    withLinks({200, 104, 600, 304}, false, true, false, true),
    {1200, 800, 1600, 1000},
};
// Stage 3 (map type 6): 16 tiles wide from 64, the narrowest the layout stores.
const std::vector<CameraAllocData> kStage3 = {{64, 0, 320, 224}, {256, 0, 512, 224}};
// Stage 5 (map type 8).
const std::vector<CameraAllocData> kStage5 = {{0, 0, 256, 224}};

class CameraPageTest : public ObjectPageTest {
protected:
    void openStages(std::vector<std::vector<CameraAllocData>> stages = {{}, kStage1, {}, kStage3, {}, kStage5},
                    const std::string& rominfo = "") {
        firstStage = 1;
        auto rom = test::objectStageImage();
        stages.resize(test::kStageCount);
        starts = test::putCameraLists(rom, stages);
        original = rom;
        open(rom, rominfo, "[Inspector]\r\nPos_X=660\r\nPos_Y=0\r\n");
    }
    LevelCamerasManager& cameras() { return view().cameras; }
    HWND page() { return view().cameras.hwnd; }
    const CameraAllocData& camera(int index) { return *cameras().editor().itemAt(index); }
    std::wstring lineOf(int index) { return line(page(), IDC_CAMERA_LIST, index); }
    bool checked(int id) { return IsDlgButtonChecked(page(), id) == BST_CHECKED; }
    // Image offsets of the bytes that differ from the ROM as opened.
    std::vector<std::size_t> changedBytes() {
        std::vector<std::size_t> changed;
        for (std::size_t i = 0; i < original.size(); ++i)
            if (image()[i] != original[i]) changed.push_back(i);
        return changed;
    }
    std::size_t slotOffset(int stage, int index) { return 0x3D0000 + starts[stage] + 5u * unsigned(index); }
    void applyRectangle(int index, const wchar_t* left, const wchar_t* top, const wchar_t* right,
                        const wchar_t* bottom) {
        chooseLine(page(), IDC_CAMERA_LIST, index);
        type(page(), IDC_CAMERA_LEFT, left);
        type(page(), IDC_CAMERA_TOP, top);
        type(page(), IDC_CAMERA_RIGHT, right);
        type(page(), IDC_CAMERA_BOTTOM, bottom);
        press(page(), IDC_CAMERA_APPLY);
    }

    std::vector<std::uint16_t> starts;
    std::vector<std::uint8_t> original;
};

TEST_F(CameraPageTest, PageControlsCarryTheirIdsAndTexts) {
    openStages();
    const struct {
        int id;
        const wchar_t* text;
    } labels[] = {{IDC_CAMERA_NUMBER_LABEL, L"番号:"},
                  {IDC_CAMERA_RIGHT_LINK2, L"右に続く(2)"},
                  {IDC_CAMERA_RIGHT_LINK, L"右に続く"},
                  {IDC_CAMERA_DOWN_LINK2, L"下に続く(2)"},
                  {IDC_CAMERA_DOWN_LINK, L"下に続く"},
                  {IDC_CAMERA_P1, L"P1"},
                  {IDC_CAMERA_P2, L"P2"},
                  {IDC_CAMERA_LEFT_LABEL, L"左端(&L):"},
                  {IDC_CAMERA_TOP_LABEL, L"上端(&T):"},
                  {IDC_CAMERA_RIGHT_LABEL, L"右端(&R):"},
                  {IDC_CAMERA_BOTTOM_LABEL, L"下端(&B):"},
                  {IDC_CAMERA_APPLY, L"適用(&A)"},
                  {IDC_CAMERA_UP, L"上へ(&U)"},
                  {IDC_CAMERA_DOWN, L"下へ(&N)"},
                  {IDC_CAMERA_SORT, L"昇順にする(&S)"}};
    for (const auto& label : labels)
        EXPECT_EQ(text(page(), label.id), label.text) << label.id;
    auto style = [&](int id) { return GetWindowLongW(GetDlgItem(page(), id), GWL_STYLE); };
    EXPECT_TRUE(style(IDC_CAMERA_NUMBER) & ES_READONLY);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(page(), IDC_CAMERA_NUMBER), GWL_EXSTYLE), 0);
    for (const int id : {IDC_CAMERA_LEFT, IDC_CAMERA_TOP, IDC_CAMERA_RIGHT, IDC_CAMERA_BOTTOM})
        EXPECT_TRUE(style(id) & ES_NUMBER) << id;
    EXPECT_EQ(style(IDC_CAMERA_APPLY) & 0xF, BS_DEFPUSHBUTTON);
}

TEST_F(CameraPageTest, LinesGiveTheRectangleAndChoosingOneShowsEveryField) {
    openStages();
    ASSERT_EQ(lineCount(page(), IDC_CAMERA_LIST), 4);
    EXPECT_EQ(lineOf(0), L"#0: (0, 0, 256, 224)");
    EXPECT_EQ(lineOf(2), L"#2: (200, 104, 600, 304)");
    view().bananas.selectOnly(1);
    chooseLine(page(), IDC_CAMERA_LIST, 2);
    EXPECT_EQ(text(page(), IDC_CAMERA_NUMBER), L"2");
    EXPECT_EQ(text(page(), IDC_CAMERA_LEFT), L"200");
    EXPECT_EQ(text(page(), IDC_CAMERA_TOP), L"104");
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"600");
    EXPECT_EQ(text(page(), IDC_CAMERA_BOTTOM), L"304");
    EXPECT_TRUE(checked(IDC_CAMERA_RIGHT_LINK2));
    EXPECT_TRUE(checked(IDC_CAMERA_DOWN_LINK2));
    EXPECT_FALSE(checked(IDC_CAMERA_RIGHT_LINK));
    EXPECT_FALSE(checked(IDC_CAMERA_P1));
    EXPECT_EQ(cameras().selectedIndex, 2);
    EXPECT_EQ(view().bananas.selectedIndex, -1);
}

TEST_F(CameraPageTest, RightTypedLeftOfLeftInMapType6Gives16Tiles) {
    openStages();
    loadStage(3);
    applyRectangle(0, L"64", L"0", L"8", L"224");
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"192");
    EXPECT_EQ(lineOf(0), L"#0: (64, 0, 192, 224)");
    EXPECT_EQ(image()[slotOffset(3, 0) + 3], 0) << "stored width: 16 tiles less 16";
    EXPECT_EQ(undoText(), L"元に戻す - カメラの変更(&U)\tCtrl+Z");
}

TEST_F(CameraPageTest, CornerLayoutRoundsRightDownAndLayout8HoldsAHugeWidth) {
    openStages();
    applyRectangle(0, L"0", L"0", L"100", L"224");
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"96");
    applyRectangle(0, L"-16", L"-8", L"99999", L"224");
    EXPECT_EQ(lineOf(0), L"#0: (0, 0, 8192, 224)") << "held to 0 and to the largest value, never wrapped";
    loadStage(5);
    applyRectangle(0, L"0", L"0", L"8320", L"224");
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"8312") << "1040 tiles wide is held to the widest, 1038";
}

TEST_F(CameraPageTest, UndoOfAnApplyWritesBackTheSameFiveBytesWithoutALevelsKey) {
    openStages({{}, kStage1}, "[ROMInfo]\r\n");
    chooseLine(page(), IDC_CAMERA_LIST, 1);
    type(page(), IDC_CAMERA_BOTTOM, L"512");
    SendDlgItemMessageW(page(), IDC_CAMERA_P1, BM_SETCHECK, BST_CHECKED, 0);
    press(page(), IDC_CAMERA_APPLY);
    const auto changed = changedBytes();
    ASSERT_FALSE(changed.empty());
    EXPECT_GE(changed.front(), slotOffset(1, 1));
    EXPECT_LT(changed.back(), slotOffset(1, 1) + 5);
    undo();
    EXPECT_EQ(image(), original);
    EXPECT_EQ(lineOf(1), L"#1: (0, 0, 1024, 1024)");
    EXPECT_FALSE(checked(IDC_CAMERA_P1));
}

TEST_F(CameraPageTest, SortOrdersByLeftThenTop) {
    openStages({{}, {{64, 0, 256, 224}, {0, 32, 256, 224}, {0, 16, 256, 224}}});
    chooseLine(page(), IDC_CAMERA_LIST, 0);
    press(page(), IDC_CAMERA_SORT);
    EXPECT_EQ(lineOf(0), L"#0: (0, 16, 256, 224)");
    EXPECT_EQ(lineOf(1), L"#1: (0, 32, 256, 224)");
    EXPECT_EQ(lineOf(2), L"#2: (64, 0, 256, 224)");
    EXPECT_EQ(selectedLine(page(), IDC_CAMERA_LIST), 2) << "the selected camera is followed";
    EXPECT_EQ(undoText(), L"元に戻す - カメラのソート(&U)\tCtrl+Z");
    undo();
    EXPECT_EQ(image(), original);
}

TEST_F(CameraPageTest, UpOnTheFirstAndDownOnTheLastAddNoStep) {
    openStages();
    chooseLine(page(), IDC_CAMERA_LIST, 0);
    press(page(), IDC_CAMERA_UP);
    chooseLine(page(), IDC_CAMERA_LIST, 3);
    press(page(), IDC_CAMERA_DOWN);
    EXPECT_EQ(undoSteps(), 0u);
    press(page(), IDC_CAMERA_UP);
    EXPECT_EQ(lineOf(2), L"#2: (1200, 800, 1600, 1000)");
    EXPECT_EQ(text(page(), IDC_CAMERA_NUMBER), L"2");
    EXPECT_EQ(undoText(), L"元に戻す - カメラを上へ(&U)\tCtrl+Z");
}

TEST_F(CameraPageTest, UndoOnAnotherStageShowsTheCameraPageAndCentresOnTheTopLeftCorner) {
    openStages();
    applyRectangle(3, L"1200", L"800", L"1400", L"1000");
    loadStage(3);
    view().showInspectorPage(PageKind::Sprites);
    undo();
    EXPECT_EQ(view().stageNumber, 1);
    EXPECT_EQ(inspectorPage(), 2);
    EXPECT_EQ(image(), original);
    EXPECT_EQ(cameras().selectedIndex, 3);
    EXPECT_EQ(view().hScroll.state.position, 1200 - view().hScroll.state.page / 2);
    EXPECT_EQ(view().vScroll.state.position, 800 - view().vScroll.state.page / 2);
}

TEST_F(CameraPageTest, PressNearTheTopLeftCornerPicksTheCornerMode) {
    openStages();
    view().showInspectorPage(PageKind::Sprites);
    mouseDown(203, 106);
    EXPECT_EQ(cameras().selectedIndex, 2);
    EXPECT_EQ(cameras().dragMode(), CameraDragMode::TopLeft);
    EXPECT_EQ(view().objectTool.drag.heldKind(), ObjectKind::Camera);
    EXPECT_EQ(inspectorPage(), 2);
    EXPECT_EQ(selectedLine(page(), IDC_CAMERA_LIST), 2);
    mouseUp(203, 106);
    EXPECT_EQ(cameras().dragMode(), CameraDragMode::None);
    EXPECT_EQ(undoSteps(), 0u);
}

TEST_F(CameraPageTest, MiddleOfALargeCameraPicksNothingButACameraBeneathCanBePicked) {
    openStages();
    mouseDown(500, 500);
    EXPECT_TRUE(!view().objectTool.drag.idle() && !view().objectTool.drag.heldKind()) << "pressed on the empty map";
    EXPECT_EQ(cameras().selectedIndex, -1);
    mouseUp(500, 500);
    mouseDown(254, 150);
    EXPECT_EQ(cameras().selectedIndex, 0);
    EXPECT_EQ(cameras().dragMode(), CameraDragMode::RightEdge);
    mouseUp(254, 150);
}

TEST_F(CameraPageTest, DraggingTheRightEdgeLeftOfLeftPlus128InMapType6Gives16Tiles) {
    openStages();
    loadStage(3);
    mouseDown(510, 100);
    ASSERT_EQ(cameras().dragMode(), CameraDragMode::RightEdge);
    mouseMove(400, 100);
    mouseMove(300, 101);
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"384") << "the field shows what the drop will store";
    EXPECT_EQ(text(page(), IDC_CAMERA_LEFT), L"256");
    mouseUp(300, 101);
    EXPECT_EQ(camera(1).right, 256 + 128);
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"384");
    EXPECT_EQ(undoSteps(), 1u);
}

TEST_F(CameraPageTest, MoveModeKeepsTheSizeAndStepsBy8) {
    openStages();
    mouseDown(210, 114);
    ASSERT_EQ(cameras().dragMode(), CameraDragMode::Move);
    mouseMove(300, 211);
    EXPECT_EQ(text(page(), IDC_CAMERA_LEFT), L"288");
    EXPECT_EQ(text(page(), IDC_CAMERA_TOP), L"200");
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"688");
    EXPECT_EQ(text(page(), IDC_CAMERA_BOTTOM), L"400");
    mouseUp(300, 211);
    EXPECT_EQ(camera(2), withLinks({288, 200, 688, 400}, false, true, false, true));
}

TEST_F(CameraPageTest, DragsPastTheMapEdgesStopAtWhatTheFieldsHold) {
    openStages();
    mouseDown(210, 114);
    mouseMove(-100, -100);
    EXPECT_EQ(text(page(), IDC_CAMERA_LEFT), L"0") << "what the drag shows is what the drop stores";
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"400");
    mouseUp(-100, -100);
    EXPECT_EQ(camera(2), withLinks({0, 0, 400, 200}, false, true, false, true)) << "moved whole, size kept";
    mouseDown(398, 100); // its right edge, far past the largest right edge of map type 1
    ASSERT_EQ(cameras().dragMode(), CameraDragMode::RightEdge);
    mouseMove(9000, 100);
    EXPECT_EQ(text(page(), IDC_CAMERA_RIGHT), L"8192");
    mouseUp(9000, 100);
    EXPECT_EQ(camera(2).right, 8192);
}

TEST_F(CameraPageTest, LosingTheMouseMidDragCancelsIt) {
    openStages();
    mouseDown(210, 114);
    mouseMove(300, 211);
    ASSERT_EQ(text(page(), IDC_CAMERA_LEFT), L"288");
    SendMessageW(view().hwnd, WM_CANCELMODE, 0, 0); // what Alt+Tab or a message box does
    EXPECT_EQ(cameras().dragMode(), CameraDragMode::None);
    EXPECT_EQ(text(page(), IDC_CAMERA_LEFT), L"200") << "the fields show the camera where it was";
    mouseMove(400, 300);
    mouseUp(400, 300);
    EXPECT_EQ(camera(2), kStage1[2]);
    EXPECT_EQ(undoSteps(), 0u);
    EXPECT_EQ(image(), original);
}

// A camera stored with its edges reversed still shows when only part of it is painted.
TEST_F(CameraPageTest, ACameraWithReversedEdgesIsDrawnWhereverItLies) {
    const CameraAllocData reversed{600, 400, 200, 104};
    openStages({{}, {reversed}});
    drawLayers(150, 150, 200, 200); // left of its stored left edge, above its stored top
    EXPECT_EQ(pixel(200, 250), kMagenta) << "its stored right edge, which is its left one";
}

TEST_F(CameraPageTest, HoverCursorsFollowTheZones) {
    openStages();
    auto cursorAt = [&](int x, int y) {
        SetCursor(nullptr);
        return cameras().hoverTest(x, y) ? GetCursor() : nullptr;
    };
    EXPECT_EQ(cursorAt(203, 106), LoadCursorW(nullptr, IDC_SIZENWSE));
    EXPECT_EQ(cursorAt(597, 301), LoadCursorW(nullptr, IDC_SIZENWSE));
    EXPECT_EQ(cursorAt(201, 302), LoadCursorW(nullptr, IDC_SIZENESW));
    EXPECT_EQ(cursorAt(598, 105), LoadCursorW(nullptr, IDC_SIZENESW));
    EXPECT_EQ(cursorAt(202, 200), LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(cursorAt(400, 300), LoadCursorW(nullptr, IDC_SIZENS));
    EXPECT_EQ(cursorAt(215, 110), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_EQ(cursorAt(400, 200), nullptr);
}

TEST_F(CameraPageTest, DrawingShowsTheRectangleLinksLabelAndSelection) {
    openStages();
    chooseLine(page(), IDC_CAMERA_LIST, 0);
    drawLayers(0, 0, 700, 400);
    EXPECT_EQ(pixel(255, 60), kMagenta) << "camera 0's right edge";
    EXPECT_EQ(pixel(253, 112), kMagenta) << "RightLink arrow";
    EXPECT_EQ(pixel(251, 90), kGray);
    EXPECT_EQ(pixel(25, 15), kBlack) << "label box";
    EXPECT_EQ(pixel(27, 10), kMagenta) << "label box edge";
    // Camera 2 (200, 104, 600, 304): RightLink2 at g = 204 +- 10, DownLink2 at w = 400 +- 10.
    EXPECT_EQ(pixel(597, 194), kMagenta);
    EXPECT_EQ(pixel(597, 214), kMagenta);
    EXPECT_EQ(pixel(596, 204), kGray) << "no single arrow between the two";
    EXPECT_EQ(pixel(390, 301), kMagenta);
    EXPECT_EQ(pixel(410, 301), kMagenta);
    EXPECT_EQ(pixel(2, 60), kSelectionMagenta) << "camera 0's selection rectangle";
    EXPECT_EQ(pixel(200, 200), kMagenta) << "camera 2's left edge";
    EXPECT_EQ(pixel(202, 200), kGray) << "camera 2 is not selected";
    int labelText = 0;
    for (int y = 107; y < 121; ++y)
        for (int x = 203; x < 227; ++x)
            labelText += pixel(x, y) == kMagenta;
    EXPECT_GT(labelText, 10) << "#2";
    view().showInspectorPage(PageKind::Cameras);
    screenshot("bc_camera_page");
}

TEST_F(CameraPageTest, P1AndP2ChangeNoPartOfThePicture) {
    openStages();
    drawLayers(0, 0, 700, 400);
    std::vector<COLORREF> before;
    for (int y = 0; y < 400; y += 2)
        for (int x = 0; x < 700; x += 2)
            before.push_back(pixel(x, y));
    chooseLine(page(), IDC_CAMERA_LIST, 0);
    SendDlgItemMessageW(page(), IDC_CAMERA_P1, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageW(page(), IDC_CAMERA_P2, BM_SETCHECK, BST_CHECKED, 0);
    press(page(), IDC_CAMERA_APPLY);
    ASSERT_TRUE(camera(0).p1 && camera(0).p2);
    cameras().selectOnly(-1);
    drawLayers(0, 0, 700, 400);
    std::vector<COLORREF> after;
    for (int y = 0; y < 400; y += 2)
        for (int x = 0; x < 700; x += 2)
            after.push_back(pixel(x, y));
    EXPECT_EQ(after, before);
}

TEST_F(CameraPageTest, DraggedCameraIsDrawnWhereTheDragPutsIt) {
    openStages();
    mouseDown(598, 200);
    mouseMove(648, 200);
    drawLayers(0, 0, 700, 400);
    EXPECT_EQ(pixel(647, 150), kMagenta) << "the right edge moved to 648";
    EXPECT_EQ(pixel(599, 150), kGray) << "and left 600";
    EXPECT_EQ(pixel(645, 150), kSelectionMagenta);
    screenshot("bc_camera_drag");
    mouseUp(648, 200);
    EXPECT_EQ(camera(2).right, 648);
}

TEST_F(CameraPageTest, HidingClearsTheSelectionAndIsRemembered) {
    openStages();
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_CAMERAS));
    chooseLine(page(), IDC_CAMERA_LIST, 2);
    SendMessageW(view().hwnd, WM_CHAR, 'c', 0);
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_CAMERAS));
    EXPECT_EQ(cameras().selectedIndex, -1);
    chooseLine(page(), IDC_CAMERA_LIST, 1);
    EXPECT_EQ(cameras().selectedIndex, -1);
    EXPECT_FALSE(cameras().hoverTest(203, 106));
    drawLayers(0, 0, 300, 300);
    EXPECT_EQ(pixel(255, 60), kGray);
    editor.stop();
    EXPECT_EQ(editor.config(L"MapView", L"ShowCameras"), L"0");
}

TEST_F(CameraPageTest, ClosingTheRomClearsAndDisablesThePage) {
    openStages();
    chooseLine(page(), IDC_CAMERA_LIST, 2);
    editor.command(IDM_FILE_CLOSE);
    EXPECT_EQ(lineCount(page(), IDC_CAMERA_LIST), 0);
    EXPECT_EQ(text(page(), IDC_CAMERA_LEFT), L"");
    EXPECT_EQ(text(page(), IDC_CAMERA_NUMBER), L"");
    EXPECT_FALSE(checked(IDC_CAMERA_RIGHT_LINK2));
    for (const int id : {IDC_CAMERA_LIST, IDC_CAMERA_P2, IDC_CAMERA_BOTTOM, IDC_CAMERA_SORT, IDC_CAMERA_BOTTOM_LABEL})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page(), id))) << id;
}

} // namespace
} // namespace vexa
