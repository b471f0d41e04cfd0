// The sprites, bananas and cameras of each stage, placed on its terrain.
#pragma once

#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"
#include "tools/sample_game/sample_plan.h"
#include "tools/sample_game/terrain.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vexa::sample {

struct StageObjects {
    std::uint16_t mapType = 0; // as the editor finds it when it loads the stage
    SpriteList sprites;
    BananaList bananas;
    CameraList cameras;
};

// `grids` holds the generated terrain of each terrain number (none where the terrain
// has no data).
StageObjects makeStageObjects(const SamplePlan& plan, int stageNumber,
                              const std::vector<std::optional<TerrainGrid>>& grids);

} // namespace vexa::sample
