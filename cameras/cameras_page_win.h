// The cameras page of the inspector and the cameras layer of the map view: the open
// stage's camera list, its page, and the camera rectangles drawn with their links,
// moved and resized by their edges, corners and label on the map.
#pragma once

#include "cameras/camera_edits.h"
#include "cameras/camera_handles.h"
#include "resources/text_ids.h"
#include "stage/object_page_win.h"
#include "ui/texts.h"

#include <string>
#include <vector>

namespace vexa {

class LevelCamerasManager : public ObjectPage {
public:
    explicit LevelCamerasManager(StageWindowHost& host);

    const wchar_t* templateName() const override { return L"CAMERA_EDIT"; }
    const wchar_t* pageCaption() const override { return text(IDS_PAGE_CAMERAS); }

    void loadStage(int stageNumber) override;
    void clearObjects() override;
    bool hoverTest(int x, int y) override;
    bool hitTest(int x, int y) override;
    void dragStep(int x, int y) override;
    void drop(bool moved) override;
    void cancelDrag() override;
    void drawFirstPass(HDC target, const RECT& mapRect) override;
    void drawSecondPass(HDC target, const RECT& mapRect) override;
    int pick(int x, int y) const override;
    std::vector<int> meeting(const RECT& box) const override;
    GroupLimits groupLimits() const override;
    void moveMarked(GroupOffset offset) override;

    // The page's four buttons, given the list's selection (-1 for none).
    void apply(int index);
    void up(int index) { edits.up(index); }
    void down(int index) { edits.down(index); }
    void sort(int index) { edits.sort(index); }

    // The map view's keys and the Edit menu on the camera marked on the map, each as
    // one Apply: a paste's fields (cameraPasteFields), or a move by (dx, dy) as a drag
    // of its label would make it. False when none is marked or the paste is refused.
    bool pasteValues(const CameraFields& fields) { return edits.apply(selectedIndex, fields); }
    bool nudge(int dx, int dy);
    HWND firstField() const;

    const CameraEditor& editor() const { return edits; }
    bool shown() const { return isShown(); }
    CameraDragMode dragMode() const { return grab.mode; }

protected:
    void onInitPage() override;
    bool onPageCommand(int id, int code) override;

private:
    int itemCount() const override { return edits.count(); }
    std::vector<std::wstring> lineTexts(const RomInfo& info, int from, int to) const override;
    bool anchorOf(int index, POINT& at) const override;
    void clearPage() override;
    void showItem(int index) override;
    void showNumber(int index) override;
    void showSeveral(const std::vector<int>& indices) override;
    std::span<const int> severalFields() const override;
    void applySeveral(const std::vector<int>& indices) override;

    CameraFields readFields() const;
    // The grabbed camera where the drag has it, as its drop will store it.
    CameraAllocData draggedRectangle(const CameraAllocData& camera) const;
    // Within a LayerPass.
    void drawCamera(HDC dc, const RECT& mapRect, int index, const CameraAllocData& camera, bool selected) const;

    CameraEditor edits;
    CameraGrab grab;      // the drag mode with its grab offsets; mode None while not dragging
    POINT dragPosition{}; // the grabbed edges' new place
};

} // namespace vexa
