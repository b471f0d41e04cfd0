// Where the main window opens (section MainWindow of config.ini) and what is written
// there when it closes.
#pragma once

#include "app/setting_binding.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vexa {

inline constexpr const wchar_t* kMainWindowSection = L"MainWindow";
// The platform's "choose for me" value for a window position or size.
inline constexpr std::int32_t kDefaultPlacement = INT32_MIN; // 0x80000000

struct MainWindowPlacement {
    std::int32_t x = kDefaultPlacement;
    std::int32_t y = kDefaultPlacement;
    std::int32_t width = kDefaultPlacement;
    std::int32_t height = kDefaultPlacement;
    bool maximized = false;
    bool operator==(const MainWindowPlacement&) const = default;
};

// The five values of [MainWindow], bound to `placement`: Pos_X, Pos_Y, Width and
// Height (default 0x80000000) and Maximized (default 0).
std::array<IntSetting, 5> mainWindowSettings(MainWindowPlacement& placement);

// The integer value of a key of MainWindow, or the given default when missing.
using ReadPlacementValue = std::function<std::int32_t(const wchar_t* key, std::int32_t defaultValue)>;

// Reads Pos_X, Pos_Y, Width, Height (default 0x80000000) and Maximized (default 0).
// If any of the four is the default value, all four become it, so that the system
// chooses both position and size rather than pairing a stored size with a default
// position.
MainWindowPlacement readMainWindowPlacement(const ReadPlacementValue& read);

struct RestoredRect {
    std::int32_t left, top, right, bottom;
};

// Pos_X, Pos_Y, Width, Height and Maximized as "%d", in that order.
std::vector<std::pair<std::wstring, std::wstring>> mainWindowPlacementValues(const RestoredRect& restored,
                                                                             bool maximized);

} // namespace vexa
