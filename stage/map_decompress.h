// Decoder for the game's compressed terrain maps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexa {

// Most bytes one block can expand to; `out` must have room for this many.
inline constexpr std::size_t kMapDataMaxSize = 0x10000;

// Expands the compressed block that starts at block[0]. `block` runs from the start
// of the block to the end of the readable data (in the editor: the end of the ROM
// image); a block whose command stream would read past it fails. Returns the number
// of bytes written to `out` (0 to 65,536), or -1 on a corrupt block, in which case
// `out` may be partly written.
int decompressMapData(std::span<const std::uint8_t> block, std::span<std::uint8_t> out);

} // namespace vexa
