#include "stage/view/map_drag.h"

namespace vexa {

namespace {

bool inDeadZone(int d) {
    return d >= MapDrag::kDeadZoneLow && d <= MapDrag::kDeadZoneHigh;
}

} // namespace

void MapDrag::press(std::optional<ObjectKind> kind, int index, int x, int y) {
    pressed_ = true;
    moved_ = false;
    kind_ = kind;
    index_ = index;
    pressX_ = x;
    pressY_ = y;
}

bool MapDrag::moveTo(int x, int y) {
    if (!pressed_) return false;
    if (!moved_ && inDeadZone(x - pressX_) && inDeadZone(y - pressY_)) return false;
    moved_ = true;
    return true;
}

void MapDrag::end() {
    pressed_ = false;
    moved_ = false;
    kind_.reset();
    index_ = -1;
}

} // namespace vexa
