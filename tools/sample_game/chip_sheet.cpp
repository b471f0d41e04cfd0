#include "tools/sample_game/chip_draw.h"

namespace vexa::sample {

namespace {

constexpr int kSheetCount = 4;
constexpr int kColumnsPerSheet = 16;

} // namespace

ChipSheet renderChipSheet(Theme theme, const TiledTerrain& tiles) {
    const ChipPalette pal = themePalette(theme);
    ChipSheet sheet;
    sheet.width = kSheetCount * kColumnsPerSheet * kChipSize;
    sheet.height = tiles.chipRows * kChipSize;
    sheet.palette = pal.colors;
    sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(sheet.height),
                        pal.ramps.ink(0));
    for (const PlacedChip& chip : tiles.chips) {
        Canvas c;
        if (chip.key.hasBack) drawBack(c, chip.key.back, pal, theme);
        if (chip.key.fg == Fg::Deco)
            drawDeco(c, static_cast<Deco>(chip.key.fgA), chip.key.fgB, pal, theme);
        else if (chip.key.fg != Fg::None)
            drawGround(c, chip.key, pal, theme);
        const int x0 = (chip.place.sheet * kColumnsPerSheet + chip.place.column) * kChipSize;
        const int y0 = chip.place.row * kChipSize;
        for (int y = 0; y < kChipSize; ++y)
            for (int x = 0; x < kChipSize; ++x)
                sheet.pixels[static_cast<std::size_t>(y0 + y) * static_cast<std::size_t>(sheet.width) +
                             static_cast<std::size_t>(x0 + x)] = c.at(x, y);
    }
    return sheet;
}

} // namespace vexa::sample
