// The texts of the main window's status bar: where the pointer is on the map, the
// object under it, the open stage's sprite room and the map's zoom.
#pragma once

#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"
#include "stage/tilemap_data.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

// "X 1234 Y 200 | 154, 25 | セル 38, 6 タイル 0C12": map pixels, 8-pixel units and the
// 32-pixel cell with its tile word ("----" without one). Empty off the map's cells.
std::wstring pointerStatusText(const TilemapData& map, int x, int y);

// "スプライト #3 0012-000A ハチ": index, type, parameter and the type's name.
std::wstring spriteStatusText(int index, const SpriteAllocData& sprite, std::wstring_view typeName);
// "バナナ #2 セット 05".
std::wstring bananaStatusText(int index, const BananaAllocData& banana);
// "カメラ #1 (0, 0)-(256, 224)": left-top and right-bottom corners.
std::wstring cameraStatusText(int index, const CameraAllocData& camera);

// The sprite list's entries against the most the add limit lets it hold.
struct SpriteRoom {
    int count = 0;
    int limit = 0;
    // No Add would be taken: the list is at its limit, or could not be read whole.
    bool full = false;

    friend bool operator==(const SpriteRoom&, const SpriteRoom&) = default;
};
SpriteRoom spriteRoomOf(const LevelSpritesData& data);
// "スプライト 44/52".
std::wstring spriteRoomText(const SpriteRoom& room);

// "100%".
std::wstring zoomText(int percent);

} // namespace vexa
