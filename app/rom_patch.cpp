#include "app/rom_patch.h"

#include "app/patch_bps.h"
#include "app/patch_ips.h"

#include <algorithm>
#include <string_view>

namespace vexa {

namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

bool storedAsIs(const RomLayout& layout) {
    return !layout.hasCopierHeader && !layout.interleaved;
}

} // namespace

std::optional<std::vector<std::uint8_t>> createRomPatch(PatchFormat format, std::span<const std::uint8_t> originalImage,
                                                        const RomLayout& originalLayout,
                                                        std::span<const std::uint8_t> target) {
    if (format == PatchFormat::Bps) return createBpsPatch(originalImage, target);
    return createIpsPatch(encodeRomFile(originalImage, originalLayout), encodeRomFile(target, originalLayout));
}

PatchResult applyRomPatch(std::span<const std::uint8_t> image, const RomLayout& layout,
                          std::span<const std::uint8_t> patch) {
    const std::vector<std::uint8_t> file = encodeRomFile(image, layout);
    if (startsWith(patch, "PATCH")) return applyIpsPatch(file, patch);
    if (!startsWith(patch, "BPS1")) return {PatchStatus::NotAPatch, {}};
    PatchResult result = applyBpsPatch(image, patch);
    if (result.status == PatchStatus::Ok) {
        // A result of another size is no image to store; the caller refuses it as it is.
        if (result.target.size() == kRomSize) result.target = encodeRomFile(result.target, layout);
        return result;
    }
    // A patch made against the file with its header or in interleaved order names that
    // file's size and CRC32; any other failure is the patch's own.
    const bool forAnotherSource = result.status == PatchStatus::WrongSize || result.status == PatchStatus::WrongSource;
    if (!forAnotherSource || storedAsIs(layout)) return result;
    PatchResult onFile = applyBpsPatch(file, patch);
    return onFile.status == PatchStatus::Ok ? onFile : result;
}

} // namespace vexa
