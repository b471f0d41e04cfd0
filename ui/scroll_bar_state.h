// The arithmetic of a window's scroll bar, kept apart from the bar itself: each
// operation changes the record and says what the Win32 side must send to the bar and
// whether the owner's scrolled() is to be called.
#pragma once

#include <cstdint>

namespace vexa {

// Request codes of the platform's scroll messages (low 16 bits of the request).
inline constexpr int kScrollLineUp = 0;
inline constexpr int kScrollLineDown = 1;
inline constexpr int kScrollPageUp = 2;
inline constexpr int kScrollPageDown = 3;
inline constexpr int kScrollThumbPosition = 4;
inline constexpr int kScrollThumbTrack = 5;
inline constexpr int kScrollTop = 6;
inline constexpr int kScrollBottom = 7;
inline constexpr int kScrollEndScroll = 8;

// Which fields of the record an update sends to the bar.
inline constexpr unsigned kScrollFieldRange = 1;
inline constexpr unsigned kScrollFieldPage = 2;
inline constexpr unsigned kScrollFieldPosition = 4;

struct ScrollBarState {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t page = 0;
    std::int32_t position = 0;
    std::int32_t lineStep = 1;
    bool disableNoScroll = true; // keep an unneeded bar visible but disabled
    bool redrawBar = true;
};

// An update is sent (fields != 0) and scrolled() called (notify) even when nothing
// moved: the owner repaints on every notification.
struct ScrollUpdate {
    unsigned fields = 0;
    bool notify = false;
    // The arguments of scrolled(new position, new page, old position, old page).
    std::int32_t position = 0;
    std::int32_t page = 0;
    std::int32_t oldPosition = 0;
    std::int32_t oldPage = 0;
    bool operator==(const ScrollUpdate&) const = default;
};

// Minimum 0, maximum as given; the position is left alone.
ScrollUpdate setRange(ScrollBarState& bar, std::int32_t maximum);
ScrollUpdate setPage(ScrollBarState& bar, std::int32_t page);
// Sets the position as given, without notification.
ScrollUpdate setPosition(ScrollBarState& bar, std::int32_t position);
// Sets the position held to the range as it stands (from the minimum to maximum + 1
// - page), without notification: a position kept from another content.
ScrollUpdate setPositionInRange(ScrollBarState& bar, std::int32_t position);
// Range (minimum 0), page and position at once, without notification: a new content.
ScrollUpdate setAll(ScrollBarState& bar, std::int32_t maximum, std::int32_t page, std::int32_t position);
// The window changed size: a bar scrolled to its end stays at the end, so the
// position moves back to maximum + 1 - page (not below the minimum) when past it.
ScrollUpdate resizePage(ScrollBarState& bar, std::int32_t page);
// A scroll message. Line, page, thumb tracking, top and bottom move; thumb position
// (the release) and end of scroll change nothing and notify nobody.
ScrollUpdate onScroll(ScrollBarState& bar, int code, std::int32_t thumbPosition);
// The raw request of the message (the code in its low 16 bits) with the bar's own
// track position: the message's high 16 bits cannot hold a thumb past 65,535, which a
// zoomed map's range passes.
ScrollUpdate onScrollRequest(ScrollBarState& bar, std::uint32_t request, std::int32_t trackPosition);
ScrollUpdate scrollBy(ScrollBarState& bar, std::int32_t delta);

// Wheel messages carry any part of a notch: a precision touchpad sends many small
// ones. The parts add up until they make whole notches; turning the other way drops
// what was left over from the last direction.
class WheelNotches {
public:
    static constexpr int kNotch = 120;
    // The whole notches (positive away from the user) that `delta` completes.
    int add(int delta);
    void reset() { rest_ = 0; }

private:
    int rest_ = 0;
};

// Middle-button panning: the step per timer tick for a cursor d pixels away from the
// start point, d * (|d| + 32) / 1024 truncated toward zero, so speed grows with the
// square of the distance.
std::int32_t panScrollStep(std::int32_t distance);

} // namespace vexa
