// Terrains stored row by row: shafts, towers and rooms carved out of solid rock or
// masonry, with a wall behind them.
#include "tools/sample_game/terrain.h"

#include <algorithm>

namespace vexa::sample {

namespace {

void fillRect(TerrainGrid& g, int x0, int y0, int x1, int y1, Mat m) {
    for (int r = y0; r < y1; ++r)
        for (int c = x0; c < x1; ++c)
            g.set(c, r, m);
}

// A ledge against a wall (solid, so it has an underside) or a platform in the open.
void ledge(TerrainGrid& g, int x0, int x1, int r, Mat m) {
    for (int c = x0; c < x1; ++c)
        if (g.matAt(c, r) == Mat::Air) g.set(c, r, m);
}

// Ladder in column c from row `top` down to the first cell that is not free.
void ladderDown(TerrainGrid& g, int c, int top) {
    for (int r = top; g.isFree(c, r); ++r)
        g.deco[g.at(c, r)] = {Deco::Ladder, 0};
}

// A tall shaft: walls of changing thickness, ledges from alternating sides, a pool at
// the bottom and an open top.
void shaft(TerrainGrid& g, Rng& rng, const SectionPlan& s, Theme theme) {
    const int x0 = s.left;
    const int y0 = s.top;
    const int x1 = s.left + s.width;
    const int y1 = s.top + s.height;
    int leftWall = 2;
    int rightWall = 2;
    for (int r = y0; r < y1 - 2; ++r) {
        if ((r - y0) % 6 == 0) {
            leftWall = rng.range(1, 3);
            rightWall = rng.range(1, 3);
        }
        for (int c = x0 + leftWall; c < x1 - rightWall; ++c)
            g.set(c, r, Mat::Air);
    }
    const int pool = x0 + s.width / 2 - 2;
    fillRect(g, pool, y1 - 2, pool + 4, y1 - 1, Mat::Water);
    bool left = true;
    for (int r = y1 - 6; r > y0 + 4; r -= 4, left = !left) {
        const int length = rng.range(4, std::max(4, s.width / 2 - 2));
        if (rng.chance(25)) {
            const int c = x0 + s.width / 2 - 2 + rng.range(-2, 2);
            ledge(g, c, c + 4, r, Mat::Platform);
        } else if (left) {
            ledge(g, x0, x0 + 3 + length, r, Mat::Solid);
        } else {
            ledge(g, x1 - 3 - length, x1, r, Mat::Solid);
        }
    }
    addLadders(g, rng, x0, x1, y0, y1);
    decorate(g, rng, theme, x0, y0, x1, y1);
}

// A hall on two floors: rolling ground below, an upper floor reached by a ladder
// through a hole, and a shaft with ledges at the far side that joins both.
void tower(TerrainGrid& g, Rng& rng, const SectionPlan& s, Theme theme) {
    const int x0 = s.left + 2;
    const int y0 = s.top + 2;
    const int x1 = s.left + s.width - 2;
    const int y1 = s.top + s.height;
    fillRect(g, x0, y0, x1, y1, Mat::Air);
    GroundStyle style;
    style.pits = theme == Theme::Forest;
    style.waterDepth = theme == Theme::Forest ? 2 : 0;
    style.bridges = theme == Theme::Forest;
    buildGround(g, rng, x0, x1, y1 - 7, y1 - 3, y1 - 1, style);

    const int shaftLeft = x1 - 12;
    const int floorRow = s.top + s.height / 2;
    fillRect(g, x0, floorRow, shaftLeft, floorRow + 2, Mat::Solid);
    const int hole = x0 + 3;
    fillRect(g, hole, floorRow, hole + 1, floorRow + 2, Mat::Air);
    ladderDown(g, hole, floorRow - 1);

    bool left = false;
    for (int r = y1 - 8; r > y0 + 3; r -= 4, left = !left) {
        if (left)
            ledge(g, shaftLeft + 1, shaftLeft + 5, r, Mat::Platform);
        else
            ledge(g, x1 - 5, x1, r, Mat::Solid);
    }
    addPlatforms(g, rng, x0, shaftLeft, y0 + 1, 7);
    addPlatforms(g, rng, x0, shaftLeft, floorRow + 3, 7);
    addLadders(g, rng, x0, x1, y0, y1);
    decorate(g, rng, theme, x0, y0, x1, y1);
}

// A closed room: a boss arena or a bonus room.
void room(TerrainGrid& g, Rng& rng, const SectionPlan& s, Theme theme, int wall) {
    const int x0 = s.left + wall;
    const int y0 = s.top + wall;
    const int x1 = s.left + s.width - wall;
    const int y1 = s.top + s.height;
    fillRect(g, x0, y0, x1, y1, Mat::Air);
    GroundStyle style;
    style.pits = false;
    style.hills = 10;
    buildGround(g, rng, x0, x1, y1 - 4, y1 - 3, y1 - 1, style);
    addPlatforms(g, rng, x0 - 4, x1 + 4, y0 + 1, s.kind == SectionKind::Bonus ? 3 : 8);
    addLadders(g, rng, x0, x1, y0, y1);
    decorate(g, rng, theme, x0, y0, x1, y1);
}

// Torches, windows, banners and glowing stones on the wall behind open air.
void wallDetails(TerrainGrid& g, Rng& rng, Theme theme) {
    auto plainWall = [&](int c, int r) {
        return g.isFree(c, r) && g.back[g.at(c, r)].kind == Back::Wall && g.back[g.at(c, r)].a == 0;
    };
    for (int r = 1; r < g.height - 2; ++r) {
        for (int c = 1; c < g.width - 1; ++c) {
            if (!plainWall(c, r) || rng.range(0, 99) >= 2) continue;
            const bool tall = plainWall(c, r + 1);
            Back kind = Back::Torch;
            switch (theme) {
            case Theme::Castle:
                kind = tall && rng.chance(50) ? (rng.chance(50) ? Back::Window : Back::Banner) : Back::Torch;
                break;
            case Theme::Ruins: kind = tall && rng.chance(40) ? Back::Window : Back::Torch; break;
            case Theme::Cave: kind = rng.chance(70) ? Back::Glow : Back::Torch; break;
            default: kind = Back::Glow; break;
            }
            g.back[g.at(c, r)] = {kind, 0, 0};
            if (kind == Back::Window || kind == Back::Banner) g.back[g.at(c, r + 1)] = {kind, 0x10, 0};
            c += 4;
        }
    }
}

} // namespace

void generateVertical(TerrainGrid& g, const TerrainPlan& terrain) {
    Rng rng(terrain.number * 131u + 3u);
    std::fill(g.mat.begin(), g.mat.end(), Mat::Solid);
    for (BackCell& cell : g.back) {
        const int roll = rng.range(0, 99);
        cell = {Back::Wall, static_cast<std::uint8_t>(roll < 8 ? 1 : roll < 13 ? 2 : 0), 0};
    }
    for (const SectionPlan& section : terrain.sections) {
        Rng local(section.seed);
        if (section.kind == SectionKind::Bonus)
            room(g, local, section, terrain.theme, 1);
        else if (section.kind == SectionKind::Boss)
            room(g, local, section, terrain.theme, 2);
        else if (terrain.mapType == 4)
            shaft(g, local, section, terrain.theme);
        else
            tower(g, local, section, terrain.theme);
    }
    wallDetails(g, rng, terrain.theme);
}

} // namespace vexa::sample
