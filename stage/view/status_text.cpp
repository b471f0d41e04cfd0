#include "stage/view/status_text.h"

#include "app/ini_file.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

#include <algorithm>
#include <optional>

namespace vexa {

namespace {

std::wstring point(int x, int y) {
    return L"(" + std::to_wstring(x) + L", " + std::to_wstring(y) + L")";
}

} // namespace

std::wstring pointerStatusText(const TilemapData& map, int x, int y) {
    if (x < 0 || y < 0) return {};
    const int cellX = x / kTileSize;
    const int cellY = y / kTileSize;
    if (cellX >= map.widthTiles || cellY >= map.heightTiles) return {};
    const std::optional<std::uint16_t> tile = tileWordAt(map, cellX, cellY);
    return formatText(IDS_POINTER_STATUS,
                      {std::to_wstring(x), std::to_wstring(y), std::to_wstring(x / 8), std::to_wstring(y / 8),
                       std::to_wstring(cellX), std::to_wstring(cellY), tile ? hexText4(*tile) : std::wstring(L"----")});
}

std::wstring spriteStatusText(int index, const SpriteAllocData& sprite, std::wstring_view typeName) {
    return formatText(IDS_SPRITE_STATUS,
                      {std::to_wstring(index), hexText4(sprite.type), hexText4(sprite.parameter), typeName});
}

std::wstring bananaStatusText(int index, const BananaAllocData& banana) {
    return formatText(IDS_BANANA_STATUS, {std::to_wstring(index), hexText2(banana.setNumber)});
}

std::wstring cameraStatusText(int index, const CameraAllocData& camera) {
    return formatText(IDS_CAMERA_STATUS,
                      {std::to_wstring(index), point(camera.left, camera.top), point(camera.right, camera.bottom)});
}

SpriteRoom spriteRoomOf(const LevelSpritesData& data) {
    SpriteRoom room;
    room.count = static_cast<int>(data.sprites.size());
    // Add takes a sprite while 8n + 2 + 8 stays within the capacity.
    room.limit = data.capacity >= 2 ? (data.capacity - 2) / static_cast<int>(kSpriteEntrySize) : 0;
    room.full = !data.readable || room.count >= room.limit;
    return room;
}

std::wstring spriteRoomText(const SpriteRoom& room) {
    return formatText(IDS_SPRITE_ROOM, {std::to_wstring(room.count), std::to_wstring(room.limit)});
}

std::wstring zoomText(int percent) {
    return std::to_wstring(percent) + L"%";
}

} // namespace vexa
