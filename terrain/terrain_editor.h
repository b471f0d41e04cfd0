// The terrain editing of the open stage, with no window in sight: the current tile
// word, the block as the image has it now, and strokes. A stroke paints the shown
// cells at once and writes the block once, at its end, as one undo step; a stroke
// that is cancelled or refused puts the shown cells back.
#pragma once

#include "stage/stage_edit_host.h"
#include "stage/tilemap_data.h"
#include "terrain/terrain_cells.h"
#include "terrain/terrain_overview.h"

#include <cstdint>
#include <functional>
#include <span>
#include <unordered_map>
#include <vector>

namespace vexa {

// The map's tools in terrain mode, in the order of the page's buttons and of
// config.ini [Terrain] Tool.
// The undo step of every terrain edit.

enum class TerrainToolKind { Pen, Rectangle, Fill, Select };
inline constexpr int kTerrainToolCount = 4;

// "ペン", "矩形", "塗りつぶし", "範囲選択".
const wchar_t* terrainToolName(TerrainToolKind tool);

class TerrainEditor {
public:
    explicit TerrainEditor(StageEditHost& host) : host(host) {}
    TerrainEditor(const TerrainEditor&) = delete;
    TerrainEditor& operator=(const TerrainEditor&) = delete;

    // The open stage's cells as the map shows them; a stroke changes them.
    void attach(TilemapData* shown) { map_ = shown; }
    const TilemapData* map() const { return map_; }

    // After every reading of the open stage's terrain: the block as the image holds it.
    // A stroke in progress belongs to the cells that were replaced, and is dropped.
    void terrainRead();
    const TerrainOverview& overview() const { return overview_; }
    bool editable() const { return overview_.editable && map_ && map_->loaded; }
    // The parts of the section other stages show, worked out at the first ask after a read.
    const std::vector<SharedArea>& sharedAreas();

    std::uint16_t currentWord() const { return word_; }
    // Makes `word` current and tells onWordChanged.
    void setCurrentWord(std::uint16_t word);
    std::function<void(std::uint16_t)> onWordChanged;

    // Paints the cells of the stroke (starting one if none is in progress) with the
    // current word, or with the cells' own words. Cells an edit cannot write are left.
    void paint(std::span<const CellPoint> cells);
    void paint(std::span<const TerrainCell> cells);
    bool stroking() const { return !painted.empty(); }
    // The cells go back to what they showed before the stroke; nothing is written.
    void cancelStroke();
    // Writes the stroke as one edit "地形の変更". A refusal is told to the user and puts
    // the cells back. True when the image holds the stroke (an empty one included).
    bool finishStroke();
    // A stroke of these cells, written at once.
    bool edit(std::span<const TerrainCell> cells);
    // A message for the user, as the stage editor shows its errors.
    void tell(const std::wstring& text) { host.showError(text); }

private:
    void putBack();
    void refuse(const TerrainWrite& write);

    StageEditHost& host;
    TilemapData* map_ = nullptr;
    TerrainTables tables;
    TerrainSurvey survey;
    TerrainOverview overview_;
    std::vector<SharedArea> shared_;
    bool sharedKnown = false;
    std::uint16_t word_ = 0;
    // The stroke's cells in the order painted, each with the word it showed before.
    std::vector<TerrainCell> painted;
    std::vector<std::uint16_t> before;
    std::unordered_map<std::size_t, std::size_t> paintedAt; // cell index -> place in `painted`
};

} // namespace vexa
