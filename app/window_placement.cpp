#include "app/window_placement.h"

namespace vexa {

MainWindowPlacement readMainWindowPlacement(const ReadPlacementValue& read) {
    MainWindowPlacement placement;
    placement.x = read(L"Pos_X", kDefaultPlacement);
    placement.y = read(L"Pos_Y", kDefaultPlacement);
    placement.width = read(L"Width", kDefaultPlacement);
    placement.height = read(L"Height", kDefaultPlacement);
    placement.maximized = read(L"Maximized", 0) != 0;
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
    return {
        {L"Pos_X", std::to_wstring(restored.left)},
        {L"Pos_Y", std::to_wstring(restored.top)},
        {L"Width", std::to_wstring(extent(restored.left, restored.right))},
        {L"Height", std::to_wstring(extent(restored.top, restored.bottom))},
        {L"Maximized", maximized ? L"1" : L"0"},
    };
}

} // namespace vexa
