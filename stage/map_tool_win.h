// The map view's mouse tools. The view hands every press, move and release of the
// map to the tool in use, asks it for the cursor over a point, and lets it draw over
// the map after the object layers. A tool reaches the view only through the small
// context it is given.
#pragma once

#include "stage/object_kind.h"
#include "stage/object_layer_win.h"

#include <windows.h>

#include <functional>

namespace vexa {

enum class MapButton { Left, Right };

// Where the pointer is, counted the three ways the view counts, and the message's
// MK_ key state.
struct MapPointer {
    POINT client{};
    // In map pixels.
    POINT map{};
    // In screen pixels of the zoomed map: the client point plus the scroll position.
    POINT view{};
    WPARAM keys = 0;
};

// What the map view offers its tools.
class MapToolContext {
public:
    virtual ObjectLayer& layer(ObjectKind kind) = 0;
    virtual void clearSelections() = 0;
    // Clears the marks of the kinds shown on pages other than `page`.
    virtual void clearSelectionsExcept(PageKind page) = 0;
    // Selects the inspector's tab and shows its page, without a tab-change notification.
    virtual void showInspectorPage(PageKind page) = 0;
    // Redraws the map and tells the status bar again what lies under the pointer.
    virtual void invalidateView() = 0;
    virtual void captureMouse() = 0;
    // Gives the capture back. The view then cancels whatever still holds the mouse,
    // so a tool ends its press first.
    virtual void releaseMouse() = 0;
    // The zoom in percent: how many screen pixels a map pixel of the overlay becomes.
    virtual int mapZoom() const = 0;
    // Runs `edits` on the marked objects: the records they push become one undo step
    // named after `what` and the marks, which are marked again after each replay.
    virtual void recordAsOneStep(GroupEdit what, const std::function<void()>& edits) = 0;

protected:
    ~MapToolContext() = default;
};

class MapTool {
public:
    virtual ~MapTool() = default;

    virtual void press(MapButton button, const MapPointer& at) = 0;
    virtual void move(const MapPointer& at) = 0;
    virtual void release(MapButton button, const MapPointer& at) = 0;
    // Ends a press without its effect: the capture was lost, the stage is being
    // replaced, or the button went up where the view did not hear of it.
    virtual void cancel() = 0;
    // A press holds the mouse: the tool keeps the capture and the cursor until it ends.
    virtual bool active() const = 0;
    // Sets the cursor for map point `at`; false when the tool sets none there.
    virtual bool hover(POINT at) = 0;
    // Draws what the tool shows over the map. `target` holds map point
    // (mapRect.left, mapRect.top) at its (0, 0).
    virtual void overlay(HDC target, const RECT& mapRect) = 0;
};

} // namespace vexa
