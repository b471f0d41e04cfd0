// Where a camera can be grabbed on the map: its 5-pixel edge bands, their corners
// and its label box, each resizing or moving it in its own way.
#pragma once

#include "cameras/camera_list.h"

#include <array>
#include <vector>

namespace vexa {

enum class CameraDragMode {
    None = 0,
    Move = 1,
    LeftEdge = 2,
    TopEdge = 3,
    RightEdge = 4,
    BottomEdge = 5,
    TopLeft = 6,
    BottomLeft = 7,
    TopRight = 8,
    BottomRight = 9,
};

// A camera's link arrows as the map draws them, on its right edge (right links) and
// its bottom edge (down links), in map pixels: the tip first. A second link draws two
// arrows either side of the edge's middle.
struct ArrowPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ArrowPoint&, const ArrowPoint&) = default;
};
using LinkArrow = std::array<ArrowPoint, 3>;
std::vector<LinkArrow> cameraLinkArrows(const CameraAllocData& camera);

inline constexpr int kCameraEdgeBand = 5;
inline constexpr int kCameraLabelWidth = 28;
inline constexpr int kCameraLabelHeight = 18;

struct CameraGrab {
    CameraDragMode mode = CameraDragMode::None;
    int grabX = 0;  // pointer minus the grabbed vertical edge (0 when the mode moves none)
    int grabY = 0;  // pointer minus the grabbed horizontal edge
    int startX = 0; // the grabbed edges: where the drag position starts
    int startY = 0;
    int width = 0; // the camera's size when it was grabbed, kept by the move mode
    int height = 0;
};

// The zone of one camera under a map point. The inside of a camera away from its
// bands and its label is no zone, so a camera beneath it can still be grabbed there.
CameraGrab cameraGrabAt(const CameraAllocData& camera, int x, int y);

struct CameraPick {
    int index = -1;
    CameraGrab grab;
};

// The last camera with a zone under the point (drawn on top of the earlier ones).
CameraPick pickCamera(const CameraList& cameras, int x, int y);

// The rectangle a drag shows, with the drag position (x, y) on the grabbed edges.
CameraAllocData draggedCamera(const CameraAllocData& camera, const CameraGrab& grab, int dragX, int dragY);

// The rectangle a drag shows and its drop stores on a map of `mapType`: the dragged
// rectangle held to what the entry's fields can store. A dragged edge or corner stops
// at 0 and at its field's largest value; a moved camera stops whole, keeping its size.
CameraAllocData heldDraggedCamera(const CameraAllocData& camera, const CameraGrab& grab, int dragX, int dragY,
                                  std::uint16_t mapType);

// What drawing a camera touches, in map pixels (right and bottom exclusive): its
// rectangle with the edges in either order, and the label box at its left-top corner.
struct CameraBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
CameraBox cameraDrawnBox(const CameraAllocData& camera);

struct CameraEdges {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
};
CameraEdges edgesMovedBy(CameraDragMode mode);

enum class CameraCursor { None, SizeNwSe, SizeNeSw, SizeWestEast, SizeNorthSouth, SizeAll };
CameraCursor cursorFor(CameraDragMode mode);

} // namespace vexa
