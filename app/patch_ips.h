// IPS patches, made and applied. The format as commonly described (e.g. the "IPS" page
// of Sega Retro, https://segaretro.org/IPS): "PATCH", then records of a 3-byte
// big-endian offset and a 2-byte size followed by that many bytes — or, for size 0, a
// 2-byte count and one byte repeated (RLE) — then "EOF", optionally followed by the
// widespread truncation extension, a 3-byte size the result is cut to. Offsets have 24
// bits, so IPS cannot reach past 16 MiB; and a record cannot start at 0x454F46, whose
// bytes read as "EOF". There is no checksum: a patch applies to any file.
#pragma once

#include "app/patch_status.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vexa {

inline constexpr std::size_t kIpsAddressLimit = 0x1000000; // the first offset 24 bits cannot hold
inline constexpr std::size_t kIpsEofOffset = 0x454F46;     // "EOF", where no record may start

// A patch that turns `source` into `target`; nullopt when the target is 16 MiB or
// more. A shorter target is written as the truncation extension.
std::optional<std::vector<std::uint8_t>> createIpsPatch(std::span<const std::uint8_t> source,
                                                        std::span<const std::uint8_t> target);

// The result grows to hold every record (up to 16 MiB + 64 KiB) and takes the
// truncation size when the patch has one. NotAPatch without "PATCH"; Damaged when a
// record or the end mark is cut short, bytes other than a truncation size follow it, or
// the truncation size is past the end of the result (it would lengthen it).
PatchResult applyIpsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch);

} // namespace vexa
