// Edits of several objects at once: the selection's indices, the offsets a group may
// move by on each kind's grid, and the names of the undo steps and the status text.
#include "bananas/banana_edits.h"
#include "cameras/camera_edits.h"
#include "sprites/sprite_edits.h"
#include "stage/group_move.h"
#include "stage/marked_indices.h"
#include "stage/view/object_group.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(MarkedIndices, StaySortedAndUniqueAndNameTheirOnlyMember) {
    MarkedIndices marks;
    marks.assign({5, -1, 2, 5, 9});
    EXPECT_EQ(marks.indices(), (std::vector<int>{2, 5, 9}));
    EXPECT_EQ(marks.single(), -1);
    marks.toggle(5);
    marks.toggle(3);
    marks.toggle(-4);
    EXPECT_EQ(marks.indices(), (std::vector<int>{2, 3, 9}));
    marks.add({1, 9});
    EXPECT_EQ(marks.indices(), (std::vector<int>{1, 2, 3, 9}));
    marks.only(7);
    EXPECT_EQ(marks.single(), 7);
    marks.only(-1);
    EXPECT_TRUE(marks.empty());
}

TEST(GroupMove, AcceptedOffsetsFindTheEdgesOfTheRangeOnTheGrid) {
    const auto within = [](int low, int high) { return [=](int d) { return d >= low && d <= high; }; };
    EXPECT_EQ(acceptedOffsets(1, within(-37, 1000)), (OffsetRange{-37, 1000}));
    EXPECT_EQ(acceptedOffsets(8, within(-37, 1000)), (OffsetRange{-32, 1000}));
    EXPECT_EQ(acceptedOffsets(8, within(0, 7)), (OffsetRange{0, 0}));
    EXPECT_EQ(acceptedOffsets(1, within(-kFarthestOffset * 2, kFarthestOffset * 2)),
              (OffsetRange{-kFarthestOffset, kFarthestOffset}));
    EXPECT_EQ(acceptedOffsets(8, within(3, 20)), (OffsetRange{0, 0})) << "refusing 0 refuses every move";
}

TEST(GroupMove, TheGroupTakesWhatEveryKindAllowsOnTheCoarsestGrid) {
    const GroupLimits sprites{{-13, 21}, {-5, 100}, 1};
    const GroupLimits bananas{{-64, 64}, {-16, 8}, 8};
    const GroupLimits both = bothAllow(sprites, bananas);
    EXPECT_EQ(both, (GroupLimits{{-8, 16}, {0, 8}, 8}));
    struct Case {
        GroupLimits limits;
        int dx, dy;
        GroupOffset expected;
    };
    const Case cases[] = {
        {sprites, 7, -3, {7, -3}},                               // by the pixel
        {sprites, 40, -40, {21, -5}},                            // held at both edges
        {both, 3, 3, {0, 0}},                                    // under half a unit
        {both, 4, -4, {8, 0}},                                   // halves go up
        {both, -5, 12, {-8, 8}},      {both, 100, 100, {16, 8}}, // the group stops as one
        {both, -100, -100, {-8, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(groupOffset(c.limits, c.dx, c.dy), c.expected) << c.dx << ", " << c.dy;
}

TEST(GroupMove, EachKindsLimitsAreTheFarthestMovesItsEntriesStore) {
    const GroupLimits sprites = spriteGroupLimits({{0, 100, 1, 1}, {500, -200, 1, 1}});
    EXPECT_EQ(sprites, (GroupLimits{{kSpriteMinPosition, kSpriteMaxPosition - 500},
                                    {kSpriteMinPosition + 200, kSpriteMaxPosition - 100},
                                    1}));

    const std::vector<BananaAllocData> bananas{{8, 64}, {240, 0}};
    const GroupLimits b = bananaGroupLimits(bananas, 0);
    EXPECT_EQ(b.unit, 8);
    EXPECT_EQ(b.x.low, -8);
    EXPECT_EQ(b.y.low, 0);
    const auto stored = [&](int dx, int dy) {
        for (BananaAllocData banana : bananas) {
            banana.x += dx;
            banana.y += dy;
            const BananaAllocData shown = banana;
            maskBananaPosition(banana, 0);
            if (!(banana == shown)) return false;
        }
        return true;
    };
    EXPECT_TRUE(stored(b.x.high, b.y.high));
    EXPECT_FALSE(stored(b.x.high + 8, 0));
    EXPECT_FALSE(stored(0, b.y.high + 8));

    const std::vector<CameraAllocData> cameras{{16, 32, 272, 256}, {256, 0, 512, 224}};
    const GroupLimits c = cameraGroupLimits(cameras, 0);
    EXPECT_EQ(c.x.low, -16);
    EXPECT_EQ(c.y.low, 0);
    EXPECT_GT(c.x.high, 0);
    CameraAllocData far = cameras[1];
    far.left += c.x.high;
    far.right += c.x.high;
    CameraAllocData held = far;
    maskCameraRectangle(held, 0);
    EXPECT_EQ(held, far);
    far.left += 8;
    far.right += 8;
    held = far;
    maskCameraRectangle(held, 0);
    EXPECT_NE(held, far) << "a step farther is past what the entry stores";
}

TEST(GroupMove, BoxesMeetWhereTheyOverlap) {
    const MapBox box = MapBox::spanning(100, 50, 60, 10);
    EXPECT_EQ(box.left, 60);
    EXPECT_EQ(box.right, 101);
    EXPECT_EQ(spritesMeeting({{0, 0, 1, 1}, {76, 10, 1, 1}, {80, 100, 1, 1}, {48, 20, 1, 1}}, box),
              (std::vector<int>{3}))
        << "sprite 1 stands on the box's top edge, its box above it";
    EXPECT_EQ(bananasMeeting({{100, 50}, {101, 50}, {56, 0}}, box), (std::vector<int>{0, 2}));
    // A camera is caught by its label only, not by the map it covers.
    EXPECT_EQ(camerasMeeting({{0, 0, 512, 512}, {40, 40, 300, 300}}, box), (std::vector<int>{1}));
}

TEST(GroupEdit, NamesAndStatusText) {
    EXPECT_EQ(groupEditName(GroupEdit::Move, {3, 0, 0}), L"スプライトの移動 (3 個)");
    EXPECT_EQ(groupEditName(GroupEdit::Move, {3, 2, 0}), L"オブジェクトの移動 (5 個)");
    EXPECT_EQ(groupEditName(GroupEdit::Change, {0, 4, 0}), L"バナナの変更 (4 個)");
    EXPECT_EQ(groupEditName(GroupEdit::Delete, {2, 0, 0}), L"スプライトの削除 (2 個)");
    EXPECT_EQ(groupEditName(GroupEdit::Add, {6, 0, 0}), L"スプライトの追加 (6 個)");
    EXPECT_EQ(groupEditName(GroupEdit::Move, {0, 0, 2}), L"カメラの移動 (2 個)");
    EXPECT_EQ(selectionText({3, 2, 0}), L"選択: スプライト 3, バナナ 2");
    EXPECT_EQ(selectionText({0, 0, 1}), L"選択: カメラ 1");
    EXPECT_EQ(selectionText({0, 0, 0}), L"");
    EXPECT_EQ(countsOf({std::vector<int>{1, 2}, {}, {0}}), (KindCounts{2, 0, 1}));
}

} // namespace
} // namespace vexa
