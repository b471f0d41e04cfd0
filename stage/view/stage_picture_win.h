// The whole open stage as a picture: the map view's own drawing, into an off-screen
// bitmap the size of the stage.
#pragma once

#include "app/image_codec.h"
#include "stage/view/level_manager_win.h"

#include <optional>

namespace vexa {

// Nothing when there is no map to draw or no bitmap of that size can be made.
std::optional<RgbaImage> drawWholeStage(LevelManager& levels);

} // namespace vexa
