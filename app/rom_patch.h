// Patches of a whole ROM file, as patch users exchange them. IPS has no checksum, and
// the common patchers apply it to the file as it lies on disk, copier header and
// interleaving included: IPS patches here are made and applied the same way, between
// files in the original's layout. BPS patches lie between images without copier header,
// in plain order (their checksums catch a patch for another file); a BPS patch that was
// made against the whole file is recognised by those checksums and applied to it too.
#pragma once

#include "app/patch_status.h"
#include "app/rom_image.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vexa {

// A patch that turns the original file (its image stored in `originalLayout`) into
// `target`, an image; nullopt when the format cannot address it.
std::optional<std::vector<std::uint8_t>> createRomPatch(PatchFormat format, std::span<const std::uint8_t> originalImage,
                                                        const RomLayout& originalLayout,
                                                        std::span<const std::uint8_t> target);

// Applies a BPS or IPS patch, told apart by its first bytes (NotAPatch for neither), to
// the file that stores `image` in `layout`. On Ok, `target` holds the bytes of the
// patched file, in the layout of the file it was applied to.
PatchResult applyRomPatch(std::span<const std::uint8_t> image, const RomLayout& layout,
                          std::span<const std::uint8_t> patch);

} // namespace vexa
