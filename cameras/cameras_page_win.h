// The cameras page of the inspector and the cameras layer of the map view: the open
// stage's camera list, its page, and the camera rectangles drawn with their links,
// moved and resized by their edges, corners and label on the map.
#pragma once

#include "cameras/camera_edits.h"
#include "cameras/camera_handles.h"
#include "stage/object_page_tools_win.h"
#include "stage/object_page_win.h"
#include "stage/stage_edit_host_win.h"

#include <string>

namespace vexa {

class LevelCamerasManager : public ObjectPage, private ObjectEditPage {
public:
    LevelCamerasManager(ProjectManager* project, LevelManager* view);

    const wchar_t* templateName() const override { return L"CAMERA_EDIT"; }
    const wchar_t* pageCaption() const override { return L"カメラ"; }

    bool initialize() override;
    void saveSettings() override;
    void loadStage(int stageNumber) override;
    void clearObjects() override;
    void enable(bool open) override;
    bool toggleShown() override;
    bool hoverTest(int x, int y) override;
    bool hitTest(int x, int y) override;
    void dragStep(int x, int y) override;
    void drop(bool moved) override;
    void cancelDrag() override;
    void drawFirstPass(HDC target, const RECT& mapRect) override;
    void drawSecondPass(HDC target, const RECT& mapRect) override;

    // The page's four buttons, given the list's selection (-1 for none).
    void apply(int index);
    void up(int index) { edits.up(index); }
    void down(int index) { edits.down(index); }
    void sort(int index) { edits.sort(index); }

    const CameraEditor& editor() const { return edits; }
    bool shown() const { return shownOnMap; }
    CameraDragMode dragMode() const { return grab.mode; }

protected:
    void onInitPage() override;
    bool onPageCommand(int id, int code) override;

private:
    std::uint32_t levelsLocation() const override;
    void clearPage() override;
    void rebuildLines() override;
    void setLine(int index) override;
    void selectLine(int index) override;
    void showItem(int index) override;
    void showNumber(int index) override;
    bool layerShown() const override { return shownOnMap; }
    int mapSelection() const override { return selectedIndex; }
    void setMapSelection(int index) override { selectedIndex = index; }

    CameraFields readFields() const;
    void onListSelectionChange();
    void centreOnListSelection();
    // The grabbed camera where the drag has it, as its drop will store it.
    CameraAllocData draggedRectangle(const CameraAllocData& camera) const;
    void drawCamera(HDC dc, const RECT& mapRect, int index, const CameraAllocData& camera, bool selected) const;
    HWND list() const;

    LevelEditHost host;
    CameraEditor edits;
    LayerDrawingObjects drawing;
    bool shownOnMap = true;
    CameraGrab grab;      // the drag mode with its grab offsets; mode None while not dragging
    POINT dragPosition{}; // the grabbed edges' new place
};

} // namespace vexa
