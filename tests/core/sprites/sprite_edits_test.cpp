#include "sprites/sprite_edits.h"

#include "resources/text_ids.h"
#include "sprites/fake_sprite_editor.h"
#include "stage/field_text.h"
#include "ui/texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace vexa {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::FakeSpriteEditor;

constexpr unsigned kStage0List = 0x1000;
constexpr unsigned kStage1List = 0x1100;
constexpr unsigned kStage2List = 0x1200;

SpriteAllocData sprite(std::int32_t x, std::int32_t y, std::uint16_t type = 0x12, std::uint16_t parameter = 1) {
    return {x, y, type, parameter};
}

// Stage 0: three sprites with room up to stage 1's list; stage 1: two sprites;
// stage 2: one sprite up to AvailableEnd. Stage 0 is open.
class SpriteEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        store(0, kStage0List, {sprite(100, 50, 0x12, 1), sprite(200, 60, 0x14, 2), sprite(300, 70, 0x16, 3)});
        store(1, kStage1List, {sprite(10, 20, 0x02, 7), sprite(30, 40, 0x04, 8)});
        store(2, kStage2List, {sprite(5, 5, 0x06, 9)});
        editor.open(0);
    }

    void store(int stage, unsigned start, std::initializer_list<SpriteAllocData> sprites) {
        setRomWord(image(), kSpriteBank, 2 * static_cast<unsigned>(stage), static_cast<std::uint16_t>(start));
        ASSERT_GT(writeSpriteList(image(), SpriteList(sprites), start, 0x100), 0);
    }
    Bytes& image() { return editor.image; }
    Bytes bytes(unsigned offset, std::size_t count) {
        const auto at = image().begin() + static_cast<std::ptrdiff_t>(imageOffset(kSpriteBank, offset));
        return Bytes(at, at + static_cast<std::ptrdiff_t>(count));
    }
    const SpriteList& list() { return editor.data.sprites; }
    std::size_t records() const { return editor.undoBuffer.undoCount(); }
    void expectInStep() {
        EXPECT_EQ(list(), editor.storedList(editor.stage));
        EXPECT_EQ(editor.lines, editor.expectedLines());
    }

    FakeSpriteEditor editor;
};

TEST_F(SpriteEditTest, ApplyWritesTheEntryReplacesTheLineAndRecordsOldAndNew) {
    editor.pickLine(1);
    editor.type(L"abcd", L"100", L"0", L"12");
    applySprite(editor, 1);
    EXPECT_EQ(bytes(kStage0List + 8, 8), (Bytes{0xCD, 0xAB, 0x64, 0x01, 0x00, 0x01, 0x12, 0x00}));
    EXPECT_EQ(editor.lines[1], L"#1: ABCD-0012: type0012");
    EXPECT_EQ(editor.lineSelection, 1);
    ASSERT_EQ(records(), 1u);
    EXPECT_STREQ(editor.undoBuffer.nextUndo()->undoName(), L"スプライトの変更");
    expectInStep();

    editor.undoBuffer.undo();
    EXPECT_EQ(itemAt(list(), 1), sprite(200, 60, 0x14, 2));
    EXPECT_EQ(bytes(kStage0List + 8, 2), (Bytes{0x02, 0x00}));
    EXPECT_EQ(editor.fields.parameter, L"0002");
    expectInStep();
    editor.undoBuffer.redo();
    EXPECT_EQ(itemAt(list(), 1), sprite(100, 0, 0x12, 0xABCD));
    expectInStep();
}

TEST_F(SpriteEditTest, ApplyOfUnchangedValuesStillRecords) {
    editor.pickLine(0);
    applySprite(editor, 0);
    EXPECT_EQ(records(), 1u);
    EXPECT_EQ(editor.document.changeCount, 1);
}

TEST_F(SpriteEditTest, ApplyDeleteUpWithoutSelectionDoNothing) {
    const Bytes before = image();
    editor.type(L"5", L"1", L"1", L"2");
    applySprite(editor, -1);
    deleteSprite(editor, -1);
    moveSpriteUp(editor, -1);
    moveSpriteDown(editor, -1);
    EXPECT_EQ(image(), before);
    EXPECT_EQ(records(), 0u);
    EXPECT_TRUE(editor.errors.empty());
}

TEST_F(SpriteEditTest, ApplyAndAddRefuseAZeroParameter) {
    const Bytes before = image();
    for (const wchar_t* text : {L"0", L"", L"zz", L"10000", L"  -0"}) {
        editor.pickLine(0);
        editor.fields.parameter = text;
        applySprite(editor, 0);
        addSprite(editor, 0);
    }
    EXPECT_EQ(image(), before);
    EXPECT_EQ(records(), 0u);
    EXPECT_EQ(list().size(), 3u);
    ASSERT_EQ(editor.errors.size(), 10u);
    for (const std::wstring& error : editor.errors)
        EXPECT_EQ(error, L"パラメータに 0 は指定できません。");
}

TEST_F(SpriteEditTest, ApplyHoldsPositionsToWhatAnEntryStores) {
    editor.pickLine(0);
    editor.type(L"1", L"70000", L"-300", L"2");
    applySprite(editor, 0);
    EXPECT_EQ(itemAt(list(), 0).x, 65279);
    EXPECT_EQ(itemAt(list(), 0).y, -256);
    EXPECT_EQ(editor.fields.x, L"65279") << "the fields show what was stored";
    EXPECT_EQ(editor.fields.y, L"-256");
    expectInStep();
}

TEST_F(SpriteEditTest, AddWithNothingSelectedAppendsTheTypedSpriteAndSelectsIt) {
    editor.type(L"1f", L"64", L"-20", L"0012");
    addSprite(editor, -1);
    ASSERT_EQ(list().size(), 4u);
    EXPECT_EQ(itemAt(list(), 3), sprite(64, -20, 0x12, 0x1F));
    EXPECT_EQ(bytes(kStage0List + 24, 10), (Bytes{0x1F, 0x00, 0x40, 0x01, 0xEC, 0x00, 0x12, 0x00, 0x00, 0x00}));
    EXPECT_EQ(editor.lineSelection, 3);
    EXPECT_EQ(editor.selected, 3);
    EXPECT_EQ(editor.otherSelectionsCleared, 1);
    EXPECT_EQ(editor.numberField, L"3");
    EXPECT_STREQ(editor.undoBuffer.nextUndo()->undoName(), L"スプライトの追加");
    expectInStep();
}

TEST_F(SpriteEditTest, AddInsertsBeforeTheSelectionAndShiftsTheRest) {
    editor.pickLine(1);
    editor.type(L"9", L"1", L"2", L"4");
    addSprite(editor, 1);
    EXPECT_EQ(itemAt(list(), 1), sprite(1, 2, 4, 9));
    EXPECT_EQ(itemAt(list(), 2).parameter, 2);
    EXPECT_EQ(editor.lines[3], L"#3: 0003-0016: type0016");
    expectInStep();
}

TEST_F(SpriteEditTest, AddWhileHiddenLeavesTheMapSelection) {
    editor.shown = false;
    editor.type(L"9", L"1", L"2", L"4");
    addSprite(editor, -1);
    EXPECT_EQ(editor.selected, -1);
    EXPECT_EQ(editor.otherSelectionsCleared, 0);
    EXPECT_EQ(editor.lineSelection, 3);
}

TEST_F(SpriteEditTest, AddRefusedWhenListWouldPassCapacity) {
    // Stage 2's list moves to 34 bytes behind stage 0's, which bounds its room.
    setRomWord(image(), kSpriteBank, 4, kStage0List + 34);
    editor.open(0);
    ASSERT_EQ(editor.data.capacity, 34);
    editor.type(L"9", L"1", L"2", L"4");
    addSprite(editor, -1);
    ASSERT_EQ(list().size(), 4u) << "8 x 3 + 10 = 34 fits";
    const Bytes before = image();
    addSprite(editor, -1);
    EXPECT_EQ(list().size(), 4u);
    EXPECT_EQ(image(), before);
    EXPECT_EQ(records(), 1u);
    ASSERT_EQ(editor.errors.size(), 1u);
    EXPECT_EQ(editor.errors[0], L"これ以上スプライトを追加できません。\r\n現在: 34バイト, 最大: 34バイト");
}

TEST_F(SpriteEditTest, UndoOfAnAddPutsBackTheBytesBehindTheList) {
    std::memset(image().data() + imageOffset(kSpriteBank, kStage0List + 26), 0xA5, 16);
    const Bytes before = image();
    editor.type(L"9", L"1", L"2", L"4");
    addSprite(editor, 0);
    editor.undoBuffer.undo();
    EXPECT_EQ(image(), before);
    editor.undoBuffer.redo();
    editor.open(1);
    editor.undoBuffer.undo(); // on another stage
    EXPECT_EQ(image(), before);
}

TEST_F(SpriteEditTest, DeleteOfTheOnlySpriteLeavesNothingSelectedAndTheFieldsAlone) {
    editor.open(2);
    editor.pickLine(0);
    editor.type(L"77", L"1", L"1", L"2");
    deleteSprite(editor, 0);
    EXPECT_TRUE(list().empty());
    EXPECT_EQ(bytes(kStage2List, 2), (Bytes{0, 0}));
    EXPECT_EQ(editor.lineSelection, -1);
    EXPECT_EQ(editor.selected, -1);
    EXPECT_EQ(editor.fields.parameter, L"77");
    EXPECT_STREQ(editor.undoBuffer.nextUndo()->undoName(), L"スプライトの削除");
}

TEST_F(SpriteEditTest, DeleteSelectsTheNextSpriteOrTheNewLastOne) {
    editor.pickLine(1);
    deleteSprite(editor, 1);
    EXPECT_EQ(editor.lineSelection, 1);
    EXPECT_EQ(editor.fields.parameter, L"0003");
    EXPECT_EQ(editor.selected, 1);
    expectInStep();

    deleteSprite(editor, 1);
    EXPECT_EQ(editor.lineSelection, 0);
    EXPECT_EQ(editor.numberField, L"0");
    EXPECT_EQ(editor.selected, 0);
    expectInStep();

    editor.undoBuffer.undo();
    editor.undoBuffer.undo();
    EXPECT_EQ(list().size(), 3u);
    EXPECT_EQ(editor.lineSelection, 1);
    expectInStep();
}

TEST_F(SpriteEditTest, DeleteAndSortRewriteAListThatReachesPastItsCapacity) {
    // A list behind AvailableEnd has no room to grow, but it may always be rewritten
    // within the bytes it holds.
    editor.spriteBank.availableEnd = 0x0F00;
    editor.open(0);
    ASSERT_LE(editor.data.capacity, 0);
    editor.pickLine(0);
    deleteSprite(editor, 0);
    sortSprites(editor, 0);
    expectInStep();
    editor.undoBuffer.undo();
    editor.undoBuffer.undo();
    expectInStep();
    EXPECT_EQ(list().size(), 3u);
}

TEST_F(SpriteEditTest, UpOnTheFirstAndDownOnTheLastDoNothing) {
    const Bytes before = image();
    moveSpriteUp(editor, 0);
    moveSpriteDown(editor, 2);
    EXPECT_EQ(image(), before);
    EXPECT_EQ(records(), 0u);
}

TEST_F(SpriteEditTest, UpWritesBothEntriesAndUndoSelectsTheMovedSpriteAtItsOldPlace) {
    editor.pickLine(2);
    moveSpriteUp(editor, 2);
    EXPECT_EQ(itemAt(list(), 1).parameter, 3);
    EXPECT_EQ(bytes(kStage0List + 8, 2), (Bytes{3, 0}));
    EXPECT_EQ(bytes(kStage0List + 16, 2), (Bytes{2, 0}));
    EXPECT_EQ(editor.lineSelection, 1);
    EXPECT_EQ(editor.selected, 1);
    EXPECT_EQ(editor.numberField, L"1");
    EXPECT_STREQ(editor.undoBuffer.nextUndo()->undoName(), L"スプライトを上へ");
    editor.undoBuffer.undo();
    EXPECT_EQ(editor.lineSelection, 2);
    EXPECT_EQ(editor.fields.parameter, L"0003");
    editor.undoBuffer.redo();
    EXPECT_EQ(editor.lineSelection, 1);
    expectInStep();
}

TEST_F(SpriteEditTest, DownSelectsTheMovedSpriteAndUndoSelectsItAtItsOldPlace) {
    editor.pickLine(0);
    moveSpriteDown(editor, 0);
    EXPECT_EQ(itemAt(list(), 1).parameter, 1);
    EXPECT_EQ(editor.lineSelection, 1);
    EXPECT_EQ(editor.selected, 1);
    EXPECT_STREQ(editor.undoBuffer.nextUndo()->undoName(), L"スプライトを下へ");
    editor.undoBuffer.undo();
    EXPECT_EQ(editor.lineSelection, 0);
    expectInStep();
}

TEST_F(SpriteEditTest, SortOrdersByXThenYAndTheSelectionFollowsItsSprite) {
    store(3, 0x1300, {sprite(40, 10, 2, 1), sprite(8, 30, 2, 2), sprite(40, 2, 2, 3)});
    editor.open(3);
    editor.pickLine(0);
    sortSprites(editor, 0);
    EXPECT_EQ(list(), (SpriteList{sprite(8, 30, 2, 2), sprite(40, 2, 2, 3), sprite(40, 10, 2, 1)}));
    EXPECT_EQ(editor.lineSelection, 2);
    EXPECT_EQ(editor.selected, 2);
    EXPECT_EQ(editor.numberField, L"2");
    EXPECT_STREQ(editor.undoBuffer.nextUndo()->undoName(), L"スプライトのソート");
    expectInStep();
    editor.undoBuffer.undo();
    EXPECT_EQ(editor.lineSelection, 0);
    EXPECT_EQ(itemAt(list(), 0), sprite(40, 10, 2, 1));
    expectInStep();
}

TEST_F(SpriteEditTest, SortIsTheExchangeSortNotAStableOne) {
    store(3, 0x1300, {sprite(5, 0, 2, 1), sprite(5, 0, 2, 2), sprite(1, 0, 2, 3)});
    editor.open(3);
    sortSprites(editor, -1);
    EXPECT_EQ(list(), (SpriteList{sprite(1, 0, 2, 3), sprite(5, 0, 2, 2), sprite(5, 0, 2, 1)}));
    EXPECT_EQ(records(), 1u) << "recorded without a selection too";
    EXPECT_EQ(editor.lineSelection, -1);
}

TEST_F(SpriteEditTest, UndoOnAnotherStageChangesItsBytesOpensItAndSelectsTheSprite) {
    editor.pickLine(1);
    editor.type(L"55", L"11", L"22", L"8");
    applySprite(editor, 1);
    editor.open(1);
    editor.undoBuffer.undo();
    EXPECT_EQ(editor.stage, 0);
    EXPECT_EQ(bytes(kStage0List + 8, 2), (Bytes{0x02, 0x00}));
    EXPECT_EQ(editor.lineSelection, 1);
    EXPECT_EQ(editor.fields.parameter, L"0002");
    EXPECT_EQ(editor.selected, 1);
    EXPECT_EQ(editor.pagesShown, 1);
    expectInStep();

    const int loads = editor.stagesOpened;
    editor.undoBuffer.redo();
    EXPECT_EQ(editor.stagesOpened, loads) << "the open stage replays without a load";
    EXPECT_EQ(itemAt(list(), 1).parameter, 0x55);
    expectInStep();
}

TEST_F(SpriteEditTest, EveryRecordReplaysOnAnotherStage) {
    editor.pickLine(0);
    editor.type(L"9", L"1", L"2", L"4");
    addSprite(editor, 0);
    deleteSprite(editor, 2);
    moveSpriteDown(editor, 0);
    moveSpriteUp(editor, 2);
    sortSprites(editor, 1);
    const Bytes edited = image();
    const SpriteList editedList = list();
    for (int step = 0; step < 5; ++step) {
        editor.open(1);
        editor.undoBuffer.undo();
        expectInStep();
    }
    EXPECT_EQ(list().size(), 3u);
    for (int step = 0; step < 5; ++step) {
        editor.open(2);
        editor.undoBuffer.redo();
        expectInStep();
    }
    EXPECT_EQ(image(), edited);
    EXPECT_EQ(list(), editedList);
}

TEST_F(SpriteEditTest, ReplayThatRemovesTheLastSpriteSelectsNothing) {
    editor.type(L"9", L"1", L"2", L"4");
    addSprite(editor, -1);
    editor.type(L"1", L"1", L"1", L"1");
    editor.undoBuffer.undo();
    EXPECT_EQ(editor.lineSelection, -1);
    EXPECT_EQ(editor.selected, -1);
    EXPECT_EQ(editor.fields.parameter, L"1") << "fields left as they were";
}

// Replays that leave nothing to mark (the last sprite gone, a sort with nothing
// selected) still change the picture, so each one redraws the map.
TEST_F(SpriteEditTest, EveryReplayRedrawsTheMapAlsoWithNothingToMark) {
    editor.type(L"9", L"1", L"2", L"4");
    addSprite(editor, -1);   // added at the end
    deleteSprite(editor, 3); // the last sprite deleted
    sortSprites(editor, -1); // sorted with nothing selected
    for (int step = 0; step < 3; ++step) {
        const int before = editor.invalidations;
        editor.undoBuffer.undo();
        EXPECT_GT(editor.invalidations, before) << "undo " << step;
    }
    for (int step = 0; step < 3; ++step) {
        const int before = editor.invalidations;
        editor.undoBuffer.redo();
        EXPECT_GT(editor.invalidations, before) << "redo " << step;
    }
}

// A list with no terminator in the bank: the page shows the entries read before the
// reader gave up, and no edit may write anything or leave a record.
TEST_F(SpriteEditTest, EveryEditIsRefusedOnAListThatCouldNotBeRead) {
    editor.type(L"9", L"1", L"2", L"4");
    addSprite(editor, -1); // an earlier record on stage 0
    // Stage 2's list moves to an odd offset of a bank that holds no zero word there:
    // the reader steps once round the whole bank without meeting a terminator.
    setRomWord(image(), kSpriteBank, 4, kStage2List + 1);
    for (unsigned offset = 6; offset < 0x10000; ++offset) {
        const bool inList = (offset >= kStage0List && offset < kStage0List + 0x22) ||
                            (offset >= kStage1List && offset < kStage1List + 0x12);
        if (!inList) setRomByte(image(), kSpriteBank, offset, 0xFF);
    }
    editor.open(2);
    ASSERT_FALSE(editor.data.readable);
    ASSERT_FALSE(list().empty());
    EXPECT_EQ(editor.errors, std::vector<std::wstring>{text(IDS_SPRITE_READ_FAILED)}) << "the page says so once";
    editor.errors.clear();
    const Bytes before = image();
    editor.pickLine(1);
    using Edit = void (*)(test::FakeSpriteEditor&, int);
    const Edit edits[] = {
        [](test::FakeSpriteEditor& e, int i) { applySprite(e, i); },
        [](test::FakeSpriteEditor& e, int i) { addSprite(e, i); },
        [](test::FakeSpriteEditor& e, int i) { deleteSprite(e, i); },
        [](test::FakeSpriteEditor& e, int i) { moveSpriteUp(e, i); },
        [](test::FakeSpriteEditor& e, int i) { moveSpriteDown(e, i); },
        [](test::FakeSpriteEditor& e, int i) { sortSprites(e, i); },
    };
    for (const Edit edit : edits)
        for (const int index : {-1, 1})
            edit(editor, index);
    EXPECT_EQ(editor.errors, std::vector<std::wstring>(12, text(IDS_SPRITE_LIST_UNREADABLE)));
    EXPECT_EQ(image(), before);
    EXPECT_EQ(records(), 1u);
    // The earlier record still replays exactly: undo restores stage 0's bytes.
    editor.undoBuffer.undo();
    EXPECT_EQ(editor.stage, 0);
    EXPECT_EQ(list().size(), 3u);
    expectInStep();
}

TEST_F(SpriteEditTest, ShowOnMapCentresOnlyASpriteOutsideTheView) {
    editor.view = {150, 0, 100, 100};
    showSpriteOnMap(editor, 1); // (200, 60) is inside
    EXPECT_TRUE(editor.centred.empty());
    showSpriteOnMap(editor, 2); // (300, 70) lies right of it
    EXPECT_EQ(editor.centred, (std::vector<std::pair<int, int>>{{300, 70}}));
    EXPECT_EQ(editor.selected, 2);
    editor.shown = false;
    editor.selected = -1;
    showSpriteOnMap(editor, 0);
    EXPECT_EQ(editor.selected, -1) << "a hidden layer marks nothing";
    EXPECT_EQ(editor.centred.size(), 2u);
}

TEST(SpriteFields, ParseLikeTheFormatReadersDo) {
    EXPECT_EQ(parseHexField(L"1f"), 0x1Fu);
    EXPECT_EQ(parseHexField(L"  0X1F"), 0x1Fu);
    EXPECT_EQ(parseHexField(L"12zz"), 0x12u);
    EXPECT_EQ(parseHexField(L"-1"), 0xFFFFFFFFu);
    EXPECT_EQ(parseHexField(L"zz"), std::nullopt);
    EXPECT_EQ(parseDecimalField(L" -42x"), -42);
    EXPECT_EQ(parseDecimalField(L"+"), std::nullopt);
    EXPECT_EQ(parseDecimalField(L"99999999999999999999"), 0xFFFFFFFFLL);
    const SpriteAllocData s = spriteFromFields({L"12345", L"x", L"-999", L"fffff"});
    EXPECT_EQ(s, sprite(0, -256, 0xFFFF, 0x2345));
}

TEST(SpriteTexts, LineShowsIndexParameterTypeAndName) {
    EXPECT_EQ(spriteLineText(3, sprite(0, 0, 0x12, 1), L"ペンギン"), L"#3: 0001-0012: ペンギン");
    EXPECT_EQ(hexText4(0xABC), L"0ABC");
    EXPECT_EQ(hexText4(0x12345), L"12345");
}

TEST(SpritePicking, LaterSpriteWinsAndTheBottomAndRightEdgesMiss) {
    const SpriteList sprites{sprite(100, 100), sprite(110, 100), sprite(400, 400)};
    EXPECT_EQ(spriteIndexAt(sprites, 105, 90), 1);
    EXPECT_EQ(spriteIndexAt(sprites, 84, 64), 0);
    EXPECT_EQ(spriteIndexAt(sprites, 100, 100), -1) << "y = Y is below the box";
    EXPECT_EQ(spriteIndexAt(sprites, 126, 90), -1) << "x = X + 16 is right of it";
    EXPECT_EQ(spriteIndexAt(sprites, 83, 90), -1);
}

} // namespace
} // namespace vexa
