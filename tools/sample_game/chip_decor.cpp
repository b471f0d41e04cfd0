// Decorations: ladders, vines, trees, bushes, flowers, rocks and the like. Objects of
// several cells are drawn in their own coordinates; each chip shows its part.
#include "tools/sample_game/chip_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vexa::sample {

namespace {

constexpr float kPi = 3.14159265f;

void partOrigin(Canvas& c, std::uint8_t part) {
    c.setOrigin((part & 0x0F) * kChipSize, (part >> 4) * kChipSize);
}

void drawLadder(Canvas& c, const ThemeColors& r) {
    for (const int x0 : {5, 23}) {
        c.rect(x0, 0, x0 + 5, 32, r.ink(1));
        c.rect(x0 + 1, 0, x0 + 4, 32, r.wood(3));
        c.rect(x0 + 1, 0, x0 + 2, 32, r.wood(5));
    }
    for (int y = 4; y < 32; y += 8) {
        c.rect(10, y, 23, y + 4, r.ink(1));
        c.rect(10, y + 1, 23, y + 3, r.wood(3));
        c.rect(10, y + 1, 23, y + 2, r.wood(4));
    }
}

void drawVine(Canvas& c, std::uint8_t part, const ThemeColors& r, Theme theme) {
    const Ramp stem = theme == Theme::Castle ? r.metal : r.leaf;
    const int end = part == 2 ? 22 : 32;
    for (int y = 0; y < end; ++y) {
        const int x = 16 + static_cast<int>(std::lround(3.0 * std::sin(2 * kPi * y / 32.0)));
        c.rect(x - 1, y, x + 2, y + 1, stem(2));
        c.put(x - 1, y, stem(4));
    }
    if (theme == Theme::Castle) {
        for (int y = 2; y < end; y += 6)
            c.rect(14, y, 19, y + 3, r.metal(1));
        return;
    }
    for (int y = 4; y < end; y += 9) {
        const int x = 16 + static_cast<int>(std::lround(3.0 * std::sin(2 * kPi * y / 32.0)));
        const float side = (y / 9) % 2 ? 6.0f : -6.0f;
        const Circle leaf[] = {{x + side, y + 2.0f, 4.0f}};
        blob(c, leaf, r.leaf, r.leaf(0));
    }
    if (part == 2) {
        const Circle tip[] = {{16, 24, 4}};
        blob(c, tip, r.leaf, r.leaf(0));
    }
}

void drawTrunk(Canvas& c, const ThemeColors& r, int x0, int x1, int y0, int y1) {
    c.rect(x0 - 1, y0, x1 + 1, y1, r.ink(1));
    for (int x = x0; x < x1; ++x) {
        const int shade = x < x0 + 3 ? 3 : x > x1 - 4 ? 1 : 2;
        c.rect(x, y0, x + 1, y1, r.trunk(shade));
    }
    for (int y = y0 + 5; y < y1; y += 9)
        c.rect(x0 + 3, y, x0 + 6, y + 1, r.trunk(0));
}

void drawTree(Canvas& c, std::uint8_t part, const ThemeColors& r) {
    partOrigin(c, part);
    drawTrunk(c, r, 41, 55, 48, 96);
    c.rect(36, 90, 60, 96, r.ink(1));
    c.rect(37, 90, 59, 95, r.trunk(2));
    static constexpr Circle kCrown[] = {{48, 30, 25}, {25, 38, 17}, {71, 38, 17},
                                        {38, 50, 12}, {58, 50, 12}, {48, 14, 13}};
    blob(c, kCrown, r.leaf, r.leaf(0));
    // Clusters of darker leaves give the crown some body.
    static constexpr int kClusters[][2] = {{30, 44}, {62, 42}, {46, 34}, {56, 22}, {22, 34}};
    for (const auto& k : kClusters)
        for (int i = -4; i <= 4; ++i)
            c.put(k[0] + i, k[1] + (i * i) / 6, r.leaf(1));
    c.setOrigin(0, 0);
}

void drawPine(Canvas& c, std::uint8_t part, const ThemeColors& r) {
    partOrigin(c, part);
    drawTrunk(c, r, 43, 53, 60, 96);
    // Three tiers, each a triangle capped with snow.
    static constexpr int kTiers[][3] = {{2, 26, 20}, {14, 44, 30}, {28, 62, 42}};
    for (const auto& t : kTiers) {
        for (int y = t[0]; y < t[1]; ++y) {
            const int half = (y - t[0]) * t[2] / (t[1] - t[0]);
            for (int x = 48 - half; x <= 48 + half; ++x) {
                std::uint8_t color = x < 48 ? r.leaf(3) : r.leaf(2);
                if (x == 48 - half || x == 48 + half || y == t[1] - 1)
                    color = r.leaf(0);
                else if (y - t[0] < 4 + (x % 5 == 0 ? 2 : 0))
                    color = r.top(5);
                c.put(x, y, color);
            }
        }
    }
    c.setOrigin(0, 0);
}

void drawPalm(Canvas& c, std::uint8_t part, const ThemeColors& r) {
    partOrigin(c, part);
    // A leaning trunk of rings.
    for (int y = 22; y < 96; ++y) {
        const int cx = 48 + static_cast<int>(std::lround(6.0 * std::sin(kPi * (y - 22) / 148.0)));
        const bool ring = (y % 7) == 0;
        for (int x = cx - 5; x <= cx + 5; ++x) {
            std::uint8_t color = ring ? r.trunk(1) : x < cx - 1 ? r.trunk(3) : r.trunk(2);
            if (x == cx - 5 || x == cx + 5) color = r.ink(1);
            c.put(x, y, color);
        }
    }
    // Fronds: drooping arcs out of the crown, kept inside the top row of cells.
    for (int f = 0; f < 6; ++f) {
        const float dir = f < 3 ? -1.0f : 1.0f;
        const float reach = 18.0f + 12.0f * static_cast<float>(f % 3);
        for (int i = 0; i <= static_cast<int>(reach); ++i) {
            const float t = static_cast<float>(i) / reach;
            const int x = 48 + static_cast<int>(dir * i);
            const int y =
                18 - static_cast<int>(10.0f * std::sin(kPi * t * 0.8f)) + static_cast<int>(t * t * 10.0f) + (f % 3) * 2;
            const int w = 3 - static_cast<int>(t * 2.0f);
            for (int k = -w; k <= w; ++k)
                c.put(x, std::min(30, y + k), k == -w ? r.leaf(4) : k == w ? r.leaf(0) : r.leaf(2));
        }
    }
    static constexpr Circle kNuts[] = {{44, 22, 3.5f}, {51, 23, 3.5f}};
    blob(c, kNuts, r.trunk, r.ink(1));
    c.setOrigin(0, 0);
}

void drawBush(Canvas& c, std::uint8_t part, const ThemeColors& r, Theme theme) {
    partOrigin(c, part);
    static constexpr Circle kBush[] = {{15, 24, 11}, {32, 17, 14}, {49, 24, 11}, {32, 28, 10}};
    blob(c, kBush, r.leaf, r.leaf(0), 32);
    if (theme == Theme::Snow) {
        static constexpr Circle kSnow[] = {{20, 13, 6}, {32, 8, 8}, {44, 13, 6}};
        blob(c, kSnow, r.top, r.rock(2), 16);
    } else if (theme == Theme::Grass) {
        static constexpr int kBerries[][2] = {{20, 18}, {36, 12}, {44, 22}, {28, 24}};
        for (const auto& b : kBerries) {
            c.rect(b[0], b[1], b[0] + 2, b[1] + 2, r.red(1));
            c.put(b[0], b[1], r.red(3));
        }
    }
    c.setOrigin(0, 0);
}

void drawFlower(Canvas& c, const ThemeColors& r, Theme theme) {
    line(c, 16, 31, 16, 16, r.leaf(2));
    line(c, 17, 31, 17, 17, r.leaf(3));
    const Circle leaf[] = {{12, 25, 3.5f}, {21, 22, 3.5f}};
    blob(c, leaf, r.leaf, r.leaf(0));
    const Ramp petal = theme == Theme::Forest ? r.cyan : r.red;
    for (int i = 0; i < 5; ++i) {
        const float a = 2 * kPi * i / 5 - kPi / 2;
        const Circle p[] = {{16.5f + 4.5f * std::cos(a), 12.5f + 4.5f * std::sin(a), 3.2f}};
        blob(c, p, petal, petal(0));
    }
    const Circle middle[] = {{16.5f, 12.5f, 2.6f}};
    blob(c, middle, r.yellow, r.yellow(0));
}

void drawTuft(Canvas& c, const ThemeColors& r, Theme theme) {
    const Ramp blade = theme == Theme::Snow ? r.rock : theme == Theme::Beach || theme == Theme::Ruins ? r.top : r.leaf;
    static constexpr int kBlades[][3] = {{8, 20, -3}, {12, 14, -1}, {15, 10, 0}, {18, 13, 2}, {22, 18, 3}, {25, 22, 4}};
    for (const auto& b : kBlades) {
        line(c, b[0], 31, b[0] + b[2], b[1], blade(1));
        line(c, b[0] + 1, 31, b[0] + 1 + b[2], b[1] + 1, blade(3));
    }
}

void drawRock(Canvas& c, const ThemeColors& r) {
    static constexpr Circle kRock[] = {{16, 24, 10}, {9, 28, 6}, {24, 27, 7}};
    blob(c, kRock, r.rock, r.ink(1), 32);
}

void drawSign(Canvas& c, const ThemeColors& r) {
    drawTrunk(c, r, 14, 18, 14, 32);
    bevelBox(c, 3, 3, 29, 18, r.wood, r.ink(1), 3);
    // An arrow carved into the board, pointing on.
    c.rect(9, 10, 20, 12, r.wood(1));
    for (int i = 0; i < 4; ++i)
        c.rect(20 + i, 7 + i, 21 + i, 15 - i, r.wood(1));
}

void drawFence(Canvas& c, std::uint8_t part, const ThemeColors& r) {
    const int railStart = part == 0 ? 6 : 0;
    const int railEnd = part == 2 ? 26 : 32;
    for (const int y : {12, 21}) {
        c.rect(railStart, y, railEnd, y + 4, r.ink(1));
        c.rect(railStart, y + 1, railEnd, y + 3, r.wood(3));
        c.rect(railStart, y + 1, railEnd, y + 2, r.wood(4));
    }
    for (const int x : {5, 22}) {
        c.rect(x, 6, x + 6, 32, r.ink(1));
        c.rect(x + 1, 7, x + 5, 32, r.wood(2));
        c.rect(x + 1, 7, x + 2, 32, r.wood(4));
        c.rect(x + 1, 6, x + 5, 7, r.ink(1));
        c.put(x + 2, 6, r.wood(3));
    }
}

void drawCone(Canvas& c, const ThemeColors& r, bool hanging) {
    for (int i = 0; i < 26; ++i) {
        const int y = hanging ? i : 31 - i;
        const int half = (26 - i) * 9 / 26;
        for (int x = 16 - half; x <= 16 + half; ++x) {
            std::uint8_t color = x < 14 ? r.rock(4) : x < 18 ? r.rock(3) : r.rock(1);
            if (x == 16 - half || x == 16 + half) color = r.ink(1);
            c.put(x, y, color);
        }
    }
}

void drawCrystal(Canvas& c, const ThemeColors& r) {
    static constexpr int kShards[][3] = {{10, 16, 4}, {18, 6, 5}, {24, 18, 3}};
    for (const auto& s : kShards) {
        const int cx = s[0];
        for (int y = s[1]; y < 32; ++y) {
            const int half = std::min(s[2], (y - s[1]) / 2 + 1);
            for (int x = cx - half; x <= cx + half; ++x) {
                std::uint8_t color = x < cx ? r.cyan(3) : x == cx ? r.cyan(2) : r.cyan(1);
                if (x == cx - half || x == cx + half) color = r.ink(1);
                c.put(x, y, color);
            }
        }
    }
}

void drawMushroom(Canvas& c, const ThemeColors& r, Theme theme) {
    c.rect(12, 15, 21, 32, r.ink(1));
    c.rect(13, 15, 20, 32, r.cloud(2));
    c.rect(13, 15, 15, 32, r.cloud(3));
    const Ramp cap = theme == Theme::Cave ? r.cyan : r.red;
    static constexpr Circle kCap[] = {{16.5f, 18, 13}};
    blob(c, kCap, cap, r.ink(1), 18);
    for (const auto& s : {std::pair{11, 10}, std::pair{19, 8}, std::pair{15, 13}, std::pair{23, 13}})
        c.rect(s.first, s.second, s.first + 3, s.second + 2, r.cloud(3));
}

void drawColumn(Canvas& c, std::uint8_t part, const ThemeColors& r, Theme theme) {
    const Ramp stone = theme == Theme::Ruins ? r.fill : r.rock;
    c.setOrigin(0, (part >> 4) * kChipSize);
    bevelBox(c, 2, 0, 30, 10, stone, r.ink(1), 3);
    c.rect(6, 10, 26, 86, r.ink(1));
    for (int x = 7; x < 25; ++x)
        c.rect(x, 10, x + 1, 86, stone(x % 5 == 0 ? 1 : x < 13 ? 4 : x < 19 ? 3 : 2));
    bevelBox(c, 2, 86, 30, 96, stone, r.ink(1), 3);
    if (theme == Theme::Ruins) line(c, 12, 40, 18, 52, r.ink(1)); // an old crack
    c.setOrigin(0, 0);
}

void drawUrn(Canvas& c, const ThemeColors& r) {
    static constexpr Circle kBody[] = {{16, 21, 9.5f}};
    blob(c, kBody, r.fill, r.ink(1));
    c.rect(11, 6, 22, 12, r.ink(1));
    c.rect(12, 7, 21, 12, r.fill(3));
    c.rect(9, 4, 24, 7, r.ink(1));
    c.rect(10, 5, 23, 6, r.fill(4));
    c.rect(8, 19, 25, 21, r.yellow(1));
    c.rect(10, 30, 23, 32, r.ink(1));
}

void drawSnowman(Canvas& c, std::uint8_t part, const ThemeColors& r) {
    c.setOrigin(0, (part >> 4) * kChipSize);
    static constexpr Circle kBody[] = {{16, 47, 13}, {16, 23, 9}};
    blob(c, kBody, r.top, r.rock(1));
    c.rect(12, 20, 14, 22, r.ink(0));
    c.rect(19, 20, 21, 22, r.ink(0));
    c.rect(16, 24, 22, 26, r.red(1));
    c.rect(8, 31, 25, 35, r.red(1));
    c.rect(8, 31, 25, 32, r.red(2));
    c.rect(10, 6, 23, 14, r.ink(1));
    c.rect(7, 13, 26, 15, r.ink(1));
    c.setOrigin(0, 0);
}

void drawShell(Canvas& c, const ThemeColors& r) {
    static constexpr Circle kShell[] = {{16, 28, 10}};
    blob(c, kShell, r.cyan, r.cyan(0), 32);
    for (int i = -2; i <= 2; ++i)
        line(c, 16, 30, 16 + i * 4, 20, r.cyan(0));
}

} // namespace

void drawDeco(Canvas& c, Deco kind, std::uint8_t part, const ChipPalette& pal, Theme theme) {
    const ThemeColors& r = pal.ramps;
    switch (kind) {
    case Deco::Ladder: drawLadder(c, r); break;
    case Deco::Vine: drawVine(c, part, r, theme); break;
    case Deco::Tree: drawTree(c, part, r); break;
    case Deco::Pine: drawPine(c, part, r); break;
    case Deco::Palm: drawPalm(c, part, r); break;
    case Deco::Bush: drawBush(c, part, r, theme); break;
    case Deco::Flower: drawFlower(c, r, theme); break;
    case Deco::Tuft: drawTuft(c, r, theme); break;
    case Deco::Rock: drawRock(c, r); break;
    case Deco::Sign: drawSign(c, r); break;
    case Deco::Fence: drawFence(c, part, r); break;
    case Deco::Shell: drawShell(c, r); break;
    case Deco::Crystal: drawCrystal(c, r); break;
    case Deco::Stalagmite: drawCone(c, r, false); break;
    case Deco::Stalactite: drawCone(c, r, true); break;
    case Deco::Mushroom: drawMushroom(c, r, theme); break;
    case Deco::Column: drawColumn(c, part, r, theme); break;
    case Deco::Urn: drawUrn(c, r); break;
    case Deco::Snowman: drawSnowman(c, part, r); break;
    case Deco::None: break;
    }
}

} // namespace vexa::sample
