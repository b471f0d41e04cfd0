// Encoder for the game's terrain map compression, the inverse of decompressMapData.
// A terrain edit compresses its whole block again with it, so it must keep within a
// frame on the largest terrains; the sample builder and the tests use it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

// A complete compressed block for `data` (at most kMapDataMaxSize bytes): `headByte`,
// a dictionary chosen from the data, the command stream and its end code.
// decompressMapData on the result gives back exactly `data`. Longer data cannot be
// expressed in the format; the result is then empty.
std::vector<std::uint8_t> compressMapData(std::span<const std::uint8_t> data, std::uint8_t headByte = 0);

// A complete block for `data` like compressMapData's, but exactly `blockLength` bytes
// long (as decompressMapBlock counts them): some of its commands are written in longer
// ones that stand for the same bytes. Empty when the shortest block is longer, or
// when no such commands make up the difference. A terrain block that shrank by less
// than its room tag needs so fills its room.
std::vector<std::uint8_t> compressMapDataToLength(std::span<const std::uint8_t> data, std::uint8_t headByte,
                                                  std::size_t blockLength);

} // namespace vexa
