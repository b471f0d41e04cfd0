// Side-scrolling terrains (stored column by column): sky with clouds, a far ridge or
// the sea behind, rolling ground with pits, platforms and decorations in front.
#include "tools/sample_game/terrain.h"

#include <algorithm>
#include <vector>

namespace vexa::sample {

namespace {

constexpr int kSkyBands = 5;

struct Rows {
    int ridgeTop;    // highest ridge line
    int ridgeBottom; // lowest ridge line; the sky ends here
    int groundTop;   // highest ground surface
    int groundBottom;
};

Rows rowsOf(int height) {
    const int sky = height / 2;
    return {sky - 3, sky - 1, sky + 1, height - 3};
}

std::uint8_t skyCode(int row, int skyRows) {
    auto band = [&](int r) { return std::min(kSkyBands - 1, r * kSkyBands / skyRows); };
    const bool blend = row > 0 && band(row) != band(row - 1);
    return static_cast<std::uint8_t>(band(row) * 2 + (blend ? 1 : 0));
}

// Ridge line heights at the column borders: 45-degree slopes between plateaus.
std::vector<int> ridgeLine(Rng& rng, int width, const Rows& rows) {
    std::vector<int> v(static_cast<std::size_t>(width) + 1);
    int h = rows.ridgeBottom;
    int target = h;
    int hold = 0;
    for (auto& x : v) {
        x = h;
        if (hold > 0) {
            --hold;
        } else if (h != target) {
            h += h < target ? 1 : -1;
        } else {
            target = rng.range(rows.ridgeTop, rows.ridgeBottom);
            hold = rng.range(1, 4);
        }
    }
    return v;
}

void paintBackground(TerrainGrid& g, Rng& rng, Theme theme, const Rows& rows) {
    const int skyRows = rows.ridgeBottom + 1;
    if (theme == Theme::Beach) {
        const int sea = rows.ridgeBottom;
        for (int c = 0; c < g.width; ++c) {
            for (int r = 0; r < g.height; ++r) {
                BackCell& cell = g.back[g.at(c, r)];
                if (r < sea)
                    cell = {Back::Sky, skyCode(r, skyRows), 0};
                else if (r == sea)
                    cell = {Back::SeaTop, 0, skyCode(r, skyRows)};
                else
                    cell = {Back::Sea, static_cast<std::uint8_t>(rng.chance(20) ? rng.range(1, 2) : 0), 0};
            }
        }
        return;
    }
    const std::vector<int> ridge = ridgeLine(rng, g.width, rows);
    for (int c = 0; c < g.width; ++c) {
        const int left = ridge[static_cast<std::size_t>(c)];
        const int right = ridge[static_cast<std::size_t>(c) + 1];
        const int edge = std::min(left, right);
        const std::uint8_t shape = left == right ? kRidgeFlat : right < left ? kRidgeUp : kRidgeDown;
        for (int r = 0; r < g.height; ++r) {
            BackCell& cell = g.back[g.at(c, r)];
            if (r < edge)
                cell = {Back::Sky, skyCode(r, skyRows), 0};
            else if (r == edge)
                cell = {Back::Ridge, shape, skyCode(r, skyRows)};
            else
                cell = {Back::Far, 0, 0};
        }
    }
}

void addClouds(TerrainGrid& g, Rng& rng, const Rows& rows) {
    for (int c = rng.range(1, 6); c < g.width - 3; c += rng.range(7, 14)) {
        const int r = rng.range(1, std::max(1, rows.ridgeTop - 3));
        bool room = true;
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 3; ++dx)
                room = room && g.isFree(c + dx, r + dy) && g.back[g.at(c + dx, r + dy)].kind == Back::Sky;
        if (!room) continue;
        for (int dy = 0; dy < 2; ++dy) {
            for (int dx = 0; dx < 3; ++dx) {
                BackCell& cell = g.back[g.at(c + dx, r + dy)];
                cell = {Back::Cloud, static_cast<std::uint8_t>(dx | dy << 4), cell.a};
            }
        }
    }
}

GroundStyle groundStyle(Theme theme, SectionKind kind) {
    GroundStyle style;
    style.waterDepth = theme == Theme::Beach ? 3 : 2;
    style.bridges = theme != Theme::Snow;
    style.hills = theme == Theme::Snow ? 40 : 30;
    if (kind != SectionKind::Main) {
        style.pits = false;
        style.hills = 12;
    }
    return style;
}

// Lumps of ground floating in the open sky of tall terrains.
void addIslands(TerrainGrid& g, Rng& rng, int x0, int x1, const Rows& rows) {
    for (int c = x0 + 10; c < x1 - 12; c += rng.range(14, 24)) {
        const int width = rng.range(4, 6);
        const int r = rng.range(rows.ridgeTop - 3, rows.ridgeTop - 1);
        bool room = true;
        for (int x = c - 1; x <= c + width; ++x)
            for (int y = r - 2; y <= r + 3; ++y)
                room = room && g.isFree(x, y);
        if (!room) continue;
        for (int x = c; x < c + width; ++x) {
            g.set(x, r, Mat::Solid);
            if (x > c && x < c + width - 1) g.set(x, r + 1, Mat::Solid);
        }
    }
}

} // namespace

void generateHorizontal(TerrainGrid& g, const TerrainPlan& terrain) {
    const Rows rows = rowsOf(g.height);
    Rng rng(terrain.number * 31u + 7u);
    paintBackground(g, rng, terrain.theme, rows);
    for (const SectionPlan& section : terrain.sections) {
        Rng local(section.seed);
        const int x0 = section.left;
        const int x1 = section.left + section.width;
        const bool main = section.kind == SectionKind::Main;
        if (section.kind == SectionKind::Bonus) {
            // A small room: a low floor, blocks and platforms full of bananas.
            buildGround(g, local, x0, x1, rows.groundBottom - 1, rows.groundBottom, g.height - 1,
                        groundStyle(terrain.theme, section.kind));
        } else {
            buildGround(g, local, x0, x1, rows.groundTop, rows.groundBottom, g.height - 1,
                        groundStyle(terrain.theme, section.kind));
        }
        if (terrain.theme == Theme::Snow && main) addIslands(g, local, x0, x1, rows);
        addPlatforms(g, local, x0, x1, rows.ridgeTop, main ? 8 : 4);
        addLadders(g, local, x0, x1, 0, g.height);
        decorate(g, local, terrain.theme, x0, 0, x1, g.height);
    }
    addClouds(g, rng, rows);
}

} // namespace vexa::sample
