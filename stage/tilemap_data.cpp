#include "stage/tilemap_data.h"

#include "app/rom_image.h"
#include "stage/map_decompress.h"

#include <algorithm>
#include <new>
#include <utility>

namespace vexa {

namespace {

constexpr unsigned kTerrainNumberOffset = 8;
constexpr unsigned kTerrainEntrySize = 4;
constexpr unsigned kSectionRecordsOffset = 9;
constexpr unsigned kSectionRecordSize = 10;
constexpr unsigned kCompressedHeadSkip = 9;

unsigned pixelsToCells(std::uint16_t pixels) {
    return pixels >> 5u;
}

struct SectionSize {
    unsigned width = 0;
    unsigned height = 0;
};

// Reversed edges give an empty section, and a section larger than the cell arrays
// keeps its width and loses the rows that do not fit (the width is at most 2047
// cells, so at least 32 rows remain).
SectionSize clippedSectionSize(const SectionRecord& section) {
    SectionSize size;
    size.width = section.right > section.left ? section.right - section.left : 0;
    size.height = section.bottom > section.top ? section.bottom - section.top : 0;
    if (size.width != 0 && std::size_t{size.width} * size.height > kTilemapCellCount)
        size.height = static_cast<unsigned>(kTilemapCellCount / size.width);
    return size;
}

// Cells the decoder did not produce (the section reaches past the decoded data) read
// as tile 0.
std::uint16_t decodedTile(std::span<const std::uint8_t> decoded, std::size_t index) {
    const std::size_t at = index * 2;
    if (at + 1 >= decoded.size()) return 0;
    return static_cast<std::uint16_t>(decoded[at] | decoded[at + 1] << 8);
}

TilemapLoadOutcome markNoTerrainData(TilemapData& data) {
    data.widthTiles = kNoTerrainDataTiles;
    data.heightTiles = kNoTerrainDataTiles;
    data.verticalLayout = true;
    data.loaded = false;
    return TilemapLoadOutcome::NoTerrainData;
}

// The layout rule after a failed decode looks at the whole width, not the map type.
TilemapLoadOutcome markDecompressionFailed(TilemapData& data, const MapInfo& info) {
    data.loaded = false;
    data.verticalLayout = (info.wholeWidth & 0x0FFF) != 0;
    return TilemapLoadOutcome::DecompressionFailed;
}

void cutSection(std::span<const std::uint8_t> decoded, const MapInfo& info, const SectionSize& size,
                std::vector<std::uint16_t>& rawTiles, std::vector<std::uint16_t>& chipCells) {
    const SectionRecord& section = info.section;
    const bool rowMajor = isRowMajorMapType(section.mapType);
    // A terrain narrower (or lower) than one cell has stride 0; the cut still stays in bounds.
    const std::size_t stride = pixelsToCells(rowMajor ? info.wholeWidth : info.wholeHeight);
    for (unsigned r = 0; r < size.height; ++r) {
        for (unsigned c = 0; c < size.width; ++c) {
            const std::size_t row = section.top + r;
            const std::size_t column = section.left + c;
            const std::uint16_t tile = decodedTile(decoded, rowMajor ? row * stride + column : column * stride + row);
            const std::size_t cell = static_cast<std::size_t>(r) * size.width + c;
            rawTiles[cell] = tile;
            chipCells[cell] = chipCellOf(tile);
        }
    }
}

} // namespace

std::uint8_t stageTerrainNumber(std::span<const std::uint8_t> image, std::uint16_t stageDataAddress) {
    return romByte(image, kStageBank, stageDataAddress + kTerrainNumberOffset);
}

std::uint16_t mapInfoOffset(std::span<const std::uint8_t> image, const MapTableSettings& settings,
                            std::uint8_t terrainNumber) {
    const unsigned bank = static_cast<unsigned>(settings.mapInfoBank) & 0xFFu;
    const unsigned table = static_cast<unsigned>(settings.mapABInfo) & 0xFFFFu;
    return romWord(image, bank, table + kTerrainEntrySize * terrainNumber);
}

MapInfo readMapInfo(std::span<const std::uint8_t> image, unsigned bank, unsigned infoOffset,
                    std::uint8_t sectionIndex) {
    MapInfo info;
    info.dataOffset = romWord(image, bank, infoOffset);
    info.dataBank = romByte(image, bank, infoOffset + 2);
    info.wholeWidth = romWord(image, bank, infoOffset + 5);
    info.wholeHeight = romWord(image, bank, infoOffset + 7);
    const unsigned record = infoOffset + kSectionRecordsOffset + kSectionRecordSize * sectionIndex;
    info.section.left = pixelsToCells(romWord(image, bank, record));
    info.section.right = pixelsToCells(romWord(image, bank, record + 2));
    info.section.top = pixelsToCells(romWord(image, bank, record + 4));
    info.section.bottom = pixelsToCells(romWord(image, bank, record + 6));
    info.section.mapType = romWord(image, bank, record + 8);
    return info;
}

ImageAddress compressedDataAddress(std::uint16_t storedOffset, std::uint8_t storedBank) {
    if (storedOffset == 0 || storedBank == 0) return {storedBank, storedOffset};
    return {((storedBank | 0x80u) + 0x40u) & 0xFFu, (storedOffset + kCompressedHeadSkip) & 0xFFFFu};
}

TilemapLoadOutcome loadTilemapData(std::span<const std::uint8_t> image, const StageHeader& header,
                                   const MapTableSettings& settings, TilemapData& data) {
    if (isStageWithoutTilemap(header.stageType)) {
        data.loaded = false;
        data.widthTiles = 0;
        data.heightTiles = 0;
        data.mapType = 0;
        data.verticalLayout = false;
        return TilemapLoadOutcome::NoMap;
    }

    data.terrainNumber = stageTerrainNumber(image, header.stageDataAddress);
    const unsigned infoBank = static_cast<unsigned>(settings.mapInfoBank) & 0xFFu;
    if (!isImageBank(infoBank)) {
        // Nothing of the tables can be read, not even the section's map type.
        data.mapType = 0;
        return markNoTerrainData(data);
    }
    const MapInfo info =
        readMapInfo(image, infoBank, mapInfoOffset(image, settings, data.terrainNumber), header.sectionIndex);
    const ImageAddress block = compressedDataAddress(info.dataOffset, info.dataBank);

    // The section's size and type hold even when the terrain turns out to have no data.
    const SectionSize size = clippedSectionSize(info.section);
    data.widthTiles = static_cast<int>(size.width);
    data.heightTiles = static_cast<int>(size.height);
    data.mapType = info.section.mapType;

    if (block.offset == 0 || block.bank == 0 || !isImageBank(block.bank) ||
        imageOffset(block.bank, block.offset) >= image.size())
        return markNoTerrainData(data);

    data.loaded = true;
    std::vector<std::uint8_t> decoded;
    std::vector<std::uint16_t> rawTiles;
    std::vector<std::uint16_t> chipCells;
    try {
        decoded.resize(kMapDataMaxSize);
        rawTiles.assign(kTilemapCellCount, 0);
        chipCells.assign(kTilemapCellCount, 0);
    } catch (const std::bad_alloc&) {
        return markDecompressionFailed(data, info);
    }
    const int length = decompressMapData(image.subspan(imageOffset(block.bank, block.offset)), decoded);
    if (length < 0) return markDecompressionFailed(data, info);

    const auto decodedLength = std::min(static_cast<std::size_t>(length), decoded.size());
    cutSection(std::span(decoded).first(decodedLength), info, size, rawTiles, chipCells);
    data.rawTiles = std::move(rawTiles);
    data.chipCells = std::move(chipCells);
    data.verticalLayout = isRowMajorMapType(info.section.mapType);
    return TilemapLoadOutcome::Loaded;
}

} // namespace vexa
