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

TilemapLoadOutcome markNoTerrainData(TilemapData& data) {
    data.widthTiles = kNoTerrainDataTiles;
    data.heightTiles = kNoTerrainDataTiles;
    data.rowMajor = true;
    data.loaded = false;
    return TilemapLoadOutcome::NoTerrainData;
}

// The layout rule after a failed decode looks at the whole width, not the map type.
TilemapLoadOutcome markDecompressionFailed(TilemapData& data, const MapInfo& info) {
    data.loaded = false;
    data.rowMajor = (info.wholeWidth & 0x0FFF) != 0;
    return TilemapLoadOutcome::DecompressionFailed;
}

bool inSection(const TilemapData& map, int column, int row) {
    return column >= 0 && row >= 0 && column < map.widthTiles && row < map.heightTiles;
}

std::size_t cellIndex(const TilemapData& map, int column, int row) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(map.widthTiles) + static_cast<std::size_t>(column);
}

void showCell(TilemapData& map, int column, int row, std::uint16_t word) {
    const std::size_t cell = cellIndex(map, column, row);
    if (cell >= map.rawTiles.size() || cell >= map.chipCells.size()) return;
    map.rawTiles[cell] = word;
    map.chipCells[cell] = chipCellOf(word);
}

// Cells the decoder did not produce (the section reaches past the decoded data) read
// as tile 0.
void cutSection(TilemapData& data) {
    for (int r = 0; r < data.heightTiles; ++r) {
        for (int c = 0; c < data.widthTiles; ++c) {
            const std::optional<std::size_t> index = terrainWordIndex(data, c, r);
            showCell(data, c, r, index ? data.terrainWords[*index] : 0);
        }
    }
}

// Whole words only: a last odd byte is no word. `words` has room for them all.
void takeWords(std::span<const std::uint8_t> decoded, std::vector<std::uint16_t>& words) {
    words.resize(decoded.size() / 2);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<std::uint16_t>(decoded[2 * i] | decoded[2 * i + 1] << 8);
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

TilemapLoadOutcome loadTilemapData(std::span<const std::uint8_t> image, const StageHeader& header,
                                   const MapTableSettings& settings, TilemapData& data) {
    if (isStageWithoutTilemap(header.stageType)) {
        data.loaded = false;
        data.widthTiles = 0;
        data.heightTiles = 0;
        data.mapType = 0;
        data.rowMajor = false;
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
    std::vector<std::uint16_t> terrainWords;
    try {
        decoded.resize(kMapDataMaxSize);
        rawTiles.assign(kTilemapCellCount, 0);
        chipCells.assign(kTilemapCellCount, 0);
        terrainWords.reserve(kMapDataMaxSize / 2);
    } catch (const std::bad_alloc&) {
        return markDecompressionFailed(data, info);
    }
    const int length = decompressMapData(image.subspan(imageOffset(block.bank, block.offset)), decoded);
    if (length < 0) return markDecompressionFailed(data, info);

    const auto decodedLength = std::min(static_cast<std::size_t>(length), decoded.size());
    takeWords(std::span(decoded).first(decodedLength), terrainWords);
    data.terrainWords = std::move(terrainWords);
    data.rawTiles = std::move(rawTiles);
    data.chipCells = std::move(chipCells);
    data.rowMajor = isRowMajorMapType(info.section.mapType);
    data.sectionLeft = info.section.left;
    data.sectionTop = info.section.top;
    // A terrain narrower (or lower) than one cell has stride 0; the cut still stays in bounds.
    data.terrainStride = pixelsToCells(data.rowMajor ? info.wholeWidth : info.wholeHeight);
    cutSection(data);
    return TilemapLoadOutcome::Loaded;
}

std::optional<std::size_t> terrainWordIndex(const TilemapData& map, int column, int row) {
    if (!map.loaded || !inSection(map, column, row)) return {};
    const std::size_t across = map.sectionLeft + static_cast<std::size_t>(column);
    const std::size_t down = map.sectionTop + static_cast<std::size_t>(row);
    const std::size_t index = map.rowMajor ? down * map.terrainStride + across : across * map.terrainStride + down;
    if (index >= map.terrainWords.size()) return {};
    return index;
}

bool setTerrainCell(TilemapData& map, int column, int row, std::uint16_t word) {
    const std::optional<std::size_t> index = terrainWordIndex(map, column, row);
    if (!index) return false;
    map.terrainWords[*index] = word;
    // A section reaching past its terrain's stride shows some words in more than one
    // cell; on each stored line, one cell at most shows this one.
    const int lines = map.rowMajor ? map.heightTiles : map.widthTiles;
    const int length = map.rowMajor ? map.widthTiles : map.heightTiles;
    const std::size_t lineStart = map.rowMajor ? map.sectionTop : map.sectionLeft;
    const std::size_t firstOnLine = map.rowMajor ? map.sectionLeft : map.sectionTop;
    for (int k = 0; k < lines; ++k) {
        const std::size_t start = (lineStart + static_cast<std::size_t>(k)) * map.terrainStride + firstOnLine;
        if (*index < start || *index - start >= static_cast<std::size_t>(length)) continue;
        const int along = static_cast<int>(*index - start);
        if (map.rowMajor)
            showCell(map, along, k, word);
        else
            showCell(map, k, along, word);
    }
    return true;
}

std::optional<std::uint16_t> tileWordAt(const TilemapData& map, int cellX, int cellY) {
    if (!map.loaded || !inSection(map, cellX, cellY)) return {};
    const std::size_t at = cellIndex(map, cellX, cellY);
    if (at >= map.rawTiles.size()) return {};
    return map.rawTiles[at];
}

} // namespace vexa
