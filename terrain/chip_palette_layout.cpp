#include "terrain/chip_palette_layout.h"

#include "stage/tilemap_data.h"

#include <algorithm>

namespace vexa {

int chipIndexOf(std::uint16_t word) {
    const std::uint16_t cell = chipCellOf(word);
    return (cell >> 8) * kChipSheetCells + (cell & 0xFF);
}

std::uint16_t chipWordFor(int index, std::uint16_t current) {
    const unsigned column = static_cast<unsigned>(index % kChipSheetCells);
    const unsigned row = static_cast<unsigned>(index / kChipSheetCells) & 0x3F;
    return static_cast<std::uint16_t>((current & 0x3C00u) | (column & 0x0Fu) | ((column & 0x30u) << 10) | (row << 4));
}

std::vector<int> chipUsage(std::span<const std::uint16_t> words) {
    std::vector<int> usage(kChipCount, 0);
    for (const std::uint16_t word : words)
        ++usage[static_cast<std::size_t>(chipIndexOf(word))];
    return usage;
}

PaletteLayout paletteLayout(int cellPixels, bool usedOnly, std::span<const int> usage, int clientWidth) {
    PaletteLayout layout;
    layout.pitch = cellPixels + 1;
    for (int index = 0; index < kChipCount; ++index)
        if (!usedOnly || (static_cast<std::size_t>(index) < usage.size() && usage[static_cast<std::size_t>(index)] > 0))
            layout.chips.push_back(index);
    const int count = static_cast<int>(layout.chips.size());
    layout.columns = usedOnly ? std::clamp((clientWidth - 1) / layout.pitch, 1, kChipSheetCells) : kChipSheetCells;
    layout.rows = (count + layout.columns - 1) / layout.columns;
    return layout;
}

std::optional<int> PaletteLayout::chipAt(int x, int y) const {
    if (x < 1 || y < 1 || pitch <= 1) return std::nullopt;
    const int column = (x - 1) / pitch;
    const int row = (y - 1) / pitch;
    // The last pixel of each pitch is the grid line after the cell.
    if (column >= columns || (x - 1) % pitch == pitch - 1 || (y - 1) % pitch == pitch - 1) return std::nullopt;
    const std::size_t place =
        static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column);
    if (place >= chips.size()) return std::nullopt;
    return chips[place];
}

std::optional<std::pair<int, int>> PaletteLayout::cellOf(int index) const {
    const auto found = std::lower_bound(chips.begin(), chips.end(), index);
    if (found == chips.end() || *found != index) return std::nullopt;
    const int place = static_cast<int>(found - chips.begin());
    return std::pair{1 + (place % columns) * pitch, 1 + (place / columns) * pitch};
}

} // namespace vexa
