// Ground, blocks, platforms, bridges, water and spikes.
#include "tools/sample_game/chip_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vexa::sample {

namespace {

constexpr float kPi = 3.14159265f;

// The inside of the ground, the same for every ground chip so that they join.
void fillTexture(Canvas& c, const ChipPalette& pal, Theme theme, int variant) {
    const ThemeColors& r = pal.ramps;
    switch (theme) {
    case Theme::Cave: drawCobbles(c, r.fill, r.fill(0), 3, 40 + static_cast<std::uint32_t>(variant % 2)); return;
    case Theme::Ruins: drawMasonry(c, r.fill, r.fill(1), 3, variant == 3 ? 1 : 0, true); return;
    case Theme::Castle: drawMasonry(c, r.fill, r.fill(0), 3, variant == 3 ? 1 : 0, false); return;
    default: break;
    }
    c.fill(r.fill(2));
    // Specks and darker clumps, then a few pebbles; all change with the variant.
    const auto seed = static_cast<std::uint32_t>(variant);
    for (int y = 0; y < kChipSize; ++y) {
        for (int x = 0; x < kChipSize; ++x) {
            const std::uint32_t n = noise(x, y, 3 + seed);
            if (theme == Theme::Beach && (y + (x / 8) + variant * 3) % 8 == 0 && n % 3 != 0)
                c.put(x, y, r.fill(3));
            else if (n % 17 == 0)
                c.put(x, y, r.fill(1));
            else if (n % 29 == 0)
                c.put(x, y, r.fill(3));
            else if ((noise(x / 4, y / 3, 50 + seed) % 7 == 0) && dither(x, y, 6))
                c.put(x, y, r.fill(1));
        }
    }
    const int pebbles = 1 + variant % 3;
    for (int i = 0; i < pebbles; ++i) {
        const std::uint32_t n = noise(i, variant, 91);
        const float x = 5.0f + static_cast<float>(n % 22);
        const float y = 5.0f + static_cast<float>((n >> 8) % 22);
        const float rad = 1.5f + static_cast<float>((n >> 16) % 4) * 0.7f;
        const Circle pebble[] = {{x, y, rad}, {x + rad * 0.8f, y + 0.5f, rad * 0.7f}};
        blob(c, pebble, r.rock, r.fill(0));
    }
}

int tooth(int x, int variant) {
    return (x * 5 + variant * 3) % 7 < 3 ? 2 : 0;
}

// The colour of the ground's top layer `depth` pixels under its surface, or -1 below it.
int topColor(const ChipPalette& pal, Theme theme, int x, int depth, int variant) {
    const Ramp top = pal.ramps.top;
    switch (theme) {
    case Theme::Snow: {
        const int bottom = 7 + static_cast<int>(std::lround(3.0 * std::sin(kPi * ((x + 4) % 16) / 16.0)));
        if (depth >= bottom) return -1;
        if (depth == bottom - 1) return top(2);
        if (depth < 2) return top(5);
        return (noise(x, depth, 8) % 17 == 0) ? top(5) : top(4);
    }
    case Theme::Beach:
    case Theme::Ruins: {
        const int bottom = 6 + (x % 11 == 3 ? 1 : 0);
        if (depth >= bottom) return -1;
        if (depth == 0) return top(5);
        if (depth == bottom - 1) return top(1);
        return ((x + depth * 3) % 9 == 0) ? top(2) : top(4);
    }
    case Theme::Castle: {
        if (depth >= 8) return -1;
        if (depth == 0) return top(5);
        if (depth == 7 || (x + 8) % 16 == 0) return pal.ramps.ink(1);
        return depth < 3 ? top(4) : top(3);
    }
    default: {
        // Grass and moss: a band with darker teeth hanging into the soil.
        const int bottom = (theme == Theme::Cave ? 6 : 9) + tooth(x, variant);
        if (depth > bottom) return -1;
        if (depth == bottom) return top(0);
        if (depth == 0) return top(5);
        if (depth < 3) return top(4);
        if (noise(x, depth, 4 + variant) % 7 == 0) return top(4);
        return depth > bottom - 3 ? top(2) : top(3);
    }
    }
}

struct GroundShape {
    bool openLeft = false;
    bool openRight = false;
    bool openBelow = false;
    bool hasTop = false;
    int slope = 0;    // 1: rising to the right, -1: falling
    int slopeRow = 0; // -1: the cell under the slope, whose corner the slope's top layer reaches
};

int surfaceAt(const GroundShape& s, int x) {
    if (s.slope > 0) return 31 - x + 32 * s.slopeRow;
    if (s.slope < 0) return x + 32 * s.slopeRow;
    return s.hasTop ? 0 : -1000;
}

// Whether ground covers pixel (x, y), with rounded top corners and an uneven underside.
bool covers(const GroundShape& s, int x, int y, Theme theme) {
    if (s.slope != 0 && y < surfaceAt(s, x)) return false;
    if (s.hasTop && s.slope == 0) {
        if (s.openLeft && x + y < 3) return false;
        if (s.openRight && (31 - x) + y < 3) return false;
    }
    if (s.openBelow) {
        const int edge = 27;
        if (y > edge) {
            // Roots, icicles or drips hang a little below the underside.
            const std::uint32_t n = noise(x / 3, 0, 12);
            const int hang = (n % 3 == 0) ? static_cast<int>((n >> 4) % 4) + 1 : 0;
            if (theme == Theme::Snow) return y <= edge + hang && std::abs(x % 3 - 1) <= (edge + hang - y) / 2;
            if (y > edge + hang || x % 3 != 1) return false;
        }
        if (s.openLeft && x + (31 - y) < 3) return false;
        if (s.openRight && (31 - x) + (31 - y) < 3) return false;
    }
    return true;
}

void drawGroundShape(Canvas& c, const GroundShape& s, int variant, const ChipPalette& pal, Theme theme) {
    const ThemeColors& r = pal.ramps;
    Canvas inner;
    fillTexture(inner, pal, theme, variant);
    for (int y = 0; y < kChipSize; ++y) {
        for (int x = 0; x < kChipSize; ++x) {
            if (!covers(s, x, y, theme)) continue;
            std::uint8_t color = inner.at(x, y);
            const int surface = surfaceAt(s, x);
            const int depth = y - surface;
            int topShade = -1;
            if (surface > -1000) topShade = topColor(pal, theme, x, depth, variant);
            // The top layer folds over an open side for a few pixels.
            if (s.hasTop && s.openLeft && x < 3 && y < 14) topShade = r.top(x == 0 ? 1 : 3);
            if (s.hasTop && s.openRight && x > 28 && y < 14) topShade = r.top(x == 31 ? 0 : 2);
            if (topShade >= 0)
                color = static_cast<std::uint8_t>(topShade);
            else if (surface > -1000 && depth < 13 && depth >= 0 && topColor(pal, theme, x, depth - 1, variant) >= 0)
                color = r.fill(0); // shadow under the top layer
            if (s.openLeft && x < 2 && topShade < 0) color = x == 0 ? r.ink(1) : r.fill(1);
            if (s.openRight && x > 29 && topShade < 0) color = x == 31 ? r.ink(1) : r.fill(1);
            if (s.openBelow && y >= 26) color = y >= 27 ? r.ink(1) : r.fill(1);
            c.put(x, y, color);
        }
    }
}

void drawBlock(Canvas& c, const ChipPalette& pal, Theme theme) {
    const ThemeColors& r = pal.ramps;
    switch (theme) {
    case Theme::Forest:
    case Theme::Beach:
        // A wooden crate: planks inside a frame, braced corner to corner.
        bevelBox(c, 0, 0, 32, 32, r.wood, r.ink(1), 3);
        c.rect(4, 4, 28, 28, r.wood(2));
        for (int y = 4; y < 28; y += 6)
            c.rect(4, y, 28, y + 1, r.wood(1));
        for (int i = 0; i < 24; ++i) {
            c.rect(4 + i, 4 + i, 6 + i, 5 + i, r.wood(4));
            c.put(4 + i, 5 + i, r.wood(1));
        }
        for (const int p : {3, 27}) {
            c.put(p, 3, r.metal(3));
            c.put(p, 27, r.metal(3));
        }
        break;
    case Theme::Castle:
    case Theme::Ruins: {
        const Ramp ramp = theme == Theme::Castle ? r.rock : r.fill;
        bevelBox(c, 0, 0, 32, 32, ramp, r.ink(1), 3);
        c.rect(8, 8, 24, 24, ramp(2));
        c.rect(9, 9, 24, 10, ramp(1));
        c.rect(9, 9, 10, 24, ramp(1));
        c.rect(10, 23, 24, 24, ramp(4));
        c.rect(23, 10, 24, 24, ramp(4));
        c.rect(14, 14, 18, 18, theme == Theme::Castle ? r.red(1) : r.cyan(1));
        break;
    }
    default: {
        bevelBox(c, 0, 0, 32, 32, r.rock, r.ink(1), 3);
        if (theme == Theme::Snow) {
            for (int i = 0; i < 10; ++i)
                c.rect(6 + i, 16 - i, 8 + i, 17 - i, r.rock(5));
            c.rect(20, 8, 22, 10, r.rock(5));
        } else {
            line(c, 8, 6, 13, 14, r.rock(1));
            line(c, 13, 14, 11, 22, r.rock(1));
            line(c, 14, 14, 22, 17, r.rock(1));
        }
        break;
    }
    }
}

void drawPlatform(Canvas& c, int part, const ChipPalette& pal, Theme theme) {
    const ThemeColors& r = pal.ramps;
    const bool leftEnd = part == kPlatformLeft || part == kPlatformSingle;
    const bool rightEnd = part == kPlatformRight || part == kPlatformSingle;
    const int x0 = leftEnd ? 2 : 0;
    const int x1 = rightEnd ? 30 : 32;
    if (theme == Theme::Grass || theme == Theme::Forest || theme == Theme::Beach) {
        c.rect(x0, 0, x1, 12, r.ink(1));
        c.rect(x0 + (leftEnd ? 1 : 0), 1, x1 - (rightEnd ? 1 : 0), 11, r.wood(3));
        c.rect(x0 + (leftEnd ? 1 : 0), 1, x1 - (rightEnd ? 1 : 0), 3, r.wood(5));
        c.rect(x0 + (leftEnd ? 1 : 0), 9, x1 - (rightEnd ? 1 : 0), 11, r.wood(1));
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t n = noise(i, part, 61);
            const int gx = x0 + 2 + static_cast<int>(n % 20);
            c.rect(gx, 4 + static_cast<int>((n >> 8) % 4), gx + 5, 5 + static_cast<int>((n >> 8) % 4), r.wood(2));
        }
        if (!rightEnd) c.rect(31, 1, 32, 11, r.wood(1));
        c.put(x0 + 4, 6, r.metal(3));
        c.put(x1 - 5, 6, r.metal(3));
        // Brackets under the ends.
        if (leftEnd) line(c, 6, 12, 10, 18, r.wood(1));
        if (rightEnd) line(c, 25, 12, 21, 18, r.wood(1));
        return;
    }
    const Ramp ramp = theme == Theme::Ruins ? r.fill : r.rock;
    bevelBox(c, x0, 0, x1, 14, ramp, r.ink(1), 3);
    if (!leftEnd) c.rect(0, 1, 1, 13, ramp(3));
    if (!rightEnd) c.rect(31, 1, 32, 13, ramp(1));
    if (theme == Theme::Snow) {
        for (int i = 0; i < 3; ++i) {
            const int ix = 5 + i * 10 + part;
            const int len = 4 + static_cast<int>(noise(i, part, 5) % 5);
            for (int y = 0; y < len; ++y)
                c.rect(ix - (len - y) / 3, 14 + y, ix + 1 + (len - y) / 3, 15 + y, ramp(4));
        }
    }
}

void drawBridge(Canvas& c, const ChipPalette& pal) {
    const ThemeColors& r = pal.ramps;
    // Ropes sag between posts; planks hang from them.
    for (int x = 0; x < kChipSize; ++x)
        c.put(x, 13 + static_cast<int>(std::lround(1.5 * std::sin(kPi * x / 31.0))), r.wood(1));
    for (int p = 0; p < 4; ++p) {
        const int x0 = p * 8;
        c.rect(x0, 0, x0 + 7, 9, r.ink(1));
        c.rect(x0 + 1, 1, x0 + 6, 8, r.wood(3));
        c.rect(x0 + 1, 1, x0 + 6, 2, r.wood(5));
        c.rect(x0 + 1, 7, x0 + 6, 8, r.wood(1));
    }
}

void drawWater(Canvas& c, bool surface, int variant, const ChipPalette& pal) {
    const Ramp water = pal.ramps.water;
    for (int x = 0; x < kChipSize; ++x) {
        const int s =
            surface ? 6 + static_cast<int>(std::lround(1.5 * std::sin(2 * kPi * (x + variant * 8) / 32.0))) : 0;
        for (int y = s; y < kChipSize; ++y) {
            std::uint8_t color = water(y - s < 10 ? 3 : 2);
            if (surface && y == s)
                color = water(5);
            else if (surface && y == s + 1)
                color = water(4);
            else if (!surface && dither(x, y, 2))
                color = water(1);
            c.put(x, y, color);
        }
    }
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t n = noise(i, variant, surface ? 3 : 4);
        const int x = static_cast<int>(n % 24);
        const int y = (surface ? 14 : 2) + static_cast<int>((n >> 8) % 14);
        c.rect(x, y, x + 3 + static_cast<int>((n >> 16) % 5), y + 1, water(4));
    }
}

void drawSpikes(Canvas& c, const ChipPalette& pal) {
    const ThemeColors& r = pal.ramps;
    for (int s = 0; s < 4; ++s) {
        const int cx = s * 8 + 4;
        for (int y = 12; y < 28; ++y) {
            const int half = (y - 12) / 4;
            for (int x = cx - half; x <= cx + half; ++x) {
                std::uint8_t color = x < cx ? r.metal(4) : x == cx ? r.metal(3) : r.metal(1);
                if (x == cx - half || x == cx + half) color = r.ink(1);
                c.put(x, y, color);
            }
        }
    }
    c.rect(0, 27, 32, 32, r.ink(1));
    c.rect(0, 28, 32, 31, r.metal(1));
    c.rect(0, 28, 32, 29, r.metal(2));
}

} // namespace

void drawGround(Canvas& c, const ChipKey& key, const ChipPalette& pal, Theme theme) {
    GroundShape shape;
    switch (key.fg) {
    case Fg::Top:
    case Fg::Fill:
        shape.hasTop = key.fg == Fg::Top;
        shape.openLeft = (key.fgA & kOpenLeft) != 0;
        shape.openRight = (key.fgA & kOpenRight) != 0;
        shape.openBelow = (key.fgA & kOpenBelow) != 0;
        if (key.fgA & (kUnderSlopeUp | kUnderSlopeDown)) {
            shape.slope = (key.fgA & kUnderSlopeUp) ? 1 : -1;
            shape.slopeRow = -1;
        }
        drawGroundShape(c, shape, key.fgB, pal, theme);
        break;
    case Fg::SlopeUp:
    case Fg::SlopeDown:
        shape.hasTop = true;
        shape.slope = key.fg == Fg::SlopeUp ? 1 : -1;
        drawGroundShape(c, shape, 0, pal, theme);
        break;
    case Fg::Block: drawBlock(c, pal, theme); break;
    case Fg::Platform: drawPlatform(c, key.fgA, pal, theme); break;
    case Fg::Bridge: drawBridge(c, pal); break;
    case Fg::WaterTop:
    case Fg::WaterBody: drawWater(c, key.fg == Fg::WaterTop, key.fgB, pal); break;
    case Fg::Spikes: drawSpikes(c, pal); break;
    default: break;
    }
}

} // namespace vexa::sample
