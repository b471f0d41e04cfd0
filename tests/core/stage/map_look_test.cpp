// The objects' look at the display scale: boxes, labels and the camera's edge bands
// are hit where they are drawn, larger at a larger scale, and the stage's picture
// keeps the sizes of 100%.
#include "bananas/banana_edits.h"
#include "cameras/camera_handles.h"
#include "sprites/sprite_edits.h"
#include "stage/map_look.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

class LookScale : public testing::Test {
protected:
    void TearDown() override { setObjectLookPercent(100); }
};

TEST_F(LookScale, BoxesAndHandlesAreHitAtTheirScaledSize) {
    const SpriteAllocData sprite{100, 200, 0x12, 1};
    const BananaAllocData banana{96, 200};
    const CameraAllocData camera{0, 0, 256, 224};
    struct Case {
        int percent;
        int spriteHalfWidth; // first x right of the box is sprite.x + this
        int bananaHeight;    // first y under the box is banana.y + this
        int cameraBand;      // the left band's width
    };
    for (const Case c : {Case{100, 16, 36, 5}, Case{150, 24, 54, 8}, Case{200, 32, 72, 10}}) {
        SCOPED_TRACE(c.percent);
        setObjectLookPercent(c.percent);
        EXPECT_TRUE(spriteBoxContains(sprite, sprite.x + c.spriteHalfWidth - 1, sprite.y - 1));
        EXPECT_FALSE(spriteBoxContains(sprite, sprite.x + c.spriteHalfWidth, sprite.y - 1));
        EXPECT_TRUE(bananaBoxContains(banana, banana.x, banana.y + c.bananaHeight - 1));
        EXPECT_FALSE(bananaBoxContains(banana, banana.x, banana.y + c.bananaHeight));
        // Halfway down the left edge, below the label.
        EXPECT_EQ(cameraGrabAt(camera, c.cameraBand - 1, 112).mode, CameraDragMode::LeftEdge);
        EXPECT_EQ(cameraGrabAt(camera, c.cameraBand, 112).mode, CameraDragMode::None);
    }
}

TEST_F(LookScale, ScaleStaysWithinWhatCanBeDrawn) {
    for (const auto [asked, kept] : {std::pair{50, 100}, std::pair{125, 125}, std::pair{1000, 400}}) {
        setObjectLookPercent(asked);
        EXPECT_EQ(objectLookPercent(), kept);
    }
}

} // namespace
} // namespace vexa
