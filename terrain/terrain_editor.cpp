#include "terrain/terrain_editor.h"

#include "resources/text_ids.h"
#include "stage/stage_bytes_record.h"
#include "ui/texts.h"

namespace vexa {

namespace {

std::size_t cellIndex(const TilemapData& map, int column, int row) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(map.widthTiles) + static_cast<std::size_t>(column);
}

} // namespace

const wchar_t* terrainToolName(TerrainToolKind tool) {
    switch (tool) {
    case TerrainToolKind::Pen: return text(IDS_TOOL_PEN);
    case TerrainToolKind::Rectangle: return text(IDS_TOOL_RECTANGLE);
    case TerrainToolKind::Fill: return text(IDS_TOOL_FILL);
    case TerrainToolKind::Select: return text(IDS_TOOL_SELECT);
    }
    return L"";
}

void TerrainEditor::terrainRead() {
    painted.clear();
    before.clear();
    paintedAt.clear();
    tables = terrainTables(host.romInfo());
    survey = surveyTerrain(host.romImage(), tables);
    overview_ = terrainOverview(survey, host.openStageNumber());
    shared_.clear();
    sharedKnown = false;
}

const std::vector<SharedArea>& TerrainEditor::sharedAreas() {
    if (!sharedKnown && map_) {
        shared_ = vexa::sharedAreas(host.romImage(), tables, survey, host.openStageNumber(), *map_);
        sharedKnown = true;
    }
    return shared_;
}

void TerrainEditor::setCurrentWord(std::uint16_t word) {
    word_ = word;
    if (onWordChanged) onWordChanged(word);
}

void TerrainEditor::paint(std::span<const CellPoint> cells) {
    std::vector<TerrainCell> words;
    words.reserve(cells.size());
    for (const CellPoint cell : cells)
        words.push_back({cell.column, cell.row, word_});
    paint(words);
}

void TerrainEditor::paint(std::span<const TerrainCell> cells) {
    if (!editable()) return;
    bool changed = false;
    for (const TerrainCell& cell : cells) {
        const std::optional<std::uint16_t> shown = tileWordAt(*map_, cell.column, cell.row);
        if (!shown || !isWritableCell(*map_, {cell.column, cell.row})) continue;
        const std::size_t index = cellIndex(*map_, cell.column, cell.row);
        if (const auto known = paintedAt.find(index); known != paintedAt.end()) {
            painted[known->second].word = cell.word;
        } else {
            paintedAt.emplace(index, painted.size());
            painted.push_back(cell);
            before.push_back(*shown);
        }
        if (*shown == cell.word) continue;
        setTerrainCell(*map_, cell.column, cell.row, cell.word);
        changed = true;
    }
    if (changed) host.invalidateMap();
}

// Backwards: where two cells show one word, the first cell's old word is the one it had.
void TerrainEditor::putBack() {
    for (std::size_t i = painted.size(); i-- > 0;)
        setTerrainCell(*map_, painted[i].column, painted[i].row, before[i]);
    painted.clear();
    before.clear();
    paintedAt.clear();
}

void TerrainEditor::cancelStroke() {
    if (!stroking()) return;
    putBack();
    host.invalidateMap();
}

bool TerrainEditor::finishStroke() {
    if (!stroking()) return true;
    const int stage = host.openStageNumber();
    const TerrainWrite write = writeStageCells(host.romImage(), tables, stage, painted);
    if (!write.ok()) {
        putBack();
        host.invalidateMap();
        refuse(write);
        return false;
    }
    painted.clear();
    before.clear();
    paintedAt.clear();
    if (write.ranges.empty()) return true;
    host.pushUndo(
        std::make_unique<StageBytesRecord>(host, stage, write.ranges, IDS_TERRAIN_CHANGE, StageReload::Terrain));
    // The block may have moved or changed its room: the page, the marks and the map
    // read it again.
    host.refreshTerrain();
    return true;
}

bool TerrainEditor::edit(std::span<const TerrainCell> cells) {
    paint(cells);
    return finishStroke();
}

void TerrainEditor::refuse(const TerrainWrite& write) {
    switch (*write.refusal) {
    case TerrainRefusal::DoesNotFit: return host.showError(terrainDoesNotFitMessage(write.shortfall));
    case TerrainRefusal::CellOutside: return host.showError(text(IDS_CELL_OUTSIDE));
    case TerrainRefusal::NoTerrain:
    case TerrainRefusal::NotEditable: return host.showError(overview_.text);
    }
}

} // namespace vexa
