// How the map shows its objects: the colours of the three kinds and the sizes of the
// marks drawn on their boxes. The map view and the stage renderer both draw from here.
#pragma once

#include <cstdint>

namespace vexa {

struct MapColour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const MapColour&, const MapColour&) = default;
};

// Each kind's frame and mark colour, and the lighter colour of its selection frame.
inline constexpr MapColour kSpriteColour{255, 0, 0};
inline constexpr MapColour kSpriteSelectionColour{255, 128, 128};
inline constexpr MapColour kBananaColour{255, 255, 0};
inline constexpr MapColour kBananaSelectionColour{255, 255, 128};
inline constexpr MapColour kCameraColour{255, 0, 255};
inline constexpr MapColour kCameraSelectionColour{255, 128, 255};
// The boxes' insides, and the map area where the terrain is hidden or has no cells.
inline constexpr MapColour kObjectBodyColour{0, 0, 0};
inline constexpr MapColour kNoTerrainColour{0, 0, 0};
// Behind everything: the light gray of the system's stock brush.
inline constexpr MapColour kMapBackgroundColour{192, 192, 192};

// How large the editor draws and hits the objects' boxes, labels and handles, in
// percent of their size at 100% display scale: the map view sets it from its
// window's scale so that they stay readable and easy to grab. The sizes below are
// those of 100%, which the stage's picture keeps.
int objectLookPercent();
void setObjectLookPercent(int percent);
constexpr int lookSize(int size, int percent) {
    return (size * percent + 50) / 100;
}
// `size` at the editor's current look.
inline int looked(int size) {
    return lookSize(size, objectLookPercent());
}

// A sprite stands on its position: a box this wide and high above it.
inline constexpr int kSpriteBoxHalfWidth = 16;
inline constexpr int kSpriteBoxHeight = 36;
// A banana lies below and right of its position: a box this wide and high.
inline constexpr int kBananaBoxWidth = 24;
inline constexpr int kBananaBoxHeight = 36;
// The arrowhead under a sprite's box and the corner mark of a banana's box.
inline constexpr int kObjectMarkSize = 6;
// A camera's link arrow: its depth and half width, and how far the two arrows of a
// second link sit either side of the edge's middle.
inline constexpr int kCameraArrowSize = 6;
inline constexpr int kCameraSecondArrowShift = 10;

} // namespace vexa
