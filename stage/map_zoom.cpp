#include "stage/map_zoom.h"

#include <algorithm>

namespace vexa {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

namespace {

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return -floorDiv(-a, b);
}

int clampScroll(std::int64_t wanted, std::int64_t content, int page) {
    const std::int64_t limit = std::max<std::int64_t>(0, content - page);
    return static_cast<int>(std::clamp<std::int64_t>(wanted, 0, limit));
}

} // namespace

int zoomIndex(int percent) {
    const auto* at = std::find(kZoomLevels.begin(), kZoomLevels.end(), percent);
    return at == kZoomLevels.end() ? -1 : static_cast<int>(at - kZoomLevels.begin());
}

int validZoom(int percent) {
    return zoomIndex(percent) < 0 ? kDefaultZoom : percent;
}

int steppedZoom(int percent, int steps) {
    const int last = static_cast<int>(kZoomLevels.size()) - 1;
    const int index = std::clamp(zoomIndex(validZoom(percent)) + steps, 0, last);
    return kZoomLevels[static_cast<std::size_t>(index)];
}

std::int64_t mapToView(std::int64_t map, int percent) {
    return floorDiv(map * percent, 100);
}

std::int64_t viewToMap(std::int64_t view, int percent) {
    return floorDiv(view * 100, percent);
}

int anchoredScroll(int scroll, int anchor, int from, int to, int mapLength, int page) {
    // The anchor's view point scales with the zoom; the pointer stays where it is.
    const std::int64_t view = static_cast<std::int64_t>(scroll) + anchor;
    const std::int64_t scaled = floorDiv(view * to, from);
    return clampScroll(scaled - anchor, mapToView(mapLength, to), page);
}

int centredScroll(int map, int percent, int mapLength, int page) {
    return clampScroll(mapToView(map, percent) - page / 2, mapToView(mapLength, percent), page);
}

ZoomBlit zoomBlit(const ZoomRect& view, int percent) {
    const ZoomRect map{floorDiv(view.left * 100, percent), floorDiv(view.top * 100, percent),
                       ceilDiv(view.right * 100, percent), ceilDiv(view.bottom * 100, percent)};
    return {map,
            {mapToView(map.left, percent), mapToView(map.top, percent), mapToView(map.right, percent),
             mapToView(map.bottom, percent)}};
}

} // namespace vexa
