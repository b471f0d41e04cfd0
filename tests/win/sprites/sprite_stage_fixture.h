// A real editor on a test ROM built for the sprite tests: every stage shows the same
// 40 x 12 cell map; stage 37 (opened first) holds four sprites with room for many
// more, stage 38 two, stage 39 three with room for one more.
#pragma once

#include "resources/resource_ids.h"
#include "sprites/sprite_list.h"
#include "sprites/sprites_page_win.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr int kMapWidthTiles = 40;
inline constexpr int kMapHeightTiles = 12;
inline constexpr unsigned kStage37List = 0x1000;
inline constexpr unsigned kStage38List = 0x1100;
inline constexpr unsigned kStage39List = 0x1200;
inline constexpr COLORREF kSkyColour = RGB(120, 180, 240);
inline constexpr COLORREF kGroundColour = RGB(140, 90, 40);

// Stage 37's sprites: #1 and #2 overlap, #3 lies far right of a 640-pixel view.
const std::vector<SpriteAllocData>& stage37Sprites();

class SpriteStageTest : public ::testing::Test {
protected:
    void SetUp() override;

    LevelSpritesManager& sprites() { return editor.project->levels.sprites; }
    LevelManager& levels() { return editor.project->levels; }
    HWND page() { return sprites().hwnd; }
    HWND mapView() { return levels().hwnd; }
    Bytes& image() { return editor.project->document.image; }
    Bytes bytes(unsigned offset, std::size_t count);
    std::vector<SpriteAllocData> spriteList();
    SpriteList storedList(int stage);

    // The page as the user works it.
    void selectLine(int index);
    void doubleClickLine(int index);
    void press(int id);
    void type(int id, const std::wstring& text);
    void typeSprite(const wchar_t* parameter, const wchar_t* x, const wchar_t* y, const wchar_t* type);
    std::wstring field(int id);
    std::vector<std::wstring> lines();
    int lineSelection();
    void undo() { editor.command(IDM_EDIT_UNDO); }
    void redo() { editor.command(IDM_EDIT_REDO); }
    void openStage(int stage);

    // The map view, in client coordinates.
    void mouse(UINT message, int x, int y);
    void click(int x, int y);
    void drag(POINT from, POINT to);

    EditorSession editor;
};

} // namespace vexa::test
