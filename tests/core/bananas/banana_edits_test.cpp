#include "bananas/banana_edits.h"

#include "stage/field_text.h"
#include "tests/core/stage/object_edit_fixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace vexa {
namespace {

using test::EditedKind;
using test::FakeStageHost;

constexpr std::uint32_t kLevels = kDefaultBananaLevels;

std::vector<std::uint8_t> entryBytes(const BananaAllocData& banana, std::uint16_t mapType) {
    const std::uint32_t v = *encodeBananaEntry(banana, mapType);
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

BananaFields fieldsOf(const BananaAllocData& banana) {
    return {banana.x, banana.y, banana.front1, banana.front2, banana.setNumber};
}

class BananaEditsTest : public testing::Test {
protected:
    // Stage 0 (map type 0) holds the bananas given; stage 1 (map type 6) two others;
    // stage 2 has map type 3, which has no layout.
    void build(const std::vector<BananaAllocData>& stage0) {
        const std::vector<BananaAllocData> stage1 = {{40, 48, false, true, 7}, {16, 16, false, false, 8}};
        starts = test::putObjectTable(host.image, kLevels, {int(stage0.size()), int(stage1.size()), 2}, 4);
        host.mapTypes = {{0, 0}, {1, 6}, {2, 3}};
        for (std::size_t i = 0; i < stage0.size(); ++i)
            writeBananaSlot(host.image, kLevels, 0, int(i), stage0[i], 0);
        for (std::size_t i = 0; i < stage1.size(); ++i)
            writeBananaSlot(host.image, kLevels, 1, int(i), stage1[i], 6);
        host.openStage(0);
    }
    std::vector<std::uint8_t> slot(int stage, int index) const {
        return test::slotBytes(host.image, kLevels, starts[stage], index, 4);
    }
    const BananaAllocData& banana(int index) const { return *editor().itemAt(index); }
    BananaEditor& editor() const { return kind.editor; }
    test::FakePage<BananaEditTraits>& page() { return kind.page; }
    std::wstring undoName() const { return host.undoBuffer.nextUndo() ? host.undoBuffer.nextUndo()->undoName() : L""; }

    FakeStageHost host;
    mutable EditedKind<BananaEditTraits> kind{
        host, [](int i, const BananaAllocData& b) { return bananaListLine(i, b.setNumber, L"?"); }};
    std::vector<std::uint16_t> starts;
};

const std::vector<BananaAllocData> kFive = {
    {0, 0, false, false, 1}, {8, 16, true, false, 2},    {64, 24, false, true, 3},
    {128, 8, true, true, 4}, {200, 80, false, false, 5},
};

TEST_F(BananaEditsTest, LoadListsEveryBananaWithItsSetAndClearsTheSelection) {
    page().mapSelected = 3;
    build(kFive);
    ASSERT_EQ(editor().count(), 5);
    EXPECT_EQ(banana(3), kFive[3]);
    EXPECT_EQ(page().lines[3], L"#3: 04: ?");
    EXPECT_EQ(page().mapSelected, -1);
    EXPECT_EQ(editor().stageNumber(), 0);
}

TEST_F(BananaEditsTest, ApplyWithNoSelectionChangesNothingAndRecordsNothing) {
    build(kFive);
    const auto before = host.image;
    EXPECT_FALSE(editor().apply(-1, {80, 80, true, true, 9}));
    EXPECT_FALSE(editor().apply(5, {80, 80, true, true, 9}));
    EXPECT_EQ(host.image, before);
    EXPECT_EQ(host.undoBuffer.undoCount(), 0u);
}

TEST_F(BananaEditsTest, ApplyMasksTheTypedPositionAndWritesTheSlot) {
    build(kFive);
    ASSERT_TRUE(editor().apply(2, {16383, 5, true, false, 0x2A}));
    const BananaAllocData stored{16376, 0, true, false, 0x2A};
    EXPECT_EQ(banana(2), stored);
    EXPECT_EQ(slot(0, 2), entryBytes(stored, 0));
    EXPECT_EQ(page().lines[2], L"#2: 2A: ?");
    EXPECT_EQ(page().selectedLine, 2);
    EXPECT_EQ(page().shownItem, 2) << "the fields show the masked values";
    EXPECT_EQ(undoName(), L"バナナの変更");

    EXPECT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(slot(0, 2), entryBytes(kFive[2], 0));
    EXPECT_EQ(banana(2), kFive[2]);
    EXPECT_TRUE(host.undoBuffer.redo());
    EXPECT_EQ(slot(0, 2), entryBytes(stored, 0));
}

TEST_F(BananaEditsTest, ApplyWithUnchangedFieldsStillRecordsOneStep) {
    build(kFive);
    const auto before = host.image;
    ASSERT_TRUE(editor().apply(1, fieldsOf(kFive[1])));
    EXPECT_EQ(host.image, before);
    EXPECT_EQ(host.undoBuffer.undoCount(), 1u);
    EXPECT_EQ(undoName(), L"バナナの変更");
}

TEST_F(BananaEditsTest, ApplyWithoutASetSelectionKeepsTheBanansOwnSet) {
    build({{0, 0, false, false, 0xF0}});
    ASSERT_TRUE(editor().apply(0, {48, 32, false, false, std::nullopt}));
    EXPECT_EQ(banana(0), (BananaAllocData{48, 32, false, false, 0xF0}));
    EXPECT_EQ(slot(0, 0)[3], 0xF0);
}

TEST_F(BananaEditsTest, UpOnTheFirstAndDownOnTheLastDoNothing) {
    build(kFive);
    const auto before = host.image;
    EXPECT_FALSE(editor().up(0));
    EXPECT_FALSE(editor().up(-1));
    EXPECT_FALSE(editor().down(4));
    EXPECT_FALSE(editor().down(-1));
    EXPECT_EQ(host.image, before);
    EXPECT_EQ(host.undoBuffer.undoCount(), 0u);
}

TEST_F(BananaEditsTest, UpOnBanana3ThenUndoRestoresBothEntriesBytes) {
    build(kFive);
    const auto slot2 = slot(0, 2);
    const auto slot3 = slot(0, 3);
    page().mapSelected = 3;
    ASSERT_TRUE(editor().up(3));
    EXPECT_EQ(slot(0, 2), slot3);
    EXPECT_EQ(slot(0, 3), slot2);
    EXPECT_EQ(page().mapSelected, 2);
    EXPECT_EQ(page().selectedLine, 2);
    EXPECT_EQ(page().number, 2);
    EXPECT_EQ(page().lines[2], L"#2: 04: ?");
    EXPECT_EQ(page().lines[3], L"#3: 03: ?");
    EXPECT_EQ(undoName(), L"バナナを上へ");

    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(slot(0, 2), slot2);
    EXPECT_EQ(slot(0, 3), slot3);
    EXPECT_EQ(banana(3), kFive[3]);
    EXPECT_EQ(page().selectedLine, 3) << "the moved banana is selected where it is back";
    EXPECT_EQ(page().shownItem, 3);
    EXPECT_EQ(page().mapSelected, 3);
    EXPECT_EQ(host.shownPage, PageKind::Bananas);

    ASSERT_TRUE(host.undoBuffer.redo());
    EXPECT_EQ(slot(0, 2), slot3);
    EXPECT_EQ(page().selectedLine, 2);
}

TEST_F(BananaEditsTest, DownMovesTheBananaAndItsSelections) {
    build(kFive);
    ASSERT_TRUE(editor().down(1));
    EXPECT_EQ(banana(2), kFive[1]);
    EXPECT_EQ(page().mapSelected, -1) << "no map selection stays none";
    EXPECT_EQ(page().selectedLine, 2);
    EXPECT_EQ(page().number, 2);
    EXPECT_EQ(undoName(), L"バナナを下へ");
    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(page().selectedLine, 1);
    EXPECT_EQ(banana(1), kFive[1]);
}

TEST_F(BananaEditsTest, SortOrdersByXThenYAndFollowsTheSelectedBanana) {
    build({{8, 16, false, false, 1}, {8, 8, false, false, 2}, {0, 24, false, false, 3}});
    page().mapSelected = 0;
    ASSERT_TRUE(editor().sort(0));
    EXPECT_EQ(banana(0).y, 24);
    EXPECT_EQ(banana(1), (BananaAllocData{8, 8, false, false, 2}));
    EXPECT_EQ(banana(2), (BananaAllocData{8, 16, false, false, 1}));
    EXPECT_EQ(page().mapSelected, 2);
    EXPECT_EQ(page().selectedLine, 2);
    EXPECT_EQ(page().number, 2);
    EXPECT_EQ(page().lines, (std::vector<std::wstring>{L"#0: 03: ?", L"#1: 02: ?", L"#2: 01: ?"}));
    EXPECT_EQ(slot(0, 0), entryBytes({0, 24, false, false, 3}, 0));
    EXPECT_EQ(undoName(), L"バナナのソート");

    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(banana(0), (BananaAllocData{8, 16, false, false, 1}));
    EXPECT_EQ(slot(0, 2), entryBytes({0, 24, false, false, 3}, 0));
    EXPECT_EQ(page().selectedLine, 0);
    EXPECT_EQ(page().lines[0], L"#0: 01: ?");
}

TEST_F(BananaEditsTest, SortOfASortedOrEmptyListStillRecordsOneStep) {
    build(kFive);
    const auto before = host.image;
    ASSERT_TRUE(editor().sort(-1));
    EXPECT_EQ(host.image, before);
    EXPECT_EQ(page().selectedLine, -1);
    EXPECT_EQ(host.undoBuffer.undoCount(), 1u);

    build({});
    ASSERT_TRUE(editor().sort(-1));
    EXPECT_EQ(host.undoBuffer.undoCount(), 2u);
}

TEST_F(BananaEditsTest, SortKeepsTheOrderOfEqualPositions) {
    build({{8, 8, false, false, 1}, {8, 8, false, false, 2}, {0, 0, false, false, 3}});
    ASSERT_TRUE(editor().sort(-1));
    // Position 0 takes (0, 0) in one exchange with position 2, which sends set 1 there.
    EXPECT_EQ(banana(1).setNumber, 2);
    EXPECT_EQ(banana(2).setNumber, 1);
}

TEST_F(BananaEditsTest, UndoWhileAnotherStageIsOpenLoadsThatStageFirst) {
    build(kFive);
    ASSERT_TRUE(editor().apply(4, {4000, 900, false, false, 5}));
    const auto applied = slot(0, 4);
    host.openStage(1);
    ASSERT_EQ(editor().stageNumber(), 1);
    const int opened = host.stagesOpened;

    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(host.stagesOpened, opened + 1);
    EXPECT_EQ(host.stage, 0);
    EXPECT_EQ(editor().stageNumber(), 0);
    EXPECT_EQ(banana(4), kFive[4]);
    EXPECT_EQ(slot(0, 4), entryBytes(kFive[4], 0));
    EXPECT_EQ(page().lines.size(), 5u);
    EXPECT_EQ(host.shownPage, PageKind::Bananas);

    host.openStage(2);
    ASSERT_TRUE(host.undoBuffer.redo());
    EXPECT_EQ(host.stage, 0);
    EXPECT_EQ(slot(0, 4), applied);
}

TEST_F(BananaEditsTest, ReplayCentresOnlyOnABananaOutsideTheView) {
    build(kFive);
    ASSERT_TRUE(editor().apply(4, {1000, 40, false, false, 5}));
    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_TRUE(host.centred.empty()) << "(200, 80) is in view";
    ASSERT_TRUE(host.undoBuffer.redo());
    EXPECT_EQ(host.centred, (std::vector<std::pair<int, int>>{{1000, 40}}));
}

TEST_F(BananaEditsTest, ReplaySelectsOnTheMapOnlyWhileBananasAreShown) {
    build(kFive);
    ASSERT_TRUE(editor().apply(1, {8, 16, false, false, 9}));
    page().shown = false;
    ASSERT_TRUE(host.undoBuffer.undo());
    EXPECT_EQ(page().mapSelected, -1);
    EXPECT_EQ(page().selectedLine, 1);
    page().shown = true;
    ASSERT_TRUE(host.undoBuffer.redo());
    EXPECT_EQ(page().mapSelected, 1);
}

TEST_F(BananaEditsTest, EditsAreRefusedWhereTheMapTypeStoresNoPosition) {
    build(kFive);
    host.openStage(2);
    ASSERT_EQ(editor().count(), 2);
    const auto before = host.image;
    EXPECT_FALSE(editor().apply(0, {8, 8, false, false, 1}));
    EXPECT_FALSE(editor().down(0));
    EXPECT_FALSE(editor().sort(0));
    EXPECT_EQ(host.image, before);
    EXPECT_EQ(host.undoBuffer.undoCount(), 0u);
    EXPECT_EQ(*editor().itemAt(0), BananaAllocData{});
}

TEST_F(BananaEditsTest, ApplyIsRefusedForASlotPastTheImageEnd) {
    // Slots at 0xFFF9 and 0xFFFD of the last bank: the second would end past the image.
    host.bananaLevels = 0x3FFFF5;
    test::putObjectTable(host.image, 0x3FFFF5, {2}, 4);
    host.mapTypes = {{0, 0}};
    host.openStage(0);
    ASSERT_EQ(editor().count(), 2);
    EXPECT_TRUE(editor().apply(0, {8, 8, false, false, 1}));
    EXPECT_TRUE(editor().apply(0, {8, 8, false, false, 1}));
    EXPECT_FALSE(editor().apply(1, {8, 8, false, false, 1}));
    EXPECT_FALSE(editor().up(1));
    EXPECT_EQ(host.undoBuffer.undoCount(), 2u);
}

TEST(BananaSetText, SmallSetShowsTopRowFirst) {
    std::vector<std::uint8_t> image(kRomSize, 0);
    setRomWord(image, 0x2C, 0xF246, 2);
    setRomByte(image, 0x2C, 0xF248, 3);
    setRomByte(image, 0x2C, 0xF249, 2);
    setRomByte(image, 0x2C, 0xF24A, 0b111001); // 1,0,0,1,1,1 from the lowest bit
    EXPECT_EQ(bananaSetText(decodeBananaSet(image, kDefaultBananaSets, 0)), L"┼●●\r\n●┼●\r\n");
}

TEST(BananaSetText, WideSetShowsOnly32Columns) {
    BananaSet set;
    set.width = 40;
    set.height = 2;
    set.cells[31][0] = true;
    const std::wstring text = bananaSetText(set);
    EXPECT_EQ(text, std::wstring(31, L'┼') + L"●\r\n" + std::wstring(32, L'┼') + L"\r\n");
    EXPECT_EQ(bananaSetText(BananaSet{}), L"");
}

TEST(BananaPage, LinesNameTheSetInTwoHexDigits) {
    EXPECT_EQ(bananaListLine(3, 5, L"小さな列"), L"#3: 05: 小さな列");
    EXPECT_EQ(bananaSetLabel(0xAB, L"?"), L"AB: ?");
}

TEST(BananaMap, OverlappingBananasPickTheLaterOne) {
    const BananaList bananas = {{0, 0, false, false, 0}, {16, 16, false, false, 0}, {300, 0, false, false, 0}};
    EXPECT_EQ(pickBanana(bananas, 20, 20), 1);
    EXPECT_EQ(pickBanana(bananas, 15, 15), 0);
    EXPECT_EQ(pickBanana(bananas, 15, 35), 0);
    EXPECT_EQ(pickBanana(bananas, 23, 15), 0);
    EXPECT_EQ(pickBanana(bananas, 24, 0), -1) << "the box is 24 wide";
    EXPECT_EQ(pickBanana(bananas, 0, 36), -1) << "and 36 high";
    EXPECT_EQ(pickBanana({}, 0, 0), -1);
}

TEST(BananaMap, DraggedPositionsSnapToTheNearestMultipleOf8) {
    EXPECT_EQ(snapToTile(13), 16);
    EXPECT_EQ(snapToTile(11), 8);
    EXPECT_EQ(snapToTile(12), 16) << "halves round up";
    EXPECT_EQ(snapToTile(-3), 0);
    EXPECT_EQ(snapToTile(-5), -8);
}

TEST(DecimalField, ParsesLikeTheFieldsAreMeant) {
    EXPECT_EQ(decimalFieldValue(L"120"), 120);
    EXPECT_EQ(decimalFieldValue(L""), 0);
    EXPECT_EQ(decimalFieldValue(L"x12"), 0);
    EXPECT_EQ(decimalFieldValue(L"  -16px"), -16);
    EXPECT_EQ(decimalFieldValue(L"99999999999999999999"), INT_MAX);
    EXPECT_EQ(decimalFieldValue(L"-99999999999999999999"), INT_MIN);
}

} // namespace
} // namespace vexa
