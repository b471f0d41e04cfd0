// Lays the sample's data out in the ROM image: cartridge header, stage table and
// headers, terrain tables with the compressed terrains, sprite bank, banana and
// camera lists, banana sets.
#pragma once

#include "tools/sample_game/rom_blocks.h"
#include "tools/sample_game/sample_plan.h"
#include "tools/sample_game/stage_objects.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vexa::sample {

// Image offsets from `first` to `last`, both inclusive.
struct ImageRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

// Where everything went; rominfo.ini names these locations.
struct TableLocations {
    int stageCount = 0;
    unsigned stageAreaEnd = 0; // [LevelSetting] AvailableEnd
    unsigned mapInfoBank = 0;
    unsigned mapABInfo = 0;
    int spriteLevelCount = 0;
    unsigned spriteAvailableEnd = 0;
    std::uint32_t bananaLevels = 0; // bank << 16 | offset
    std::uint32_t bananaSets = 0;
    int bananaSetCount = 0;
    std::uint32_t cameraLevels = 0;
    std::vector<ImageRange> freeSpace; // [FreeSpace]: where nothing was placed
};

TableLocations writeRomTables(std::vector<std::uint8_t>& image, const SamplePlan& plan,
                              std::span<const CompressedTerrain> terrains, std::span<const StageObjects> objects);

} // namespace vexa::sample
