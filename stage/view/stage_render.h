// A whole stage drawn into an RGBA picture the way the map view paints it at full
// size: the light gray background, the terrain from its chip bitmap (or the black area
// of a map without cells), then the cameras, the bananas and the sprites on top. The
// objects are drawn unselected and without their text labels.
#pragma once

#include "app/image_codec.h"
#include "stage/view/stage_contents.h"

namespace vexa {

enum RenderLayer : unsigned {
    kRenderTerrain = 1u << 0,
    kRenderSprites = 1u << 1,
    kRenderBananas = 1u << 2,
    kRenderCameras = 1u << 3,
    kRenderAllLayers = kRenderTerrain | kRenderSprites | kRenderBananas | kRenderCameras,
};

// Pictures of more pixels than this are refused (a section of 65,536 cells is 64 Mi
// pixels, so every map the loader can give fits).
inline constexpr std::size_t kMaxRenderPixels = std::size_t{1} << 26;

// The stage's map, mapWidth() x mapHeight() pixels. `chips` is the terrain's chip
// bitmap, or null when it is missing: the cells then show the background, as in the
// editor. Cells whose chip lies outside the bitmap leave the background too. A layer
// left out of `layers` is not drawn; without the terrain the map area is black, as
// with the map hidden in the editor. An empty image when the map has no pixels or
// more than kMaxRenderPixels, or when memory runs out.
RgbaImage renderStage(const StageContents& stage, const RgbaImage* chips, unsigned layers);

} // namespace vexa
