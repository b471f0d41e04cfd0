// A stage's terrain as cells: found through the terrain tables of rominfo.ini,
// decoded, cut down to the stage's section and converted to chip-bitmap cells.
#pragma once

#include "app/rom_settings.h"
#include "stage/map_info.h"
#include "stage/stage_table.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vexa {

// Room in each cell array; a section never has more cells than this.
inline constexpr std::size_t kTilemapCellCount = 0x10000;
// A stage whose terrain has no data shows as a black square of this many cells.
inline constexpr int kNoTerrainDataTiles = 8;

// The terrain number sits at +8 of the stage's data block in bank 0x3D.
std::uint8_t stageTerrainNumber(std::span<const std::uint8_t> image, std::uint16_t stageDataAddress);

// Offset, in the map info bank, of a terrain's map info record.
std::uint16_t mapInfoOffset(std::span<const std::uint8_t> image, const MapTableSettings& settings,
                            std::uint8_t terrainNumber);

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

// The open stage's terrain: every decoded word, and the section's cells. The arrays
// are empty until the first successful load; the cell arrays then hold
// kTilemapCellCount cells each, row-major with widthTiles per row.
struct TilemapData {
    std::vector<std::uint16_t> terrainWords; // the whole decoded block, in storage order
    std::vector<std::uint16_t> rawTiles;     // the section's tile words as stored
    std::vector<std::uint16_t> chipCells;    // the same cells through chipCellOf
    bool loaded = false;                     // the current stage's cells were decoded
    bool rowMajor = false;                   // terrain stored row by row
    int widthTiles = 0;
    int heightTiles = 0;
    std::uint16_t mapType = 0;
    std::uint8_t terrainNumber = 0; // names the chip bitmap; kept as it was for stages without a map
    // Where the section lies in the stored terrain: its first column and row, and the
    // words per stored row (row-major) or column.
    unsigned sectionLeft = 0;
    unsigned sectionTop = 0;
    std::size_t terrainStride = 0;
};

enum class TilemapLoadOutcome {
    NoMap,               // stage type 4 or 5: a 0 x 0 map
    NoTerrainData,       // an 8 x 8 black area, silently
    DecompressionFailed, // the user is told; the previous cells stay
    Loaded,              // the chip bitmap of terrainNumber is to be loaded
};

// Reads the stage's terrain into `data`. Only a Loaded outcome replaces the arrays and
// the section's place.
TilemapLoadOutcome loadTilemapData(std::span<const std::uint8_t> image, const StageHeader& header,
                                   const MapTableSettings& settings, TilemapData& data);

// The index in terrainWords of the word shown at cell (column, row) of the section;
// nothing outside the section, for a cell beyond the decoded data, or before the
// current stage's terrain was decoded.
std::optional<std::size_t> terrainWordIndex(const TilemapData& map, int column, int row);

// Sets the word of cell (column, row) and every cell that shows the same word. False,
// changing nothing, where terrainWordIndex finds no word.
bool setTerrainCell(TilemapData& map, int column, int row, std::uint16_t word);

// The tile word stored for cell (cellX, cellY); nothing outside the stage's cells or
// before its terrain was decoded.
std::optional<std::uint16_t> tileWordAt(const TilemapData& map, int cellX, int cellY);

} // namespace vexa
