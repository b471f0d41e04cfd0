// What the map view asks of each object manager (sprites, bananas, cameras): each is
// at once the model of its objects in the open stage, an inspector page and a layer
// of the map.
#pragma once

#include "stage/group_move.h"
#include "stage/marked_indices.h"

#include <windows.h>

#include <optional>
#include <vector>

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
    // The objects' look changed its size (objectLookPercent): what is drawn with is made again.
    virtual void lookChanged() = 0;

    // The selection of many objects. Each layer holds the marks of its kind; hitTest
    // and the page's list mark one alone, the map's box and Ctrl+click several.
    // The object a press at map point (x, y) would take, without taking it; -1 for none
    // (or while the layer is hidden).
    virtual int pick(int x, int y) const = 0;
    // The objects whose boxes meet `box` (map pixels, right and bottom exclusive);
    // none while the layer is hidden.
    virtual std::vector<int> meeting(const RECT& box) const = 0;
    virtual int objectCount() const = 0;
    // The page's list selects the lines of `indices`, and its fields show the one
    // object, or with several their count ("3 個選択").
    virtual void showLines(const std::vector<int>& indices) = 0;
    // The page follows the marks.
    void showMarks() { showLines(marked()); }
    // The offsets every marked object can be moved by, and its grid.
    virtual GroupLimits groupLimits() const = 0;
    // Moves every marked object by the offset, each as its own edit (the caller gathers
    // their records into one step).
    virtual void moveMarked(GroupOffset offset) = 0;

    const std::vector<int>& marked() const { return marks.indices(); }
    int markCount() const { return marks.size(); }
    bool isMarked(int index) const { return marks.contains(index); }
    // One object alone; -1 clears.
    void selectOnly(int index) {
        marks.only(index);
        selectedIndex = index;
    }
    void setMarks(std::vector<int> indices) {
        marks.assign(std::move(indices));
        selectedIndex = marks.single();
    }
    void addMarks(const std::vector<int>& indices) {
        marks.add(indices);
        selectedIndex = marks.single();
    }
    void toggleMark(int index) {
        marks.toggle(index);
        selectedIndex = marks.single();
    }

    // The marked object while exactly one is marked, else -1.
    int selectedIndex = -1;
    // While a group drag moves the marked objects they are drawn moved by this.
    std::optional<GroupOffset> groupDrag;

private:
    MarkedIndices marks;
};

} // namespace vexa
