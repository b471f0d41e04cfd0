#include "sprites/sprite_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "app/rom_image.h"

namespace vexa {
namespace {

using Bytes = std::vector<std::uint8_t>;

SpriteAllocData sprite(std::int32_t x, std::int32_t y, std::uint16_t type = 2, std::uint16_t parameter = 1) {
    return {x, y, type, parameter};
}

class SpriteBankTest : public ::testing::Test {
protected:
    Bytes image = Bytes(kRomSize, 0);

    std::uint8_t* at(unsigned offset) { return image.data() + imageOffset(kSpriteBank, offset); }
    void setPointer(int stage, unsigned start) { setRomWord(image, kSpriteBank, 2 * stage, start); }
    // Pointer words of stages 0, 1, 2 ... in order.
    void setPointers(std::initializer_list<unsigned> starts) {
        int stage = 0;
        for (unsigned start : starts)
            setPointer(stage++, start);
    }
    void put(unsigned offset, std::initializer_list<std::uint8_t> bytes) {
        std::memcpy(at(offset), bytes.begin(), bytes.size());
    }
    Bytes bytes(unsigned offset, std::size_t count) { return Bytes(at(offset), at(offset) + count); }
    // Entries of `count` sprites at start, X = 10, 20, 30 ..., then the terminator.
    void storeList(unsigned start, int count) {
        SpriteList list;
        for (int i = 0; i < count; ++i)
            list.push_back(sprite(10 * (i + 1), 5));
        ASSERT_EQ(writeSpriteList(image, list, start, 0x1000), 8 * count + 2);
    }
    void fillBank(std::uint8_t value) { std::memset(at(0), value, kBankSize); }
};

using SpriteEntryTest = SpriteBankTest;
using SpriteListReadTest = SpriteBankTest;
using SpriteCapacityTest = SpriteBankTest;
using SpriteListWriteTest = SpriteBankTest;
using SpriteRomEditTest = SpriteBankTest;

TEST(SpriteEntryCodec, EntryStoresParameterBiasedPositionsAndType) {
    const SpriteAllocData s = sprite(100, -20, 0x0012, 0x0001);
    EXPECT_EQ(encodeSpriteEntry(s), (SpriteEntryBytes{0x01, 0x00, 0x64, 0x01, 0xEC, 0x00, 0x12, 0x00}));
    EXPECT_EQ(decodeSpriteEntry(encodeSpriteEntry(s)), s);
}

TEST(SpriteEntryCodec, X65280WrapsToWordZeroAndReadsBackAsMinus256) {
    const SpriteEntryBytes bytes = encodeSpriteEntry(sprite(65280, 0));
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 0);
    EXPECT_EQ(decodeSpriteEntry(bytes).x, -256);
}

TEST(SpriteEntryCodec, RoundTripsAtFieldExtremes) {
    for (std::int32_t pos : {-256, 0, 65279})
        for (std::uint16_t word : {0x0000, 0x0001, 0xFFFF}) {
            const SpriteAllocData s{pos, 65279 - pos - 256, word, static_cast<std::uint16_t>(~word)};
            EXPECT_EQ(decodeSpriteEntry(encodeSpriteEntry(s)), s);
        }
}

TEST_F(SpriteEntryTest, EntryAtBankEndContinuesAtBankStart) {
    writeSpriteEntry(image, 0xFFFC, sprite(100, -20, 0x12, 1));
    EXPECT_EQ(bytes(0xFFFC, 4), (Bytes{0x01, 0x00, 0x64, 0x01}));
    EXPECT_EQ(bytes(0x0000, 4), (Bytes{0xEC, 0x00, 0x12, 0x00}));
    EXPECT_EQ(image[imageOffset(kSpriteBank + 1, 0)], 0);
    EXPECT_EQ(readSpriteEntry(image, 0xFFFC), sprite(100, -20, 0x12, 1));
}

TEST_F(SpriteListReadTest, ZeroWordAtStartIsAnEmptyListOfTwoBytes) {
    SpriteList list{sprite(1, 1)};
    EXPECT_EQ(readSpriteList(image, 0x9000, list), 2);
    EXPECT_TRUE(list.empty());
}

TEST_F(SpriteListReadTest, ReadsEntriesUpToZeroWordAcrossBankEnd) {
    put(0x0000, {0x00, 0x00}); // terminator behind two entries that wrap
    writeSpriteEntry(image, 0xFFF0, sprite(1, 2));
    writeSpriteEntry(image, 0xFFF8, sprite(3, 4));
    SpriteList list;
    EXPECT_EQ(readSpriteList(image, 0xFFF0, list), 18);
    EXPECT_EQ(list, (SpriteList{sprite(1, 2), sprite(3, 4)}));
}

TEST_F(SpriteListReadTest, TerminatorOnLastStepOfOnePassIsFound) {
    fillBank(0x01);
    put(0x0008, {0x00, 0x00}); // 0x10 + 8 * 8191 wraps to 0x0008
    SpriteList list;
    EXPECT_EQ(readSpriteList(image, 0x10, list), 8 * 8191 + 2);
    EXPECT_EQ(list.size(), 8191u);
}

TEST_F(SpriteListReadTest, BankWithoutZeroWordFailsAfterOnePassKeepingSprites) {
    fillBank(0x01);
    SpriteList list;
    EXPECT_EQ(readSpriteList(image, 0x10, list), -1);
    EXPECT_EQ(list.size(), static_cast<std::size_t>(kSpriteListScanLimit));
}

TEST_F(SpriteCapacityTest, NearestListBehindBoundsTheRoom) {
    storeList(0x9000, 3);
    setPointers({0x9000, 0x8F00, 0x9020, 0x9400});
    EXPECT_EQ(computeSpriteCapacity(image, 0x9000, 26, {4, 0x9500}), 32);
    // A pointer word past LevelCount is not a stage and bounds nothing.
    EXPECT_EQ(computeSpriteCapacity(image, 0x9000, 26, {2, 0x9500}), 1280);
}

TEST_F(SpriteCapacityTest, WithNoListBehindTheRoomEndsAtAvailableEndCutTo16Bits) {
    storeList(0x9000, 3);
    setPointers({0x9000, 0x8F00});
    EXPECT_EQ(computeSpriteCapacity(image, 0x9000, 26, {2, 0x19500}), 1280);
}

TEST_F(SpriteCapacityTest, ListAtOrAfterAvailableEndHasNoRoom) {
    setPointers({0x9500, 0x9600});
    EXPECT_EQ(computeSpriteCapacity(image, 0x9500, 2, {2, 0x9500}), 0);
    EXPECT_EQ(computeSpriteCapacity(image, 0x9600, 2, {2, 0x9500}), -256);
}

TEST_F(SpriteCapacityTest, SharedListAndListStartingInsideAreIgnored) {
    storeList(0x9000, 3);
    setPointers({0x9000, 0x9000, 0x9008, 0x9100});
    EXPECT_EQ(computeSpriteCapacity(image, 0x9000, 26, {4, 0x9500}), 0x100);
    setPointer(2, 0x901A); // right behind the terminator: no room to grow
    EXPECT_EQ(computeSpriteCapacity(image, 0x9000, 26, {4, 0x9500}), 26);
}

TEST_F(SpriteCapacityTest, LoadReadsStageListAndClearsSelection) {
    storeList(0x9000, 3);
    setPointers({0x8F00, 0x9000, 0x9000, 0x9100});
    LevelSpritesData data;
    int selected = 2;
    ASSERT_TRUE(loadStageSprites(image, 1, {4, 0x9500}, data, selected));
    EXPECT_EQ(data.stageNumber, 1);
    EXPECT_EQ(data.sprites, (SpriteList{sprite(10, 5), sprite(20, 5), sprite(30, 5)}));
    EXPECT_EQ(data.capacity, 0x100);
    EXPECT_EQ(selected, -1);

    // An edit through one stage of a shared list shows when the other is loaded.
    writeStageSpriteEntry(image, 1, 2, sprite(-256, 65279, 0xFFFE, 0xFFFF));
    ASSERT_TRUE(loadStageSprites(image, 2, {4, 0x9500}, data, selected));
    EXPECT_EQ(data.sprites.back(), sprite(-256, 65279, 0xFFFE, 0xFFFF));
}

TEST_F(SpriteCapacityTest, FailedLoadKeepsCapacityAndSpritesRead) {
    fillBank(0x01);
    setPointer(0, 0x9000);
    LevelSpritesData data;
    data.capacity = 77;
    int selected = 0;
    EXPECT_FALSE(loadStageSprites(image, 0, {}, data, selected));
    EXPECT_EQ(data.capacity, 77);
    EXPECT_EQ(data.sprites.size(), static_cast<std::size_t>(kSpriteListScanLimit));
    EXPECT_EQ(selected, -1);
}

TEST_F(SpriteListWriteTest, ListFillingCapacityWritesEntriesButNoTerminator) {
    const SpriteList list{sprite(1, 1), sprite(2, 2), sprite(3, 3), sprite(4, 4)};
    std::memset(at(0x9000), 0xAA, 64);
    EXPECT_EQ(writeSpriteList(image, list, 0x9000, 32), -1);
    EXPECT_EQ(readSpriteEntry(image, 0x9018), sprite(4, 4));
    EXPECT_EQ(bytes(0x9020, 2), (Bytes{0xAA, 0xAA}));

    std::memset(at(0x9000), 0xAA, 64);
    EXPECT_EQ(writeSpriteList(image, list, 0x9000, 30), -1);
    EXPECT_EQ(readSpriteEntry(image, 0x9010), sprite(3, 3));
    EXPECT_EQ(bytes(0x9018, 8), Bytes(8, 0xAA));

    EXPECT_EQ(writeSpriteList(image, list, 0x9000, 33), -1);
    EXPECT_EQ(bytes(0x9020, 1), Bytes{0xAA});
    EXPECT_EQ(writeSpriteList(image, list, 0x9000, 34), 34);
    EXPECT_EQ(bytes(0x9020, 3), (Bytes{0x00, 0x00, 0xAA}));
}

TEST_F(SpriteListWriteTest, ListWrapsWithinTheSpriteBank) {
    EXPECT_EQ(writeSpriteList(image, {sprite(1, 1), sprite(2, 2)}, 0xFFF8, 0x100), 18);
    EXPECT_EQ(readSpriteEntry(image, 0x0000), sprite(2, 2));
    EXPECT_EQ(image[imageOffset(kSpriteBank + 1, 0)], 0);
}

TEST_F(SpriteRomEditTest, InsertAtCountTakesTerminatorPlaceAndRemoveLastGivesItBack) {
    storeList(0x9000, 2);
    setPointer(5, 0x9000);
    ASSERT_TRUE(insertSpriteInRom(image, 5, 2, sprite(99, 9)));
    EXPECT_EQ(readSpriteEntry(image, 0x9010), sprite(99, 9));
    EXPECT_EQ(bytes(0x9018, 2), (Bytes{0, 0}));
    ASSERT_TRUE(removeSpriteInRom(image, 5, 2));
    EXPECT_EQ(bytes(0x9010, 2), (Bytes{0, 0}));
    EXPECT_EQ(readSpriteEntry(image, 0x9008), sprite(20, 5));
}

TEST_F(SpriteRomEditTest, InsertAndRemoveInsideShiftTheTail) {
    storeList(0x9000, 3);
    setPointer(0, 0x9000);
    ASSERT_TRUE(insertSpriteInRom(image, 0, 1, sprite(99, 9)));
    SpriteList list;
    EXPECT_EQ(readSpriteList(image, 0x9000, list), 34);
    EXPECT_EQ(list, (SpriteList{sprite(10, 5), sprite(99, 9), sprite(20, 5), sprite(30, 5)}));
    ASSERT_TRUE(removeSpriteInRom(image, 0, 0));
    EXPECT_EQ(readSpriteList(image, 0x9000, list), 26);
    EXPECT_EQ(list, (SpriteList{sprite(99, 9), sprite(20, 5), sprite(30, 5)}));
}

TEST_F(SpriteRomEditTest, RemoveAtTerminatorChangesNothing) {
    storeList(0x9000, 1);
    setPointer(0, 0x9000);
    const Bytes before = image;
    EXPECT_FALSE(removeSpriteInRom(image, 0, 1));
    EXPECT_TRUE(image == before);
}

TEST_F(SpriteRomEditTest, NoTerminatorWithinOnePassLeavesImageUntouched) {
    fillBank(0x01);
    const Bytes before = image;
    EXPECT_FALSE(insertSpriteInRom(image, 0, 0, sprite(1, 1)));
    EXPECT_FALSE(removeSpriteInRom(image, 0, 0));
    EXPECT_TRUE(image == before);
}

TEST_F(SpriteRomEditTest, RunPastImageEndIsRefused) {
    // The run starts at the last byte of the sprite bank and spans 8191 entries, so
    // moving it up by one entry would end one byte past the image.
    fillBank(0x01);
    setPointer(0, 0xFFFF);
    put(0xFFF7, {0x00, 0x00});
    const Bytes before = image;
    EXPECT_FALSE(insertSpriteInRom(image, 0, 0, sprite(1, 1)));
    EXPECT_TRUE(image == before);
    EXPECT_TRUE(removeSpriteInRom(image, 0, 0));
}

TEST_F(SpriteRomEditTest, InsertNearBankEndMovesOneContiguousRunIntoNextBank) {
    storeList(0xFFF0, 1);
    setPointer(0, 0xFFF0);
    std::uint8_t* nextBank = image.data() + imageOffset(kSpriteBank + 1, 0);
    std::memset(nextBank, 0xAA, 4);
    ASSERT_TRUE(insertSpriteInRom(image, 0, 0, sprite(99, 9)));
    EXPECT_EQ(readSpriteEntry(image, 0xFFF0), sprite(99, 9));
    EXPECT_EQ(readSpriteEntry(image, 0xFFF8), sprite(10, 5));
    EXPECT_EQ(Bytes(nextBank, nextBank + 3), (Bytes{0x00, 0x00, 0xAA}));
    EXPECT_EQ(spriteListStart(image, 0), 0xFFF0);
}

TEST_F(SpriteRomEditTest, SwapExchangesTwoEntries) {
    storeList(0x9000, 3);
    setPointer(1, 0x9000);
    const Bytes first = bytes(0x9000, 8);
    const Bytes third = bytes(0x9010, 8);
    swapSpritesInRom(image, 1, 0, 2);
    EXPECT_EQ(bytes(0x9000, 8), third);
    EXPECT_EQ(bytes(0x9010, 8), first);
}

} // namespace
} // namespace vexa
