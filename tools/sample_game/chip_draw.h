// The chip pictures: background, ground and decorations, and the whole chip bitmap
// of a terrain.
#pragma once

#include "tools/sample_game/chip_canvas.h"
#include "tools/sample_game/terrain_tiles.h"

#include <cstdint>
#include <vector>

namespace vexa::sample {

void drawBack(Canvas& c, const BackCell& back, const ChipPalette& pal, Theme theme);
// Masonry or rock that tiles seamlessly chip to chip; chip_ground uses it too.
void drawMasonry(Canvas& c, Ramp ramp, std::uint8_t mortar, int face, int variant, bool rough);
void drawCobbles(Canvas& c, Ramp ramp, std::uint8_t gap, int face, std::uint32_t seed);

// The front of a chip over whatever lies behind it.
void drawGround(Canvas& c, const ChipKey& key, const ChipPalette& pal, Theme theme);
void drawDeco(Canvas& c, Deco kind, std::uint8_t part, const ChipPalette& pal, Theme theme);

struct ChipSheet {
    int width = 0; // pixels
    int height = 0;
    std::vector<std::uint8_t> pixels; // palette indices, top row first
    std::vector<Rgb> palette;
};

ChipSheet renderChipSheet(Theme theme, const TiledTerrain& tiles);

} // namespace vexa::sample
