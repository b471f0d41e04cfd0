#include "tools/sample_game/chip_draw.h"

#include <algorithm>
#include <cmath>

namespace vexa::sample {

namespace {

constexpr float kPi = 3.14159265f;

void drawSky(Canvas& c, std::uint8_t code, const ChipPalette& pal, Theme theme) {
    const Ramp sky = pal.ramps.sky;
    const int band = code / 2;
    c.fill(sky(band));
    if (code & 1) {
        // The band's first row fades in from the band above.
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < kChipSize; ++x)
                if (dither(x, y, 16 - (y + 1) * 4 / 3)) c.put(x, y, sky(band - 1));
    }
    if (theme == Theme::Castle || theme == Theme::Cave) {
        for (int i = 0; i < 3; ++i) {
            const std::uint32_t n = noise(i, code, 77);
            if (n % 3 == 0) c.put(static_cast<int>(n >> 8) % 32, static_cast<int>(n >> 16) % 32, pal.ramps.cloud(3));
        }
    }
}

void drawCloud(Canvas& c, std::uint8_t part, std::uint8_t skyCode, const ChipPalette& pal, Theme theme) {
    drawSky(c, skyCode, pal, theme);
    static constexpr Circle kPuffs[] = {{18, 44, 14}, {36, 30, 19}, {56, 24, 17}, {75, 38, 15},
                                        {52, 45, 15}, {30, 47, 12}, {66, 48, 12}};
    c.setOrigin((part & 0x0F) * kChipSize, (part >> 4) * kChipSize);
    blob(c, kPuffs, pal.ramps.cloud, pal.ramps.cloud(0));
    c.setOrigin(0, 0);
}

// The ridge's outline within its cell: y of the first ridge pixel in column x.
int ridgeSurface(std::uint8_t shape, int x) {
    const int bulge = static_cast<int>(std::lround(3.0 * std::sin(kPi * x / 31.0)));
    switch (shape) {
    case kRidgeUp: return 31 - x - bulge;
    case kRidgeDown: return x - bulge;
    default: return 0;
    }
}

// Far hills or mountains: a hazy body with a lighter rim, snow on the peaks.
void farBody(Canvas& c, const ChipPalette& pal, Theme theme, int x, int y) {
    const Ramp far = pal.ramps.far;
    std::uint8_t color = far(2);
    const std::uint32_t n = noise(x & 31, y & 31, 5);
    if (theme == Theme::Grass) {
        // Wooded hills: a loose pattern of darker tree crowns.
        if ((n & 15) == 0 || ((x + (y / 6) * 3) % 9 == 0 && y % 6 < 2)) color = far(1);
    } else if (n % 29 == 0) {
        color = far(1);
    } else if (n % 31 == 0) {
        color = far(3);
    }
    c.put(x, y, color);
}

void drawRidge(Canvas& c, std::uint8_t shape, std::uint8_t skyCode, const ChipPalette& pal, Theme theme) {
    drawSky(c, skyCode, pal, theme);
    const Ramp far = pal.ramps.far;
    for (int x = 0; x < kChipSize; ++x) {
        const int s = ridgeSurface(shape, x);
        for (int y = std::max(0, s); y < kChipSize; ++y) {
            const int depth = y - s;
            if (theme == Theme::Snow && depth < 6 + static_cast<int>(noise(x, 0, 9) % 3))
                c.put(x, y, far(depth == 0 ? 3 : 4));
            else if (depth < 2)
                c.put(x, y, far(depth == 0 ? 3 : 4));
            else
                farBody(c, pal, theme, x, y);
        }
    }
}

void drawSea(Canvas& c, std::uint8_t variant, const ChipPalette& pal) {
    const Ramp far = pal.ramps.far;
    c.fill(far(2));
    const int dashes = variant == 0 ? 3 : 6;
    for (int i = 0; i < dashes; ++i) {
        const std::uint32_t n = noise(i, variant, 21);
        const int x = static_cast<int>(n % 24);
        const int y = static_cast<int>((n >> 8) % 30);
        c.rect(x, y, x + 4 + static_cast<int>((n >> 16) % 5), y + 1, far(variant == 0 ? 3 : 4));
    }
}

void drawSeaTop(Canvas& c, std::uint8_t skyCode, const ChipPalette& pal, Theme theme) {
    drawSky(c, skyCode, pal, theme);
    const Ramp far = pal.ramps.far;
    c.rect(0, 18, kChipSize, kChipSize, far(2));
    c.rect(0, 18, kChipSize, 19, far(4));
    c.rect(0, 19, kChipSize, 20, far(3));
    c.rect(5, 24, 11, 25, far(3));
    c.rect(20, 28, 27, 29, far(3));
}

void drawForestWall(Canvas& c, Ramp wall, int variant) {
    c.fill(wall(0));
    // Overlapping leaf clusters, repeated across the chip's edges so they tile.
    static constexpr Circle kLeaves[] = {{6, 6, 9}, {24, 4, 8}, {16, 18, 10}, {2, 26, 8}, {28, 24, 9}};
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            for (const Circle& k : kLeaves) {
                const Circle moved{k.x + 32.0f * dx, k.y + 32.0f * dy, k.r - (variant == 1 ? 2.0f : 0.0f)};
                c.each([&](int x, int y) {
                    const float ex = (x + 0.5f - moved.x) / moved.r;
                    const float ey = (y + 0.5f - moved.y) / moved.r;
                    const float d = ex * ex + ey * ey;
                    if (d < 1.0f) c.put(x, y, wall(d > 0.75f ? 1 : (ey < -0.3f ? 3 : 2)));
                });
            }
        }
    }
}

void drawWall(Canvas& c, std::uint8_t variant, const ChipPalette& pal, Theme theme) {
    const Ramp wall = pal.ramps.wall;
    switch (theme) {
    case Theme::Cave: drawCobbles(c, wall, wall(0), 2, 11 + variant); break;
    case Theme::Forest: drawForestWall(c, wall, variant); break;
    case Theme::Ruins: drawMasonry(c, wall, wall(1), 3, variant, true); break;
    default: drawMasonry(c, wall, wall(0), 2, variant, false); break;
    }
    if (variant == 2 && theme != Theme::Forest) {
        // Moss creeping over the wall.
        for (int i = 0; i < 40; ++i) {
            const std::uint32_t n = noise(i, 2, 31);
            c.put(static_cast<int>(n % 14) + 9, static_cast<int>((n >> 8) % 10) + 20,
                  pal.ramps.leaf(1 + (n >> 20) % 2));
        }
    }
}

void drawTorch(Canvas& c, const ChipPalette& pal) {
    const ThemeColors& r = pal.ramps;
    for (int y = 0; y < 20; ++y)
        for (int x = 6; x < 26; ++x) {
            const float d = std::hypot(x - 15.5f, y - 10.0f);
            if (d < 10.0f && dither(x, y, static_cast<int>((10.0f - d) * 1.2f))) c.put(x, y, r.yellow(0));
        }
    c.rect(14, 16, 18, 28, r.wood(2));
    c.rect(14, 16, 15, 28, r.wood(4));
    c.rect(11, 26, 21, 29, r.metal(1));
    c.rect(11, 26, 21, 27, r.metal(3));
    static constexpr Circle kFlame[] = {{16, 12, 5}, {16, 8, 3}};
    blob(c, kFlame, r.yellow, r.red(1));
    c.rect(15, 10, 17, 14, r.yellow(3));
}

void drawWindow(Canvas& c, std::uint8_t part, const ChipPalette& pal, Theme theme) {
    const ThemeColors& r = pal.ramps;
    c.setOrigin(0, (part >> 4) * kChipSize);
    // Stone frame, then the opening with its round top.
    c.each([&](int x, int y) {
        const float dx = x + 0.5f - 16.0f;
        const float dy = y + 0.5f - 18.0f;
        const bool arch = y < 18 ? dx * dx + dy * dy < 100.0f : (y < 58 && std::abs(dx) < 10.0f);
        const bool hole = y < 18 ? dx * dx + dy * dy < 49.0f : (y < 56 && std::abs(dx) < 7.0f);
        if (hole)
            c.put(x, y, theme == Theme::Castle ? r.sky(y < 30 ? 0 : 1) : r.wall(0));
        else if (arch)
            c.put(x, y, r.wall(y < 18 || dx < 0 ? 5 : 4));
    });
    c.rect(5, 56, 27, 60, r.wall(5));
    c.rect(5, 59, 27, 60, r.wall(1));
    c.rect(15, 12, 17, 56, r.metal(1));
    c.rect(9, 34, 23, 36, r.metal(1));
    if (theme == Theme::Castle) c.put(12, 24, r.cloud(3));
    c.setOrigin(0, 0);
}

void drawBanner(Canvas& c, std::uint8_t part, const ChipPalette& pal) {
    const ThemeColors& r = pal.ramps;
    c.setOrigin(0, (part >> 4) * kChipSize);
    c.rect(4, 4, 28, 7, r.metal(2));
    c.rect(4, 4, 28, 5, r.metal(4));
    c.each([&](int x, int y) {
        if (x < 7 || x >= 25 || y < 7) return;
        const int cut = 52 + std::abs(x - 16) / 2;
        if (y >= cut) return;
        std::uint8_t color = r.red(x < 9 ? 2 : x > 22 ? 0 : 1);
        if (y >= cut - 2 || x == 7 || x == 24) color = r.ink(1);
        c.put(x, y, color);
    });
    static constexpr Circle kEmblem[] = {{16, 26, 6}};
    blob(c, kEmblem, r.yellow, r.yellow(0));
    c.setOrigin(0, 0);
}

void drawGlow(Canvas& c, const ChipPalette& pal, Theme theme) {
    const Ramp glow = theme == Theme::Forest ? pal.ramps.yellow : pal.ramps.cyan;
    for (int y = 0; y < kChipSize; ++y)
        for (int x = 0; x < kChipSize; ++x) {
            const float d = std::hypot(x - 16.0f, y - 18.0f);
            if (d < 12.0f && dither(x, y, static_cast<int>((12.0f - d) * 0.8f))) c.put(x, y, glow(0));
        }
    if (theme == Theme::Forest) {
        static constexpr int kFlies[][2] = {{10, 12}, {20, 20}, {14, 24}, {22, 10}};
        for (const auto& f : kFlies) {
            c.rect(f[0] - 1, f[1], f[0] + 2, f[1] + 1, glow(2));
            c.rect(f[0], f[1] - 1, f[0] + 1, f[1] + 2, glow(2));
            c.put(f[0], f[1], glow(3));
        }
        return;
    }
    for (int i = 0; i < 3; ++i) {
        const int bx = 10 + i * 6;
        const int h = 6 + (i == 1 ? 5 : 0);
        for (int y = 0; y < h; ++y)
            for (int x = -2; x <= 2; ++x)
                if (std::abs(x) * h <= 2 * (h - y)) c.put(bx + x, 24 - y, glow(x < 0 ? 3 : x == 0 ? 2 : 1));
    }
}

} // namespace

void drawMasonry(Canvas& c, Ramp ramp, std::uint8_t mortar, int face, int variant, bool rough) {
    c.fill(mortar);
    // Running bond of 16 x 8 bricks; every second course is shifted by half a brick.
    for (int course = 0; course < 4; ++course) {
        const int shift = (course % 2) * 8;
        for (int b = -1; b < 2; ++b) {
            const int x0 = b * 16 + shift;
            const int y0 = course * 8;
            const int tone = face + static_cast<int>(noise(b & 1, course, 3 + variant) % 3) - 1;
            for (int y = y0 + 1; y < y0 + 8; ++y) {
                for (int x = x0 + 1; x < x0 + 16; ++x) {
                    if (x < 0 || x >= kChipSize) continue;
                    int shade = tone;
                    if (y == y0 + 1) shade += 1;
                    if (y == y0 + 7 || x == x0 + 15) shade -= 1;
                    if (rough && noise(x, y, 17) % 11 == 0) shade -= 1;
                    c.put(x, y, ramp(shade));
                }
            }
        }
    }
    if (variant == 1) {
        // A crack across two bricks.
        static constexpr int kCrack[][2] = {{9, 9},   {10, 10}, {11, 11}, {11, 12}, {12, 13}, {13, 14},
                                            {13, 15}, {14, 16}, {15, 17}, {16, 18}, {16, 19}, {17, 20}};
        for (const auto& p : kCrack)
            c.put(p[0], p[1], mortar);
    }
}

void drawCobbles(Canvas& c, Ramp ramp, std::uint8_t gap, int face, std::uint32_t seed) {
    // Stones around a few points; a pixel close to two stones is the gap between them.
    struct P {
        float x, y;
        int tone;
    };
    P points[6];
    for (int i = 0; i < 6; ++i) {
        const std::uint32_t n = noise(i, 0, seed);
        points[i] = {static_cast<float>(n % 32), static_cast<float>((n >> 8) % 32),
                     static_cast<int>((n >> 16) % 3) - 1};
    }
    c.each([&](int x, int y) {
        float best = 1e9f;
        float second = 1e9f;
        const P* owner = nullptr;
        for (const P& p : points) {
            for (int wy = -1; wy <= 1; ++wy) {
                for (int wx = -1; wx <= 1; ++wx) {
                    const float dx = x + 0.5f - (p.x + 32.0f * wx);
                    const float dy = y + 0.5f - (p.y + 32.0f * wy);
                    const float d = std::sqrt(dx * dx + dy * dy);
                    if (d < best) {
                        second = best;
                        best = d;
                        owner = &p;
                    } else if (d < second) {
                        second = d;
                    }
                }
            }
        }
        if (second - best < 1.6f) {
            c.put(x, y, gap);
            return;
        }
        int shade = face + owner->tone;
        if (second - best < 3.5f) shade -= (y + 0.5f > owner->y ? 1 : -1);
        c.put(x, y, ramp(shade));
    });
}

void drawBack(Canvas& c, const BackCell& back, const ChipPalette& pal, Theme theme) {
    switch (back.kind) {
    case Back::Sky: drawSky(c, back.a, pal, theme); break;
    case Back::Cloud: drawCloud(c, back.a, back.b, pal, theme); break;
    case Back::Ridge: drawRidge(c, back.a, back.b, pal, theme); break;
    case Back::Far: c.each([&](int x, int y) { farBody(c, pal, theme, x, y); }); break;
    case Back::SeaTop: drawSeaTop(c, back.b, pal, theme); break;
    case Back::Sea: drawSea(c, back.a, pal); break;
    case Back::Wall: drawWall(c, back.a, pal, theme); break;
    case Back::Window:
        drawWall(c, 0, pal, theme);
        drawWindow(c, back.a, pal, theme);
        break;
    case Back::Torch:
        drawWall(c, 0, pal, theme);
        drawTorch(c, pal);
        break;
    case Back::Glow:
        drawWall(c, 0, pal, theme);
        drawGlow(c, pal, theme);
        break;
    case Back::Banner:
        drawWall(c, 0, pal, theme);
        drawBanner(c, back.a, pal);
        break;
    }
}

} // namespace vexa::sample
