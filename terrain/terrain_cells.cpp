#include "terrain/terrain_cells.h"

#include "app/ini_file.h"
#include "stage/field_text.h"
#include "stage/map_info.h"
#include "stage/map_zoom.h"

#include <algorithm>
#include <cstdlib>

namespace vexa {

namespace {

constexpr std::uint8_t kClipSignature[4] = {'V', 'X', 'T', 'C'};
constexpr std::uint16_t kClipVersion = 1;
constexpr std::size_t kClipHeaderSize = 10;

void putWord(std::vector<std::uint8_t>& bytes, std::uint16_t word) {
    bytes.push_back(static_cast<std::uint8_t>(word));
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
}

std::uint16_t wordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool inSection(const TilemapData& map, CellPoint cell) {
    return cell.column >= 0 && cell.row >= 0 && cell.column < map.widthTiles && cell.row < map.heightTiles;
}

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The words of one line, or nothing when a token is no word.
std::optional<std::vector<std::uint16_t>> lineWords(std::wstring_view line) {
    std::vector<std::uint16_t> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        if (end == at) break;
        const std::optional<std::uint16_t> word = parseHexWord(line.substr(at, end - at));
        if (!word) return std::nullopt;
        words.push_back(*word);
        at = end;
    }
    return words;
}

} // namespace

std::optional<std::uint16_t> parseTileWord(std::wstring_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return parseHexWord(text);
}

CellRect CellRect::spanning(CellPoint a, CellPoint b) {
    return {std::min(a.column, b.column), std::min(a.row, b.row), std::max(a.column, b.column), std::max(a.row, b.row)};
}

CellPoint cellContaining(int x, int y) {
    return {static_cast<int>(floorDiv(x, kTileSize)), static_cast<int>(floorDiv(y, kTileSize))};
}

std::optional<CellPoint> cellAt(const TilemapData& map, int x, int y, bool clampToSection) {
    if (map.widthTiles <= 0 || map.heightTiles <= 0) return std::nullopt;
    CellPoint cell = cellContaining(x, y);
    if (clampToSection) {
        cell.column = std::clamp(cell.column, 0, map.widthTiles - 1);
        cell.row = std::clamp(cell.row, 0, map.heightTiles - 1);
    }
    if (!inSection(map, cell)) return std::nullopt;
    return cell;
}

bool isWritableCell(const TilemapData& map, CellPoint cell) {
    return terrainWordIndex(map, cell.column, cell.row).has_value();
}

std::vector<CellPoint> cellLine(CellPoint from, CellPoint to) {
    const int dx = std::abs(to.column - from.column);
    const int dy = -std::abs(to.row - from.row);
    const int stepX = from.column < to.column ? 1 : -1;
    const int stepY = from.row < to.row ? 1 : -1;
    std::vector<CellPoint> cells;
    cells.reserve(static_cast<std::size_t>(std::max(dx, -dy)) + 1);
    int error = dx + dy;
    CellPoint at = from;
    for (;;) {
        cells.push_back(at);
        if (at == to) break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.column += stepX;
        }
        if (twice <= dx) {
            error += dx;
            at.row += stepY;
        }
    }
    return cells;
}

std::vector<CellPoint> writableCellsIn(const TilemapData& map, const CellRect& rect) {
    std::vector<CellPoint> cells;
    for (int row = std::max(rect.top, 0); row <= std::min(rect.bottom, map.heightTiles - 1); ++row)
        for (int column = std::max(rect.left, 0); column <= std::min(rect.right, map.widthTiles - 1); ++column)
            if (isWritableCell(map, {column, row})) cells.push_back({column, row});
    return cells;
}

std::vector<CellPoint> fillRegion(const TilemapData& map, CellPoint start) {
    if (!isWritableCell(map, start)) return {};
    const std::uint16_t word = *tileWordAt(map, start.column, start.row);
    std::vector<bool> seen(static_cast<std::size_t>(map.widthTiles) * static_cast<std::size_t>(map.heightTiles));
    auto mark = [&](CellPoint cell) {
        const std::size_t at = static_cast<std::size_t>(cell.row) * static_cast<std::size_t>(map.widthTiles) +
                               static_cast<std::size_t>(cell.column);
        if (seen[at]) return false;
        seen[at] = true;
        return true;
    };
    std::vector<CellPoint> region{start};
    mark(start);
    // The region itself is the queue: each cell's neighbours join it once.
    for (std::size_t next = 0; next < region.size(); ++next) {
        const CellPoint cell = region[next];
        for (const CellPoint step : {CellPoint{1, 0}, CellPoint{-1, 0}, CellPoint{0, 1}, CellPoint{0, -1}}) {
            const CellPoint near{cell.column + step.column, cell.row + step.row};
            if (!inSection(map, near) || !isWritableCell(map, near)) continue;
            if (tileWordAt(map, near.column, near.row) != word || !mark(near)) continue;
            region.push_back(near);
        }
    }
    return region;
}

TerrainCells copyCells(const TilemapData& map, const CellRect& rect) {
    const CellRect cut{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, map.widthTiles - 1),
                       std::min(rect.bottom, map.heightTiles - 1)};
    TerrainCells cells;
    if (cut.right < cut.left || cut.bottom < cut.top) return cells;
    cells.width = cut.width();
    cells.height = cut.height();
    cells.words.reserve(static_cast<std::size_t>(cells.width) * static_cast<std::size_t>(cells.height));
    for (int row = cut.top; row <= cut.bottom; ++row)
        for (int column = cut.left; column <= cut.right; ++column)
            cells.words.push_back(tileWordAt(map, column, row).value_or(0));
    return cells;
}

std::vector<TerrainCell> pastedCells(const TilemapData& map, const TerrainCells& clip, CellPoint at) {
    std::vector<TerrainCell> cells;
    for (int row = 0; row < clip.height; ++row) {
        for (int column = 0; column < clip.width; ++column) {
            const CellPoint target{at.column + column, at.row + row};
            if (!inSection(map, target) || !isWritableCell(map, target)) continue;
            cells.push_back({target.column, target.row,
                             clip.words[static_cast<std::size_t>(row) * static_cast<std::size_t>(clip.width) +
                                        static_cast<std::size_t>(column)]});
        }
    }
    return cells;
}

std::vector<std::uint8_t> encodeTerrainCells(const TerrainCells& cells) {
    std::vector<std::uint8_t> bytes(std::begin(kClipSignature), std::end(kClipSignature));
    putWord(bytes, kClipVersion);
    putWord(bytes, static_cast<std::uint16_t>(cells.width));
    putWord(bytes, static_cast<std::uint16_t>(cells.height));
    for (const std::uint16_t word : cells.words)
        putWord(bytes, word);
    return bytes;
}

std::optional<TerrainCells> decodeTerrainCells(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kClipHeaderSize ||
        !std::equal(std::begin(kClipSignature), std::end(kClipSignature), bytes.begin()))
        return std::nullopt;
    if (wordAt(bytes, 4) != kClipVersion) return std::nullopt;
    TerrainCells cells;
    cells.width = wordAt(bytes, 6);
    cells.height = wordAt(bytes, 8);
    const std::size_t count = static_cast<std::size_t>(cells.width) * static_cast<std::size_t>(cells.height);
    // The clipboard may round a block up to its allocation size: only what the header
    // names is read, and it must be there.
    if (count == 0 || count > kMaxClipCells || bytes.size() < kClipHeaderSize + 2 * count) return std::nullopt;
    cells.words.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        cells.words.push_back(wordAt(bytes, kClipHeaderSize + 2 * i));
    return cells;
}

std::wstring terrainCellsText(const TerrainCells& cells) {
    std::wstring text;
    text.reserve(cells.words.size() * 5 + static_cast<std::size_t>(cells.height) * 2);
    for (int row = 0; row < cells.height; ++row) {
        if (row > 0) text += L"\r\n";
        for (int column = 0; column < cells.width; ++column) {
            if (column > 0) text += L' ';
            text += hexText4(cells.words[static_cast<std::size_t>(row) * static_cast<std::size_t>(cells.width) +
                                         static_cast<std::size_t>(column)]);
        }
    }
    return text;
}

std::optional<TerrainCells> parseTerrainCellsText(std::wstring_view text) {
    std::vector<std::vector<std::uint16_t>> rows;
    std::size_t at = 0;
    std::size_t count = 0;
    while (at < text.size()) {
        std::size_t end = text.find(L'\n', at);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        std::optional<std::vector<std::uint16_t>> words = lineWords(line);
        if (!words) return std::nullopt;
        // Width and height are words in the clipboard's own form.
        if (words->size() > 0xFFFF) return std::nullopt;
        count += words->size();
        if (count > kMaxClipCells) return std::nullopt;
        rows.push_back(std::move(*words));
        at = end + 1;
    }
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    if (rows.empty()) return std::nullopt;
    TerrainCells cells;
    cells.width = static_cast<int>(rows.front().size());
    cells.height = static_cast<int>(rows.size());
    for (const std::vector<std::uint16_t>& row : rows) {
        if (row.size() != rows.front().size()) return std::nullopt;
        cells.words.insert(cells.words.end(), row.begin(), row.end());
    }
    return cells;
}

} // namespace vexa
