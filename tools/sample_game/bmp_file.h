// Windows bitmap files with a colour table, as the editor's bitmap loader reads them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vexa::sample {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

// An 8-bit palettized BMP: `pixels` holds width x height palette indices, top row
// first; the file stores the rows bottom-up, each padded to four bytes.
std::vector<std::uint8_t> encodeBmp8(int width, int height, std::span<const std::uint8_t> pixels,
                                     std::span<const Rgb> palette);

// A chip bitmap of `columns` x `rows` chips, each one flat colour: colours[row * columns
// + column]. At most 256 chips, one palette entry each.
std::vector<std::uint8_t> flatChipBitmap(int columns, int rows, std::span<const Rgb> colours);

} // namespace vexa::sample
