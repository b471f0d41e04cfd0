#include "ui/scroll_bar_state.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

// A bar over 0..999 showing 100 at a time: the last top position is 900.
ScrollBarState bar(std::int32_t position, std::int32_t lineStep = 1) {
    ScrollBarState state;
    setRange(state, 999);
    setPage(state, 100);
    setPosition(state, position);
    state.lineStep = lineStep;
    return state;
}

TEST(ScrollBarState, SettersUpdateOneFieldWithoutNotifying) {
    ScrollBarState state;
    state.minimum = 5;
    EXPECT_EQ(setRange(state, 999), (ScrollUpdate{kScrollFieldRange, false, 0, 0, 0, 0}));
    EXPECT_EQ(state.minimum, 0);
    EXPECT_EQ(setPage(state, 100).fields, kScrollFieldPage);
    const auto update = setPosition(state, 5000);
    EXPECT_EQ(update.fields, kScrollFieldPosition);
    EXPECT_FALSE(update.notify);
    EXPECT_EQ(state.position, 5000) << "taken as given";
}

TEST(ScrollBarState, PositionInRangeIsHeldBetweenTheEndsWithoutNotifying) {
    auto state = bar(0);
    EXPECT_EQ(setPositionInRange(state, 5000), (ScrollUpdate{kScrollFieldPosition, false, 900, 100, 900, 100}));
    EXPECT_EQ(setPositionInRange(state, -7).position, 0);
    EXPECT_EQ(setPositionInRange(state, 450).position, 450);
    setPage(state, 5000);
    EXPECT_EQ(setPositionInRange(state, 450).position, 0) << "a page larger than the range";
}

TEST(ScrollBarState, ResizePageAtTheEndKeepsThePageAtTheEnd) {
    auto state = bar(900);
    EXPECT_EQ(resizePage(state, 300),
              (ScrollUpdate{kScrollFieldPage | kScrollFieldPosition, true, 700, 300, 900, 100}));
    EXPECT_EQ(state.position, 700);

    EXPECT_EQ(resizePage(state, 2000), (ScrollUpdate{kScrollFieldPage | kScrollFieldPosition, true, 0, 2000, 700, 300}))
        << "a page larger than the range puts the position at the minimum";
}

TEST(ScrollBarState, ResizePageInsideTheRangeOnlyNotifies) {
    auto state = bar(200);
    EXPECT_EQ(resizePage(state, 50), (ScrollUpdate{kScrollFieldPage, true, 200, 50, 200, 100}));
    EXPECT_EQ(resizePage(state, 800), (ScrollUpdate{kScrollFieldPage, true, 200, 800, 200, 50})) << "200 is the limit";
}

TEST(ScrollBarState, LineAndPageRequestsMoveWithinTheRange) {
    auto state = bar(50, 32);
    EXPECT_EQ(onScroll(state, kScrollLineDown, 0), (ScrollUpdate{kScrollFieldPosition, true, 82, 100, 50, 100}));
    EXPECT_EQ(onScroll(state, kScrollLineUp, 0).position, 50);
    EXPECT_EQ(onScroll(state, kScrollPageUp, 0).position, 0);
    EXPECT_EQ(onScroll(state, kScrollPageDown, 0).position, 100);
    EXPECT_EQ(onScroll(state, kScrollBottom, 0).position, 900);
    const auto atEnd = onScroll(state, kScrollPageDown, 0);
    EXPECT_EQ(atEnd, (ScrollUpdate{kScrollFieldPosition, true, 900, 100, 900, 100})) << "notified without a move";
    EXPECT_EQ(onScroll(state, kScrollTop, 0).position, 0);
}

TEST(ScrollBarState, ThumbTrackingTakesTheBarsThirtyTwoBitTrackPosition) {
    // A 1,024-cell stage at 300%: 98,304 pixels.
    ScrollBarState state;
    setRange(state, 98303);
    setPage(state, 600);
    EXPECT_EQ(onScrollRequest(state, (40000u << 16) | kScrollThumbTrack, 40000).position, 40000);
    EXPECT_EQ(onScrollRequest(state, ((90000u & 0xFFFF) << 16) | kScrollThumbTrack, 90000).position, 90000)
        << "the request's high 16 bits are the position wrapped";
    EXPECT_EQ(onScrollRequest(state, kScrollThumbTrack, 99999).position, 97704);
    EXPECT_EQ(onScrollRequest(state, kScrollLineUp, 5).position, 97703) << "only tracking reads the thumb";
    auto small = bar(0);
    EXPECT_EQ(onScroll(small, kScrollThumbTrack, 950).position, 900);
    EXPECT_EQ(onScroll(small, kScrollThumbTrack, -20).position, 0);
}

TEST(ScrollBarState, ThumbReleaseEndOfScrollAndUnknownCodesChangeNothing) {
    auto state = bar(300);
    for (int code : {kScrollThumbPosition, kScrollEndScroll, 9, 0x7FFF}) {
        const auto update = onScroll(state, code, 700);
        EXPECT_EQ(update.fields, 0u) << code;
        EXPECT_FALSE(update.notify) << code;
        EXPECT_EQ(state.position, 300) << code;
    }
}

TEST(ScrollBarState, RangeSmallerThanThePageHoldsThePositionAtTheMinimum) {
    auto state = bar(0);
    setPage(state, 5000);
    EXPECT_EQ(onScroll(state, kScrollBottom, 0).position, 0);
    EXPECT_EQ(onScroll(state, kScrollLineDown, 0).position, 0);
    EXPECT_EQ(scrollBy(state, 40).position, 0);
}

TEST(ScrollBarState, ScrollByStopsAtBothEnds) {
    auto state = bar(890);
    EXPECT_EQ(scrollBy(state, 12), (ScrollUpdate{kScrollFieldPosition, true, 900, 100, 890, 100}));
    EXPECT_EQ(scrollBy(state, -1000).position, 0);
    EXPECT_EQ(scrollBy(state, -5), (ScrollUpdate{kScrollFieldPosition, true, 0, 100, 0, 100}));
    EXPECT_EQ(scrollBy(state, 0x7FFFFFFF).position, 900) << "no overflow past the end";
    state.maximum = 0x7FFFFFFF;
    state.page = 0;
    EXPECT_EQ(scrollBy(state, 0x7FFFFFFF).position, 0x7FFFFFFF);
}

TEST(WheelNotches, PartsAddUpToWholeNotchesAndATurnDropsTheRest) {
    WheelNotches wheel;
    EXPECT_EQ(wheel.add(-360), -3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(wheel.add(30), 0) << i;
    EXPECT_EQ(wheel.add(30), 1);
    EXPECT_EQ(wheel.add(100), 0);
    EXPECT_EQ(wheel.add(-100), 0) << "the 100 up are dropped, not set against";
    EXPECT_EQ(wheel.add(-20), -1);
    EXPECT_EQ(wheel.add(250), 2);
    wheel.reset();
    EXPECT_EQ(wheel.add(110), 0);
    EXPECT_EQ(wheel.add(-32768), -273);
}

TEST(ScrollBarState, PanStepGrowsWithTheSquareOfTheDistance) {
    EXPECT_EQ(panScrollStep(0), 0);
    EXPECT_EQ(panScrollStep(5), 0);
    EXPECT_EQ(panScrollStep(32), 2);
    EXPECT_EQ(panScrollStep(100), 12);
    EXPECT_EQ(panScrollStep(-32), -2);
    EXPECT_EQ(panScrollStep(-100), -12) << "truncated toward zero, not down";
    EXPECT_EQ(panScrollStep(-17), 0);
    EXPECT_EQ(panScrollStep(1000), 1007);
}

} // namespace
} // namespace vexa
