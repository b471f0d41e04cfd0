#include "app/window_placement.h"

namespace vexa {

std::array<IntSetting, 5> mainWindowSettings(MainWindowPlacement& placement) {
    return {{{kMainWindowSection, L"Pos_X", kDefaultPlacement, &placement.x},
             {kMainWindowSection, L"Pos_Y", kDefaultPlacement, &placement.y},
             {kMainWindowSection, L"Width", kDefaultPlacement, &placement.width},
             {kMainWindowSection, L"Height", kDefaultPlacement, &placement.height},
             {kMainWindowSection, L"Maximized", 0, &placement.maximized}}};
}

MainWindowPlacement readMainWindowPlacement(const ReadPlacementValue& read) {
    MainWindowPlacement placement;
    loadSettings(mainWindowSettings(placement),
                 [&](const wchar_t*, const wchar_t* key, std::int32_t fallback) { return read(key, fallback); });
    if (placement.x == kDefaultPlacement || placement.y == kDefaultPlacement || placement.width == kDefaultPlacement ||
        placement.height == kDefaultPlacement) {
        placement.x = placement.y = placement.width = placement.height = kDefaultPlacement;
    }
    return placement;
}

std::vector<std::pair<std::wstring, std::wstring>> mainWindowPlacementValues(const RestoredRect& restored,
                                                                             bool maximized) {
    // The difference is taken wide and stored as the 32-bit value the platform would compute.
    auto extent = [](std::int32_t from, std::int32_t to) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(to) - from));
    };
    MainWindowPlacement placement{restored.left, restored.top, extent(restored.left, restored.right),
                                  extent(restored.top, restored.bottom), maximized};
    std::vector<std::pair<std::wstring, std::wstring>> values;
    saveSettings(mainWindowSettings(placement), [&](const wchar_t*, const wchar_t* key, std::int32_t value) {
        values.emplace_back(key, std::to_wstring(value));
    });
    return values;
}

} // namespace vexa
