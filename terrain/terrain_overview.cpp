#include "terrain/terrain_overview.h"

#include "app/ini_file.h"
#include "stage/stage_table.h"

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
    case BlockProblem::Undecodable: return L"マップデータを展開できません";
    case BlockProblem::HeadInOtherBank: return L"前の 9 バイトが別のバンクにあります";
    case BlockProblem::OverBankBoundary: return L"バンクの境界をまたいでいます";
    case BlockProblem::BadRoomTag: return L"後ろの領域タグが正しくありません";
    case BlockProblem::TagOverBlock: return L"後ろの領域タグが別のブロックにかかっています";
    case BlockProblem::OverlapsBlock: return L"別のブロックと重なっています";
    case BlockProblem::InfoOverBank: return L"マップ情報がバンクの境界をまたいでいます";
    case BlockProblem::FreeRangeOver: return L"空き領域が一部にかかっています";
    }
    return L"";
}

std::wstring stagesText(const std::vector<int>& stages, std::size_t most) {
    std::wstring text = L"ステージ ";
    for (std::size_t i = 0; i < stages.size(); ++i) {
        if (i > 0) text += L", ";
        if (i == most) return text + L"…";
        text += hexText2(stages[i]);
    }
    return text;
}

TerrainOverview terrainOverview(const TerrainSurvey& survey, int stage) {
    TerrainOverview overview;
    overview.blockIndex = survey.blockOfStage(stage);
    if (overview.blockIndex < 0) {
        overview.text = L"このステージには地形データがありません。";
        return overview;
    }
    const TerrainBlock& block = survey.blocks[static_cast<std::size_t>(overview.blockIndex)];
    if (!block.editable()) {
        overview.text = L"地形 " + terrainNumbers(block) + L" は編集できません: " +
                        blockProblemText(block.problemKind) + L"。\r\n(vexa validate が詳しく報告します)";
        return overview;
    }
    overview.editable = true;
    overview.text = L"地形 " + terrainNumbers(block) + L": " + groupedNumber(block.length) + L" / " +
                    groupedNumber(std::max(block.room, block.length)) + L" バイト";
    if (block.inFreeSpace) overview.text += L" (空き領域)";
    std::vector<int> others;
    std::copy_if(block.stages.begin(), block.stages.end(), std::back_inserter(others),
                 [stage](int each) { return each != stage; });
    overview.text += L"\r\n共有: " + (others.empty() ? std::wstring(L"なし") : stagesText(others));
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
