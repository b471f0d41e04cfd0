// Images in memory as 8-bit RGBA, and the two file formats the tools meet: chip
// bitmaps (BMP) read and stage pictures (PNG) written. stb does the decoding and
// encoding; this is the one place that includes it.
#pragma once

#include "app/file_io.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace vexa {

// Row-major, top row first, four bytes (R, G, B, A) a pixel.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::size_t at(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    }
};

// Larger images are refused before a pixel is decoded: a hostile header cannot make
// the reader allocate gigabytes.
inline constexpr int kMaxImageSide = 1 << 15;
// No chip of a terrain lies past 2048 pixels a side of its bitmap, so a larger chip
// bitmap is refused before it is decoded (a 54-byte header can claim 32,767 x 16,383).
inline constexpr int kMaxChipBitmapSide = 2048;

// Any image format stb reads (BMP of every depth the editor's loader takes, PNG ...).
// Nothing for bytes that are no image or claim more than `maxSide` pixels a side. A
// file cut short after its header reads with its missing pixels black, as stb reads it.
std::optional<RgbaImage> decodeImage(std::span<const std::uint8_t> bytes, int maxSide = kMaxImageSide);
std::optional<RgbaImage> readImageFile(const std::filesystem::path& path, int maxSide = kMaxImageSide);

// The PNG file bytes of an image; empty when the image is empty or malformed.
std::vector<std::uint8_t> encodePng(const RgbaImage& image);
// Writes the PNG whole or not at all (see writeFileAtomically); WriteFailed also when
// the image cannot be encoded.
FileWriteStatus writePngFile(const std::filesystem::path& path, const RgbaImage& image);

} // namespace vexa
