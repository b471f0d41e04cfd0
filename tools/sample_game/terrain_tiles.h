// Tiling: each cell of a terrain becomes one chip (what stands in front over what
// lies behind) at a place in the terrain's chip bitmap, and one tile word.
#pragma once

#include "tools/sample_game/terrain.h"

#include <compare>
#include <cstdint>
#include <tuple>
#include <vector>

namespace vexa::sample {

enum class Fg : std::uint8_t {
    None,
    Top,
    Fill,
    SlopeUp,
    SlopeDown,
    Block,
    Platform,
    Bridge,
    WaterTop,
    WaterBody,
    Spikes,
    Deco
};

// Open sides of a ground cell; a cell right under a slope carries the slope's top
// layer on into its corner.
enum EdgeBits : std::uint8_t { kOpenLeft = 1, kOpenRight = 2, kOpenBelow = 4, kUnderSlopeUp = 8, kUnderSlopeDown = 16 };
enum PlatformPart : std::uint8_t { kPlatformSingle, kPlatformLeft, kPlatformMid, kPlatformRight };

struct ChipKey {
    Fg fg = Fg::None;
    std::uint8_t fgA = 0; // edges, platform part or decoration kind
    std::uint8_t fgB = 0; // texture variant or decoration part
    bool hasBack = true;  // false when the front covers the whole chip
    BackCell back;

    friend auto operator<=>(const ChipKey& a, const ChipKey& b) {
        return std::tie(a.fg, a.fgA, a.fgB, a.hasBack, a.back.kind, a.back.a, a.back.b) <=>
               std::tie(b.fg, b.fgA, b.fgB, b.hasBack, b.back.kind, b.back.a, b.back.b);
    }
    friend bool operator==(const ChipKey& a, const ChipKey& b) { return (a <=> b) == 0; }
};

struct ChipPlace {
    int sheet = 0; // 16-column block of the chip bitmap, chosen by tile word bits 14 and 15
    int row = 0;
    int column = 0; // within the sheet
};

struct PlacedChip {
    ChipKey key;
    ChipPlace place;
};

struct TiledTerrain {
    std::vector<std::uint16_t> words; // one per grid cell, row-major like the grid
    std::vector<PlacedChip> chips;
    int chipRows = 0; // 32-pixel rows of the chip bitmap that the words use
};

TiledTerrain tileTerrain(const TerrainGrid& grid, const TerrainPlan& terrain);

// The tile words in the storage order of the terrain's map type.
std::vector<std::uint16_t> storedCells(const TiledTerrain& tiles, const TerrainGrid& grid, std::uint16_t mapType);

} // namespace vexa::sample
