#include "stage/group_move.h"

namespace vexa {

namespace {

int floorToUnit(int value, int unit) {
    const int rest = value % unit;
    return rest < 0 ? value - rest - unit : value - rest;
}

int ceilToUnit(int value, int unit) {
    return -floorToUnit(-value, unit);
}

OffsetRange common(const OffsetRange& a, const OffsetRange& b, int unit) {
    return {ceilToUnit(std::max(a.low, b.low), unit), floorToUnit(std::min(a.high, b.high), unit)};
}

int snapped(int value, const OffsetRange& range, int unit) {
    const int nearest = floorToUnit(value + unit / 2, unit);
    return std::clamp(nearest, std::min(range.low, 0), std::max(range.high, 0));
}

} // namespace

GroupLimits bothAllow(const GroupLimits& a, const GroupLimits& b) {
    // Every unit is 1 or 8, so the coarser is a multiple of the finer.
    const int unit = std::max(a.unit, b.unit);
    return {common(a.x, b.x, unit), common(a.y, b.y, unit), unit};
}

GroupOffset groupOffset(const GroupLimits& limits, int dx, int dy) {
    return {snapped(dx, limits.x, limits.unit), snapped(dy, limits.y, limits.unit)};
}

} // namespace vexa
