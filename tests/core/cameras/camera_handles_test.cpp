#include "cameras/camera_handles.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

const CameraAllocData kCamera{100, 200, 400, 500};

CameraDragMode modeAt(int x, int y) {
    return cameraGrabAt(kCamera, x, y).mode;
}

TEST(CameraHandles, CornersBandsAndLabelGiveTheirModes) {
    EXPECT_EQ(modeAt(103, 202), CameraDragMode::TopLeft);
    EXPECT_EQ(modeAt(100, 499), CameraDragMode::BottomLeft);
    EXPECT_EQ(modeAt(399, 200), CameraDragMode::TopRight);
    EXPECT_EQ(modeAt(395, 495), CameraDragMode::BottomRight);
    EXPECT_EQ(modeAt(104, 300), CameraDragMode::LeftEdge);
    EXPECT_EQ(modeAt(396, 300), CameraDragMode::RightEdge);
    EXPECT_EQ(modeAt(300, 204), CameraDragMode::TopEdge);
    EXPECT_EQ(modeAt(300, 495), CameraDragMode::BottomEdge);
    EXPECT_EQ(modeAt(127, 217), CameraDragMode::Move);
    EXPECT_EQ(modeAt(105, 205), CameraDragMode::Move) << "the label lies inside the bands";
}

TEST(CameraHandles, OutsideTheZonesIsNoHit) {
    EXPECT_EQ(modeAt(250, 350), CameraDragMode::None) << "the middle";
    EXPECT_EQ(modeAt(128, 210), CameraDragMode::None) << "right of the label";
    EXPECT_EQ(modeAt(105, 218), CameraDragMode::None) << "below the label";
    EXPECT_EQ(modeAt(99, 300), CameraDragMode::None);
    EXPECT_EQ(modeAt(400, 300), CameraDragMode::None) << "Right is exclusive";
    EXPECT_EQ(modeAt(300, 500), CameraDragMode::None) << "Bottom is exclusive";
    EXPECT_EQ(modeAt(394, 300), CameraDragMode::None);
}

TEST(CameraHandles, GrabOffsetsAreTakenFromTheGrabbedEdges) {
    const CameraGrab topLeft = cameraGrabAt(kCamera, 103, 202);
    EXPECT_EQ(topLeft.grabX, 3);
    EXPECT_EQ(topLeft.grabY, 2);
    EXPECT_EQ(topLeft.startX, 100);
    EXPECT_EQ(topLeft.startY, 200);

    const CameraGrab bottomRight = cameraGrabAt(kCamera, 397, 496);
    EXPECT_EQ(bottomRight.grabX, -3);
    EXPECT_EQ(bottomRight.grabY, -4);
    EXPECT_EQ(bottomRight.startX, 400);
    EXPECT_EQ(bottomRight.startY, 500);

    const CameraGrab bottom = cameraGrabAt(kCamera, 300, 497);
    EXPECT_EQ(bottom.grabY, -3);
    EXPECT_EQ(bottom.startY, 500);

    const CameraGrab move = cameraGrabAt(kCamera, 110, 210);
    EXPECT_EQ(move.grabX, 10);
    EXPECT_EQ(move.grabY, 10);
    EXPECT_EQ(move.width, 300);
    EXPECT_EQ(move.height, 300);
}

TEST(CameraHandles, PickingPrefersLaterCamerasButFallsThroughTheirMiddle) {
    const CameraList cameras = {{0, 0, 256, 224}, {0, 0, 1024, 1024}, {200, 100, 600, 300}};
    const CameraPick label = pickCamera(cameras, 10, 10);
    EXPECT_EQ(label.index, 1) << "the large camera's label covers the first one's";
    EXPECT_EQ(label.grab.mode, CameraDragMode::Move);

    const CameraPick beneath = pickCamera(cameras, 254, 150);
    EXPECT_EQ(beneath.index, 0) << "the middle of camera 1 is no zone; camera 0's right band is";
    EXPECT_EQ(beneath.grab.mode, CameraDragMode::RightEdge);

    EXPECT_EQ(pickCamera(cameras, 500, 700).index, -1);
    EXPECT_EQ(pickCamera(cameras, 220, 110).index, 2);
}

// Every edge of kCamera moves when dragged to (136, 260), so the fields the page fills
// in (edgesMovedBy) must be exactly the edges that changed.
TEST(CameraHandles, DragModesChangeOnlyTheirEdges) {
    const struct {
        int x, y; // where the camera is grabbed
        CameraAllocData dragged;
    } cases[] = {
        {104, 300, {136, 200, 400, 500}}, // left edge
        {396, 300, {100, 200, 136, 500}}, // right edge
        {300, 204, {100, 260, 400, 500}}, // top edge
        {300, 495, {100, 200, 400, 260}}, // bottom edge
        {103, 202, {136, 260, 400, 500}}, // top left
        {399, 200, {100, 260, 136, 500}}, // top right
        {100, 499, {136, 200, 400, 260}}, // bottom left
        {395, 495, {100, 200, 136, 260}}, // bottom right
        {127, 217, {136, 260, 436, 560}}, // the label moves it whole
        {250, 350, kCamera},              // no zone
    };
    for (const auto& c : cases) {
        const CameraGrab grab = cameraGrabAt(kCamera, c.x, c.y);
        SCOPED_TRACE(static_cast<int>(grab.mode));
        const CameraAllocData dragged = draggedCamera(kCamera, grab, 136, 260);
        EXPECT_EQ(dragged, c.dragged);
        const CameraEdges edges = edgesMovedBy(grab.mode);
        EXPECT_EQ(edges.left, dragged.left != kCamera.left);
        EXPECT_EQ(edges.top, dragged.top != kCamera.top);
        EXPECT_EQ(edges.right, dragged.right != kCamera.right);
        EXPECT_EQ(edges.bottom, dragged.bottom != kCamera.bottom);
    }
}

// Tips on the right and bottom edges, pointing out; a second link has two arrows
// either side of the edge's middle.
TEST(CameraHandles, LinkArrowsSitOnTheirEdges) {
    CameraAllocData camera = kCamera;
    EXPECT_TRUE(cameraLinkArrows(camera).empty());
    camera.rightLink = camera.downLink = true;
    EXPECT_EQ(cameraLinkArrows(camera),
              (std::vector<LinkArrow>{{{{400, 350}, {394, 344}, {394, 356}}}, {{{250, 500}, {244, 494}, {256, 494}}}}));
    camera.rightLink = camera.downLink = false;
    camera.rightLink2 = camera.downLink2 = true;
    EXPECT_EQ(cameraLinkArrows(camera), (std::vector<LinkArrow>{{{{400, 340}, {394, 334}, {394, 346}}},
                                                                {{{400, 360}, {394, 354}, {394, 366}}},
                                                                {{{240, 500}, {234, 494}, {246, 494}}},
                                                                {{{260, 500}, {254, 494}, {266, 494}}}}));
}

// kCamera's tile values fit every layout; map type 0 keeps edges at 0 .. 16376
// (left) and 8 .. 16384 (right), 0 .. 504 and 8 .. 512 vertically.
TEST(CameraHandles, DragsStopAtZeroAndAtTheLargestValueOfTheField) {
    const CameraAllocData camera{96, 200, 400, 496};
    const CameraGrab left = cameraGrabAt(camera, 97, 300);
    EXPECT_EQ(heldDraggedCamera(camera, left, -8, 0, 0), (CameraAllocData{0, 200, 400, 496}));
    const CameraGrab bottomRight = cameraGrabAt(camera, 398, 494);
    EXPECT_EQ(heldDraggedCamera(camera, bottomRight, 20000, 900, 0), (CameraAllocData{96, 200, 16384, 512}));
    // A moved camera stops whole at the edges, in a corner layout and in a size layout.
    const CameraGrab move = cameraGrabAt(camera, 106, 210);
    EXPECT_EQ(heldDraggedCamera(camera, move, -40, -16, 0), (CameraAllocData{0, 0, 304, 296}));
    EXPECT_EQ(heldDraggedCamera(camera, move, 16376, 504, 0), (CameraAllocData{16080, 216, 16384, 512}));
    const CameraAllocData wide{96, 200, 400, 496};
    EXPECT_EQ(heldDraggedCamera(wide, move, -40, -16, 6), (CameraAllocData{0, 0, 304, 296}));
    // Within the limits nothing changes.
    EXPECT_EQ(heldDraggedCamera(camera, move, 48, 56, 0), draggedCamera(camera, move, 48, 56));
}

TEST(CameraHandles, DrawnBoxTakesReversedEdgesAndTheLabel) {
    const struct {
        CameraAllocData camera;
        CameraBox box;
    } cases[] = {
        {{100, 200, 400, 500}, {99, 199, 401, 501}},
        {{400, 500, 100, 200}, {99, 199, 429, 519}}, // reversed: the label sits at the stored left-top
        {{100, 200, 110, 205}, {99, 199, 129, 219}}, // smaller than its label
    };
    for (const auto& c : cases) {
        const CameraBox box = cameraDrawnBox(c.camera);
        EXPECT_EQ(box.left, c.box.left);
        EXPECT_EQ(box.top, c.box.top);
        EXPECT_EQ(box.right, c.box.right);
        EXPECT_EQ(box.bottom, c.box.bottom);
    }
}

TEST(CameraHandles, EachModeHasItsCursor) {
    EXPECT_EQ(cursorFor(CameraDragMode::TopLeft), CameraCursor::SizeNwSe);
    EXPECT_EQ(cursorFor(CameraDragMode::BottomRight), CameraCursor::SizeNwSe);
    EXPECT_EQ(cursorFor(CameraDragMode::BottomLeft), CameraCursor::SizeNeSw);
    EXPECT_EQ(cursorFor(CameraDragMode::TopRight), CameraCursor::SizeNeSw);
    EXPECT_EQ(cursorFor(CameraDragMode::LeftEdge), CameraCursor::SizeWestEast);
    EXPECT_EQ(cursorFor(CameraDragMode::BottomEdge), CameraCursor::SizeNorthSouth);
    EXPECT_EQ(cursorFor(CameraDragMode::Move), CameraCursor::SizeAll);
    EXPECT_EQ(cursorFor(CameraDragMode::None), CameraCursor::None);
}

} // namespace
} // namespace vexa
