// The images the file_stress helper saves, and how a test recognises them: image k
// carries k at kStressStampOffset and every other byte depends on k, so a file that
// mixes two saves, or one cut short, matches none of them.
#pragma once

#include "app/rom_image.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace vexa::test {

inline constexpr std::size_t kStressStampOffset = 0x100;

inline std::vector<std::uint8_t> stressImage(std::uint32_t k) {
    std::vector<std::uint8_t> image(kRomSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + k * 13 + (i >> 12) + (k >> 8));
    std::memcpy(&image[kPlainTitleOffset], kDefaultCartName.data(), kDefaultCartName.size());
    std::memcpy(&image[kStressStampOffset], &k, sizeof k);
    return image;
}

// The layout the helper saves in: copier header and interleaved, the most work per save.
inline RomLayout stressLayout() {
    RomLayout layout;
    layout.hasCopierHeader = true;
    layout.interleaved = true;
    layout.copierHeader.fill(0x5A);
    return layout;
}

// Which image the file bytes are, whole; nothing for anything else.
inline std::optional<std::uint32_t> stressImageNumber(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint8_t> image;
    RomLayout layout;
    if (decodeRomFile(file, kDefaultCartName, image, layout) != RomFileStatus::Ok) return std::nullopt;
    std::uint32_t k;
    std::memcpy(&k, &image[kStressStampOffset], sizeof k);
    if (encodeRomFile(stressImage(k), stressLayout()) != file) return std::nullopt;
    return k;
}

} // namespace vexa::test
