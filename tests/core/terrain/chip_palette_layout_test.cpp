#include "terrain/chip_palette_layout.h"

#include "stage/tilemap_data.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(ChipPaletteLayout, AChipsWordKeepsBits10To13AndShowsThatChip) {
    const std::uint16_t currents[] = {0x0000, 0x3C00, 0xFFFF, 0x1234};
    for (const std::uint16_t current : currents) {
        for (const int index : {0, 15, 16, 23, 63, 64, 1000, 4095}) {
            const std::uint16_t word = chipWordFor(index, current);
            EXPECT_EQ(chipIndexOf(word), index) << index;
            EXPECT_EQ(word & 0x3C00, current & 0x3C00) << index;
        }
    }
    EXPECT_EQ(chipWordFor(23, 0x0400), 0x4407);
    const std::uint16_t words[] = {0x4407, 0x4407, 0x0407, 0xC3FF};
    const std::vector<int> usage = chipUsage(words);
    EXPECT_EQ(usage[23], 2);
    EXPECT_EQ(usage[7], 1);
    EXPECT_EQ(usage[4095], 1);
}

TEST(ChipPaletteLayout, PointsHitCellsButNotTheGridAndTheUsedViewPacksRows) {
    const PaletteLayout sheet = paletteLayout(32, false, {}, 100);
    EXPECT_EQ(sheet.columns, 64);
    EXPECT_EQ(sheet.width(), 64 * 33 + 1);
    const struct {
        int x;
        int y;
        std::optional<int> chip;
    } hits[] = {{0, 5, std::nullopt},      {1, 1, 0},    {32, 32, 0},
                {33, 5, std::nullopt},     {34, 34, 65}, {64 * 33 + 1, 5, std::nullopt},
                {5, 64 * 33, std::nullopt}};
    for (const auto& hit : hits)
        EXPECT_EQ(sheet.chipAt(hit.x, hit.y), hit.chip) << hit.x << ", " << hit.y;

    std::vector<int> usage(kChipCount, 0);
    for (const int used : {3, 70, 71, 4000, 4095})
        usage[static_cast<std::size_t>(used)] = 1;
    // Three 17-pixel cells fit in 52 pixels with the last grid line.
    const PaletteLayout used = paletteLayout(16, true, usage, 52);
    EXPECT_EQ(used.chips, (std::vector<int>{3, 70, 71, 4000, 4095}));
    EXPECT_EQ(used.columns, 3);
    EXPECT_EQ(used.rows, 2);
    EXPECT_EQ(used.chipAt(1 + 17, 1 + 17), 4095);
    EXPECT_EQ(used.chipAt(1 + 34, 1 + 17), std::nullopt);
    EXPECT_EQ(used.cellOf(4000), (std::pair{1, 18}));
    EXPECT_EQ(used.cellOf(5), std::nullopt);
    EXPECT_EQ(paletteLayout(16, true, usage, 0).columns, 1);
}

} // namespace
} // namespace vexa
