#include "cameras/camera_handles.h"

#include "stage/map_look.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace vexa {

std::vector<LinkArrow> cameraLinkArrows(const CameraAllocData& camera) {
    const int r = camera.right;
    const int b = camera.bottom;
    const int middleY = (camera.top + b) / 2;
    const int middleX = (camera.left + r) / 2;
    constexpr int kSize = kCameraArrowSize;
    std::vector<LinkArrow> arrows;
    const auto right = [&](int y) { arrows.push_back({{{r, y}, {r - kSize, y - kSize}, {r - kSize, y + kSize}}}); };
    const auto down = [&](int x) { arrows.push_back({{{x, b}, {x - kSize, b - kSize}, {x + kSize, b - kSize}}}); };
    if (camera.rightLink) right(middleY);
    if (camera.rightLink2) {
        right(middleY - kCameraSecondArrowShift);
        right(middleY + kCameraSecondArrowShift);
    }
    if (camera.downLink) down(middleX);
    if (camera.downLink2) {
        down(middleX - kCameraSecondArrowShift);
        down(middleX + kCameraSecondArrowShift);
    }
    return arrows;
}

CameraGrab cameraGrabAt(const CameraAllocData& c, int x, int y) {
    const bool inY = c.top <= y && y < c.bottom;
    const bool inX = c.left <= x && x < c.right;
    const bool leftBand = inY && c.left <= x && x < c.left + looked(kCameraEdgeBand);
    const bool rightBand = inY && c.right - looked(kCameraEdgeBand) <= x && x < c.right;
    const bool topBand = inX && c.top <= y && y < c.top + looked(kCameraEdgeBand);
    const bool bottomBand = inX && c.bottom - looked(kCameraEdgeBand) <= y && y < c.bottom;
    const bool label =
        c.left <= x && x < c.left + looked(kCameraLabelWidth) && c.top <= y && y < c.top + looked(kCameraLabelHeight);

    CameraGrab grab;
    grab.startX = c.left;
    grab.startY = c.top;
    // A mode holds one vertical edge, one horizontal edge, or both.
    auto hold = [&](CameraDragMode mode, std::optional<int> edgeX, std::optional<int> edgeY) {
        grab.mode = mode;
        if (edgeX) {
            grab.grabX = x - *edgeX;
            grab.startX = *edgeX;
        }
        if (edgeY) {
            grab.grabY = y - *edgeY;
            grab.startY = *edgeY;
        }
        return grab;
    };
    if (leftBand) {
        if (topBand) return hold(CameraDragMode::TopLeft, c.left, c.top);
        if (bottomBand) return hold(CameraDragMode::BottomLeft, c.left, c.bottom);
        return hold(CameraDragMode::LeftEdge, c.left, std::nullopt);
    }
    if (rightBand) {
        if (topBand) return hold(CameraDragMode::TopRight, c.right, c.top);
        if (bottomBand) return hold(CameraDragMode::BottomRight, c.right, c.bottom);
        return hold(CameraDragMode::RightEdge, c.right, std::nullopt);
    }
    if (topBand) return hold(CameraDragMode::TopEdge, std::nullopt, c.top);
    if (bottomBand) return hold(CameraDragMode::BottomEdge, std::nullopt, c.bottom);
    if (label) {
        grab.width = c.right - c.left;
        grab.height = c.bottom - c.top;
        return hold(CameraDragMode::Move, c.left, c.top);
    }
    return {};
}

CameraPick pickCamera(const CameraList& cameras, int x, int y) {
    int index = static_cast<int>(cameras.size());
    for (auto it = cameras.rbegin(); it != cameras.rend(); ++it) {
        --index;
        const CameraGrab grab = cameraGrabAt(*it, x, y);
        if (grab.mode != CameraDragMode::None) return {index, grab};
    }
    return {};
}

CameraEdges edgesMovedBy(CameraDragMode mode) {
    switch (mode) {
    case CameraDragMode::None: return {};
    case CameraDragMode::Move: return {true, true, true, true};
    case CameraDragMode::LeftEdge: return {true, false, false, false};
    case CameraDragMode::TopEdge: return {false, true, false, false};
    case CameraDragMode::RightEdge: return {false, false, true, false};
    case CameraDragMode::BottomEdge: return {false, false, false, true};
    case CameraDragMode::TopLeft: return {true, true, false, false};
    case CameraDragMode::BottomLeft: return {true, false, false, true};
    case CameraDragMode::TopRight: return {false, true, true, false};
    case CameraDragMode::BottomRight: return {false, false, true, true};
    }
    return {};
}

CameraAllocData draggedCamera(const CameraAllocData& camera, const CameraGrab& grab, int dragX, int dragY) {
    CameraAllocData dragged = camera;
    if (grab.mode == CameraDragMode::Move) {
        dragged.left = dragX;
        dragged.top = dragY;
        dragged.right = dragX + grab.width;
        dragged.bottom = dragY + grab.height;
        return dragged;
    }
    const CameraEdges edges = edgesMovedBy(grab.mode);
    if (edges.left) dragged.left = dragX;
    if (edges.right) dragged.right = dragX;
    if (edges.top) dragged.top = dragY;
    if (edges.bottom) dragged.bottom = dragY;
    return dragged;
}

CameraBox cameraDrawnBox(const CameraAllocData& camera) {
    // One pixel around for the frame's pen, which a reversed rectangle draws outside.
    return {std::min(camera.left, camera.right) - 1, std::min(camera.top, camera.bottom) - 1,
            std::max({camera.left, camera.right, camera.left + looked(kCameraLabelWidth)}) + 1,
            std::max({camera.top, camera.bottom, camera.top + looked(kCameraLabelHeight)}) + 1};
}

CameraAllocData heldDraggedCamera(const CameraAllocData& camera, const CameraGrab& grab, int dragX, int dragY,
                                  std::uint16_t mapType) {
    auto held = [&](int x, int y) {
        CameraAllocData rectangle = draggedCamera(camera, grab, x, y);
        maskCameraRectangle(rectangle, mapType);
        return rectangle;
    };
    CameraAllocData shown = held(dragX, dragY);
    if (grab.mode != CameraDragMode::Move) return shown;
    // Holding cuts the edge that passed a limit; the move is taken back by as much, so
    // the whole camera stops there instead of shrinking.
    const CameraAllocData dragged = draggedCamera(camera, grab, dragX, dragY);
    const int dx = shown.left != dragged.left ? shown.left - dragged.left : shown.right - dragged.right;
    const int dy = shown.top != dragged.top ? shown.top - dragged.top : shown.bottom - dragged.bottom;
    return dx == 0 && dy == 0 ? shown : held(dragX + dx, dragY + dy);
}

CameraCursor cursorFor(CameraDragMode mode) {
    switch (mode) {
    case CameraDragMode::TopLeft:
    case CameraDragMode::BottomRight: return CameraCursor::SizeNwSe;
    case CameraDragMode::BottomLeft:
    case CameraDragMode::TopRight: return CameraCursor::SizeNeSw;
    case CameraDragMode::LeftEdge:
    case CameraDragMode::RightEdge: return CameraCursor::SizeWestEast;
    case CameraDragMode::TopEdge:
    case CameraDragMode::BottomEdge: return CameraCursor::SizeNorthSouth;
    case CameraDragMode::Move: return CameraCursor::SizeAll;
    case CameraDragMode::None: break;
    }
    return CameraCursor::None;
}

} // namespace vexa
