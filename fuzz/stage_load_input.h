// The input of the stage-load fuzz target, small enough to keep seeds in the
// repository: a fixed head with the stage number and the rominfo.ini values, then
// patches of bytes that are placed into an otherwise zero 4 MiB image.
//
//   head (all little-endian, 4 bytes each): stage number, MapInfoBank, MapABInfo,
//     Sprites LevelCount, Sprites AvailableEnd, Bananas Levels, Bananas BananaSets,
//     Bananas BananaSetCount, Cameras Levels, edit choice
//   patch: bank (1 byte, the low 6 bits count), offset (2), length (2), bytes
//
// A patch runs on in image order (not wrapping within its bank) and is cut at the
// end of the image or of the input.
#pragma once

#include "app/rom_image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa::fuzz {

struct StageLoadHead {
    std::int32_t stageNumber = 0;
    std::int32_t mapInfoBank = 0;
    std::int32_t mapABInfo = 0;
    std::int32_t spriteLevelCount = 0;
    std::int32_t spriteAvailableEnd = 0;
    std::uint32_t bananaLevels = 0;
    std::uint32_t bananaSets = 0;
    std::int32_t bananaSetCount = 0;
    std::uint32_t cameraLevels = 0;
    std::uint32_t edit = 0; // picks the indices and values that the write paths use
};

inline constexpr std::size_t kStageLoadHeadSize = 40;
inline constexpr std::size_t kPatchHeadSize = 5;

struct ImagePatch {
    std::size_t at = 0; // image offset
    std::vector<std::uint8_t> bytes;
};

namespace detail {

inline std::uint32_t readLe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

inline void appendLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace detail

inline std::vector<std::uint8_t> encodeStageLoadInput(const StageLoadHead& head, std::span<const ImagePatch> patches) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t value :
         {static_cast<std::uint32_t>(head.stageNumber), static_cast<std::uint32_t>(head.mapInfoBank),
          static_cast<std::uint32_t>(head.mapABInfo), static_cast<std::uint32_t>(head.spriteLevelCount),
          static_cast<std::uint32_t>(head.spriteAvailableEnd), head.bananaLevels, head.bananaSets,
          static_cast<std::uint32_t>(head.bananaSetCount), head.cameraLevels, head.edit})
        detail::appendLe(out, value, 4);
    for (const ImagePatch& patch : patches) {
        // Longer runs are split so that each length fits its 16-bit field.
        for (std::size_t done = 0; done < patch.bytes.size(); done += 0xFFFF) {
            const std::size_t at = patch.at + done;
            const std::size_t length = std::min<std::size_t>(patch.bytes.size() - done, 0xFFFF);
            detail::appendLe(out, static_cast<std::uint32_t>(at >> 16), 1);
            detail::appendLe(out, static_cast<std::uint32_t>(at & 0xFFFF), 2);
            detail::appendLe(out, static_cast<std::uint32_t>(length), 2);
            out.insert(out.end(), patch.bytes.begin() + static_cast<std::ptrdiff_t>(done),
                       patch.bytes.begin() + static_cast<std::ptrdiff_t>(done + length));
        }
    }
    return out;
}

// Reads the head and hands each patch, already cut to the image, to `place(at,
// bytes)`. False when the input is shorter than the head.
template <typename Place>
bool decodeStageLoadInput(std::span<const std::uint8_t> input, StageLoadHead& head, Place place) {
    if (input.size() < kStageLoadHeadSize) return false;
    std::uint32_t v[10];
    for (std::size_t i = 0; i < 10; ++i)
        v[i] = detail::readLe32(input.data() + 4 * i);
    head = {static_cast<std::int32_t>(v[0]),
            static_cast<std::int32_t>(v[1]),
            static_cast<std::int32_t>(v[2]),
            static_cast<std::int32_t>(v[3]),
            static_cast<std::int32_t>(v[4]),
            v[5],
            v[6],
            static_cast<std::int32_t>(v[7]),
            v[8],
            v[9]};
    std::size_t pos = kStageLoadHeadSize;
    while (pos + kPatchHeadSize <= input.size()) {
        const std::size_t at = imageOffset(input[pos] & 0x3Fu, input[pos + 1] | input[pos + 2] << 8);
        std::size_t length = input[pos + 3] | input[pos + 4] << 8;
        pos += kPatchHeadSize;
        length = std::min({length, input.size() - pos, kRomSize - at});
        place(at, input.subspan(pos, length));
        pos += length;
    }
    return true;
}

} // namespace vexa::fuzz
