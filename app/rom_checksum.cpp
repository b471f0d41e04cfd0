#include "app/rom_checksum.h"

#include <numeric>

namespace vexa {

namespace {

constexpr std::size_t kHeaderEnd = kChecksumOffset + 2;

std::uint16_t wordAt(std::span<const std::uint8_t> image, std::size_t at) {
    return static_cast<std::uint16_t>(image[at] | image[at + 1] << 8);
}

void putWord(std::span<std::uint8_t> image, std::size_t at, std::uint16_t value) {
    image[at] = static_cast<std::uint8_t>(value);
    image[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

std::uint16_t romChecksum(std::span<const std::uint8_t> image) {
    if (image.size() < kHeaderEnd) return 0;
    std::uint32_t sum = std::accumulate(image.begin(), image.end(), std::uint32_t{0});
    // The four stored bytes are replaced by FF FF 00 00.
    for (std::size_t at = kChecksumComplementOffset; at < kHeaderEnd; ++at)
        sum -= image[at];
    sum += 0xFF + 0xFF;
    return static_cast<std::uint16_t>(sum);
}

bool hasCorrectChecksum(std::span<const std::uint8_t> image) {
    if (image.size() < kHeaderEnd) return false;
    const std::uint16_t checksum = romChecksum(image);
    return wordAt(image, kChecksumOffset) == checksum &&
           wordAt(image, kChecksumComplementOffset) == static_cast<std::uint16_t>(checksum ^ 0xFFFF);
}

void fixChecksum(std::span<std::uint8_t> image) {
    if (image.size() < kHeaderEnd) return;
    const std::uint16_t checksum = romChecksum(image);
    putWord(image, kChecksumComplementOffset, static_cast<std::uint16_t>(checksum ^ 0xFFFF));
    putWord(image, kChecksumOffset, checksum);
}

} // namespace vexa
