#include "terrain/terrain_overview.h"

#include "app/ini_file.h"
#include "resources/text_ids.h"
#include "stage/stage_table.h"
#include "ui/texts.h"

#include <algorithm>

namespace vexa {

namespace {

std::wstring terrainNumbers(const TerrainBlock& block) {
    const std::string text = terrainNumbersText(block.terrains);
    return {text.begin(), text.end()};
}

// Whether `other` shows word `index` of the block in one of its cells.
bool showsWord(const TilemapData& other, std::size_t index) {
    if (other.terrainStride == 0) return false;
    const std::size_t line = index / other.terrainStride;
    const std::size_t along = index % other.terrainStride;
    const std::size_t across = other.rowMajor ? along : line;
    const std::size_t down = other.rowMajor ? line : along;
    if (across < other.sectionLeft || down < other.sectionTop) return false;
    const std::size_t column = across - other.sectionLeft;
    const std::size_t row = down - other.sectionTop;
    if (column >= static_cast<std::size_t>(other.widthTiles) || row >= static_cast<std::size_t>(other.heightTiles))
        return false;
    return terrainWordIndex(other, static_cast<int>(column), static_cast<int>(row)) == index;
}

// The open section's cells that `other` shows too; empty when it shows none.
SharedArea areaShownBy(const TilemapData& map, const TilemapData& other) {
    SharedArea area;
    area.cells.assign(static_cast<std::size_t>(map.widthTiles) * static_cast<std::size_t>(map.heightTiles), false);
    bool any = false;
    for (int row = 0; row < map.heightTiles; ++row) {
        for (int column = 0; column < map.widthTiles; ++column) {
            const std::optional<std::size_t> index = terrainWordIndex(map, column, row);
            if (!index || !showsWord(other, *index)) continue;
            area.cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(map.widthTiles) +
                       static_cast<std::size_t>(column)] = true;
            if (!any) area.bounds = {column, row, column, row};
            area.bounds = {std::min(area.bounds.left, column), std::min(area.bounds.top, row),
                           std::max(area.bounds.right, column), std::max(area.bounds.bottom, row)};
            any = true;
        }
    }
    if (!any) area.cells.clear();
    return area;
}

} // namespace

std::wstring blockProblemText(BlockProblem problem) {
    switch (problem) {
    case BlockProblem::None: return L"";
    case BlockProblem::Undecodable: return text(IDS_BLOCK_UNDECODABLE);
    case BlockProblem::HeadInOtherBank: return text(IDS_BLOCK_HEAD_OTHER_BANK);
    case BlockProblem::OverBankBoundary: return text(IDS_BLOCK_OVER_BANK);
    case BlockProblem::BadRoomTag: return text(IDS_BLOCK_BAD_ROOM_TAG);
    case BlockProblem::TagOverBlock: return text(IDS_BLOCK_TAG_OVER_BLOCK);
    case BlockProblem::OverlapsBlock: return text(IDS_BLOCK_OVERLAPS);
    case BlockProblem::InfoOverBank: return text(IDS_BLOCK_INFO_OVER_BANK);
    case BlockProblem::FreeRangeOver: return text(IDS_BLOCK_FREE_RANGE_OVER);
    }
    return L"";
}

std::wstring stagesText(const std::vector<int>& stages, std::size_t most) {
    std::wstring shown = text(IDS_STAGES_PREFIX);
    for (std::size_t i = 0; i < stages.size(); ++i) {
        if (i > 0) shown += L", ";
        if (i == most) return shown + L"…";
        shown += hexText2(stages[i]);
    }
    return shown;
}

TerrainOverview terrainOverview(const TerrainSurvey& survey, int stage) {
    TerrainOverview overview;
    overview.blockIndex = survey.blockOfStage(stage);
    if (overview.blockIndex < 0) {
        overview.text = text(IDS_NO_TERRAIN);
        return overview;
    }
    const TerrainBlock& block = survey.blocks[static_cast<std::size_t>(overview.blockIndex)];
    if (!block.editable()) {
        overview.text =
            formatText(IDS_TERRAIN_NOT_EDITABLE, {terrainNumbers(block), blockProblemText(block.problemKind)});
        return overview;
    }
    overview.editable = true;
    overview.text = formatText(IDS_TERRAIN_SIZE, {terrainNumbers(block), groupedNumber(block.length),
                                                  groupedNumber(std::max(block.room, block.length))});
    if (block.inFreeSpace) overview.text += text(IDS_TERRAIN_IN_FREE_SPACE);
    std::vector<int> others;
    std::copy_if(block.stages.begin(), block.stages.end(), std::back_inserter(others),
                 [stage](int each) { return each != stage; });
    overview.text += formatText(IDS_TERRAIN_SHARED,
                                {others.empty() ? std::wstring(text(IDS_TERRAIN_SHARED_NONE)) : stagesText(others)});
    return overview;
}

bool SharedArea::has(const TilemapData& map, CellPoint cell) const {
    if (!bounds.contains(cell)) return false;
    const std::size_t at = static_cast<std::size_t>(cell.row) * static_cast<std::size_t>(map.widthTiles) +
                           static_cast<std::size_t>(cell.column);
    return at < cells.size() && cells[at];
}

std::vector<SharedArea> sharedAreas(std::span<const std::uint8_t> image, const TerrainTables& tables,
                                    const TerrainSurvey& survey, int stage, const TilemapData& map) {
    std::vector<SharedArea> areas;
    const int blockIndex = survey.blockOfStage(stage);
    if (blockIndex < 0 || !map.loaded) return areas;
    TilemapData other;
    for (const int each : survey.blocks[static_cast<std::size_t>(blockIndex)].stages) {
        if (each == stage || loadTilemapData(image, readStageHeaderOfStage(image, each), tables.maps, other) !=
                                 TilemapLoadOutcome::Loaded)
            continue;
        SharedArea area = areaShownBy(map, other);
        if (area.cells.empty()) continue;
        const auto same = std::find_if(areas.begin(), areas.end(), [&](const SharedArea& known) {
            return known.bounds == area.bounds && known.cells == area.cells;
        });
        if (same != areas.end()) {
            same->stages.push_back(each);
            continue;
        }
        area.stages.push_back(each);
        areas.push_back(std::move(area));
    }
    return areas;
}

} // namespace vexa
