// The map view's zoom: the levels it steps through, and the arithmetic between the
// client area (screen pixels of the zoomed map) and map pixels. The scroll bars count
// screen pixels of the zoomed map, so a client point plus the scroll position is a
// "view point"; dividing by the zoom gives the map point.
#pragma once

#include <array>
#include <cstdint>

namespace vexa {

inline constexpr std::array<int, 4> kZoomLevels{50, 100, 200, 300};
inline constexpr int kDefaultZoom = 100;

// `percent` if it is one of the levels, else 100 (a hand-edited config.ini).
int validZoom(int percent);
// The level `steps` away from `percent` (negative: smaller), held at the ends.
int steppedZoom(int percent, int steps);
// The index of the level in kZoomLevels; -1 for none.
int zoomIndex(int percent);

// Division rounding toward minus infinity: points left of or above the map (a pointer
// outside the client area during a drag) must not fold onto pixel or cell 0.
std::int64_t floorDiv(std::int64_t a, std::int64_t b);

// A map length or coordinate in screen pixels, rounded down.
std::int64_t mapToView(std::int64_t map, int percent);
// The map pixel that holds view pixel `view` (rounded down, also below 0).
std::int64_t viewToMap(std::int64_t view, int percent);

// The scroll position that keeps the map point under `anchor` (a client coordinate
// along one axis) under it after the zoom changes from `from` to `to`, held within
// [0, content - page] of the new zoom (content: the map's length in map pixels).
int anchoredScroll(int scroll, int anchor, int from, int to, int mapLength, int page);
// The scroll position that puts map coordinate `map` in the middle of `page`, held
// within [0, content - page].
int centredScroll(int map, int percent, int mapLength, int page);

struct ZoomRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    bool operator==(const ZoomRect&) const = default;
};

// What painting a view rectangle takes: the map pixels to compose at map scale, and
// where they land in view pixels once scaled. The source is rounded outward, so the
// destination covers the view rectangle; at every level the destination's edges are
// whole pixels.
struct ZoomBlit {
    ZoomRect map;
    ZoomRect view;
    bool operator==(const ZoomBlit&) const = default;
};
ZoomBlit zoomBlit(const ZoomRect& view, int percent);

} // namespace vexa
