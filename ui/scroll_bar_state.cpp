#include "ui/scroll_bar_state.h"

#include <algorithm>
#include <cstdlib>

namespace vexa {

namespace {

// The range arithmetic is done in 64 bits: maximum + 1 - page must not overflow for
// any values the record can hold.
std::int32_t clampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int64_t lastTopPosition(const ScrollBarState& bar) {
    return static_cast<std::int64_t>(bar.maximum) + 1 - bar.page;
}

ScrollUpdate moveTo(ScrollBarState& bar, std::int64_t wanted) {
    const std::int32_t old = bar.position;
    bar.position = clampToInt32(std::max<std::int64_t>(std::min(wanted, lastTopPosition(bar)), bar.minimum));
    return {kScrollFieldPosition, true, bar.position, bar.page, old, bar.page};
}

} // namespace

ScrollUpdate setRange(ScrollBarState& bar, std::int32_t maximum) {
    bar.minimum = 0;
    bar.maximum = maximum;
    return {kScrollFieldRange, false, bar.position, bar.page, bar.position, bar.page};
}

ScrollUpdate setPage(ScrollBarState& bar, std::int32_t page) {
    bar.page = page;
    return {kScrollFieldPage, false, bar.position, bar.page, bar.position, bar.page};
}

ScrollUpdate setPosition(ScrollBarState& bar, std::int32_t position) {
    bar.position = position;
    return {kScrollFieldPosition, false, bar.position, bar.page, bar.position, bar.page};
}

ScrollUpdate setPositionInRange(ScrollBarState& bar, std::int32_t position) {
    const std::int64_t limit = std::max<std::int64_t>(lastTopPosition(bar), bar.minimum);
    return setPosition(bar, clampToInt32(std::clamp<std::int64_t>(position, bar.minimum, limit)));
}

ScrollUpdate setAll(ScrollBarState& bar, std::int32_t maximum, std::int32_t page, std::int32_t position) {
    setRange(bar, maximum);
    setPage(bar, page);
    setPosition(bar, position);
    return {kScrollFieldRange | kScrollFieldPage | kScrollFieldPosition, false, position, page, position, page};
}

ScrollUpdate resizePage(ScrollBarState& bar, std::int32_t page) {
    const std::int32_t oldPosition = bar.position;
    const std::int32_t oldPage = bar.page;
    bar.page = page;
    unsigned fields = kScrollFieldPage;
    const std::int64_t limit = lastTopPosition(bar);
    if (limit < bar.position) {
        bar.position = clampToInt32(std::max<std::int64_t>(limit, bar.minimum));
        fields |= kScrollFieldPosition;
    }
    return {fields, true, bar.position, bar.page, oldPosition, oldPage};
}

ScrollUpdate onScroll(ScrollBarState& bar, int code, std::int32_t thumbPosition) {
    const std::int64_t old = bar.position;
    switch (code) {
    case kScrollLineUp: return moveTo(bar, old - bar.lineStep);
    case kScrollLineDown: return moveTo(bar, old + bar.lineStep);
    case kScrollPageUp: return moveTo(bar, old - bar.page);
    case kScrollPageDown: return moveTo(bar, old + bar.page);
    case kScrollThumbTrack: return moveTo(bar, thumbPosition);
    case kScrollTop: return moveTo(bar, bar.minimum);
    case kScrollBottom: return moveTo(bar, lastTopPosition(bar));
    default: return {0, false, bar.position, bar.page, bar.position, bar.page};
    }
}

ScrollUpdate onScrollRequest(ScrollBarState& bar, std::uint32_t request, std::int32_t trackPosition) {
    return onScroll(bar, static_cast<int>(request & 0xFFFF), trackPosition);
}

ScrollUpdate scrollBy(ScrollBarState& bar, std::int32_t delta) {
    return moveTo(bar, static_cast<std::int64_t>(bar.position) + delta);
}

int WheelNotches::add(int delta) {
    if ((delta < 0 && rest_ > 0) || (delta > 0 && rest_ < 0)) rest_ = 0;
    const std::int64_t total = static_cast<std::int64_t>(rest_) + delta;
    rest_ = static_cast<int>(total % kNotch);
    return static_cast<int>(total / kNotch);
}

std::int32_t panScrollStep(std::int32_t distance) {
    const std::int64_t d = distance;
    return clampToInt32(d * (std::llabs(d) + 32) / 1024);
}

} // namespace vexa
