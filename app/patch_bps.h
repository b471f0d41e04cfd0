// BPS patches ("BPS1"), made and applied. The format follows byuu's public-domain
// description of BPS (https://www.romhacking.net/documents/746/): a header of
// variable-length numbers, then actions that write the target from front to back
// (SourceRead, TargetRead, SourceCopy, TargetCopy), then the CRC32 of the source, of the target and
// of the patch itself. Unlike IPS it checks that the right ROM is being patched and can
// say "these bytes moved" instead of storing them again.
#pragma once

#include "app/patch_status.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

// The largest result applyBpsPatch makes: far beyond any cartridge image, yet a hostile
// size field cannot make the editor hold gigabytes.
inline constexpr std::uint64_t kBpsMaxTargetSize = std::uint64_t{64} << 20;

// A patch that turns `source` into `target`. Unchanged runs become SourceReads, data
// found elsewhere in the source or earlier in the target becomes SourceCopy or
// TargetCopy, and the rest is stored. Writes no metadata.
std::vector<std::uint8_t> createBpsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target);

// Checks, in this order: the mark (NotAPatch), the patch's own CRC32 and its header
// (Damaged), the source size (WrongSize) and CRC32 (WrongSource), the target size
// (TooLarge), every action's bounds and the target's CRC32 (Damaged).
PatchResult applyBpsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch);

} // namespace vexa
