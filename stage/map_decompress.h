// Decoder for the game's compressed terrain maps.
#pragma once

#include "stage/map_format.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexa {

struct MapDataDecoded {
    int size = -1;               // as decompressMapData returns it
    std::size_t blockLength = 0; // bytes of the block up to and including its end code; 0 on a corrupt block
};

// Expands the compressed block that starts at block[0]. `block` runs from the start
// of the block to the end of the readable data (in the editor: the end of the ROM
// image); a block whose command stream would read past it fails. `out` must have room
// for kMapDataMaxSize bytes. The size is the number of bytes written to `out` (0 to
// 65,536), or -1 on a corrupt block, in which case `out` may be partly written.
MapDataDecoded decompressMapBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> out);

// The size alone.
int decompressMapData(std::span<const std::uint8_t> block, std::span<std::uint8_t> out);

} // namespace vexa
