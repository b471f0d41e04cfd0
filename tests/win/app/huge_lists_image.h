// The longest lists a ROM can hold for one stage: on the hostile-input image's stage,
// a sprite list filling its bank and banana and camera lists of nearly 64 KiB each,
// with their tables where kHugeListsRomInfo points.
#pragma once

#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"

#include <cstdint>
#include <vector>

namespace vexa::test {

inline constexpr unsigned kHugeSpriteListStart = 0x200;
inline constexpr int kHugeSprites = (0x10000 - kHugeSpriteListStart) / kSpriteEntrySize - 1;
inline constexpr int kHugeTableStages = 256;
// The lists lie behind the table; the next stage's table word, which ends a list, is 16-bit.
inline constexpr unsigned kHugeTableBytes = (kHugeTableStages + 1) * 2;
inline constexpr int kHugeBananas = (0xFFFF - kHugeTableBytes) / kBananaEntrySize;
inline constexpr int kHugeCameras = (0xFFFF - kHugeTableBytes) / kCameraEntrySize;
inline constexpr char kHugeListsRomInfo[] = "[Bananas]\r\nLevels=0x100000\r\n[Cameras]\r\nLevels=0x110000\r\n";

std::vector<std::uint8_t> hugeListsImage();

} // namespace vexa::test
