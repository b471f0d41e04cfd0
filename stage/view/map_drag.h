// What the left mouse button is doing on the map: nothing, pressed on the empty map,
// or holding an object of one kind. A press becomes a drag only once the pointer
// leaves a small box around where it went down, so a shaky click moves nothing.
#pragma once

#include "stage/object_kind.h"

#include <optional>

namespace vexa {

class MapDrag {
public:
    // Pointer movement within [kDeadZoneLow, kDeadZoneHigh] of the press, each way,
    // is no drag.
    static constexpr int kDeadZoneLow = -4;
    static constexpr int kDeadZoneHigh = 3;

    // Positions are screen pixels of the zoomed map (client point plus scroll
    // position), so the dead zone is the same distance under the hand at every zoom.
    void pressEmpty(int x, int y) { press({}, -1, x, y); }
    // `index`: the object's place in its kind's list, which the drop is to write.
    void pressObject(ObjectKind kind, int index, int x, int y) { press(kind, index, x, y); }
    // The pointer moved to (x, y) with the button held. True once the press has
    // become a drag (from this move on); false while idle or still in the dead zone.
    bool moveTo(int x, int y);
    void end();

    bool idle() const { return !pressed_; }
    // The kind of the object held, if the press landed on one.
    std::optional<ObjectKind> heldKind() const { return pressed_ ? kind_ : std::nullopt; }
    // The list index of the object held; -1 when none is.
    int heldIndex() const { return heldKind() ? index_ : -1; }
    bool moved() const { return moved_; }

private:
    void press(std::optional<ObjectKind> kind, int index, int x, int y);

    bool pressed_ = false;
    bool moved_ = false;
    std::optional<ObjectKind> kind_;
    int index_ = -1;
    int pressX_ = 0;
    int pressY_ = 0;
};

} // namespace vexa
