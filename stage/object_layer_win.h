// What the map view asks of each object manager (sprites, bananas, cameras): each is
// at once the model of its objects in the open stage, an inspector page and a layer
// of the map.
#pragma once

#include <windows.h>

namespace vexa {

class ObjectLayer {
public:
    virtual ~ObjectLayer() = default;

    // At map view creation: read the settings; false fails the creation.
    virtual bool initialize() = 0;
    // At map view destruction.
    virtual void saveSettings() = 0;
    // Loads the open stage's objects (the ROM image may have changed since).
    virtual void loadStage(int stageNumber) = 0;
    // Empties the list of the open stage and the page that shows it.
    virtual void clearObjects() = 0;
    // A ROM was opened (true) or closed (false).
    virtual void enable(bool open) = 0;
    // The View menu's show/hide command of this layer.
    virtual bool toggleShown() = 0;

    // Map positions in map pixels. hoverTest sets the cursor when it answers true;
    // hitTest selects the object under the point.
    virtual bool hoverTest(int x, int y) = 0;
    virtual bool hitTest(int x, int y) = 0;
    virtual void dragStep(int x, int y) = 0;
    virtual void drop(bool moved) = 0;
    // The drag ended without a drop (the mouse capture was lost): the object stays
    // where it was, its fields show it so again, and nothing is recorded.
    virtual void cancelDrag() = 0;
    // `target` holds map point (mapRect.left, mapRect.top) at its (0, 0).
    virtual void drawFirstPass(HDC target, const RECT& mapRect) = 0;
    virtual void drawSecondPass(HDC target, const RECT& mapRect) = 0;

    int selectedIndex = -1;
};

} // namespace vexa
