// The table locations and counts of rominfo.ini that the ROM's readers take, each
// with the default the editor uses when the key is missing. RomInfo reads them from
// the file; the readers of the object lists and the terrain take them as plain values.
#pragma once

#include <cstdint>

namespace vexa {

inline constexpr int kDefaultStageCount = 206;
inline constexpr int kDefaultSpriteTypeCount = 206;

// [Maps]: where the terrain table lies.
inline constexpr int kDefaultMapInfoBank = 55;
inline constexpr int kDefaultMapABInfo = 45083;

struct MapTableSettings {
    int mapInfoBank = kDefaultMapInfoBank; // MapInfoBank; the low 8 bits are used
    int mapABInfo = kDefaultMapABInfo;     // MapABInfo; the low 16 bits are used
};

// [Sprites]: how many stages the sprite bank's pointer table has, and where the room
// for sprite lists ends.
inline constexpr int kDefaultSpriteLevelCount = 224;
inline constexpr unsigned kDefaultSpriteAvailableEnd = 0x9500;

struct SpriteBankSettings {
    int levelCount = kDefaultSpriteLevelCount;
    unsigned availableEnd = kDefaultSpriteAvailableEnd; // only the low 16 bits count
};

// [Bananas]
inline constexpr std::uint32_t kDefaultBananaLevels = 0x2CD002;
inline constexpr std::uint32_t kDefaultBananaSets = 0x2CF246;
inline constexpr int kDefaultBananaSetCount = 109;

// [Cameras] Levels
inline constexpr std::uint32_t kDefaultCameraLevels = 0x3DC20C;

} // namespace vexa
