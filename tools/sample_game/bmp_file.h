// Windows bitmap files with a colour table, as the editor's bitmap loader reads them.
#pragma once

#include "tools/sample_game/chip_canvas.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vexa::sample {

// An 8-bit palettized BMP: `pixels` holds width x height palette indices, top row
// first; the file stores the rows bottom-up, each padded to four bytes.
std::vector<std::uint8_t> encodeBmp8(int width, int height, std::span<const std::uint8_t> pixels,
                                     std::span<const Rgb> palette);

} // namespace vexa::sample
