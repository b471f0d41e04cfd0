// The map encoder's match search: the back-references each position of the data can
// be expressed with.
#pragma once

#include "stage/map_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

// The copy commands by distance class, cheapest first: kNearCopy, kMidCopy, kFarCopy.
inline constexpr unsigned kCopyClasses = 3;

// Longest usable back-reference of each distance class at one position (length 0
// for none), and the nearest two-byte copy for kShortCopy (0 for none).
struct CopyOptions {
    std::array<std::uint8_t, kCopyClasses> length{};
    std::array<std::uint16_t, kCopyClasses> distance{};
    std::uint8_t shortDistance = 0;
};

// One entry for each byte of `data`.
std::vector<CopyOptions> findCopies(std::span<const std::uint8_t> data);

} // namespace vexa
