#include "tools/sample_game/terrain.h"

#include <algorithm>

namespace vexa::sample {

std::uint32_t Rng::next() {
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

int Rng::range(int lo, int hi) {
    if (hi <= lo) return lo;
    return lo + static_cast<int>(next() % static_cast<std::uint32_t>(hi - lo + 1));
}

bool placeDeco(TerrainGrid& g, Deco kind, int c, int r, const std::vector<DecoPart>& parts) {
    for (const DecoPart& p : parts) {
        const int x = c + p.dx;
        const int y = r + p.dy;
        if (!g.isFree(x, y)) return false;
        const Back back = g.back[g.at(x, y)].kind;
        if (back != Back::Far && back != Back::Wall && back != Back::Sea) return false;
    }
    for (const DecoPart& p : parts)
        g.deco[g.at(c + p.dx, r + p.dy)] = {kind, p.part};
    return true;
}

namespace {

std::vector<DecoPart> box(int w, int h) {
    std::vector<DecoPart> parts;
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx)
            parts.push_back({dx, dy, static_cast<std::uint8_t>(dx | dy << 4)});
    return parts;
}

// Trees are three cells wide with their trunk in the middle column of the bottom row.
std::vector<DecoPart> treeParts(Deco kind) {
    std::vector<DecoPart> parts = box(3, kind == Deco::Palm ? 1 : 2);
    parts.push_back({1, 2, 0x21});
    if (kind == Deco::Palm) parts.push_back({1, 1, 0x11});
    return parts;
}

std::vector<DecoPart> column(int h) {
    std::vector<DecoPart> parts;
    for (int dy = 0; dy < h; ++dy)
        parts.push_back({0, dy, static_cast<std::uint8_t>(dy << 4)});
    return parts;
}

// Hanging things: part 0 at the top, 1 in between, 2 at the end.
std::vector<DecoPart> hanging(int h) {
    std::vector<DecoPart> parts;
    for (int dy = 0; dy < h; ++dy)
        parts.push_back({0, dy, static_cast<std::uint8_t>(dy == 0 ? 0 : dy + 1 == h ? 2 : 1)});
    return parts;
}

struct DecoChoice {
    Deco kind;
    int weight;
};

std::vector<DecoChoice> standingDecos(Theme theme) {
    switch (theme) {
    case Theme::Grass:
        return {{Deco::Tree, 14}, {Deco::Bush, 12}, {Deco::Flower, 14},
                {Deco::Tuft, 16}, {Deco::Rock, 6},  {Deco::Fence, 8}};
    case Theme::Snow: return {{Deco::Pine, 16}, {Deco::Bush, 8}, {Deco::Snowman, 5}, {Deco::Rock, 8}, {Deco::Tuft, 8}};
    case Theme::Beach: return {{Deco::Palm, 14}, {Deco::Shell, 10}, {Deco::Rock, 6}, {Deco::Tuft, 14}, {Deco::Bush, 4}};
    case Theme::Cave: return {{Deco::Crystal, 12}, {Deco::Stalagmite, 12}, {Deco::Mushroom, 10}, {Deco::Rock, 8}};
    case Theme::Forest:
        return {{Deco::Tree, 14}, {Deco::Bush, 12}, {Deco::Mushroom, 12}, {Deco::Flower, 10}, {Deco::Tuft, 12}};
    case Theme::Ruins: return {{Deco::Column, 12}, {Deco::Urn, 10}, {Deco::Rock, 8}, {Deco::Tuft, 12}};
    case Theme::Castle: return {{Deco::Urn, 10}, {Deco::Column, 6}};
    }
    return {};
}

Deco pick(Rng& rng, const std::vector<DecoChoice>& choices) {
    int total = 0;
    for (const auto& c : choices)
        total += c.weight;
    int roll = rng.range(0, total - 1);
    for (const auto& c : choices) {
        if (roll < c.weight) return c.kind;
        roll -= c.weight;
    }
    return Deco::None;
}

bool placeStanding(TerrainGrid& g, Deco kind, int c, int r) {
    switch (kind) {
    case Deco::Tree:
    case Deco::Pine:
    case Deco::Palm: return g.matAt(c, r + 1) == Mat::Solid && placeDeco(g, kind, c - 1, r - 2, treeParts(kind));
    case Deco::Bush:
        return g.matAt(c + 1, r + 1) == Mat::Solid && g.matAt(c, r + 1) == Mat::Solid &&
               placeDeco(g, kind, c, r, box(2, 1));
    case Deco::Snowman: return placeDeco(g, kind, c, r - 1, column(2));
    case Deco::Column: return placeDeco(g, kind, c, r - 2, column(3));
    case Deco::Fence: {
        bool placed = false;
        for (int i = 0; i < 3 && g.matAt(c + i, r + 1) == Mat::Solid; ++i) {
            const std::uint8_t part = static_cast<std::uint8_t>(i == 0 ? 0 : i == 2 ? 2 : 1);
            if (!placeDeco(g, kind, c + i, r, {{0, 0, part}})) break;
            placed = true;
        }
        return placed;
    }
    default: return placeDeco(g, kind, c, r, {{0, 0, 0}});
    }
}

} // namespace

void buildGround(TerrainGrid& g, Rng& rng, int x0, int x1, int top, int bottom, int floor, const GroundStyle& style) {
    int h = std::clamp((top + bottom + 1) / 2 + 1, top, bottom);
    int c = x0;
    auto fill = [&](int from) {
        for (int r = from; r <= floor; ++r)
            g.set(c, r, Mat::Solid);
    };
    auto flat = [&](int n) {
        for (int i = 0; i < n && c < x1; ++i, ++c)
            fill(h);
    };
    auto up = [&] {
        if (c >= x1) return;
        g.set(c, h - 1, Mat::SlopeUp);
        fill(h);
        ++c;
        --h;
    };
    auto down = [&] {
        if (c >= x1) return;
        g.set(c, h, Mat::SlopeDown);
        fill(h + 1);
        ++c;
        ++h;
    };

    flat(6);
    while (c < x1 - 12) {
        const int roll = rng.range(0, 99);
        if (roll < style.hills) {
            const int k = rng.range(1, 3);
            const bool canUp = h - k >= top;
            const bool canDown = h + k <= bottom;
            if (canUp && (!canDown || rng.chance(60))) {
                for (int i = 0; i < k; ++i)
                    up();
                flat(rng.range(2, 5));
                for (int i = 0; i < k; ++i)
                    down();
            } else if (canDown) {
                for (int i = 0; i < k; ++i)
                    down();
                flat(rng.range(2, 4));
                for (int i = 0; i < k; ++i)
                    up();
            }
            flat(rng.range(2, 3));
        } else if (roll < style.hills + 15) {
            const int next = h + (rng.chance(50) ? -2 : 2);
            if (next >= top && next <= bottom) h = next;
            flat(rng.range(3, 6));
        } else if (style.pits && roll < style.hills + 35) {
            const int start = c;
            const int width = rng.range(2, 4);
            for (int i = 0; i < width && c < x1; ++i, ++c)
                for (int d = 0; d < style.waterDepth; ++d)
                    g.set(c, floor - d, Mat::Water);
            if (style.bridges && width >= 3 && rng.chance(60))
                for (int x = start; x < c; ++x)
                    g.set(x, h, Mat::Bridge);
            flat(rng.range(3, 5));
        } else {
            flat(rng.range(3, 7));
        }
    }
    flat(x1 - c);
}

void addPlatforms(TerrainGrid& g, Rng& rng, int x0, int x1, int minRow, int every) {
    for (int c = x0 + 5; c < x1 - 7;) {
        if (!rng.chance(60)) {
            c += 3;
            continue;
        }
        const int length = rng.range(3, 5);
        int groundTop = g.height;
        for (int x = c - 1; x <= c + length; ++x) {
            int r = minRow;
            while (r < g.height && g.matAt(x, r) == Mat::Air)
                ++r;
            groundTop = std::min(groundTop, r);
        }
        const int row = groundTop - rng.range(3, 4);
        bool room = row >= minRow;
        for (int x = c - 1; room && x <= c + length; ++x)
            for (int r = row - 2; r <= row + 1; ++r)
                room = room && g.isFree(x, r);
        if (room) {
            for (int x = c; x < c + length; ++x)
                g.set(x, row, Mat::Platform);
            c += length + rng.range(every / 2, every);
        } else {
            c += 2;
        }
    }
}

void addLadders(TerrainGrid& g, Rng& rng, int x0, int x1, int y0, int y1) {
    for (int r = y0; r < y1; ++r) {
        for (int c = x0; c < x1; ++c) {
            if (g.matAt(c, r) != Mat::Platform || g.matAt(c - 1, r) == Mat::Platform) continue;
            int end = c;
            while (end < x1 && g.matAt(end, r) == Mat::Platform)
                ++end;
            const int x = rng.chance(50) ? c : end - 1;
            int bottom = r + 1;
            while (bottom < y1 && g.isFree(x, bottom))
                ++bottom;
            if (bottom - r - 1 >= 3 && bottom < y1 && isStandable(g.matAt(x, bottom)) && rng.chance(45))
                for (int y = r + 1; y < bottom; ++y)
                    g.deco[g.at(x, y)] = {Deco::Ladder, 0};
            c = end;
        }
    }
}

void decorate(TerrainGrid& g, Rng& rng, Theme theme, int x0, int y0, int x1, int y1) {
    const auto choices = standingDecos(theme);
    const bool spikes = theme == Theme::Castle || theme == Theme::Cave || theme == Theme::Ruins;
    for (int r = y0; r < y1; ++r) {
        for (int c = x0 + 2; c < x1 - 2; ++c) {
            if (!g.isFree(c, r) || g.matAt(c, r + 1) != Mat::Solid || !g.isFree(c, r - 1)) continue;
            const int roll = rng.range(0, 99);
            if (roll < 5 && g.isFree(c + 1, r)) {
                g.set(c, r, Mat::Block);
                if (rng.chance(40) && g.isFree(c, r - 1) && g.isFree(c, r - 2)) g.set(c, r - 1, Mat::Block);
                c += 2;
            } else if (spikes && roll < 9) {
                for (int i = 0; i < 2 && g.isFree(c + i, r) && g.matAt(c + i, r + 1) == Mat::Solid; ++i)
                    g.set(c + i, r, Mat::Spikes);
                c += 3;
            } else if (roll < 30 && !choices.empty() && placeStanding(g, pick(rng, choices), c, r)) {
                c += rng.range(1, 3);
            }
        }
    }
    // Hanging things under ceilings and ledges.
    const bool hangs =
        theme == Theme::Cave || theme == Theme::Forest || theme == Theme::Ruins || theme == Theme::Castle;
    for (int r = y0 + 1; hangs && r < y1; ++r) {
        for (int c = x0; c < x1; ++c) {
            if (g.matAt(c, r - 1) != Mat::Solid || !g.isFree(c, r) || rng.range(0, 99) >= 18) continue;
            if (theme == Theme::Cave && rng.chance(65)) {
                placeDeco(g, Deco::Stalactite, c, r, {{0, 0, 0}});
            } else {
                const int length = rng.range(2, 4);
                bool room = true;
                for (int d = 0; d <= length && room; ++d)
                    room = g.isFree(c, r + d);
                if (room) placeDeco(g, Deco::Vine, c, r, hanging(length));
            }
            c += 2;
        }
    }
}

TerrainGrid generateTerrain(const TerrainPlan& terrain) {
    TerrainGrid grid(terrain.width, terrain.height);
    if (terrain.horizontal())
        generateHorizontal(grid, terrain);
    else
        generateVertical(grid, terrain);
    return grid;
}

} // namespace vexa::sample
