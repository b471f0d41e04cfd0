#include "app/rom_info.h"

#include "bananas/banana_list.h"
#include "cameras/camera_list.h"

namespace vexa {

namespace {

// A table location read as a signed profile integer; its bits say bank and offset.
std::uint32_t location(const IniFile& file, const char* section, const char* key, std::uint32_t defaultValue) {
    return static_cast<std::uint32_t>(file.readInt(section, key, static_cast<int>(defaultValue)));
}

} // namespace

MapTableSettings RomInfo::mapTables() const {
    MapTableSettings settings;
    settings.mapInfoBank = rominfo_.readInt("Maps", "MapInfoBank", kDefaultMapInfoBank);
    settings.mapABInfo = rominfo_.readInt("Maps", "MapABInfo", kDefaultMapABInfo);
    return settings;
}

SpriteBankSettings RomInfo::spriteBank() const {
    SpriteBankSettings settings;
    settings.levelCount = rominfo_.readInt("Sprites", "LevelCount", kDefaultSpriteLevelCount);
    settings.availableEnd = location(rominfo_, "Sprites", "AvailableEnd", kDefaultSpriteAvailableEnd);
    return settings;
}

std::uint32_t RomInfo::bananaLevels() const {
    return location(rominfo_, "Bananas", "Levels", kDefaultBananaLevels);
}

std::uint32_t RomInfo::bananaSets() const {
    return location(rominfo_, "Bananas", "BananaSets", kDefaultBananaSets);
}

int RomInfo::bananaSetCount() const {
    return rominfo_.readInt("Bananas", "BananaSetCount", kDefaultBananaSetCount);
}

std::uint32_t RomInfo::cameraLevels() const {
    return location(rominfo_, "Cameras", "Levels", kDefaultCameraLevels);
}

} // namespace vexa
