// A terrain block before it is written: its dictionary and its commands. The
// encoder's parse makes one, the exact-length encoder lengthens it, and both write it
// the same way.
#pragma once

#include "stage/map_format.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

using MapDictionary = std::array<std::uint8_t, map_format::kDictionarySize>;

// One command of the stream and the bytes of the data it stands for.
struct MapStep {
    std::uint8_t code = 0;
    std::uint8_t length = 0;
    std::uint16_t arg = 0; // distance, fill byte or pair slot, by code
};

struct MapEncoding {
    MapDictionary dictionary{};
    std::vector<MapStep> steps; // over the data from its first byte to its last
};

// The shortest encoding of `data` (at most kMapDataMaxSize bytes), the one
// compressMapData writes.
MapEncoding encodeMapData(std::span<const std::uint8_t> data);

// Nibbles of the stream the step takes, its code included.
inline unsigned stepNibbles(const MapStep& step) {
    return map_format::kCommandNibbles[step.code] + (step.code == map_format::kLiterals ? 2u * step.length : 0u);
}

// The whole block: `headByte`, the dictionary, the steps and the end code.
std::vector<std::uint8_t> writeMapBlock(std::span<const std::uint8_t> data, std::uint8_t headByte,
                                        const MapEncoding& encoding);

} // namespace vexa
