// The map's mouse in terrain mode. The left button works the chosen tool: the pen
// paints every cell it passes, the rectangle fills the cells it spans, the fill fills
// the cells joined to the clicked one that hold its word, and the selection frames a
// rectangle of cells for the clipboard and Delete. The right button picks the word of
// the cell under it. Objects are neither picked nor dragged.
#pragma once

#include "stage/map_tool_win.h"
#include "terrain/terrain_editor.h"

#include <optional>

namespace vexa {

class TerrainTool final : public MapTool {
public:
    TerrainTool(MapToolContext& context, TerrainEditor& editor) : context(context), editor(editor) {}

    void press(MapButton button, const MapPointer& at) override;
    void move(const MapPointer& at) override;
    void release(MapButton button, const MapPointer& at) override;
    // The painted cells go back and nothing is recorded; a selection being drawn goes.
    void cancel() override;
    bool active() const override { return pressed; }
    bool hover(POINT at) override;
    // The shared areas with their stages, the cell under the pointer, the rectangle
    // being drawn and the selection.
    void overlay(HDC target, const RECT& mapRect) override;

    // The pointer left the view: no cell is framed.
    void pointerLeft();
    // A new stage's cells: the selection and the framed cell belong to the old ones.
    void stageLoaded();

    // The clipboard and Delete on the selection. Paste puts the clip's top-left cell at
    // `at`. Each returns false when it finds nothing to do (the caller beeps).
    bool copy(HWND owner) const;
    bool paste(HWND owner, CellPoint at);
    bool fillSelection();
    bool canPaste() const;

    TerrainToolKind kind = TerrainToolKind::Pen;
    std::optional<CellRect> selection;
    std::optional<CellPoint> hovered;

private:
    void setHovered(std::optional<CellPoint> cell);
    void pick(POINT map);

    MapToolContext& context;
    TerrainEditor& editor;
    bool pressed = false;
    CellPoint anchor{};
    CellPoint last{};
};

// The registered name of the clipboard format that holds encodeTerrainCells' bytes.
inline constexpr const wchar_t* kTerrainClipboardFormatName = L"VexaEditor.TerrainCells";
UINT terrainClipboardFormat();

} // namespace vexa
