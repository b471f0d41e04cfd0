// The map's object tool: a press selects the object under the pointer (or clears the
// selection on the empty map), and a drag moves it; the drop records the move through
// the object's layer.
#pragma once

#include "stage/map_tool_win.h"
#include "stage/view/map_drag.h"

namespace vexa {

class ObjectSelectTool final : public MapTool {
public:
    explicit ObjectSelectTool(MapToolContext& context) : context(context) {}

    void press(MapButton button, const MapPointer& at) override;
    void move(const MapPointer& at) override;
    void release(MapButton button, const MapPointer& at) override;
    // The object stays where it was.
    void cancel() override;
    bool active() const override { return !drag.idle(); }
    bool hover(POINT at) override;
    void overlay(HDC, const RECT&) override {}

    MapDrag drag;

private:
    MapToolContext& context;
};

} // namespace vexa
