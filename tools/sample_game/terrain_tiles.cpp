#include "tools/sample_game/terrain_tiles.h"

#include "stage/tilemap_data.h"

#include <algorithm>
#include <array>
#include <map>

namespace vexa::sample {

namespace {

constexpr int kSheetColumns = 16;

// The terrain's own behaviour per cell, kept in tile word bits 10-13 where the game
// keeps it; the editor does not draw it.
enum Attribute : std::uint16_t {
    kAttrNone,
    kAttrSolid,
    kAttrSlopeUp,
    kAttrSlopeDown,
    kAttrPlatform,
    kAttrWater,
    kAttrHazard,
    kAttrClimb,
};

struct Rect {
    int x0, y0, x1, y1;
};

// Neighbours outside the stage's own section read as the nearest cell inside, so
// every section looks the same whatever lies next to it in the terrain.
struct SectionView {
    const TerrainGrid& g;
    Rect rect;

    Mat mat(int c, int r) const {
        return g.matAt(std::clamp(c, rect.x0, rect.x1 - 1), std::clamp(r, rect.y0, rect.y1 - 1));
    }
    bool ground(int c, int r) const {
        const Mat m = mat(c, r);
        return m == Mat::Solid || m == Mat::SlopeUp || m == Mat::SlopeDown;
    }
};

std::uint8_t hashVariant(int c, int r, int count) {
    std::uint32_t h = static_cast<std::uint32_t>(c) * 73856093u ^ static_cast<std::uint32_t>(r) * 19349663u;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return static_cast<std::uint8_t>(h % static_cast<std::uint32_t>(count));
}

bool coversWholeChip(const ChipKey& key) {
    switch (key.fg) {
    case Fg::Fill: return (key.fgA & kOpenBelow) == 0;
    case Fg::Top: return key.fgA == 0;
    case Fg::Block:
    case Fg::WaterBody: return true;
    default: return false;
    }
}

// Texture variants of the background vanish behind things in front; keeping only the
// plain one there keeps the number of chips down.
BackCell plainBack(BackCell back) {
    if (back.kind == Back::Wall || back.kind == Back::Far || back.kind == Back::Sea) back.a = 0;
    return back;
}

ChipKey chipAt(const SectionView& v, int c, int r) {
    const TerrainGrid& g = v.g;
    ChipKey key;
    key.back = g.back[g.at(c, r)];
    const DecoCell deco = g.deco[g.at(c, r)];
    switch (g.mat[g.at(c, r)]) {
    case Mat::Air:
        if (deco.kind != Deco::None) {
            key.fg = Fg::Deco;
            key.fgA = static_cast<std::uint8_t>(deco.kind);
            key.fgB = deco.part;
        }
        break;
    case Mat::Solid: {
        std::uint8_t open = 0;
        if (!v.ground(c - 1, r)) open |= kOpenLeft;
        if (!v.ground(c + 1, r)) open |= kOpenRight;
        if (!v.ground(c, r + 1)) open |= kOpenBelow;
        key.fg = v.ground(c, r - 1) ? Fg::Fill : Fg::Top;
        if (v.mat(c, r - 1) == Mat::SlopeUp) open |= kUnderSlopeUp;
        if (v.mat(c, r - 1) == Mat::SlopeDown) open |= kUnderSlopeDown;
        key.fgA = open;
        if (open == 0) key.fgB = hashVariant(c, r, key.fg == Fg::Fill ? 4 : 3);
        break;
    }
    case Mat::SlopeUp: key.fg = Fg::SlopeUp; break;
    case Mat::SlopeDown: key.fg = Fg::SlopeDown; break;
    case Mat::Block: key.fg = Fg::Block; break;
    case Mat::Bridge: key.fg = Fg::Bridge; break;
    case Mat::Spikes: key.fg = Fg::Spikes; break;
    case Mat::Water:
        key.fg = v.mat(c, r - 1) == Mat::Water ? Fg::WaterBody : Fg::WaterTop;
        key.fgB = hashVariant(c, r, 2);
        break;
    case Mat::Platform: {
        const bool left = v.mat(c - 1, r) == Mat::Platform;
        const bool right = v.mat(c + 1, r) == Mat::Platform;
        key.fg = Fg::Platform;
        key.fgA = left && right ? kPlatformMid : left ? kPlatformRight : right ? kPlatformLeft : kPlatformSingle;
        break;
    }
    }
    if (coversWholeChip(key)) {
        key.hasBack = false;
        key.back = {};
    } else if (key.fg != Fg::None) {
        key.back = plainBack(key.back);
    }
    return key;
}

std::uint16_t attributeOf(const TerrainGrid& g, int c, int r) {
    switch (g.mat[g.at(c, r)]) {
    case Mat::Air: {
        const Deco d = g.deco[g.at(c, r)].kind;
        return d == Deco::Ladder || d == Deco::Vine ? kAttrClimb : kAttrNone;
    }
    case Mat::Solid:
    case Mat::Block: return kAttrSolid;
    case Mat::SlopeUp: return kAttrSlopeUp;
    case Mat::SlopeDown: return kAttrSlopeDown;
    case Mat::Platform:
    case Mat::Bridge: return kAttrPlatform;
    case Mat::Water: return kAttrWater;
    case Mat::Spikes: return kAttrHazard;
    }
    return kAttrNone;
}

// Sheet 0 holds the background alone, 1 the ground, 2 what is stood on or swum in
// that is not ground, 3 the decorations.
int sheetOf(Fg fg) {
    switch (fg) {
    case Fg::None: return 0;
    case Fg::Top:
    case Fg::Fill:
    case Fg::SlopeUp:
    case Fg::SlopeDown:
    case Fg::Block: return 1;
    case Fg::Deco: return 3;
    default: return 2;
    }
}

} // namespace

TiledTerrain tileTerrain(const TerrainGrid& grid, const TerrainPlan& terrain) {
    std::vector<ChipKey> keys(grid.size());
    std::vector<bool> done(grid.size(), false);
    for (const SectionPlan& s : terrain.sections) {
        const SectionView view{grid, {s.left, s.top, s.left + s.width, s.top + s.height}};
        for (int r = s.top; r < s.top + s.height; ++r) {
            for (int c = s.left; c < s.left + s.width; ++c) {
                keys[grid.at(c, r)] = chipAt(view, c, r);
                done[grid.at(c, r)] = true;
            }
        }
    }
    // Rock that no stage shows.
    const SectionView whole{grid, {0, 0, grid.width, grid.height}};
    for (int r = 0; r < grid.height; ++r)
        for (int c = 0; c < grid.width; ++c)
            if (!done[grid.at(c, r)]) keys[grid.at(c, r)] = chipAt(whole, c, r);

    // Sorted, the chips of one kind sit together in the bitmap.
    std::map<ChipKey, ChipPlace> places;
    for (const ChipKey& key : keys)
        places.emplace(key, ChipPlace{});
    std::array<int, 4> used{};
    TiledTerrain tiles;
    for (auto& [key, place] : places) {
        const int sheet = sheetOf(key.fg);
        const int index = used[static_cast<std::size_t>(sheet)]++;
        place = {sheet, index / kSheetColumns, index % kSheetColumns};
        tiles.chips.push_back({key, place});
        tiles.chipRows = std::max(tiles.chipRows, place.row + 1);
    }
    tiles.words.resize(grid.size());
    for (int r = 0; r < grid.height; ++r) {
        for (int c = 0; c < grid.width; ++c) {
            const ChipPlace& p = places.at(keys[grid.at(c, r)]);
            tiles.words[grid.at(c, r)] = static_cast<std::uint16_t>(
                p.column | p.row << 4 | attributeOf(grid, c, r) << 10 | (p.sheet & 1) << 14 | (p.sheet >> 1) << 15);
        }
    }
    return tiles;
}

std::vector<std::uint16_t> storedCells(const TiledTerrain& tiles, const TerrainGrid& grid, std::uint16_t mapType) {
    std::vector<std::uint16_t> cells;
    cells.reserve(tiles.words.size());
    auto put = [&](int c, int r) { cells.push_back(tiles.words[grid.at(c, r)]); };
    if (isRowMajorMapType(mapType)) {
        for (int r = 0; r < grid.height; ++r)
            for (int c = 0; c < grid.width; ++c)
                put(c, r);
    } else {
        for (int c = 0; c < grid.width; ++c)
            for (int r = 0; r < grid.height; ++r)
                put(c, r);
    }
    return cells;
}

} // namespace vexa::sample
