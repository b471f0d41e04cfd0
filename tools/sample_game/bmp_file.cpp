#include "tools/sample_game/bmp_file.h"

#include "tools/sample_game/chip_canvas.h"

#include <algorithm>

namespace vexa::sample {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPaletteEntries = 256;

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::vector<std::uint8_t> encodeBmp8(int width, int height, std::span<const std::uint8_t> pixels,
                                     std::span<const Rgb> palette) {
    const auto w = static_cast<std::uint32_t>(std::max(width, 0));
    const auto h = static_cast<std::uint32_t>(std::max(height, 0));
    const std::uint32_t stride = (w + 3) & ~3u;
    const std::uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteEntries * 4;
    const std::uint32_t fileSize = dataOffset + stride * h;

    std::vector<std::uint8_t> out;
    out.reserve(fileSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, fileSize);
    put32(out, 0);
    put32(out, dataOffset);

    put32(out, kInfoHeaderSize);
    put32(out, w);
    put32(out, h); // positive: bottom-up rows
    put16(out, 1); // planes
    put16(out, 8); // bits per pixel
    put32(out, 0); // no compression
    put32(out, stride * h);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, static_cast<std::uint32_t>(std::min<std::size_t>(palette.size(), kPaletteEntries)));
    put32(out, 0);

    for (std::uint32_t i = 0; i < kPaletteEntries; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (std::uint32_t row = h; row-- > 0;) {
        for (std::uint32_t x = 0; x < stride; ++x) {
            const std::size_t at = static_cast<std::size_t>(row) * w + x;
            out.push_back(x < w && at < pixels.size() ? pixels[at] : 0);
        }
    }
    return out;
}

std::vector<std::uint8_t> flatChipBitmap(int columns, int rows, std::span<const Rgb> colours) {
    const int width = columns * kChipSize;
    const int height = rows * kChipSize;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(y / kChipSize * columns + x / kChipSize);
    return encodeBmp8(width, height, pixels, colours);
}

} // namespace vexa::sample
