// Whether the texts of a window's controls fit them: each static text and button is
// measured in its own font, as it draws itself, against its client area. For checks
// at any DPI and in any language.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vexa::test {

// A control whose text needs more room than it has, in pixels.
struct CutText {
    int id = 0;
    std::wstring text;
    SIZE needed{};
    SIZE room{};
};

// The direct children of `window` (static texts and buttons with text: push, check,
// radio and group boxes) whose text is cut. Owner-drawn, icon and picture controls
// are left out.
std::vector<CutText> cutTexts(HWND window);

// The lines of a list box whose text is wider than the list can show (its client
// width, or the width it scrolls sideways to) or taller than its line; `id` is the
// line's index.
std::vector<CutText> cutListLines(HWND list);

// One line per control, "id 17153 \"App&ly\": needs 70x15, has 60x24", in UTF-8 for
// a test's failure message.
std::string describe(const std::vector<CutText>& cut);

} // namespace vexa::test
