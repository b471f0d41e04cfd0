#include "app/patch_status.h"

#include <algorithm>
#include <cctype>

namespace vexa {

std::string_view patchStatusText(PatchStatus status) {
    switch (status) {
    case PatchStatus::Ok: return "the patch was applied";
    case PatchStatus::NotAPatch: return "the file is not a patch of this format (its first bytes are wrong)";
    case PatchStatus::Damaged: return "the patch is damaged or truncated";
    case PatchStatus::WrongSource: return "the patch is meant for another ROM (source CRC32 differs)";
    case PatchStatus::WrongSize: return "the patch is meant for a ROM of another size";
    case PatchStatus::TooLarge: return "the patched file would be larger than the format or the editor can hold";
    }
    return "the patch could not be applied";
}

namespace {

bool endsWithNoCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

} // namespace

std::optional<PatchFormat> patchFormatOf(std::string_view fileName) {
    if (endsWithNoCase(fileName, ".bps")) return PatchFormat::Bps;
    if (endsWithNoCase(fileName, ".ips")) return PatchFormat::Ips;
    return std::nullopt;
}

} // namespace vexa
