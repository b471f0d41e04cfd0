#include "stage/map_zoom.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vexa {
namespace {

TEST(MapZoom, OnlyTheLevelsAreValidAndSteppingStopsAtTheEnds) {
    for (const int level : kZoomLevels)
        EXPECT_EQ(validZoom(level), level);
    for (const int odd : {0, -100, 75, 150, 400, 10000})
        EXPECT_EQ(validZoom(odd), 100) << odd;

    struct Step {
        int from, steps, to;
    };
    for (const Step s : {Step{50, -1, 50},
                         {50, 1, 100},
                         {100, -1, 50},
                         {100, 1, 200},
                         {200, 2, 300},
                         {300, 1, 300},
                         {300, -3, 50},
                         {75, 1, 200},
                         {75, -1, 50}})
        EXPECT_EQ(steppedZoom(s.from, s.steps), s.to) << s.from << " by " << s.steps;
}

TEST(MapZoom, ViewAndMapPixelsRoundDownAlsoLeftOfTheMap) {
    struct Case {
        std::int64_t view;
        int percent;
        std::int64_t map;
    };
    for (const Case c : {Case{0, 50, 0},
                         {1, 50, 2},
                         {-1, 50, -2},
                         {5, 300, 1},
                         {2, 300, 0},
                         {-1, 300, -1},
                         {-3, 300, -1},
                         {-4, 300, -2},
                         {199, 200, 99},
                         {-1, 200, -1},
                         {640, 100, 640}})
        EXPECT_EQ(viewToMap(c.view, c.percent), c.map) << c.view << " at " << c.percent;
    EXPECT_EQ(mapToView(1280, 50), 640);
    EXPECT_EQ(mapToView(1280, 300), 3840);
    EXPECT_EQ(mapToView(101, 50), 50);
    EXPECT_EQ(mapToView(-1, 50), -1);
}

TEST(MapZoom, ZoomingKeepsTheMapPointUnderTheAnchorUnlessTheMapEndsFirst) {
    // A 40-cell (1280-pixel) map in a 640-pixel page.
    struct Case {
        int scroll, anchor, from, to, expected;
    };
    for (const Case c : {Case{0, 100, 100, 300, 200}, // map 100 under x 100: view 300
                         {200, 100, 300, 100, 0},     // and back
                         {100, 320, 100, 200, 520},   // centre of the page
                         {300, 10, 200, 100, 145},    // view 310 at 200% -> 155
                         {0, 0, 100, 300, 0},         // the corner stays the corner
                         {600, 600, 100, 50, 0},      // 1280 wide at 50% fits the page
                         {640, 600, 100, 200, 1880},  // near the end at 200%
                         {3200, 0, 300, 100, 640},    // held at content - page
                         {1000, 50, 300, 300, 1000}}) // no change
        EXPECT_EQ(anchoredScroll(c.scroll, c.anchor, c.from, c.to, 1280, 640), c.expected)
            << c.scroll << "+" << c.anchor << " " << c.from << "->" << c.to;

    // Wherever nothing holds it, the map pixel under the anchor is the same after, as
    // near as the new zoom can show it: at 50% one view pixel covers two map pixels.
    for (const int from : kZoomLevels)
        for (const int to : kZoomLevels)
            for (const int anchor : {0, 1, 2, 317, 639}) {
                const int scroll = static_cast<int>(mapToView(4000, from));
                const int after = anchoredScroll(scroll, anchor, from, to, 100000, 640);
                const std::int64_t drift = viewToMap(scroll + anchor, from) - viewToMap(after + anchor, to);
                EXPECT_TRUE(drift >= 0 && drift < std::max(1, 100 / to)) << from << "->" << to << " at " << anchor;
            }
}

TEST(MapZoom, CentringIsInViewPixelsAndHeldWithinTheMap) {
    EXPECT_EQ(centredScroll(1200, 100, 1280, 640), 640);
    EXPECT_EQ(centredScroll(600, 100, 1280, 640), 280);
    EXPECT_EQ(centredScroll(600, 300, 1280, 640), 1480);
    EXPECT_EQ(centredScroll(1200, 300, 1280, 640), 3840 - 640);
    EXPECT_EQ(centredScroll(100, 300, 1280, 640), 0);
    EXPECT_EQ(centredScroll(1200, 50, 1280, 640), 0) << "the whole map fits";
}

TEST(MapZoom, ThePaintedRectangleIsComposedRoundedOutwardAndScaledToWholePixels) {
    EXPECT_EQ(zoomBlit({5, 5, 11, 11}, 300), (ZoomBlit{{1, 1, 4, 4}, {3, 3, 12, 12}}));
    EXPECT_EQ(zoomBlit({5, 7, 11, 13}, 50), (ZoomBlit{{10, 14, 22, 26}, {5, 7, 11, 13}}));
    EXPECT_EQ(zoomBlit({0, 0, 640, 480}, 100), (ZoomBlit{{0, 0, 640, 480}, {0, 0, 640, 480}}));
    EXPECT_EQ(zoomBlit({1, 0, 3, 1}, 200), (ZoomBlit{{0, 0, 2, 1}, {0, 0, 4, 2}}));

    for (const int percent : kZoomLevels)
        for (const ZoomRect view : {ZoomRect{0, 0, 1, 1}, {1, 2, 3, 5}, {97, 31, 737, 511}, {3839, 0, 3840, 383}}) {
            const ZoomBlit blit = zoomBlit(view, percent);
            EXPECT_LE(blit.view.left, view.left);
            EXPECT_LE(blit.view.top, view.top);
            EXPECT_GE(blit.view.right, view.right);
            EXPECT_GE(blit.view.bottom, view.bottom);
            // One exact scale: the stretch maps map pixels onto whole view pixels.
            EXPECT_EQ((blit.map.right - blit.map.left) * percent, (blit.view.right - blit.view.left) * 100);
            EXPECT_EQ((blit.map.bottom - blit.map.top) * percent, (blit.view.bottom - blit.view.top) * 100);
        }
}

} // namespace
} // namespace vexa
