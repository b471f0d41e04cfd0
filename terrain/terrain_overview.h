// What the terrain page and the map say about the open stage's terrain block: whether
// it can be edited and why not, its terrain numbers, bytes and room, the stages that
// share it, and the parts of the section that those stages show too.
#pragma once

#include "stage/tilemap_data.h"
#include "terrain/terrain_blocks.h"
#include "terrain/terrain_cells.h"

#include <span>
#include <string>
#include <vector>

namespace vexa {

struct TerrainOverview {
    int blockIndex = -1; // in the survey; -1 for a stage without terrain data
    bool editable = false;
    // Two lines: "地形 07: 6,275 / 6,400 バイト" and "共有: ステージ 03, 04, 25", or why
    // the block cannot be edited.
    std::wstring text;
};

// The most stage numbers the sharing line names before it ends with "…".
inline constexpr std::size_t kSharedStagesShown = 12;

TerrainOverview terrainOverview(const TerrainSurvey& survey, int stage);

// The editor's words for why a block cannot be edited.
std::wstring blockProblemText(BlockProblem problem);

// Cells of the open section that other stages show too: the stages (ascending, as the
// stage list numbers them) and, for the cells of the section, whether each is one of
// them, row by row. Stages that show the same cells share one area.
struct SharedArea {
    std::vector<int> stages;
    CellRect bounds;
    std::vector<bool> cells; // widthTiles x heightTiles of the open section

    bool has(const TilemapData& map, CellPoint cell) const;
};

// For the open stage `stage` and its decoded section `map`: the areas that the other
// stages leading to the same block show.
std::vector<SharedArea> sharedAreas(std::span<const std::uint8_t> image, const TerrainTables& tables,
                                    const TerrainSurvey& survey, int stage, const TilemapData& map);

// "ステージ 03, 04": an area's label on the map.
std::wstring stagesText(const std::vector<int>& stages, std::size_t most = kSharedStagesShown);

} // namespace vexa
