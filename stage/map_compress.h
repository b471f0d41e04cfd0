// Encoder for the game's terrain map compression, the inverse of decompressMapData.
// Only tools and tests use it: the editor never writes map data.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

// A complete compressed block for `data` (at most kMapDataMaxSize bytes): `headByte`,
// a dictionary chosen from the data, the command stream and its end code.
// decompressMapData on the result gives back exactly `data`. Longer data cannot be
// expressed in the format; the result is then empty.
std::vector<std::uint8_t> compressMapData(std::span<const std::uint8_t> data, std::uint8_t headByte = 0);

} // namespace vexa
