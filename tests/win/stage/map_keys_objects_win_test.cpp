// The map view's editing keys on bananas and cameras: they sit in fixed slots, so
// Delete only beeps, a paste applies the copied values to the selected object of the
// same kind, and Shift+arrows move them by the 8-pixel unit of their drags.
#include "bananas/object_page_fixture.h"
#include "stage/map_keys_helpers.h"

#include "resources/resource_ids.h"
#include "stage/view/map_edit_win.h"

namespace vexa {
namespace {

using test::kCtrl;
using test::kShift;
using test::pressMapKey;

const std::vector<BananaAllocData> kBananas = {{64, 64, false, false, 0}, {128, 64, true, false, 5}};
const std::vector<CameraAllocData> kCameras = {{0, 0, 256, 224, true, false, false, false, false, false},
                                               {256, 0, 384, 112, false, false, false, false, false, true}};

class MapKeysObjectTest : public test::ObjectPageTest {
protected:
    void SetUp() override {
        auto rom = test::objectStageImage();
        std::vector<std::vector<BananaAllocData>> bananaStages{kBananas};
        std::vector<std::vector<CameraAllocData>> cameraStages{kCameras};
        bananaStages.resize(test::kStageCount);
        cameraStages.resize(test::kStageCount);
        test::putBananaLists(rom, bananaStages);
        test::putCameraLists(rom, cameraStages);
        open(rom, "", "[Inspector]\r\nPos_X=660\r\nPos_Y=0\r\n");
        original = image();
    }
    void key(WPARAM code, int modifiers = test::kNoModifier) { pressMapKey(view().hwnd, code, modifiers); }
    void clickAt(int x, int y) {
        mouseDown(x, y);
        mouseUp(x, y);
    }
    std::vector<BananaAllocData> bananas() {
        const auto& items = view().bananas.editor().items();
        return {items.begin(), items.end()};
    }
    std::vector<CameraAllocData> cameras() {
        const auto& items = view().cameras.editor().items();
        return {items.begin(), items.end()};
    }

    std::vector<std::uint8_t> original;
};

TEST_F(MapKeysObjectTest, DeleteOnABananaOrCameraChangesNothing) {
    for (const POINT at : {POINT{70, 80}, POINT{10, 10}}) {
        clickAt(at.x, at.y);
        ASSERT_TRUE(view().bananas.selectedIndex == 0 || view().cameras.selectedIndex == 0);
        EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_DELETE));
        EXPECT_TRUE(test::editItemEnabled(editor, IDM_EDIT_COPY));
        key(VK_DELETE);
        EXPECT_EQ(bananas(), kBananas);
        EXPECT_EQ(cameras(), kCameras);
        EXPECT_TRUE(image() == original);
        EXPECT_EQ(undoSteps(), 0u);
    }
}

TEST_F(MapKeysObjectTest, BananaPasteAppliesSetAndFlagsToTheSelectedBanana) {
    clickAt(130, 80);
    key('C', kCtrl);
    EXPECT_EQ(test::clipboardObject(), MapObjectClip(kBananas[1]));
    EXPECT_EQ(test::clipboardText(), L"banana 05 1 0 128 64");
    clickAt(10, 10);
    EXPECT_FALSE(test::editItemEnabled(editor, IDM_EDIT_PASTE)) << "a banana goes onto a banana only";
    key('V', kCtrl);
    EXPECT_TRUE(image() == original);
    clickAt(70, 80);
    EXPECT_TRUE(test::editItemEnabled(editor, IDM_EDIT_PASTE));
    key('V', kCtrl);
    EXPECT_EQ(bananas()[0], (BananaAllocData{64, 64, true, false, 5}));
    EXPECT_EQ(undoSteps(), 1u);
    EXPECT_EQ(undoText(), L"元に戻す - バナナの変更(&U)\tCtrl+Z");
    undo();
    EXPECT_TRUE(image() == original);
}

TEST_F(MapKeysObjectTest, CameraPasteAppliesSizeAndFlagsAtTheSelectedCamerasCorner) {
    clickAt(10, 10);
    key('C', kCtrl);
    EXPECT_EQ(test::clipboardText(), L"camera 0 0 256 224 1 0 0 0 0 0");
    clickAt(270, 10);
    ASSERT_EQ(view().cameras.selectedIndex, 1);
    key('V', kCtrl);
    EXPECT_EQ(cameras()[1], (CameraAllocData{256, 0, 512, 224, true, false, false, false, false, false}));
    EXPECT_EQ(undoSteps(), 1u);
    undo();
    EXPECT_TRUE(image() == original);
}

int beeps = 0;

// A paste is typed in as the page's fields are: what they would refuse or hold, the
// paste refuses or holds too, and one that would change nothing beeps.
TEST_F(MapKeysObjectTest, APastedBlobIsCheckedAsTypedValuesAre) {
    beeps = 0;
    const auto systemBeep = mapEditBeep;
    mapEditBeep = [] { ++beeps; };
    const struct {
        POINT at;
        MapObjectClip copied;
    } refused[] = {{{70, 80}, BananaAllocData{0, 0, false, false, 0}}, // banana 0's own values
                   {{70, 80}, BananaAllocData{0, 0, true, false, kDefaultBananaSetCount}},
                   {{10, 10}, CameraAllocData{512, 512, 768, 736, true, false, false, false, false, false}}};
    for (const auto& c : refused) {
        clickAt(c.at.x, c.at.y);
        test::putOnClipboard(c.copied);
        key('V', kCtrl);
    }
    EXPECT_EQ(beeps, 3);
    EXPECT_TRUE(image() == original);
    EXPECT_EQ(undoSteps(), 0u);

    // A forged camera 2^32 pixels wide: as if its edges had been typed.
    clickAt(10, 10);
    test::putOnClipboard(
        CameraAllocData{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, true, false, false, false, false, false});
    key('V', kCtrl);
    const CameraAllocData pasted = cameras()[0];
    undo();
    type(view().cameras.hwnd, IDC_CAMERA_RIGHT, L"2147483647");
    type(view().cameras.hwnd, IDC_CAMERA_BOTTOM, L"2147483647");
    press(view().cameras.hwnd, IDC_CAMERA_APPLY);
    EXPECT_EQ(pasted, cameras()[0]);
    EXPECT_GT(pasted.right, kCameras[0].right);
    EXPECT_EQ(beeps, 3);
    mapEditBeep = systemBeep;
}

TEST_F(MapKeysObjectTest, ShiftArrowsMoveByEightPixelsOneStepEach) {
    clickAt(70, 80);
    key(VK_RIGHT, kShift);
    key(VK_DOWN, kShift);
    EXPECT_EQ(bananas()[0], (BananaAllocData{72, 72, false, false, 0}));
    clickAt(10, 10);
    key(VK_RIGHT, kShift);
    EXPECT_EQ(cameras()[0], (CameraAllocData{8, 0, 264, 224, true, false, false, false, false, false}));
    // Already at the top: the camera stops whole, as a drag stops it, and records nothing.
    key(VK_UP, kShift);
    EXPECT_EQ(cameras()[0].top, 0);
    EXPECT_EQ(undoSteps(), 3u);
    EXPECT_EQ(undoText(), L"元に戻す - カメラの変更(&U)\tCtrl+Z");
    undo();
    undo();
    undo();
    EXPECT_TRUE(image() == original);
}

TEST_F(MapKeysObjectTest, DoubleClickFocusesTheFirstFieldOfTheKindsPage) {
    const struct {
        POINT at;
        HWND field;
    } cases[] = {{{70, 80}, GetDlgItem(view().bananas.hwnd, IDC_BANANA_X)},
                 {{10, 10}, GetDlgItem(view().cameras.hwnd, IDC_CAMERA_LEFT)}};
    for (const auto& c : cases) {
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            SendMessageW(view().hwnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(c.at.x, c.at.y));
        test::pumpMessages();
        EXPECT_EQ(GetFocus(), c.field);
    }
    EXPECT_TRUE(image() == original);
}

TEST_F(MapKeysObjectTest, StatusBarNamesTheBananaOrCameraUnderThePointer) {
    const struct {
        int x;
        int y;
        const wchar_t* text;
    } cases[] = {{130, 80, L"バナナ #1 セット 05"},
                 {10, 10, L"カメラ #0 (0, 0)-(256, 224)"},
                 {270, 5, L"カメラ #1 (256, 0)-(384, 112)"},
                 {150, 150, L""}};
    for (const auto& c : cases) {
        SendMessageW(view().hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
        EXPECT_EQ(editor.project->statusBar.text(MainStatusBar::kObjectPart), c.text);
    }
}

} // namespace
} // namespace vexa
