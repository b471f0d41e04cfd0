// The banana page's preview of one banana set: a read-only multi-line edit control
// that shows the set's cells as a grid of characters.
#pragma once

#include "bananas/banana_list.h"

#include <windows.h>

#include <cstdint>
#include <span>

namespace vexa {

class BananaSetWindow {
public:
    // Takes over the page's control; the font stays the caller's.
    void bind(HWND control, HFONT font);
    void show(std::span<const std::uint8_t> image, std::uint32_t setsLocation, unsigned setNumber);
    void clear();

    HWND hwnd = nullptr;
    BananaSet set; // the cells shown, with the set's own column and row counts
};

} // namespace vexa
