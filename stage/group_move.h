// Moving several objects by one offset. Each kind tells the offsets every one of its
// selected objects can take and the grid it moves on (sprites by the pixel, bananas
// and cameras by the 8-pixel unit); the group takes the offsets all kinds allow, on
// the coarsest grid, so that the group stops at an edge as one, keeping the places
// of its objects to each other.
#pragma once

#include <algorithm>
#include <limits>
#include <vector>

namespace vexa {

// Offsets low..high along one axis, in map pixels, 0 included.
struct OffsetRange {
    int low = std::numeric_limits<int>::min() / 2;
    int high = std::numeric_limits<int>::max() / 2;

    friend bool operator==(const OffsetRange&, const OffsetRange&) = default;
};

struct GroupLimits {
    OffsetRange x;
    OffsetRange y;
    // Every offset is a multiple of this.
    int unit = 1;

    friend bool operator==(const GroupLimits&, const GroupLimits&) = default;
};

struct GroupOffset {
    int dx = 0;
    int dy = 0;

    bool moves() const { return dx != 0 || dy != 0; }
    friend bool operator==(const GroupOffset&, const GroupOffset&) = default;
};

// A box on the map in map pixels, right and bottom exclusive.
struct MapBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // The box between two corners given in either order, each corner's pixel inside.
    static MapBox spanning(int x0, int y0, int x1, int y1) {
        return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1};
    }
    bool meets(const MapBox& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// The indices of the entries of `items` whose box (`boxOf(entry)`) meets `box`.
template <typename List, typename BoxOf>
std::vector<int> indicesMeeting(const List& items, const MapBox& box, BoxOf boxOf) {
    std::vector<int> indices;
    int index = 0;
    for (const auto& entry : items) {
        if (boxOf(entry).meets(box)) indices.push_back(index);
        ++index;
    }
    return indices;
}

// The farthest any object is ever moved, either way: past the largest position an
// entry stores.
inline constexpr int kFarthestOffset = 1 << 17;

// The multiples of `unit` within kFarthestOffset that `accepts(offset)` takes, when it
// takes a range of them around 0; none but 0 when it refuses 0 itself.
template <typename Accepts> OffsetRange acceptedOffsets(int unit, Accepts accepts) {
    if (!accepts(0)) return {0, 0};
    // The farthest step count k in 1..most each way with accepts(±k * unit).
    const auto farthest = [&](int sign) {
        int taken = 0;
        int refused = kFarthestOffset / unit + 1;
        while (refused - taken > 1) {
            const int middle = taken + (refused - taken) / 2;
            if (accepts(sign * middle * unit))
                taken = middle;
            else
                refused = middle;
        }
        return taken * unit;
    };
    return {-farthest(-1), farthest(1)};
}

// What both allow: the common offsets on the coarser grid.
GroupLimits bothAllow(const GroupLimits& a, const GroupLimits& b);

// The pointer's movement (dx, dy) in map pixels as the group's offset: to the nearest
// multiple of the unit (halves away from the grab going up), held to the limits.
GroupOffset groupOffset(const GroupLimits& limits, int dx, int dy);

} // namespace vexa
