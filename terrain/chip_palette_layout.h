// Where the chip palette shows each chip of a terrain's chip bitmap: the whole sheet
// of 64 x 64 chips, or only the chips the block's words use, packed in rows, at 100%
// or 50%, with a one-pixel grid line after every cell.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vexa {

// Chips across and down the sheet; a chip's index is row * 64 + column.
inline constexpr int kChipSheetCells = 64;
inline constexpr int kChipCount = kChipSheetCells * kChipSheetCells;

// The chip a tile word shows, as an index into the sheet.
int chipIndexOf(std::uint16_t word);
// The word that shows chip `index`: bits 0-9, 14 and 15 from the chip's place, bits
// 10-13 kept from `current`.
std::uint16_t chipWordFor(int index, std::uint16_t current);

// How many of the words show each chip, by index.
std::vector<int> chipUsage(std::span<const std::uint16_t> words);

struct PaletteLayout {
    int pitch = 0;   // a cell and its grid line, in pixels
    int columns = 0; // cells per row
    int rows = 0;
    // The chips in the order shown: every chip for the whole sheet.
    std::vector<int> chips;

    // The content's size in pixels, the last grid line included.
    int width() const { return columns * pitch + 1; }
    int height() const { return rows * pitch + 1; }
    // The chip at content point (x, y); nothing on a grid line or past the last cell.
    std::optional<int> chipAt(int x, int y) const;
    // The content position of the top left pixel of chip `index`'s cell, when shown.
    std::optional<std::pair<int, int>> cellOf(int index) const;
};

// `cellPixels` is 32 at 100% and 16 at 50%. With `usedOnly` the used chips fill rows
// as wide as `clientWidth` allows, one per row at the least.
PaletteLayout paletteLayout(int cellPixels, bool usedOnly, std::span<const int> usage, int clientWidth);

} // namespace vexa
