#include "tools/sample_game/chip_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vexa::sample {

namespace {

// Dark, middle and light colour of a ramp.
struct Key3 {
    Rgb dark, mid, light;
};

struct ThemeKeys {
    Key3 sky; // top of the sky, -, horizon
    Key3 cloud, far, top, fill, rock, wood, water, leaf, trunk, metal, red, yellow, cyan, wall;
};

constexpr Key3 k(Rgb a, Rgb b, Rgb c) {
    return {a, b, c};
}

// Shared by most themes.
constexpr Key3 kWood = k({72, 40, 16}, {148, 96, 48}, {228, 180, 108});
constexpr Key3 kTrunk = k({52, 30, 16}, {104, 64, 32}, {164, 116, 68});
constexpr Key3 kMetal = k({56, 56, 72}, {140, 140, 160}, {236, 236, 244});
constexpr Key3 kRed = k({120, 20, 36}, {216, 56, 64}, {255, 176, 168});
constexpr Key3 kYellow = k({176, 96, 0}, {248, 192, 32}, {255, 252, 176});
constexpr Key3 kCloud = k({160, 176, 216}, {224, 232, 248}, {255, 255, 255});

ThemeKeys keysOf(Theme theme) {
    switch (theme) {
    case Theme::Grass:
        return {k({64, 120, 224}, {}, {184, 220, 250}),
                kCloud,
                k({52, 104, 104}, {84, 148, 120}, {140, 196, 150}),
                k({24, 84, 24}, {64, 164, 48}, {176, 236, 100}),
                k({62, 34, 18}, {134, 86, 44}, {206, 152, 94}),
                k({56, 56, 70}, {122, 122, 136}, {206, 206, 214}),
                kWood,
                k({16, 40, 120}, {40, 108, 204}, {156, 212, 255}),
                k({16, 64, 24}, {48, 140, 40}, {144, 212, 76}),
                kTrunk,
                kMetal,
                kRed,
                kYellow,
                k({24, 88, 120}, {64, 176, 216}, {204, 248, 255}),
                k({40, 72, 64}, {72, 112, 96}, {120, 160, 136})};
    case Theme::Snow:
        return {k({88, 112, 184}, {}, {214, 226, 244}),
                kCloud,
                k({112, 128, 172}, {168, 184, 218}, {238, 244, 255}),
                k({128, 152, 204}, {210, 226, 250}, {255, 255, 255}),
                k({46, 52, 86}, {94, 106, 148}, {156, 172, 210}),
                k({56, 104, 156}, {132, 190, 232}, {224, 246, 255}),
                kWood,
                k({16, 48, 112}, {56, 112, 184}, {180, 224, 255}),
                k({14, 52, 46}, {30, 102, 78}, {100, 172, 130}),
                k({48, 32, 24}, {96, 64, 44}, {148, 108, 76}),
                kMetal,
                kRed,
                kYellow,
                k({40, 96, 160}, {120, 196, 240}, {232, 252, 255}),
                k({60, 72, 112}, {100, 116, 156}, {150, 166, 200})};
    case Theme::Cave:
        return {k({8, 8, 24}, {}, {40, 40, 80}),
                kCloud,
                k({30, 22, 26}, {58, 42, 42}, {94, 70, 62}),
                k({36, 68, 36}, {78, 128, 62}, {156, 196, 108}),
                k({42, 30, 26}, {90, 66, 50}, {150, 118, 90}),
                k({46, 42, 54}, {100, 96, 112}, {172, 168, 184}),
                kWood,
                k({10, 36, 72}, {28, 84, 140}, {120, 184, 232}),
                k({30, 70, 40}, {60, 120, 70}, {140, 190, 120}),
                kTrunk,
                kMetal,
                kRed,
                kYellow,
                k({48, 40, 140}, {110, 120, 236}, {210, 224, 255}),
                k({26, 20, 24}, {52, 40, 40}, {86, 66, 58})};
    case Theme::Forest:
        return {k({40, 72, 120}, {}, {120, 170, 200}),
                kCloud,
                k({14, 36, 26}, {26, 64, 42}, {52, 102, 62}),
                k({26, 76, 24}, {60, 140, 42}, {150, 212, 84}),
                k({44, 28, 20}, {92, 60, 36}, {146, 102, 62}),
                k({50, 56, 52}, {108, 116, 104}, {180, 188, 170}),
                kWood,
                k({14, 50, 70}, {36, 110, 120}, {130, 200, 190}),
                k({12, 56, 20}, {40, 124, 36}, {132, 200, 70}),
                kTrunk,
                kMetal,
                kRed,
                kYellow,
                k({120, 40, 120}, {200, 90, 200}, {250, 200, 250}),
                k({12, 34, 22}, {24, 60, 38}, {48, 96, 56})};
    case Theme::Ruins:
        return {k({96, 136, 200}, {}, {236, 220, 184}),
                kCloud,
                k({90, 66, 42}, {130, 98, 66}, {170, 134, 94}),
                k({168, 126, 70}, {218, 178, 114}, {250, 228, 172}),
                k({116, 76, 42}, {176, 128, 80}, {226, 188, 132}),
                k({84, 76, 70}, {148, 138, 124}, {214, 206, 190}),
                kWood,
                k({20, 70, 90}, {40, 130, 150}, {150, 220, 220}),
                k({40, 90, 30}, {80, 140, 50}, {170, 200, 90}),
                kTrunk,
                kMetal,
                kRed,
                kYellow,
                k({20, 100, 110}, {50, 170, 170}, {190, 250, 240}),
                k({84, 62, 40}, {124, 94, 62}, {164, 128, 88})};
    case Theme::Beach:
        return {k({40, 124, 232}, {}, {176, 230, 255}),
                kCloud,
                k({20, 84, 168}, {44, 136, 210}, {150, 214, 244}),
                k({196, 154, 88}, {236, 204, 140}, {255, 244, 204}),
                k({130, 92, 54}, {182, 138, 86}, {226, 190, 136}),
                k({70, 76, 84}, {136, 140, 148}, {210, 212, 216}),
                kWood,
                k({14, 70, 150}, {30, 140, 210}, {170, 236, 255}),
                k({22, 96, 40}, {56, 162, 56}, {164, 226, 96}),
                k({88, 60, 32}, {150, 110, 62}, {210, 170, 110}),
                kMetal,
                kRed,
                kYellow,
                k({200, 80, 100}, {250, 140, 150}, {255, 220, 220}),
                k({20, 84, 168}, {44, 136, 210}, {150, 214, 244})};
    case Theme::Castle:
        return {k({10, 10, 40}, {}, {52, 52, 104}),
                kCloud,
                k({28, 28, 48}, {52, 52, 80}, {84, 84, 116}),
                k({84, 84, 102}, {144, 144, 162}, {214, 214, 226}),
                k({66, 58, 76}, {114, 102, 124}, {170, 158, 180}),
                k({60, 62, 78}, {118, 122, 140}, {196, 198, 212}),
                kWood,
                k({10, 40, 90}, {30, 90, 160}, {130, 180, 240}),
                k({30, 70, 40}, {60, 120, 60}, {140, 190, 110}),
                kTrunk,
                kMetal,
                kRed,
                kYellow,
                k({40, 90, 150}, {100, 160, 220}, {220, 240, 255}),
                k({26, 26, 46}, {50, 50, 78}, {82, 82, 114})};
    }
    return {};
}

Rgb mix(Rgb a, Rgb b, float t) {
    auto m = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

Ramp addRamp(std::vector<Rgb>& colors, const Key3& key, int size, bool twoPoint = false) {
    Ramp ramp{static_cast<std::uint8_t>(colors.size()), static_cast<std::uint8_t>(size)};
    for (int i = 0; i < size; ++i) {
        const float t = size == 1 ? 0.0f : static_cast<float>(i) / static_cast<float>(size - 1);
        if (twoPoint)
            colors.push_back(mix(key.dark, key.light, t));
        else
            colors.push_back(t < 0.5f ? mix(key.dark, key.mid, t * 2) : mix(key.mid, key.light, t * 2 - 1));
    }
    return ramp;
}

} // namespace

ChipPalette themePalette(Theme theme) {
    const ThemeKeys keys = keysOf(theme);
    ChipPalette p;
    ThemeColors& r = p.ramps;
    r.ink = addRamp(p.colors, k({12, 10, 18}, {24, 20, 32}, {36, 30, 46}), 2, true);
    // The sky runs from its top (shade 0) to the horizon.
    r.sky = addRamp(p.colors, keys.sky, 5, true);
    r.cloud = addRamp(p.colors, keys.cloud, 4);
    r.far = addRamp(p.colors, keys.far, 5);
    r.top = addRamp(p.colors, keys.top, 6);
    r.fill = addRamp(p.colors, keys.fill, 6);
    r.rock = addRamp(p.colors, keys.rock, 6);
    r.wood = addRamp(p.colors, keys.wood, 6);
    r.water = addRamp(p.colors, keys.water, 6);
    r.leaf = addRamp(p.colors, keys.leaf, 6);
    r.trunk = addRamp(p.colors, keys.trunk, 5);
    r.metal = addRamp(p.colors, keys.metal, 5);
    r.red = addRamp(p.colors, keys.red, 4);
    r.yellow = addRamp(p.colors, keys.yellow, 4);
    r.cyan = addRamp(p.colors, keys.cyan, 4);
    r.wall = addRamp(p.colors, keys.wall, 6);
    return p;
}

void Canvas::rect(int x0, int y0, int x1, int y1, std::uint8_t color) {
    for (int y = std::max(y0, oy_); y < std::min(y1, oy_ + kChipSize); ++y)
        for (int x = std::max(x0, ox_); x < std::min(x1, ox_ + kChipSize); ++x)
            put(x, y, color);
}

std::uint32_t noise(int x, int y, std::uint32_t seed) {
    std::uint32_t h =
        seed * 0x9E3779B9u ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu ^ static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

bool dither(int x, int y, int level) {
    static constexpr std::array<int, 16> kBayer = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
    return kBayer[static_cast<std::size_t>((y & 3) * 4 + (x & 3))] < level;
}

void blob(Canvas& c, std::span<const Circle> circles, Ramp ramp, std::uint8_t outline, int cutY) {
    // Depth inside the shape: how far into its deepest circle a point lies.
    auto depth = [&](float x, float y, const Circle** best) {
        float d = -1.0f;
        for (const Circle& k : circles) {
            const float dx = (x - k.x) / k.r;
            const float dy = (y - k.y) / k.r;
            const float v = 1.0f - (dx * dx + dy * dy);
            if (v > d) {
                d = v;
                if (best) *best = &k;
            }
        }
        return d;
    };
    c.each([&](int x, int y) {
        const Circle* k = nullptr;
        const float px = static_cast<float>(x) + 0.5f;
        const float py = static_cast<float>(y) + 0.5f;
        if (y >= cutY || depth(px, py, &k) <= 0.0f) return;
        const bool edge = y == cutY - 1 || depth(px - 1, py, nullptr) <= 0.0f || depth(px + 1, py, nullptr) <= 0.0f ||
                          depth(px, py - 1, nullptr) <= 0.0f || depth(px, py + 1, nullptr) <= 0.0f;
        if (edge) {
            c.put(x, y, outline);
            return;
        }
        const float nx = (px - k->x) / k->r;
        const float ny = (py - k->y) / k->r;
        const float light = -0.55f * nx - 0.85f * ny; // -1 .. 1
        const float shade = (light + 1.0f) * 0.5f * static_cast<float>(ramp.size) + 0.25f;
        int s = static_cast<int>(shade);
        // Dithered steps soften the banding between shades.
        if (dither(x, y, static_cast<int>((shade - static_cast<float>(s)) * 16.0f))) ++s;
        c.put(x, y, ramp(std::clamp(s, 1, ramp.top())));
    });
}

void bevelBox(Canvas& c, int x0, int y0, int x1, int y1, Ramp ramp, std::uint8_t outline, int face) {
    c.rect(x0, y0, x1, y1, outline);
    c.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, ramp(face));
    c.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 3, ramp(face + 2));
    c.rect(x0 + 1, y0 + 1, x0 + 3, y1 - 1, ramp(face + 1));
    c.rect(x0 + 1, y1 - 3, x1 - 1, y1 - 1, ramp(face - 2));
    c.rect(x1 - 3, y0 + 3, x1 - 1, y1 - 1, ramp(face - 1));
}

void line(Canvas& c, int x0, int y0, int x1, int y1, std::uint8_t color) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        c.put(x0, y0, color);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

} // namespace vexa::sample
