#include "terrain/terrain_tool_win.h"

#include "resources/text_ids.h"
#include "stage/map_info.h"
#include "stage/object_page_tools_win.h"
#include "terrain/tool_cursors_win.h"
#include "ui/clipboard_win.h"
#include "ui/texts.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr COLORREF kHoverColour = RGB(255, 255, 0);
constexpr COLORREF kRectangleColour = RGB(0, 255, 255);
constexpr COLORREF kSelectionColour = RGB(255, 0, 255);
constexpr COLORREF kSharedColour = RGB(255, 140, 0);

RECT cellPixels(const CellRect& cells, const RECT& mapRect) {
    return {cells.left * kTileSize - mapRect.left, cells.top * kTileSize - mapRect.top,
            (cells.right + 1) * kTileSize - mapRect.left, (cells.bottom + 1) * kTileSize - mapRect.top};
}

void fillBar(HDC target, int left, int top, int right, int bottom, HBRUSH brush) {
    const RECT bar{left, top, right, bottom};
    FillRect(target, &bar, brush);
}

// The edges between an area's cells and the cells outside it, with its stages' label
// at its top left.
void drawSharedArea(HDC target, const TilemapData& map, const SharedArea& area, const RECT& mapRect, int width) {
    HBRUSH brush = CreateSolidBrush(kSharedColour);
    const CellRect& b = area.bounds;
    for (int row = b.top; row <= b.bottom; ++row) {
        for (int column = b.left; column <= b.right; ++column) {
            if (!area.has(map, {column, row})) continue;
            const RECT cell = cellPixels({column, row, column, row}, mapRect);
            if (cell.right < 0 || cell.bottom < 0 || cell.left > mapRect.right - mapRect.left ||
                cell.top > mapRect.bottom - mapRect.top)
                continue;
            if (!area.has(map, {column, row - 1}))
                fillBar(target, cell.left, cell.top, cell.right, cell.top + width, brush);
            if (!area.has(map, {column, row + 1}))
                fillBar(target, cell.left, cell.bottom - width, cell.right, cell.bottom, brush);
            if (!area.has(map, {column - 1, row}))
                fillBar(target, cell.left, cell.top, cell.left + width, cell.bottom, brush);
            if (!area.has(map, {column + 1, row}))
                fillBar(target, cell.right - width, cell.top, cell.right, cell.bottom, brush);
        }
    }
    DeleteObject(brush);
    const std::wstring label = stagesText(area.stages);
    const RECT corner = cellPixels({b.left, b.top, b.left, b.top}, mapRect);
    HGDIOBJ oldFont = SelectObject(target, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(target, OPAQUE);
    SetBkColor(target, kSharedColour);
    SetTextColor(target, RGB(0, 0, 0));
    TextOutW(target, corner.left + 2 * width, corner.top + 2 * width, label.c_str(), static_cast<int>(label.size()));
    SelectObject(target, oldFont);
}

} // namespace

UINT terrainClipboardFormat() {
    static const UINT format = RegisterClipboardFormatW(kTerrainClipboardFormatName);
    return format;
}

void TerrainTool::setHovered(std::optional<CellPoint> cell) {
    if (cell == hovered) return;
    hovered = cell;
    context.invalidateView();
}

void TerrainTool::pick(POINT map) {
    const TilemapData* shown = editor.map();
    if (!shown) return;
    const CellPoint cell = cellContaining(map.x, map.y);
    if (const std::optional<std::uint16_t> word = tileWordAt(*shown, cell.column, cell.row))
        editor.setCurrentWord(*word);
}

void TerrainTool::press(MapButton button, const MapPointer& at) {
    if (pressed) return;
    if (button == MapButton::Right) return pick(at.map);
    const TilemapData* shown = editor.map();
    if (!shown || !editor.editable()) {
        MessageBeep(MB_OK);
        return;
    }
    const CellPoint cell = cellContaining(at.map.x, at.map.y);
    const bool onMap = cellAt(*shown, at.map.x, at.map.y, false).has_value();
    // The pen and the fill start on the map; a rectangle or a selection may start
    // beside it and is held to its cells.
    if (!onMap && (kind == TerrainToolKind::Pen || kind == TerrainToolKind::Fill)) return;
    pressed = true;
    context.captureMouse();
    anchor = last = *cellAt(*shown, at.map.x, at.map.y, true);
    switch (kind) {
    case TerrainToolKind::Pen: {
        const CellPoint one[] = {cell};
        editor.paint(one);
        break;
    }
    case TerrainToolKind::Fill: editor.paint(fillRegion(*shown, cell)); break;
    case TerrainToolKind::Rectangle: break;
    case TerrainToolKind::Select: selection = CellRect::spanning(anchor, last); break;
    }
    context.invalidateView();
}

void TerrainTool::move(const MapPointer& at) {
    const TilemapData* shown = editor.map();
    setHovered(shown ? cellAt(*shown, at.map.x, at.map.y, false) : std::nullopt);
    if (!pressed || !shown) return;
    // The button went up where this window did not hear of it.
    if (!(at.keys & MK_LBUTTON)) return cancel();
    switch (kind) {
    case TerrainToolKind::Pen: {
        const CellPoint cell = cellContaining(at.map.x, at.map.y);
        if (cell == last) return;
        editor.paint(cellLine(last, cell));
        last = cell;
        break;
    }
    case TerrainToolKind::Fill: break;
    case TerrainToolKind::Rectangle:
    case TerrainToolKind::Select: {
        const CellPoint cell = *cellAt(*shown, at.map.x, at.map.y, true);
        if (cell == last) return;
        last = cell;
        if (kind == TerrainToolKind::Select) selection = CellRect::spanning(anchor, last);
        context.invalidateView();
        break;
    }
    }
}

void TerrainTool::release(MapButton button, const MapPointer&) {
    if (button != MapButton::Left || !pressed) return;
    pressed = false;
    // The capture goes before the write, whose refusal opens a message box.
    context.releaseMouse();
    const TilemapData* shown = editor.map();
    if (kind == TerrainToolKind::Rectangle && shown)
        editor.paint(writableCellsIn(*shown, CellRect::spanning(anchor, last)));
    if (kind != TerrainToolKind::Select) editor.finishStroke();
    context.invalidateView();
}

void TerrainTool::cancel() {
    if (!pressed) return;
    pressed = false;
    editor.cancelStroke();
    if (kind == TerrainToolKind::Select) selection.reset();
    context.releaseMouse();
    context.invalidateView();
}

bool TerrainTool::hover(POINT) {
    SetCursor(terrainToolCursor(kind));
    return true;
}

void TerrainTool::pointerLeft() {
    setHovered(std::nullopt);
}

void TerrainTool::stageLoaded() {
    selection.reset();
    hovered.reset();
}

void TerrainTool::overlay(HDC target, const RECT& mapRect) {
    const TilemapData* shown = editor.map();
    if (!shown) return;
    const int width = mapLineWidth(context.mapZoom());
    for (const SharedArea& area : editor.sharedAreas())
        drawSharedArea(target, *shown, area, mapRect, width);
    if (pressed && kind == TerrainToolKind::Rectangle)
        drawMarkFrame(target, cellPixels(CellRect::spanning(anchor, last), mapRect), kRectangleColour, width);
    if (selection) drawMarkFrame(target, cellPixels(*selection, mapRect), kSelectionColour, width);
    if (hovered)
        drawMarkFrame(target, cellPixels({hovered->column, hovered->row, hovered->column, hovered->row}, mapRect),
                      kHoverColour, width);
}

bool TerrainTool::copy(HWND owner) const {
    const TilemapData* shown = editor.map();
    if (!selection || !shown || pressed) return false;
    const TerrainCells cells = copyCells(*shown, *selection);
    if (cells.words.empty()) return false;
    const std::vector<std::uint8_t> bytes = encodeTerrainCells(cells);
    const ClipboardForm forms[] = {{terrainClipboardFormat(), bytes}};
    return putOnClipboard(owner, forms, terrainCellsText(cells));
}

bool TerrainTool::canPaste() const {
    return IsClipboardFormatAvailable(terrainClipboardFormat()) || IsClipboardFormatAvailable(CF_UNICODETEXT);
}

bool TerrainTool::paste(HWND owner, CellPoint at) {
    const TilemapData* shown = editor.map();
    if (!shown || !editor.editable() || pressed) return false;
    std::optional<TerrainCells> clip;
    if (const auto bytes = clipboardBytes(owner, terrainClipboardFormat())) clip = decodeTerrainCells(*bytes);
    if (!clip) {
        if (const std::optional<std::wstring> text = clipboardText(owner)) clip = parseTerrainCellsText(*text);
    }
    if (!clip) {
        editor.tell(text(IDS_NOT_TERRAIN_CELLS));
        return true;
    }
    const std::vector<TerrainCell> cells = pastedCells(*shown, *clip, at);
    if (cells.empty()) return false;
    editor.edit(cells);
    return true;
}

bool TerrainTool::fillSelection() {
    const TilemapData* shown = editor.map();
    if (!selection || !shown || !editor.editable() || pressed) return false;
    editor.paint(writableCellsIn(*shown, *selection));
    editor.finishStroke();
    return true;
}

} // namespace vexa
