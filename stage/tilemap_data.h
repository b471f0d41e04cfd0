// A stage's terrain as cells: found through the terrain tables of rominfo.ini,
// decoded, cut down to the stage's section and converted to chip-bitmap cells.
#pragma once

#include "app/rom_settings.h"
#include "stage/stage_table.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

// Room in each cell array; a section never has more cells than this.
inline constexpr std::size_t kTilemapCellCount = 0x10000;
inline constexpr int kTileSize = 32; // pixels per terrain cell, each way
// A stage whose terrain has no data shows as a black square of this many cells.
inline constexpr int kNoTerrainDataTiles = 8;

// The part of a terrain one stage shows, in cells (pixel edges shifted right by 5).
struct SectionRecord {
    unsigned left = 0;
    unsigned right = 0;
    unsigned top = 0;
    unsigned bottom = 0;
    std::uint16_t mapType = 0;
};

// A terrain's map info record together with the section record a stage picks.
struct MapInfo {
    std::uint16_t dataOffset = 0;  // of the compressed data as stored; 0 = none
    std::uint8_t dataBank = 0;     // SNES bank byte as stored; 0 = none
    std::uint16_t wholeWidth = 0;  // of the whole terrain, in pixels
    std::uint16_t wholeHeight = 0; // in pixels
    SectionRecord section;
};

struct ImageAddress {
    unsigned bank = 0;
    unsigned offset = 0;
};

// The terrain number sits at +8 of the stage's data block in bank 0x3D.
std::uint8_t stageTerrainNumber(std::span<const std::uint8_t> image, std::uint16_t stageDataAddress);

// Offset, in the map info bank, of a terrain's map info record.
std::uint16_t mapInfoOffset(std::span<const std::uint8_t> image, const MapTableSettings& settings,
                            std::uint8_t terrainNumber);

// Reads the map info record at `infoOffset` of `bank` and its section `sectionIndex`.
MapInfo readMapInfo(std::span<const std::uint8_t> image, unsigned bank, unsigned infoOffset, std::uint8_t sectionIndex);

// Image address of the block handed to the decoder, past the 9 bytes in front of it.
// Both SNES mirrors (banks 0x40-0x7F and 0xC0-0xFF) land on image banks 0x00-0x3F;
// other bank bytes give banks beyond the image. A zero offset or bank stays as it is.
ImageAddress compressedDataAddress(std::uint16_t storedOffset, std::uint8_t storedBank);

// Map types 4, 5, 6, 7 and 9 store their terrain row by row, all others column by column.
constexpr bool isRowMajorMapType(std::uint16_t mapType) {
    return mapType == 4 || mapType == 5 || mapType == 6 || mapType == 7 || mapType == 9;
}

// A tile word as stored -> chip cell: low byte the chip column (0-63), high byte the
// chip row (0-63). Bits 14 and 15 pick one of four 16-column sheets; bits 10-13 are
// not drawn.
constexpr std::uint16_t chipCellOf(std::uint16_t rawTile) {
    return static_cast<std::uint16_t>((rawTile & 0x000F) | ((rawTile >> 10) & 0x0030) | ((rawTile & 0x03F0) << 4));
}

// The open stage's terrain cells. Both arrays are empty until the first successful
// load, then kTilemapCellCount cells each, row-major with widthTiles per row.
struct TilemapData {
    std::vector<std::uint16_t> rawTiles;  // tile words as stored
    std::vector<std::uint16_t> chipCells; // the same cells through chipCellOf
    bool loaded = false;                  // the current stage's cells were decoded
    bool verticalLayout = false;          // terrain stored row by row
    int widthTiles = 0;
    int heightTiles = 0;
    std::uint16_t mapType = 0;
    std::uint8_t terrainNumber = 0; // names the chip bitmap; kept as it was for stages without a map
};

enum class TilemapLoadOutcome {
    NoMap,               // stage type 4 or 5: a 0 x 0 map
    NoTerrainData,       // an 8 x 8 black area, silently
    DecompressionFailed, // the user is told; the previous cells stay
    Loaded,              // the chip bitmap of terrainNumber is to be loaded
};

// Reads the stage's terrain into `data`. Only a Loaded outcome replaces the cell arrays.
TilemapLoadOutcome loadTilemapData(std::span<const std::uint8_t> image, const StageHeader& header,
                                   const MapTableSettings& settings, TilemapData& data);

} // namespace vexa
