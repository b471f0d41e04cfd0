// What applying a BPS or IPS patch can come to, shared by both formats, and the
// choice of format by a patch file's name.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vexa {

enum class PatchStatus {
    Ok,
    NotAPatch,   // the file does not start with the format's mark
    Damaged,     // truncated, garbled or failing its own checksum, or the result fails the target checksum
    WrongSource, // a BPS patch whose source CRC32 is not the given ROM's
    WrongSize,   // a BPS patch for a source of another size
    TooLarge,    // the result would be larger than the format or the editor can hold
};

// One English sentence for the command-line tool.
std::string_view patchStatusText(PatchStatus status);

// `target` is empty unless `status` is Ok: a failed patch never yields part of a result.
struct PatchResult {
    PatchStatus status = PatchStatus::Ok;
    std::vector<std::uint8_t> target;
};

enum class PatchFormat { Bps, Ips };

// ".bps" or ".ips" at the end of the name, in any case; nullopt for anything else.
std::optional<PatchFormat> patchFormatOf(std::string_view fileName);

} // namespace vexa
