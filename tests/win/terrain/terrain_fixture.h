// A real editor on the sample game for the terrain tests, opened on stage 37 (a
// 200 x 16 cell section of terrain 00 that no other stage shows), with the map's
// mouse and keys, the terrain page and the cells as shown, in the image and on disk.
#pragma once

#include "stage/view/level_manager_win.h"
#include "support/editor_session.h"
#include "terrain/terrain_cells.h"

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexa::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr int kSampleStage = 37;
inline constexpr std::uint16_t kPaintWord = 0x1ABC; // a word the sample's terrain never holds

class TerrainTest : public ::testing::Test {
protected:
    void SetUp() override;
    // The body of rominfo.ini [FreeSpace]; empty keeps the sample game's two banks.
    virtual std::string freeSpace() const { return {}; }

    LevelManager& levels() { return editor.project->levels; }
    HWND mapView() { return levels().hwnd; }
    HWND page() { return levels().terrainPage.hwnd; }
    Bytes& image() { return editor.project->document.image; }
    std::size_t undoSteps() { return editor.project->undoBuffer.undoCount(); }
    std::wstring field(int id);
    std::vector<std::wstring> messages();

    void enterTerrainMode();
    void press(int button);
    // Types into the page's word field and presses Enter there.
    void typeWord(const std::wstring& text);
    void zoomTo(int command);

    // The map view's client point in the middle of a cell, at the zoom and scroll now.
    POINT clientOf(CellPoint cell);
    void mouse(UINT message, CellPoint cell);
    // Down at `from`, one move to `to`, up there.
    void drag(CellPoint from, CellPoint to);
    void key(WPARAM code, int modifiers = 0);
    // The pointer over the map view's cell, or (no cell) over none of the editor's windows.
    void pointAt(std::optional<CellPoint> cell);

    // Stage `stage` as `image` holds it, and its section's words row by row.
    TilemapData decoded(std::span<const std::uint8_t> bytes, int stage);
    static TerrainCells cellsOf(const TilemapData& map);
    TerrainCells shownCells() { return cellsOf(*levels().terrain.map()); }
    TerrainCells imageCells() { return cellsOf(decoded(image(), levels().stageNumber)); }
    // File > Save, then stage 37's cells decoded from the file on disk.
    TerrainCells savedCells();

    EditorSession editor;
    std::wstring romPath;
    TilemapData opened; // stage 37 as the editor opened it
};

std::uint16_t cellWord(const TerrainCells& cells, CellPoint at);
void setCell(TerrainCells& cells, CellPoint at, std::uint16_t word);
// The cells where two section pictures differ, "(3, 4) 0C12 -> 1ABC", at most eight.
std::string differences(const TerrainCells& from, const TerrainCells& to);
// Text alone on the clipboard, as another program puts it there.
void putText(const std::wstring& text);

} // namespace vexa::test
