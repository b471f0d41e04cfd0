#include "stage/tilemap_data.h"

#include "app/rom_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace vexa {
namespace {

constexpr unsigned kInfoBank = 0x37;
constexpr unsigned kInfoOffset = 0x2000;
constexpr std::uint8_t kTerrain = 3;
constexpr std::uint16_t kDataOffset = 0x4000;
constexpr std::uint8_t kDataBank = 0xC5;
constexpr unsigned kBlockBank = 0x05;
constexpr unsigned kBlockOffset = 0x4009;
constexpr std::uint8_t kCopyLastByte = 0xD0; // a block starting with this fails: nothing to repeat yet

// A compressed block of literal runs (command 0, at most 15 bytes each) and the end code.
std::vector<std::uint8_t> literalBlock(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> block(39, 0);
    for (std::size_t at = 0; at < bytes.size(); at += 15) {
        const std::size_t count = std::min<std::size_t>(15, bytes.size() - at);
        block.push_back(static_cast<std::uint8_t>(count));
        block.insert(block.end(), bytes.begin() + at, bytes.begin() + at + count);
    }
    block.push_back(0x00);
    return block;
}

// Terrain words 0x0A00 + i, the i-th word of the decoded data.
std::vector<std::uint8_t> numberedWords(int count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(i));
        bytes.push_back(0x0A);
    }
    return bytes;
}

class TilemapDataTest : public ::testing::Test {
protected:
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kRomSize);
    MapTableSettings settings;
    StageHeader header{1, 0x1000, 0};
    TilemapData data;

    TilemapDataTest() {
        setRomByte(image, kStageBank, 0x1008, kTerrain);
        setRomWord(image, kInfoBank, kDefaultMapABInfo + 4 * kTerrain, kInfoOffset);
        writeTerrain(kDataOffset, kDataBank, 4 * 32, 3 * 32);
        writeSection(0, 32, 96, 32, 96, 6);
        writeBlock(kBlockBank, kBlockOffset, literalBlock(numberedWords(12)));
    }

    void writeTerrain(std::uint16_t dataOffset, std::uint8_t dataBank, std::uint16_t width, std::uint16_t height) {
        setRomWord(image, kInfoBank, kInfoOffset, dataOffset);
        setRomByte(image, kInfoBank, kInfoOffset + 2, dataBank);
        setRomWord(image, kInfoBank, kInfoOffset + 5, width);
        setRomWord(image, kInfoBank, kInfoOffset + 7, height);
    }

    void writeSection(unsigned index, std::uint16_t left, std::uint16_t right, std::uint16_t top, std::uint16_t bottom,
                      std::uint16_t mapType) {
        unsigned record = kInfoOffset + 9 + 10 * index;
        for (const std::uint16_t value : {left, right, top, bottom, mapType}) {
            setRomWord(image, kInfoBank, record, value);
            record += 2;
        }
    }

    void writeBlock(unsigned bank, unsigned offset, const std::vector<std::uint8_t>& block) {
        for (const std::uint8_t byte : block)
            setRomByte(image, bank, offset++, byte);
    }

    TilemapLoadOutcome load() { return loadTilemapData(image, header, settings, data); }

    std::vector<std::uint16_t> rawCells(int count) const {
        return std::vector<std::uint16_t>(data.rawTiles.begin(), data.rawTiles.begin() + count);
    }
};

using Cells = std::vector<std::uint16_t>;

TEST_F(TilemapDataTest, RowMajorMapTypeCutsRowsWithWholeWidthAsStride) {
    ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
    EXPECT_TRUE(data.loaded);
    EXPECT_TRUE(data.rowMajor);
    EXPECT_EQ(data.widthTiles, 2);
    EXPECT_EQ(data.heightTiles, 2);
    EXPECT_EQ(data.mapType, 6);
    EXPECT_EQ(data.terrainNumber, kTerrain);
    ASSERT_EQ(data.rawTiles.size(), kTilemapCellCount);
    ASSERT_EQ(data.chipCells.size(), kTilemapCellCount);
    EXPECT_EQ(rawCells(4), (Cells{0x0A05, 0x0A06, 0x0A09, 0x0A0A}));
    EXPECT_EQ(data.chipCells[3], chipCellOf(0x0A0A));
}

TEST_F(TilemapDataTest, ColumnMajorMapTypeCutsColumnsWithWholeHeightAsStride) {
    writeSection(0, 32, 96, 32, 96, 8);
    ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
    EXPECT_FALSE(data.rowMajor);
    EXPECT_EQ(data.mapType, 8);
    // Column c, row r is word c * 3 + r; cells stay row-major.
    EXPECT_EQ(rawCells(4), (Cells{0x0A04, 0x0A07, 0x0A05, 0x0A08}));
}

TEST_F(TilemapDataTest, TileWordBecomesChipColumnAndRow) {
    EXPECT_EQ(chipCellOf(0xC012), 0x0132); // column 2 + 0x30 = 50, row 1
    EXPECT_EQ(chipCellOf(0x4000), 0x0010);
    EXPECT_EQ(chipCellOf(0x3C00), 0x0000); // bits 10-13 are not drawn
    EXPECT_EQ(chipCellOf(0x03FF), 0x3F0F);
}

TEST_F(TilemapDataTest, StageTypesFourAndFiveHaveNoMapAndReadNothing) {
    for (const std::uint16_t type : {4, 5}) {
        data = TilemapData{};
        data.loaded = true;
        data.rowMajor = true;
        data.widthTiles = 9;
        data.mapType = 6;
        header.stageType = type;
        EXPECT_EQ(load(), TilemapLoadOutcome::NoMap);
        EXPECT_FALSE(data.loaded);
        EXPECT_FALSE(data.rowMajor);
        EXPECT_EQ(data.widthTiles, 0);
        EXPECT_EQ(data.heightTiles, 0);
        EXPECT_EQ(data.mapType, 0);
        EXPECT_EQ(data.terrainNumber, 0);
        EXPECT_TRUE(data.rawTiles.empty());
    }
}

TEST_F(TilemapDataTest, ZeroDataOffsetOrBankGivesEightByEightAreaKeepingSectionType) {
    for (const auto& [offset, bank] : {std::pair<std::uint16_t, std::uint8_t>{0, kDataBank}, {kDataOffset, 0}}) {
        data = TilemapData{};
        writeTerrain(offset, bank, 4 * 32, 3 * 32);
        writeSection(0, 32, 96, 32, 96, 8);
        EXPECT_EQ(load(), TilemapLoadOutcome::NoTerrainData);
        EXPECT_FALSE(data.loaded);
        EXPECT_TRUE(data.rowMajor);
        EXPECT_EQ(data.widthTiles, kNoTerrainDataTiles);
        EXPECT_EQ(data.heightTiles, kNoTerrainDataTiles);
        EXPECT_EQ(data.mapType, 8);
        EXPECT_TRUE(data.rawTiles.empty());
    }
}

TEST_F(TilemapDataTest, BankBytesThatConvertToBankZeroMeanNoTerrainData) {
    for (const std::uint8_t bank : {0xC0, 0x40}) {
        writeTerrain(kDataOffset, bank, 4 * 32, 3 * 32);
        writeBlock(0x00, kBlockOffset, literalBlock(numberedWords(12)));
        EXPECT_EQ(load(), TilemapLoadOutcome::NoTerrainData);
        EXPECT_EQ(data.widthTiles, kNoTerrainDataTiles);
    }
}

TEST_F(TilemapDataTest, CompressedAddressSkipsHeadAndFoldsMirrorBanks) {
    EXPECT_EQ(compressedDataAddress(0x4000, 0x45).bank, 0x05u);
    EXPECT_EQ(compressedDataAddress(0xFFFA, 0xFF).offset, 0x0003u);
    EXPECT_EQ(compressedDataAddress(0, 0x85).bank, 0x85u); // zero fields stay as stored
}

TEST_F(TilemapDataTest, BanksOutsideTheImageAreNotRead) {
    writeTerrain(kDataOffset, 0x85, 4 * 32, 3 * 32); // converts to bank 0xC5
    EXPECT_EQ(load(), TilemapLoadOutcome::NoTerrainData);
    EXPECT_TRUE(data.rowMajor);
    EXPECT_EQ(data.mapType, 6);

    writeTerrain(kDataOffset, kDataBank, 4 * 32, 3 * 32);
    settings.mapInfoBank = 0x40;
    EXPECT_EQ(load(), TilemapLoadOutcome::NoTerrainData);
    EXPECT_EQ(data.widthTiles, kNoTerrainDataTiles);
    EXPECT_EQ(data.mapType, 0);
}

TEST_F(TilemapDataTest, OnlyLowBitsOfTableSettingsAreUsed) {
    settings.mapInfoBank = 0x100 + kInfoBank;
    settings.mapABInfo = 0x10000 + kDefaultMapABInfo;
    EXPECT_EQ(load(), TilemapLoadOutcome::Loaded);
}

TEST_F(TilemapDataTest, FailedDecodeKeepsCellsAndTakesLayoutFromWholeWidth) {
    ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
    const Cells before = data.rawTiles;
    writeBlock(kBlockBank, kBlockOffset + 39, {kCopyLastByte});
    writeTerrain(kDataOffset, kDataBank, 0x1000, 3 * 32); // whole width AND 0x0FFF is 0
    writeSection(0, 0, 96, 0, 64, 4);
    EXPECT_EQ(load(), TilemapLoadOutcome::DecompressionFailed);
    EXPECT_FALSE(data.loaded);
    EXPECT_FALSE(data.rowMajor); // map type 4 alone would say true
    EXPECT_EQ(data.widthTiles, 3);
    EXPECT_EQ(data.heightTiles, 2);
    EXPECT_EQ(data.mapType, 4);
    EXPECT_EQ(data.rawTiles, before);

    writeTerrain(kDataOffset, kDataBank, 0x1020, 3 * 32);
    writeSection(0, 0, 96, 0, 64, 8);
    EXPECT_EQ(load(), TilemapLoadOutcome::DecompressionFailed);
    EXPECT_TRUE(data.rowMajor);
}

TEST_F(TilemapDataTest, CellsBeyondDecodedDataReadTileZero) {
    std::vector<std::uint8_t> bytes = numberedWords(2);
    bytes.push_back(0x77); // half a word
    writeBlock(kBlockBank, kBlockOffset, literalBlock(bytes));
    writeSection(0, 0, 128, 0, 64, 6);
    ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
    EXPECT_EQ(rawCells(8), (Cells{0x0A00, 0x0A01, 0, 0, 0, 0, 0, 0}));
}

TEST_F(TilemapDataTest, ReversedEdgesGiveAnEmptySection) {
    writeSection(0, 96, 32, 96, 32, 6);
    ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
    EXPECT_EQ(data.widthTiles, 0);
    EXPECT_EQ(data.heightTiles, 0);
    EXPECT_EQ(data.rawTiles, Cells(kTilemapCellCount, 0));
}

TEST_F(TilemapDataTest, OversizedSectionKeepsWidthAndClipsRowsToFit) {
    writeTerrain(kDataOffset, kDataBank, 0xFFE0, 0xFFE0);
    writeSection(0, 0, 0xFFE0, 0, 0xFFE0, 6); // 2047 x 2047 cells
    ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
    EXPECT_EQ(data.widthTiles, 2047);
    EXPECT_EQ(data.heightTiles, 32); // 65,536 / 2047
    EXPECT_EQ(data.rawTiles[5], 0x0A05);
    EXPECT_EQ(data.rawTiles.size(), kTilemapCellCount);
}

TEST_F(TilemapDataTest, TerrainNarrowerThanOneCellHasStrideZero) {
    writeTerrain(kDataOffset, kDataBank, 16, 16);
    writeSection(0, 0, 64, 0, 64, 6);
    ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
    EXPECT_EQ(rawCells(4), (Cells{0x0A00, 0x0A01, 0x0A00, 0x0A01}));
}

TEST_F(TilemapDataTest, BlockEndingAtLastImageByteDecodes) {
    const std::vector<std::uint8_t> block = literalBlock(numberedWords(12));
    const unsigned start = 0x10000 - static_cast<unsigned>(block.size());
    writeBlock(0x3F, start, block);
    writeTerrain(static_cast<std::uint16_t>(start - 9), 0xFF, 4 * 32, 3 * 32);
    ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
    EXPECT_EQ(rawCells(4), (Cells{0x0A05, 0x0A06, 0x0A09, 0x0A0A}));
}

TEST_F(TilemapDataTest, MapInfoWrittenReadsBackAndLeavesTheUnreadBytes) {
    const struct {
        std::uint8_t sectionIndex;
        MapInfo info;
    } cases[] = {
        {0, {kDataOffset, kDataBank, 4 * 32, 3 * 32, {1, 3, 1, 3, 6}}},
        {2, {0, 0, 0x1020, 0xFFFF, {0, 2047, 2047, 0, 9}}},
        {255, {0xFFF7, 0x45, 0, 31, {5, 4, 3, 2, 0xFFFF}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sectionIndex);
        setRomWord(image, kInfoBank, kInfoOffset + 3, 0x5AA5);
        writeMapInfo(image, kInfoBank, kInfoOffset, c.info);
        writeSectionRecord(image, kInfoBank, kInfoOffset, c.sectionIndex, c.info.section);
        EXPECT_EQ(readMapInfo(image, kInfoBank, kInfoOffset, c.sectionIndex), c.info);
        EXPECT_EQ(romWord(image, kInfoBank, kInfoOffset + 3), 0x5AA5);
    }
}

TEST_F(TilemapDataTest, CompressedHeadWrittenReadsBackAndLeavesItsLastByte) {
    for (const CompressedHead& head : {CompressedHead{24, 4, 3, 6}, CompressedHead{0xFFFF, 0x7FF, 1, 0x8000}}) {
        setRomByte(image, kBlockBank, kDataOffset + 8, 0x5A);
        writeCompressedHead(image, kBlockBank, kDataOffset, head);
        EXPECT_EQ(readCompressedHead(image, kBlockBank, kDataOffset), head);
        EXPECT_EQ(romWord(image, kBlockBank, kDataOffset), head.decodedSize);
        EXPECT_EQ(romWord(image, kBlockBank, kDataOffset + 6), head.mapType);
        EXPECT_EQ(romByte(image, kBlockBank, kDataOffset + 8), 0x5A);
    }
}

TEST_F(TilemapDataTest, BlockAddressTurnsIntoItsStoredFormAndBack) {
    const struct {
        ImageAddress block;
        std::optional<StoredDataAddress> stored;
    } cases[] = {
        {{kBlockBank, kBlockOffset}, StoredDataAddress{kDataOffset, kDataBank}},
        {{0x3F, 0x0003}, StoredDataAddress{0xFFFA, 0xFF}}, // the head ends the bank before
        {{0x01, 0xFFFF}, StoredDataAddress{0xFFF6, 0xC1}},
        {{0x00, 0x4009}, std::nullopt}, // stored bank byte 0xC0 reads as no data
        {{0x05, 0x0009}, std::nullopt}, // so does head offset 0
        {{0x40, 0x4009}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block.bank * 0x10000 + c.block.offset);
        EXPECT_EQ(storedDataAddress(c.block), c.stored);
        if (c.stored) EXPECT_EQ(compressedDataAddress(c.stored->offset, c.stored->bank), c.block);
    }
}

// A 3 x 2 section at column 1, row 1 of the 4 x 3 terrain, whose eleven words leave
// the last cell without one.
TEST_F(TilemapDataTest, CellIndexFollowsTheStorageOrderOfTheMapType) {
    writeBlock(kBlockBank, kBlockOffset, literalBlock(numberedWords(11)));
    const struct {
        std::uint16_t mapType;
        int column;
        int row;
        std::optional<std::size_t> index;
    } cases[] = {
        {6, 0, 0, 5}, {6, 2, 0, 7}, {6, 0, 1, 9}, {6, 1, 1, 10}, // row-major, stride 4
        {8, 0, 0, 4}, {8, 1, 0, 7}, {8, 0, 1, 5}, {8, 2, 0, 10}, // column-major, stride 3
    };
    for (const std::uint16_t mapType : {6, 8}) {
        SCOPED_TRACE(mapType);
        writeSection(0, 32, 128, 32, 96, mapType);
        ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
        ASSERT_EQ(data.terrainWords.size(), 11u);
        EXPECT_EQ(data.terrainWords[0], 0x0A00) << "words no section shows are kept";
        for (const auto& c : cases) {
            if (c.mapType != mapType) continue;
            EXPECT_EQ(terrainWordIndex(data, c.column, c.row), c.index) << c.column << ", " << c.row;
            EXPECT_EQ(tileWordAt(data, c.column, c.row), 0x0A00 + *c.index);
        }
        // Beyond the decoded words, then outside the section.
        for (const auto& [column, row] : {std::pair{2, 1}, {3, 0}, {0, 2}, {-1, 0}, {0, -1}})
            EXPECT_EQ(terrainWordIndex(data, column, row), std::nullopt) << column << ", " << row;
    }
}

TEST_F(TilemapDataTest, CellWriteSetsTheWordAndItsCellsOrRefuses) {
    writeBlock(kBlockBank, kBlockOffset, literalBlock(numberedWords(11)));
    for (const std::uint16_t mapType : {6, 8}) {
        SCOPED_TRACE(mapType);
        writeSection(0, 32, 128, 32, 96, mapType);
        ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
        ASSERT_TRUE(setTerrainCell(data, 1, 1, 0xC012));
        EXPECT_EQ(data.terrainWords[*terrainWordIndex(data, 1, 1)], 0xC012);
        EXPECT_EQ(data.rawTiles[4], 0xC012);
        EXPECT_EQ(data.chipCells[4], chipCellOf(0xC012));

        const TilemapData before = data;
        for (const auto& [column, row] : {std::pair{2, 1}, {3, 0}, {0, 2}, {-1, 0}})
            EXPECT_FALSE(setTerrainCell(data, column, row, 0x0BBB)) << column << ", " << row;
        data.loaded = false;
        EXPECT_FALSE(setTerrainCell(data, 0, 0, 0x0BBB)) << "nothing decoded for this stage";
        EXPECT_EQ(data.terrainWords, before.terrainWords);
        EXPECT_EQ(data.rawTiles, before.rawTiles);
        EXPECT_EQ(data.chipCells, before.chipCells);
    }
}

// With stride 0 every stored line shows the same words: a write changes them all.
TEST_F(TilemapDataTest, CellWriteChangesEveryCellShowingTheWord) {
    writeTerrain(kDataOffset, kDataBank, 16, 16);
    const struct {
        std::uint16_t mapType;
        int column;
        int row;
        std::vector<std::size_t> cells;
    } cases[] = {
        {6, 1, 0, {1, 3}}, // column 1 of both rows
        {8, 0, 1, {2, 3}}, // row 1 of both columns
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mapType);
        writeSection(0, 0, 64, 0, 64, c.mapType);
        ASSERT_EQ(load(), TilemapLoadOutcome::Loaded);
        Cells expected = rawCells(4);
        for (const std::size_t cell : c.cells)
            expected[cell] = 0x0BBB;
        ASSERT_TRUE(setTerrainCell(data, c.column, c.row, 0x0BBB));
        EXPECT_EQ(rawCells(4), expected);
        EXPECT_EQ(data.chipCells[c.cells.back()], chipCellOf(0x0BBB));
    }
}

} // namespace
} // namespace vexa
