#include "stage/view/map_drag.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(MapDrag, APressBecomesADragOnlyOutsideTheDeadZoneAndStaysOne) {
    MapDrag drag;
    EXPECT_TRUE(drag.idle());
    EXPECT_FALSE(drag.moveTo(50, 50)) << "no press, no drag";
    drag.pressObject(ObjectKind::Banana, 7, 100, 100);
    EXPECT_EQ(drag.heldKind(), ObjectKind::Banana);
    EXPECT_EQ(drag.heldIndex(), 7);
    // The dead zone is -4 .. +3 either way.
    for (const auto& [x, y] : {std::pair{96, 100}, {103, 103}, {100, 96}})
        EXPECT_FALSE(drag.moveTo(x, y)) << x << ", " << y;
    EXPECT_FALSE(drag.moved());
    EXPECT_TRUE(drag.moveTo(104, 100));
    EXPECT_TRUE(drag.moveTo(100, 100)) << "back inside the zone it is still a drag";
    EXPECT_TRUE(drag.moved());
    drag.end();
    EXPECT_TRUE(drag.idle());
    EXPECT_EQ(drag.heldKind(), std::nullopt);
    EXPECT_EQ(drag.heldIndex(), -1);
    EXPECT_FALSE(drag.moved());

    drag.pressEmpty(10, 10);
    EXPECT_FALSE(drag.idle());
    EXPECT_EQ(drag.heldKind(), std::nullopt) << "pressed on the empty map";
    EXPECT_TRUE(drag.moveTo(10, 5));
}

} // namespace
} // namespace vexa
