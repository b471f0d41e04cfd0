// The cells the terrain tools work on: the cell under a map point, a pen's line, a
// rectangle, a fill's region, and a block of cells copied to the clipboard in its two
// forms (the editor's own bytes and plain text).
#pragma once

#include "stage/tilemap_data.h"
#include "terrain/terrain_blocks.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct CellPoint {
    int column = 0;
    int row = 0;

    friend bool operator==(const CellPoint&, const CellPoint&) = default;
};

// Cells from (left, top) to (right, bottom), both corners included.
struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // The rectangle with `a` and `b` at opposite corners.
    static CellRect spanning(CellPoint a, CellPoint b);
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    bool contains(CellPoint cell) const {
        return cell.column >= left && cell.column <= right && cell.row >= top && cell.row <= bottom;
    }
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// The cell that holds map point (x, y) in map pixels, counted past the section's
// edges too (left of and above the map, below 0).
CellPoint cellContaining(int x, int y);
// That cell when it lies in the section, or held to the section; nothing for a map
// without cells.
std::optional<CellPoint> cellAt(const TilemapData& map, int x, int y, bool clampToSection);

// Whether the cell shows a word of the decoded terrain, which an edit may write.
bool isWritableCell(const TilemapData& map, CellPoint cell);

// Every cell a pen passes from `from` to `to`, both included, each touching the one
// before at a side or a corner: a fast drag leaves no gap.
std::vector<CellPoint> cellLine(CellPoint from, CellPoint to);

// The cells of `rect` that an edit may write, row by row.
std::vector<CellPoint> writableCellsIn(const TilemapData& map, const CellRect& rect);

// The cells 4-connected to `start` that hold its word, `start` first; nothing when
// `start` cannot be written.
std::vector<CellPoint> fillRegion(const TilemapData& map, CellPoint start);

// A rectangle of tile words, row by row.
struct TerrainCells {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> words;

    friend bool operator==(const TerrainCells&, const TerrainCells&) = default;
};

// The most cells one copy or paste holds: a whole section.
inline constexpr std::size_t kMaxClipCells = kTilemapCellCount;

// The words shown in `rect`, cut to the section.
TerrainCells copyCells(const TilemapData& map, const CellRect& rect);

// The edit a paste makes with the clip's top-left cell at `at`: words that land outside
// the section or beyond the decoded data are dropped.
std::vector<TerrainCell> pastedCells(const TilemapData& map, const TerrainCells& clip, CellPoint at);

// The clipboard's own form, "VexaEditor.TerrainCells": "VXTC", a version word (1), the
// width and height words, then the words, little-endian. Anything else decodes to nothing.
std::vector<std::uint8_t> encodeTerrainCells(const TerrainCells& cells);
std::optional<TerrainCells> decodeTerrainCells(std::span<const std::uint8_t> bytes);

// The text form: one line per row, each word in four hexadecimal digits, separated by
// blanks ("0C12 0C13\r\n0D12 0D13", each word as hexText4 writes it). The reader takes blanks and tabs between words,
// CR LF or LF between rows and empty lines at the end; every row must hold as many
// words, each one to four hexadecimal digits.
std::wstring terrainCellsText(const TerrainCells& cells);
std::optional<TerrainCells> parseTerrainCellsText(std::wstring_view text);

// A tile word as the page's field takes it: one to four hexadecimal digits, blanks
// around them allowed.
std::optional<std::uint16_t> parseTileWord(std::wstring_view text);
// What a paste of anything else says is IDS_NOT_TERRAIN_CELLS: "クリップボードの内容は地形のセルではありません。..."

} // namespace vexa
