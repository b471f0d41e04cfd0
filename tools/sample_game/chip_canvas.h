// Drawing one 32 x 32 chip in palette colours. Objects larger than a chip are drawn
// in their own coordinates; the canvas shows the part that falls on its chip.
#pragma once

#include "tools/sample_game/bmp_file.h"
#include "tools/sample_game/sample_plan.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa::sample {

inline constexpr int kChipSize = 32;

// A run of palette entries from dark (shade 0) to light.
struct Ramp {
    std::uint8_t base = 0;
    std::uint8_t size = 1;
    std::uint8_t operator()(int shade) const {
        return static_cast<std::uint8_t>(base + (shade < 0 ? 0 : shade >= size ? size - 1 : shade));
    }
    int top() const { return size - 1; }
};

struct ThemeColors {
    Ramp ink; // outlines
    Ramp sky, cloud, far, top, fill, rock, wood, water, leaf, trunk, metal, red, yellow, cyan, wall;
};

struct ChipPalette {
    std::vector<Rgb> colors; // at most 256
    ThemeColors ramps;
};

ChipPalette themePalette(Theme theme);

class Canvas {
public:
    Canvas() { pixels_.fill(0); }

    // Where the chip lies in the object being drawn, in pixels.
    void setOrigin(int x, int y) {
        ox_ = x;
        oy_ = y;
    }
    int originX() const { return ox_; }
    int originY() const { return oy_; }
    void put(int x, int y, std::uint8_t color) {
        x -= ox_;
        y -= oy_;
        if (x >= 0 && y >= 0 && x < kChipSize && y < kChipSize)
            pixels_[static_cast<std::size_t>(y * kChipSize + x)] = color;
    }
    std::uint8_t at(int x, int y) const { return pixels_[static_cast<std::size_t>(y * kChipSize + x)]; }
    void rect(int x0, int y0, int x1, int y1, std::uint8_t color); // [x0, x1) x [y0, y1), object coordinates
    void fill(std::uint8_t color) { pixels_.fill(color); }
    // Calls f(x, y) for each pixel of the chip, in object coordinates.
    template <typename F> void each(F&& f) {
        for (int y = 0; y < kChipSize; ++y)
            for (int x = 0; x < kChipSize; ++x)
                f(x + ox_, y + oy_);
    }

private:
    std::array<std::uint8_t, kChipSize * kChipSize> pixels_;
    int ox_ = 0;
    int oy_ = 0;
};

std::uint32_t noise(int x, int y, std::uint32_t seed);
// 4 x 4 ordered dither: true on `level` of 16 pixels.
bool dither(int x, int y, int level);

struct Circle {
    float x, y, r;
};

// A lit, outlined shape made of overlapping circles (clouds, tree tops, bushes): light
// comes from the upper left, `outline` rings it. Rows from `cutY` down are left out,
// so the shape gets a flat, outlined base.
void blob(Canvas& c, std::span<const Circle> circles, Ramp ramp, std::uint8_t outline, int cutY = 1 << 20);
// A bevelled box: light top-left edges, dark bottom-right, outlined.
void bevelBox(Canvas& c, int x0, int y0, int x1, int y1, Ramp ramp, std::uint8_t outline, int face);
void line(Canvas& c, int x0, int y0, int x1, int y1, std::uint8_t color);

} // namespace vexa::sample
