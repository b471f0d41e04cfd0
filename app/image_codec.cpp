#include "app/image_codec.h"

#include "app/file_io.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_WRITE_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h>
#include <stb_image_write.h>

#include <climits>
#include <cstring>

namespace vexa {

namespace {

// Chip bitmaps are a few hundred KiB; a file larger than this is no chip bitmap.
constexpr std::uintmax_t kMaxImageFileSize = 64u << 20;

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

std::optional<RgbaImage> decodeImage(std::span<const std::uint8_t> bytes, int maxSide) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    const auto* data = bytes.data();
    const int length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) return std::nullopt;
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) return std::nullopt;
    stbi_uc* pixels = stbi_load_from_memory(data, length, &width, &height, &channels, 4);
    if (!pixels) return std::nullopt;
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.rgba.assign(pixels, pixels + image.at(0, height));
    stbi_image_free(pixels);
    return image;
}

std::optional<RgbaImage> readImageFile(const std::filesystem::path& path, int maxSide) {
    const FileBytes file = readFileBytes(path, kMaxImageFileSize);
    if (file.status != FileBytesStatus::Ok) return std::nullopt;
    return decodeImage(file.bytes, maxSide);
}

std::vector<std::uint8_t> encodePng(const RgbaImage& image) {
    std::vector<std::uint8_t> png;
    if (image.width <= 0 || image.height <= 0 || image.rgba.size() != image.at(0, image.height) ||
        image.width > INT_MAX / 4)
        return png;
    if (!stbi_write_png_to_func(&appendBytes, &png, image.width, image.height, 4, image.rgba.data(), image.width * 4))
        png.clear();
    return png;
}

FileWriteStatus writePngFile(const std::filesystem::path& path, const RgbaImage& image) {
    const std::vector<std::uint8_t> png = encodePng(image);
    return png.empty() ? FileWriteStatus::WriteFailed : writeFileAtomically(path, png);
}

} // namespace vexa
