#include "stage/tilemap_data.h"

#include "app/rom_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
    EXPECT_TRUE(data.verticalLayout);
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
    EXPECT_FALSE(data.verticalLayout);
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
        data.verticalLayout = true;
        data.widthTiles = 9;
        data.mapType = 6;
        header.stageType = type;
        EXPECT_EQ(load(), TilemapLoadOutcome::NoMap);
        EXPECT_FALSE(data.loaded);
        EXPECT_FALSE(data.verticalLayout);
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
        EXPECT_TRUE(data.verticalLayout);
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
    EXPECT_TRUE(data.verticalLayout);
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
    EXPECT_FALSE(data.verticalLayout); // map type 4 alone would say true
    EXPECT_EQ(data.widthTiles, 3);
    EXPECT_EQ(data.heightTiles, 2);
    EXPECT_EQ(data.mapType, 4);
    EXPECT_EQ(data.rawTiles, before);

    writeTerrain(kDataOffset, kDataBank, 0x1020, 3 * 32);
    writeSection(0, 0, 96, 0, 64, 8);
    EXPECT_EQ(load(), TilemapLoadOutcome::DecompressionFailed);
    EXPECT_TRUE(data.verticalLayout);
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

} // namespace
} // namespace vexa
