// Everything the map view shows of one stage, read the way the editor opens a stage
// (LevelManager::loadCurrentStage): the header, the sprite list, the terrain, and
// then the banana and camera lists, whose positions depend on the terrain's map type.
#pragma once

#include "app/rom_info.h"
#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"

#include <cstdint>
#include <span>

namespace vexa {

struct StageContents {
    int stageNumber = 0;
    StageHeader header;
    TilemapLoadOutcome terrainOutcome = TilemapLoadOutcome::NoMap;
    TilemapData terrain;
    unsigned spriteListStart = 0; // bank offset in the sprite bank
    LevelSpritesData sprites;     // with the list's size and its room
    StageSlots bananaSlots;
    LevelBananasData bananas;
    StageSlots cameraSlots;
    LevelCamerasData cameras;

    // The map's size in pixels, as the map view scrolls it.
    int mapWidth() const { return terrain.widthTiles * kTileSize; }
    int mapHeight() const { return terrain.heightTiles * kTileSize; }
};

StageContents loadStageContents(std::span<const std::uint8_t> image, const RomInfo& info, int stageNumber);

} // namespace vexa
