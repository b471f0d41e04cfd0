// A stage written as a Tiled map (tiled/tiled_format.h tells its shape): the map, its
// two tilesets and their images, as the files to write beside each other.
#pragma once

#include "app/image_codec.h"
#include "app/rom_info.h"
#include "tiled/tiled_format.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vexa::tiled {

struct MapExport {
    bool ok = false;
    std::string problem;   // when not ok, in English
    std::string problemJa; // and in Japanese
    MapFiles files;
    std::string map; // the .tmj text
    std::string chipsTileset;
    std::string attributesTileset;
    RgbaImage chipsImage;
    RgbaImage attributesImage;
};

// `stem` names the map's files (tiled/tiled_format.h); `chips` is the terrain's chip
// bitmap, or null when none can be read (its chips are then blank). A stage whose
// terrain cannot be read has no map.
MapExport exportStageMap(std::span<const std::uint8_t> image, const RomInfo& info, int stage, const RgbaImage* chips,
                         std::string_view stem);

} // namespace vexa::tiled
