#include "bananas/banana_list.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "app/rom_image.h"

namespace vexa {
namespace {

std::vector<std::uint8_t> blankImage() {
    return std::vector<std::uint8_t>(kRomSize, 0);
}

void putWord(std::vector<std::uint8_t>& image, std::size_t at, std::uint16_t value) {
    image[at] = static_cast<std::uint8_t>(value);
    image[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putBytes(std::vector<std::uint8_t>& image, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        image[at++] = b;
}

std::uint32_t wordAt(const std::vector<std::uint8_t>& image, std::size_t at) {
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | static_cast<std::uint32_t>(image[at + 3]) << 24;
}

// Pointer table at `location` (bank in bits 16-23) holding the given relative words.
void putTable(std::vector<std::uint8_t>& image, std::uint32_t location, std::initializer_list<std::uint16_t> words) {
    std::size_t at = location;
    for (std::uint16_t w : words) {
        putWord(image, at, w);
        at += 2;
    }
}

struct PositionLayout {
    std::uint16_t mapType;
    int largestX;
    int largestY;
    std::uint32_t xField; // all-ones X field in the entry word
    std::uint32_t yField;
};

// Largest positions and field boundaries of every map type that has a layout.
constexpr PositionLayout kLayouts[] = {
    {0, 16376, 1016, 0x00007FF0, 0x003F8000}, {1, 8184, 2040, 0x00003FF0, 0x003FC000},
    {4, 2040, 8184, 0x00000FF0, 0x003FF000},  {6, 4088, 4088, 0x00001FF0, 0x003FE000},
    {7, 4088, 4088, 0x00001FF0, 0x003FE000},  {9, 4088, 4088, 0x00001FF0, 0x003FE000},
    {8, 32760, 504, 0x0000FFF0, 0x003F0000},
};

constexpr std::uint16_t kMapTypesWithoutLayout[] = {2, 3, 5, 10, 0x100, 0xFFFF};

TEST(BananaEntry, SampleEntryEncodesToKnownBytesAndBack) {
    const BananaAllocData banana{80, 40, true, false, 0x2A};
    EXPECT_EQ(encodeBananaEntry(banana, 0), 0x2A8280A0u);

    auto image = blankImage();
    ASSERT_TRUE(writeBananaEntry(image, 0x12, 0x3456, banana, 0));
    EXPECT_EQ(image[0x123456], 0xA0);
    EXPECT_EQ(image[0x123457], 0x80);
    EXPECT_EQ(image[0x123458], 0x82);
    EXPECT_EQ(image[0x123459], 0x2A);
    EXPECT_EQ(readBananaEntry(image, 0x12, 0x3456, 0), banana);
}

TEST(BananaEntry, EachMapTypePutsXAndYInItsOwnFields) {
    for (const auto& layout : kLayouts) {
        SCOPED_TRACE(layout.mapType);
        EXPECT_EQ(encodeBananaEntry({layout.largestX, 0, false, false, 0}, layout.mapType), layout.xField);
        EXPECT_EQ(encodeBananaEntry({0, layout.largestY, false, false, 0}, layout.mapType), layout.yField);
        const BananaAllocData full = decodeBananaEntry(layout.xField | layout.yField, layout.mapType);
        EXPECT_EQ(full.x, layout.largestX);
        EXPECT_EQ(full.y, layout.largestY);
    }
}

TEST(BananaEntry, FlagsAndSetNumberSitAboveThePositionInEveryLayout) {
    for (const auto& layout : kLayouts) {
        SCOPED_TRACE(layout.mapType);
        EXPECT_EQ(encodeBananaEntry({0, 0, true, false, 0}, layout.mapType), 0x00800000u);
        EXPECT_EQ(encodeBananaEntry({0, 0, false, true, 0}, layout.mapType), 0x00400000u);
        EXPECT_EQ(encodeBananaEntry({0, 0, false, false, 0xFF}, layout.mapType), 0xFF000000u);
    }
}

TEST(BananaEntry, DecodeOfEncodeGivesTheValueBackAtEveryExtreme) {
    for (const auto& layout : kLayouts) {
        for (int x : {0, 8, layout.largestX - 8, layout.largestX}) {
            for (int y : {0, 8, layout.largestY - 8, layout.largestY}) {
                for (int flags = 0; flags < 4; ++flags) {
                    for (int set : {0x00, 0x01, 0x80, 0xFF}) {
                        const BananaAllocData banana{x, y, (flags & 1) != 0, (flags & 2) != 0,
                                                     static_cast<std::uint8_t>(set)};
                        const auto entry = encodeBananaEntry(banana, layout.mapType);
                        ASSERT_TRUE(entry);
                        EXPECT_EQ(decodeBananaEntry(*entry, layout.mapType), banana)
                            << "map type " << layout.mapType << " x " << x << " y " << y;
                    }
                }
            }
        }
    }
}

TEST(BananaEntry, LowFourBitsAreIgnoredWhenReadAndZeroWhenWritten) {
    const BananaAllocData banana = decodeBananaEntry(0x2A8280AF, 0);
    EXPECT_EQ(banana, (BananaAllocData{80, 40, true, false, 0x2A}));
    EXPECT_EQ(encodeBananaEntry(banana, 0), 0x2A8280A0u);
}

TEST(BananaEntry, UnmaskedPositionNeverReachesFlagsOrSetNumber) {
    for (const auto& layout : kLayouts) {
        const auto entry = encodeBananaEntry({0x7FFFFFF8, 0x7FFFFFF8, false, false, 0x11}, layout.mapType);
        ASSERT_TRUE(entry);
        EXPECT_EQ(*entry & 0xFFC0000Fu, 0x11000000u) << "map type " << layout.mapType;
    }
}

TEST(BananaMask, TypedValuesAreRoundedDownAndHeldToTheField) {
    BananaAllocData banana{16383, 0, false, false, 0};
    maskBananaPosition(banana, 0);
    EXPECT_EQ(banana.x, 16376);
    banana.x = 5;
    maskBananaPosition(banana, 0);
    EXPECT_EQ(banana.x, 0);
    banana.x = 16384 + 24; // past the field: held at its largest value, never wrapped
    maskBananaPosition(banana, 0);
    EXPECT_EQ(banana.x, 16376);
    banana.x = -8; // a drag past the left edge stops at 0
    maskBananaPosition(banana, 0);
    EXPECT_EQ(banana.x, 0);
}

TEST(BananaMask, EachMapTypeHoldsPositionsFromZeroToWhatItsFieldsHold) {
    const struct {
        std::uint16_t mapType;
        std::int32_t xMax, yMax;
    } limits[] = {{0, 0x3FF8, 0x3F8}, {1, 0x1FF8, 0x7F8}, {4, 0x7F8, 0x1FF8}, {6, 0xFF8, 0xFF8},
                  {7, 0xFF8, 0xFF8},  {9, 0xFF8, 0xFF8},  {8, 0x7FF8, 0x1F8}};
    for (const auto& m : limits) {
        SCOPED_TRACE(m.mapType);
        BananaAllocData low{-1, -4000, false, false, 0};
        maskBananaPosition(low, m.mapType);
        EXPECT_EQ(low.x, 0);
        EXPECT_EQ(low.y, 0);
        BananaAllocData high{0x7FFFFFFF, 0x10000, false, false, 0};
        maskBananaPosition(high, m.mapType);
        EXPECT_EQ(high.x, m.xMax);
        EXPECT_EQ(high.y, m.yMax);
        // A held value is exactly what the entry stores.
        const auto entry = encodeBananaEntry(high, m.mapType);
        ASSERT_TRUE(entry);
        EXPECT_EQ(decodeBananaEntry(*entry, m.mapType), high);
    }
}

TEST(BananaEntry, MapTypeWithoutLayoutKeepsFlagsButHasNoPositionAndIsNeverWritten) {
    auto image = blankImage();
    putBytes(image, 0x100000, {0xA0, 0x80, 0x82, 0x2A});
    for (std::uint16_t mapType : kMapTypesWithoutLayout) {
        SCOPED_TRACE(mapType);
        EXPECT_EQ(readBananaEntry(image, 0x10, 0, mapType), (BananaAllocData{0, 0, true, false, 0x2A}));

        BananaAllocData typed{1234, 567, false, true, 3};
        maskBananaPosition(typed, mapType);
        EXPECT_EQ(typed.x, 1234);
        EXPECT_EQ(typed.y, 567);
        EXPECT_FALSE(encodeBananaEntry(typed, mapType));
        EXPECT_FALSE(writeBananaEntry(image, 0x10, 0, typed, mapType));
        EXPECT_EQ(wordAt(image, 0x100000), 0x2A8280A0u);
    }
}

TEST(BananaEntry, EntryPastTheImageEndIsNeitherReadNorWritten) {
    auto image = blankImage();
    putBytes(image, 0x3FFFFE, {0xA0, 0x80});
    putBytes(image, 0x3F0000, {0x82, 0x2A});
    EXPECT_EQ(readBananaEntry(image, 0x3F, 0xFFFE, 0), BananaAllocData{});
    EXPECT_FALSE(writeBananaEntry(image, 0x3F, 0xFFFE, {8, 8, true, true, 1}, 0));
    EXPECT_EQ(image[0x3FFFFE], 0xA0);
    EXPECT_EQ(image[0x3F0000], 0x82);

    // The last whole entry of the image is still in reach.
    putBytes(image, 0x3FFFFC, {0xA0, 0x80, 0x82, 0x2A});
    EXPECT_EQ(readBananaEntry(image, 0x3F, 0xFFFC, 0), (BananaAllocData{80, 40, true, false, 0x2A}));
    EXPECT_TRUE(writeBananaEntry(image, 0x3F, 0xFFFC, {0, 0, false, false, 0}, 0));
    EXPECT_EQ(wordAt(image, 0x3FFFFC), 0u);
}

TEST(BananaList, StageListIsFoundRelativeToTheTableAndCountedByTheNextWord) {
    auto image = blankImage();
    putTable(image, 0x2CD002, {0x0006, 0x000E, 0x0012});
    putBytes(image, 0x2CD008, {0x10, 0x00, 0x00, 0x01, 0x20, 0x00, 0x00, 0x02, 0x30, 0x00, 0x00, 0x03});

    LevelBananasData data;
    data.bananas.resize(5);
    readStageBananas(image, kDefaultBananaLevels, 0, 0, data);
    EXPECT_EQ(data.stageNumber, 0);
    ASSERT_EQ(data.bananas.size(), 2u);
    EXPECT_EQ(data.bananas.front(), (BananaAllocData{8, 0, false, false, 1}));
    EXPECT_EQ(data.bananas.back(), (BananaAllocData{16, 0, false, false, 2}));

    readStageBananas(image, kDefaultBananaLevels, 1, 0, data);
    EXPECT_EQ(data.stageNumber, 1);
    ASSERT_EQ(data.bananas.size(), 1u);
    EXPECT_EQ(data.bananas.front().setNumber, 3);
}

TEST(BananaList, CountComesFromTheTableWordDifference) {
    auto image = blankImage();
    // Stage 0: equal words. Stage 1: 10 bytes, two whole entries. Stage 2: the next
    // word is smaller.
    putTable(image, 0x050000, {0x0100, 0x0100, 0x010A, 0x0000});
    LevelBananasData data;
    readStageBananas(image, 0x050000, 0, 0, data);
    EXPECT_TRUE(data.bananas.empty());
    readStageBananas(image, 0x050000, 1, 0, data);
    EXPECT_EQ(data.bananas.size(), 2u);
    readStageBananas(image, 0x050000, 2, 0, data);
    EXPECT_TRUE(data.bananas.empty());
}

TEST(BananaList, ListNearTheBankEndContinuesAtTheStartOfTheSameBank) {
    auto image = blankImage();
    putTable(image, 0x07FFF0, {0x000C, 0x0014}); // list at 0xFFFC, two entries
    putBytes(image, 0x07FFFC, {0xA0, 0x80, 0x82, 0x2A});
    putBytes(image, 0x070000, {0x10, 0x00, 0x00, 0x05});
    putBytes(image, 0x080000, {0xEE, 0xEE, 0xEE, 0xEE});

    LevelBananasData data;
    readStageBananas(image, 0x07FFF0, 0, 0, data);
    ASSERT_EQ(data.bananas.size(), 2u);
    EXPECT_EQ(data.bananas.front(), (BananaAllocData{80, 40, true, false, 0x2A}));
    EXPECT_EQ(data.bananas.back(), (BananaAllocData{8, 0, false, false, 5}));

    ASSERT_TRUE(writeBananaSlot(image, 0x07FFF0, 0, 1, {16, 0, false, false, 6}, 0));
    EXPECT_EQ(wordAt(image, 0x070000), 0x06000020u);
    EXPECT_EQ(wordAt(image, 0x080000), 0xEEEEEEEEu);
}

TEST(BananaList, TableWordsWrapWithinTheirBank) {
    auto image = blankImage();
    putWord(image, 0x09FFFE, 0x0010); // stage 0's word at the last offset of the bank
    putWord(image, 0x090000, 0x0014); // the closing word wraps to offset 0
    putBytes(image, 0x09000E, {0x00, 0x00, 0x00, 0x07});
    LevelBananasData data;
    readStageBananas(image, 0x09FFFE, 0, 0, data);
    ASSERT_EQ(data.bananas.size(), 1u);
    EXPECT_EQ(data.bananas.front().setNumber, 7);
}

TEST(BananaList, TableInABankOutsideTheImageGivesNoBananasAndTakesNoWrites) {
    auto image = blankImage();
    putTable(image, 0x00D002, {0x0000, 0x0040});
    LevelBananasData data;
    readStageBananas(image, 0x40D002, 0, 0, data);
    EXPECT_TRUE(data.bananas.empty());
    EXPECT_FALSE(writeBananaSlot(image, 0x40D002, 0, 0, {8, 8, true, true, 1}, 0));
    const BananaList many(3);
    EXPECT_EQ(writeBananaList(image, 0xFFD002, 0, many, 0), 0);
}

TEST(BananaList, WriteListStopsAtTheSlotCount) {
    auto image = blankImage();
    putTable(image, 0x0A0000, {0x0004, 0x000C});
    putBytes(image, 0x0A000C, {0xEE, 0xEE, 0xEE, 0xEE});
    const BananaList bananas{{8, 0, false, false, 1}, {16, 0, false, false, 2}, {24, 0, false, false, 3}};
    EXPECT_EQ(writeBananaList(image, 0x0A0000, 0, bananas, 0), 2);
    EXPECT_EQ(wordAt(image, 0x0A0004), 0x01000010u);
    EXPECT_EQ(wordAt(image, 0x0A0008), 0x02000020u);
    EXPECT_EQ(wordAt(image, 0x0A000C), 0xEEEEEEEEu);

    // A shorter list leaves the later slots as they are.
    EXPECT_EQ(writeBananaList(image, 0x0A0000, 0, {bananas.back()}, 0), 1);
    EXPECT_EQ(wordAt(image, 0x0A0004), 0x03000030u);
    EXPECT_EQ(wordAt(image, 0x0A0008), 0x02000020u);
}

TEST(BananaList, SlotWriteOutsideTheStageListIsRefused) {
    auto image = blankImage();
    putTable(image, 0x0A0000, {0x0010, 0x0014, 0x0014});
    putBytes(image, 0x0A000C, {0xEE, 0xEE, 0xEE, 0xEE});
    putBytes(image, 0x0A0014, {0xEE, 0xEE, 0xEE, 0xEE});
    EXPECT_FALSE(writeBananaSlot(image, 0x0A0000, 0, 1, {8, 0, false, false, 1}, 0));
    EXPECT_FALSE(writeBananaSlot(image, 0x0A0000, 0, -1, {8, 0, false, false, 1}, 0));
    EXPECT_FALSE(writeBananaSlot(image, 0x0A0000, 1, 0, {8, 0, false, false, 1}, 0));
    EXPECT_EQ(wordAt(image, 0x0A000C), 0xEEEEEEEEu);
    EXPECT_EQ(wordAt(image, 0x0A0014), 0xEEEEEEEEu);
}

TEST(BananaList, StageOfAMapTypeWithoutLayoutIsListedButNeverWritten) {
    auto image = blankImage();
    putTable(image, 0x0A0000, {0x0004, 0x0008});
    putBytes(image, 0x0A0004, {0xA0, 0x80, 0x82, 0x2A});
    LevelBananasData data;
    readStageBananas(image, 0x0A0000, 0, 5, data);
    ASSERT_EQ(data.bananas.size(), 1u);
    EXPECT_EQ(data.bananas.front().setNumber, 0x2A);
    EXPECT_FALSE(writeBananaSlot(image, 0x0A0000, 0, 0, {8, 8, false, false, 1}, 5));
    EXPECT_EQ(writeBananaList(image, 0x0A0000, 0, data.bananas, 5), 0);
    EXPECT_EQ(wordAt(image, 0x0A0004), 0x2A8280A0u);
}

// Set table at 0x2CF246 pointing set `number` to data at table + `relative`.
void putSet(std::vector<std::uint8_t>& image, unsigned number, std::uint16_t relative,
            std::initializer_list<std::uint8_t> data) {
    putWord(image, 0x2CF246 + 2 * number, relative);
    putBytes(image, 0x2C0000 + ((0xF246 + relative) & 0xFFFF), data);
}

TEST(BananaSet, ColumnsRunLeftToRightEachFromTheBottomRowUp) {
    auto image = blankImage();
    putSet(image, 3, 0x0200, {3, 2, 0b111001}); // bits 1,0,0,1,1,1
    const BananaSet set = decodeBananaSet(image, kDefaultBananaSets, 3);
    EXPECT_EQ(set.width, 3);
    EXPECT_EQ(set.height, 2);
    // Top row ┼●●, bottom row ●┼●.
    EXPECT_FALSE(set.hasBanana(0, 0));
    EXPECT_TRUE(set.hasBanana(1, 0));
    EXPECT_TRUE(set.hasBanana(2, 0));
    EXPECT_TRUE(set.hasBanana(0, 1));
    EXPECT_FALSE(set.hasBanana(1, 1));
    EXPECT_TRUE(set.hasBanana(2, 1));
    EXPECT_FALSE(set.hasBanana(3, 0));
    EXPECT_FALSE(set.hasBanana(0, 2));
}

TEST(BananaSet, WideSetKeepsItsLeft32ColumnsAndBitsRunOnAcrossBytes) {
    auto image = blankImage();
    // 40 columns of 3 rows: column c holds one banana, in row c % 3.
    std::vector<std::uint8_t> bits(15, 0);
    for (int c = 0; c < 40; ++c) {
        const int bit = c * 3 + (2 - c % 3);
        bits[bit / 8] |= static_cast<std::uint8_t>(1 << bit % 8);
    }
    putWord(image, 0x2CF246, 0x0100);
    image[0x2CF346] = 40;
    image[0x2CF347] = 3;
    std::copy(bits.begin(), bits.end(), image.begin() + 0x2CF348);

    const BananaSet set = decodeBananaSet(image, kDefaultBananaSets, 0);
    EXPECT_EQ(set.width, 40);
    EXPECT_EQ(set.keptColumns(), 32);
    for (int c = 0; c < 32; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(set.hasBanana(c, r), r == c % 3) << c << ", " << r;
    EXPECT_FALSE(set.hasBanana(33, 0));
}

TEST(BananaSet, TallSetKeepsItsTop24Rows) {
    auto image = blankImage();
    // 2 columns of 30 rows; only the top row (the last bit of each column) and row 24
    // (the sixth bit) are set.
    std::vector<std::uint8_t> bits(8, 0);
    for (int c = 0; c < 2; ++c) {
        for (int row : {0, 24}) {
            const int bit = c * 30 + (29 - row);
            bits[bit / 8] |= static_cast<std::uint8_t>(1 << bit % 8);
        }
    }
    putWord(image, 0x2CF246 + 2 * 9, 0x0100);
    image[0x2CF346] = 2;
    image[0x2CF347] = 30;
    std::copy(bits.begin(), bits.end(), image.begin() + 0x2CF348);

    const BananaSet set = decodeBananaSet(image, kDefaultBananaSets, 9);
    EXPECT_EQ(set.height, 30);
    EXPECT_EQ(set.keptRows(), 24);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 24; ++r)
            EXPECT_EQ(set.hasBanana(c, r), r == 0) << c << ", " << r;
    EXPECT_FALSE(set.hasBanana(0, 24));
}

TEST(BananaSet, SetWithNoRowsHasNoCells) {
    auto image = blankImage();
    putSet(image, 1, 0x0010, {5, 0, 0xFF, 0xFF});
    const BananaSet set = decodeBananaSet(image, kDefaultBananaSets, 1);
    EXPECT_EQ(set.width, 5);
    EXPECT_EQ(set.height, 0);
    EXPECT_EQ(set.keptRows(), 0);
    EXPECT_FALSE(set.hasBanana(0, 0));
}

TEST(BananaSet, TableBankTakesOnlySixBitsAndDataWrapsWithinTheBank) {
    auto image = blankImage();
    putSet(image, 2, 0x0DB8, {2, 1}); // header at 0xFFFE, the bits wrap to offset 0
    image[0x2C0000] = 0b10;
    const BananaSet set = decodeBananaSet(image, 0xEC0000 | 0xF246, 2);
    EXPECT_EQ(set.width, 2);
    EXPECT_EQ(set.height, 1);
    EXPECT_FALSE(set.hasBanana(0, 0));
    EXPECT_TRUE(set.hasBanana(1, 0));
}

} // namespace
} // namespace vexa
