#include "cameras/camera_edits.h"

#include "tests/core/stage/object_edit_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

using test::EditedKind;
using test::FakeStageHost;

constexpr std::uint32_t kLevels = kDefaultCameraLevels;

std::vector<std::uint8_t> entryBytes(const CameraAllocData& camera, std::uint16_t mapType) {
    const CameraEntryBytes bytes = *encodeCameraEntry(camera, mapType);
    return {bytes.begin(), bytes.end()};
}

CameraFields fieldsOf(const CameraAllocData& c) {
    return {c.left, c.top, c.right, c.bottom, c.rightLink, c.rightLink2, c.downLink, c.downLink2, c.p1, c.p2};
}

CameraFields rectangle(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}

class CameraEditsTest : public testing::Test {
protected:
    // Stage 0 holds the cameras given, in `mapType`; stage 1 (map type 0) one other.
    void build(const std::vector<CameraAllocData>& stage0, std::uint16_t mapType) {
        const std::vector<CameraAllocData> stage1 = {{0, 0, 256, 224}};
        starts = test::putObjectTable(host.image, kLevels, {int(stage0.size()), int(stage1.size())}, 5);
        host.mapTypes = {{0, mapType}, {1, 0}};
        for (std::size_t i = 0; i < stage0.size(); ++i)
            writeCameraSlot(host.image, kLevels, 0, int(i), stage0[i], mapType);
        writeCameraSlot(host.image, kLevels, 1, 0, stage1[0], 0);
        host.openStage(0);
    }
    std::vector<std::uint8_t> slot(int stage, int index) const {
        return test::slotBytes(host.image, kLevels, starts[stage], index, 5);
    }
    const CameraAllocData& camera(int index) const { return *kind.editor.itemAt(index); }
    CameraEditor& editor() { return kind.editor; }
    test::FakePage<CameraEditTraits>& page() { return kind.page; }
    std::wstring undoName() const { return host.undoBuffer.nextUndo() ? host.undoBuffer.nextUndo()->undoName() : L""; }

    FakeStageHost host;
    EditedKind<CameraEditTraits> kind{host, [](int i, const CameraAllocData& c) { return cameraListLine(i, c); }};
    std::vector<std::uint16_t> starts;
};

const std::vector<CameraAllocData> kThree = {
    {64, 0, 320, 224, true, false, false, false, false, false},
    {0, 32, 256, 256, false, true, true, false, true, false},
    {0, 16, 512, 128, false, false, false, true, false, true},
};

TEST_F(CameraEditsTest, LinesGiveTheRectangleInPixels) {
    build(kThree, 0);
    EXPECT_EQ(page().lines[0], L"#0: (64, 0, 320, 224)");
    EXPECT_EQ(cameraListLine(0, {0, 0, 256, 224}), L"#0: (0, 0, 256, 224)");
}

TEST_F(CameraEditsTest, RightTypedLeftOfLeftInMapType6Gives16Tiles) {
    build(kThree, 6);
    ASSERT_TRUE(editor().apply(0, rectangle(64, 0, 8, 224)));
    EXPECT_EQ(camera(0).left, 64);
    EXPECT_EQ(camera(0).right, 64 + 16 * 8);
    EXPECT_EQ(page().shownItem, 0) << "the fields show the corrected Right";
    EXPECT_EQ(slot(0, 0), entryBytes(camera(0), 6));
    EXPECT_EQ(slot(0, 0)[3], 0) << "stored width is 16 tiles less 16";
    EXPECT_EQ(undoName(), L"カメラの変更");
}

TEST_F(CameraEditsTest, ApplyAndUndoRestoreAllTenFieldsAndTheFiveBytes) {
    build(kThree, 1);
    const auto original = slot(0, 1);
    CameraFields typed = fieldsOf(kThree[1]);
    typed.left = 8;
    typed.rightLink = typed.p2 = true;
    typed.rightLink2 = typed.p1 = false;
    ASSERT_TRUE(editor().apply(1, typed));
    EXPECT_NE(slot(0, 1), original);
    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(slot(0, 1), original);
    EXPECT_EQ(camera(1), kThree[1]);
    EXPECT_EQ(host.shownPage, PageKind::Cameras);
}

TEST_F(CameraEditsTest, ApplyWithNoSelectionDoesNothing) {
    build(kThree, 0);
    EXPECT_FALSE(editor().apply(-1, fieldsOf(kThree[0])));
    EXPECT_EQ(host.undoBuffer.undoCount(), 0u);
}

TEST_F(CameraEditsTest, SortOrdersByLeftThenTop) {
    build(kThree, 0);
    page().mapSelected = 0;
    ASSERT_TRUE(editor().sort(0));
    EXPECT_EQ(camera(0), kThree[2]);
    EXPECT_EQ(camera(1), kThree[1]);
    EXPECT_EQ(camera(2), kThree[0]);
    EXPECT_EQ(page().mapSelected, 2);
    EXPECT_EQ(page().selectedLine, 2);
    EXPECT_EQ(slot(0, 0), entryBytes(kThree[2], 0));
    EXPECT_EQ(undoName(), L"カメラのソート");
    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(slot(0, 0), entryBytes(kThree[0], 0));
    EXPECT_EQ(page().selectedLine, 0);
}

TEST_F(CameraEditsTest, UpOnTheFirstAndDownOnTheLastAddNoStep) {
    build(kThree, 0);
    EXPECT_FALSE(editor().up(0));
    EXPECT_FALSE(editor().down(2));
    EXPECT_EQ(host.undoBuffer.undoCount(), 0u);

    ASSERT_TRUE(editor().down(0));
    EXPECT_EQ(slot(0, 1), entryBytes(kThree[0], 0));
    EXPECT_EQ(undoName(), L"カメラを下へ");
    ASSERT_TRUE(editor().up(1));
    EXPECT_EQ(undoName(), L"カメラを上へ");
    EXPECT_EQ(slot(0, 0), entryBytes(kThree[0], 0));
}

TEST_F(CameraEditsTest, ReplayOnAnotherStageOpensItAndCentresOnTheTopLeftCorner) {
    build(kThree, 0);
    ASSERT_TRUE(editor().apply(2, rectangle(2000, 400, 2400, 600)));
    host.openStage(1);
    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(host.stage, 0);
    EXPECT_EQ(camera(2), kThree[2]);
    EXPECT_TRUE(host.centred.empty()) << "(0, 16) is in view";
    ASSERT_TRUE(host.undoBuffer.redo());
    EXPECT_EQ(host.centred, (std::vector<std::pair<int, int>>{{2000, 400}}));
    EXPECT_EQ(page().mapSelected, 2);
}

} // namespace
} // namespace vexa
