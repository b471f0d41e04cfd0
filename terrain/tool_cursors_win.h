// The map's cursors in terrain mode, one per tool: a cross whose centre is the hot
// spot, with the tool's sign below right of it. Made once from drawn bitmaps.
#pragma once

#include "terrain/terrain_editor.h"

#include <windows.h>

namespace vexa {

// The cursor of `tool`; the system's cross where one cannot be made.
HCURSOR terrainToolCursor(TerrainToolKind tool);

} // namespace vexa
