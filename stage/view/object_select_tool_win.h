// The map's object tool. A press on an object selects it alone and a drag moves it,
// the drop recording the move through the object's layer. With several objects
// selected, a drag of any of them moves them all by one offset, as one undo step.
// Ctrl+click adds an object to the selection or takes it out; a drag from the empty
// map draws a box that selects what it meets (Shift or Ctrl keeps the selection and
// adds to it), and a click there clears the selection.
#pragma once

#include "stage/map_tool_win.h"
#include "stage/view/map_drag.h"

#include <optional>

namespace vexa {

class ObjectSelectTool final : public MapTool {
public:
    explicit ObjectSelectTool(MapToolContext& context) : context(context) {}

    void press(MapButton button, const MapPointer& at) override;
    void move(const MapPointer& at) override;
    void release(MapButton button, const MapPointer& at) override;
    // The objects stay where they were; a box selects nothing.
    void cancel() override;
    bool active() const override { return !drag.idle(); }
    bool hover(POINT at) override;
    // The selection box while one is drawn.
    void overlay(HDC target, const RECT& mapRect) override;

    // The objects marked, all kinds together.
    int markedTotal() const;
    // The offsets the whole selection can be moved by: what every kind with marked
    // objects allows.
    GroupLimits selectionLimits() const;
    // The box being drawn, in map pixels; nothing while none is.
    std::optional<RECT> selectionBox() const;

    MapDrag drag;

private:
    enum class Hold { Object, Group, Box };

    void pressGroup(ObjectKind kind, int index, const MapPointer& at);
    void endPress();
    void showGroupDrag(std::optional<GroupOffset> offset);
    void selectBox();

    MapToolContext& context;
    Hold hold = Hold::Object;
    // Where the press was and where the pointer is now, in map pixels.
    POINT pressedAt{};
    POINT pointerAt{};
    // The box adds to the selection instead of replacing it.
    bool boxAdds = false;
    GroupLimits limits;
    GroupOffset offset;
};

} // namespace vexa
