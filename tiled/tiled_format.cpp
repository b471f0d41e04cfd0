#include "tiled/tiled_format.h"

#include <zlib.h>

#include <array>
#include <cstring>

namespace vexa::tiled {

namespace {

constexpr std::string_view kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Hexadecimal digits 3 pixels wide and 5 high, a row per byte, bit 2 leftmost.
constexpr std::array<std::array<std::uint8_t, 5>, 16> kDigits{{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 1, 1},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
    {7, 5, 7, 5, 5},
    {6, 5, 6, 5, 6},
    {7, 4, 4, 4, 7},
    {6, 5, 5, 5, 6},
    {7, 4, 6, 4, 7},
    {7, 4, 6, 4, 4},
}};

void setPixel(RgbaImage& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    std::uint8_t* pixel = image.rgba.data() + image.at(x, y);
    pixel[0] = r;
    pixel[1] = g;
    pixel[2] = b;
    pixel[3] = a;
}

LayerIds failure(std::string problem, std::string problemJa) {
    return {{}, std::move(problem), std::move(problemJa)};
}

// Inflates a zlib or gzip stream (told apart by its header) into at most `limit`
// bytes; nothing when it is broken, cut short or longer.
std::optional<std::vector<std::uint8_t>> inflateAll(const std::vector<std::uint8_t>& packed, std::size_t limit) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK) return std::nullopt;
    std::vector<std::uint8_t> out(limit + 1);
    stream.next_in = const_cast<Bytef*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const std::size_t produced = out.size() - stream.avail_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced > limit) return std::nullopt;
    out.resize(produced);
    return out;
}

} // namespace

MapFiles mapFilesFor(std::string_view stem) {
    const std::string base(stem);
    return {base + ".chips.tsj", base + ".chips.png", base + ".attributes.tsj", base + ".attributes.png"};
}

RgbaImage attributeTilesImage() {
    RgbaImage image;
    image.width = kAttributeTileCount * kTilePixels;
    image.height = kTilePixels;
    image.rgba.assign(static_cast<std::size_t>(image.width) * image.height * 4, 0);
    for (int value = 1; value < kAttributeTileCount; ++value) {
        // A hue a value: the four bits as red, green and blue steps.
        const auto r = static_cast<std::uint8_t>((value & 1 ? 200 : 40) + (value & 8 ? 55 : 0));
        const auto g = static_cast<std::uint8_t>(value & 2 ? 200 : 40);
        const auto b = static_cast<std::uint8_t>(value & 4 ? 220 : 40);
        const int left = value * kTilePixels;
        for (int y = 0; y < kTilePixels; ++y)
            for (int x = 0; x < kTilePixels; ++x) {
                const bool edge = x == 0 || y == 0 || x == kTilePixels - 1 || y == kTilePixels - 1;
                setPixel(image, left + x, y, r, g, b, edge ? 255 : 110);
            }
        // The value's digit, 4 pixels to a dot, in the tile's middle.
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column) {
                if (!(kDigits[static_cast<std::size_t>(value)][static_cast<std::size_t>(row)] & (4 >> column)))
                    continue;
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx)
                        setPixel(image, left + 10 + column * 4 + dx, 6 + row * 4 + dy, 255, 255, 255, 255);
            }
    }
    return image;
}

RgbaImage chipSheetImage(const RgbaImage* chips, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    RgbaImage sheet;
    sheet.width = kChipColumns * kTilePixels;
    sheet.height = kChipColumns * kTilePixels;
    sheet.rgba.resize(static_cast<std::size_t>(sheet.width) * sheet.height * 4);
    for (int y = 0; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x) {
            std::uint8_t* pixel = sheet.rgba.data() + sheet.at(x, y);
            if (chips && chips->inside(x, y)) {
                // The map draws chips opaque, whatever their alpha.
                std::memcpy(pixel, chips->rgba.data() + chips->at(x, y), 3);
                pixel[3] = 255;
            } else {
                pixel[0] = r;
                pixel[1] = g;
                pixel[2] = b;
                pixel[3] = 255;
            }
        }
    return sheet;
}

LayerIds decodeLayerData(std::string_view base64, std::string_view compression, std::size_t count) {
    if (compression == "zstd")
        return failure("its data is compressed with zstd, which cannot be read: in Tiled, set the map's tile layer "
                       "format to Base64 (zlib), Base64 (gzip), Base64 (uncompressed) or CSV and save again",
                       "データが zstd で圧縮されているため読み込めません。Tiled でマップのタイルレイヤー形式を "
                       "Base64 (zlib)、Base64 (gzip)、Base64 (無圧縮) または CSV にして保存し直してください");
    if (!compression.empty() && compression != "zlib" && compression != "gzip")
        return failure("its data is compressed as \"" + std::string(compression) + "\", which is no form Tiled writes",
                       "データの圧縮形式「" + std::string(compression) + "」は Tiled の形式ではありません");
    const std::optional<std::vector<std::uint8_t>> packed = decodeBase64(base64);
    if (!packed) return failure("its data is not Base64", "データが Base64 ではありません");
    const std::size_t bytes = count * 4;
    std::optional<std::vector<std::uint8_t>> raw = packed;
    if (!compression.empty()) {
        raw = inflateAll(*packed, bytes);
        if (!raw)
            return failure("its " + std::string(compression) + " data is broken or longer than the layer",
                           "データ (" + std::string(compression) + ") が壊れているか、レイヤーより長すぎます");
    }
    if (raw->size() != bytes)
        return failure("its data holds " + std::to_string(raw->size() / 4) + " tiles, not " + std::to_string(count),
                       "データのタイル数が " + std::to_string(raw->size() / 4) + " で、" + std::to_string(count) +
                           " ではありません");
    LayerIds layer;
    layer.ids.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = raw->data() + i * 4;
        layer.ids[i] = p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    }
    return layer;
}

std::string encodeBase64(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        const std::uint32_t group = std::uint32_t{bytes[i]} << 16 | (left > 1 ? std::uint32_t{bytes[i + 1]} << 8 : 0) |
                                    (left > 2 ? bytes[i + 2] : 0u);
        text += kBase64Alphabet[group >> 18];
        text += kBase64Alphabet[(group >> 12) & 63];
        text += left > 1 ? kBase64Alphabet[(group >> 6) & 63] : '=';
        text += left > 2 ? kBase64Alphabet[group & 63] : '=';
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    int bits = 0;
    std::size_t padding = 0;
    for (const char c : text) {
        // Tiled may break long data into lines.
        if (c == '\n' || c == '\r' || c == ' ' || c == '\t') continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const std::size_t value = kBase64Alphabet.find(c);
        if (value == std::string_view::npos || padding > 0) return std::nullopt;
        group = group << 6 | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<std::uint8_t>(group >> bits));
        }
    }
    if (padding > 2 || bits >= 6) return std::nullopt;
    return bytes;
}

} // namespace vexa::tiled
