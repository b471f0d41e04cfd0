// The open ROM as a document: the image, how its file stores it, and whether it has
// changed since it was read or saved.
#pragma once

#include "app/rom_image.h"

#include <cstdint>
#include <vector>

namespace vexa {

struct RomDocument {
    std::vector<std::uint8_t> image; // empty until the first successful open; kept when closed
    RomLayout layout;
    bool loaded = false;
    std::int32_t changeCount = 0; // edits since the last save: up by edits and redo, down by undo
    bool changedForGood = false;  // the saved state can no longer be reached by undo or redo

    bool isModified() const { return changeCount != 0 || changedForGood; }

    // Takes a freshly read image; the previous image and layout are replaced only here,
    // so a rejected file never disturbs the open one.
    void adopt(std::vector<std::uint8_t>&& newImage, const RomLayout& newLayout) {
        image = std::move(newImage);
        layout = newLayout;
        loaded = true;
        markSaved();
    }
    void markSaved() {
        changeCount = 0;
        changedForGood = false;
    }
};

} // namespace vexa
