// The real editor on a ROM whose stages 0 to 7 show a 64 x 64 cell map of map types
// 0, 1, 4, 6, 7, 8, 9 and 2, for driving the banana and camera pages and their layers.
#pragma once

#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "stage/view/level_manager_win.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::test {

inline constexpr std::uint16_t kStageMapTypes[] = {0, 1, 4, 6, 7, 8, 9, 2};
inline constexpr int kStageCount = static_cast<int>(std::size(kStageMapTypes));
inline constexpr int kMapPixels = 64 * 32;

// The stage frame only; no object lists yet.
std::vector<std::uint8_t> objectStageImage();

// Each stage's list, written through the default pointer tables with the stage's map
// type; returns each list's first slot offset.
std::vector<std::uint16_t> putBananaLists(std::vector<std::uint8_t>& image,
                                          const std::vector<std::vector<BananaAllocData>>& stages);
std::vector<std::uint16_t> putCameraLists(std::vector<std::uint8_t>& image,
                                          const std::vector<std::vector<CameraAllocData>>& stages);

// Text of a rominfo.ini in UTF-8 with its byte-order mark.
std::string utf8Rominfo(const std::string& text);

class ObjectPageTest : public testing::Test {
protected:
    // Opens the image on stage `firstStage` with the tile map not drawn (a plain gray map), the
    // main window at 0, 0 and 640 x 480.
    void open(const std::vector<std::uint8_t>& image, const std::string& rominfo = "", const std::string& config = "");
    LevelManager& view() { return editor.project->levels; }
    std::vector<std::uint8_t>& image() { return editor.project->document.image; }
    void loadStage(int stage);

    // Page controls by id: texts, list lines, selection as the user makes it.
    static std::wstring text(HWND page, int id);
    static std::wstring line(HWND page, int listId, int index);
    static int lineCount(HWND page, int listId);
    static int selectedLine(HWND page, int listId);
    void chooseLine(HWND page, int listId, int index);
    void doubleClickLine(HWND page, int listId, int index);
    void type(HWND page, int id, const std::wstring& value);
    void press(HWND page, int id);

    // The mouse on the map view, at map positions (the scroll position is taken off).
    void mouseDown(int x, int y);
    void mouseMove(int x, int y);
    void mouseUp(int x, int y);
    void dragOnMap(int fromX, int fromY, int toX, int toY);

    void undo() { editor.command(4609); }
    void redo() { editor.command(4610); }
    std::wstring undoText() const { return editor.menuText(4609); }
    std::size_t undoSteps() const { return editor.project->undoBuffer.undoCount(); }
    int inspectorPage() const;

    // The map layers drawn into a bitmap showing map rectangle (left, top) + size,
    // over light gray; pixels at map positions.
    void drawLayers(int left, int top, int width, int height);
    COLORREF pixel(int x, int y) const;
    // A pixel of the map view window as last painted, at a map position.
    COLORREF shownPixel(int x, int y);

    // With VEXA_SHOTS set, saves the screen as /tmp/<name>.bmp for a look.
    static void screenshot(const char* name);

    EditorSession editor;
    int firstStage = 0;

private:
    HDC drawnDc = nullptr;
    HBITMAP drawnBitmap = nullptr;
    HGDIOBJ drawnOld = nullptr;
    int drawnLeft = 0;
    int drawnTop = 0;

protected:
    void TearDown() override;
};

} // namespace vexa::test
