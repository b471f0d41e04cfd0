// Terrain mode: while the inspector shows the terrain page the map's mouse paints the
// terrain, and the page, the chip palette and the editor's current word follow one
// another.
#include "stage/view/level_manager_win.h"

#include "resources/resource_ids.h"

namespace vexa {

void LevelManager::connectTerrain() {
    terrain.attach(&tilemap.shownCells());
    terrain.onWordChanged = [this](std::uint16_t word) {
        terrainPage.showWord(word);
        chipPalette.setCurrentWord(word);
    };
    chipPalette.onPick = [this](std::uint16_t word) { terrain.setCurrentWord(word); };
    terrainPage.onToolChosen = [this](TerrainToolKind kind) { terrainToolChosen(kind); };
    terrainPage.onShowPalette = [this] { chipPalette.show(); };
    inspector.onPageShown = [this](int index) { pageShown(index); };
}

void LevelManager::pageShown(int index) {
    const bool terrainShown = index == tabIndexOf(PageKind::Terrain);
    if (terrainShown == inTerrainMode()) return;
    // Whatever holds the mouse belongs to the mode being left.
    tool->cancel();
    if (terrainShown) {
        // Objects are neither picked nor edited from the keys while the terrain is.
        clearSelections();
        tool = &terrainTool;
    } else {
        // The framed cell is terrain mode's; coming back, the next move frames one again.
        terrainTool.hovered.reset();
        tool = &objectTool;
    }
    host.setMenuCheck(IDM_EDIT_TERRAIN, terrainShown);
    invalidateView();
}

void LevelManager::toggleTerrainMode() {
    if (inTerrainMode()) return showInspectorPage(pageBeforeTerrain);
    const int shown = inspector.shownPage();
    pageBeforeTerrain =
        shown >= 0 && shown < tabIndexOf(PageKind::Terrain) ? static_cast<PageKind>(shown) : PageKind::Sprites;
    showInspectorPage(PageKind::Terrain);
}

void LevelManager::terrainToolChosen(TerrainToolKind kind) {
    terrainTool.cancel();
    terrainTool.kind = kind;
    invalidateView();
}

void LevelManager::showTerrainRead() {
    const BitmapBuffer& chips = tilemap.chipBitmap();
    terrainPage.showTerrain(&chips);
    chipPalette.setTerrain(&chips, tilemap.data().terrainWords);
}

} // namespace vexa
