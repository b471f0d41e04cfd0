// A Tiled map of a stage read back into the image (tiled/tiled_format.h tells its
// shape): every value is checked first, and only a map without a problem is written,
// through the same cores as the editor's edits.
//
//   terrain  every cell whose word differs, through the terrain core (its room, free
//            space and refusals); without the layer "地形属性" a cell keeps its bits 10-13
//   cameras, bananas  by their property "index": the counts cannot change
//   sprites  in the layer's order, within the list's room; Parameter 0 is refused
#pragma once

#include "app/rom_info.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::tiled {

// One problem: where (the map, a tileset, a layer's cell or object) and why, in
// English for the tool and in Japanese for the editor.
struct Problem {
    std::string where;
    std::string why;
    std::string whereJa;
    std::string whyJa;

    std::string text() const { return where + ": " + why; }
    std::string textJa() const { return whereJa + ": " + whyJa; }
};

// Reads a tileset file that the map names, by the name as the map gives it (relative
// to the map's folder); nothing when it cannot be read.
using FileReader = std::function<std::optional<std::string>(std::string_view source)>;

struct MapImport {
    std::vector<Problem> problems;   // none: `image` holds the map
    std::vector<std::uint8_t> image; // the edited image; empty with problems
    int cellsChanged = 0;
    bool blockMoved = false; // the terrain block went into free space
    int camerasChanged = 0;
    int bananasChanged = 0;
    int spritesBefore = 0;
    int spritesAfter = 0;
    bool spritesChanged = false;

    bool ok() const { return problems.empty(); }
};

// Larger map and tileset files are refused before they are parsed.
inline constexpr std::size_t kMaxMapFileSize = 64u << 20;

MapImport importStageMap(std::span<const std::uint8_t> image, const RomInfo& info, int stage, std::string_view mapText,
                         const FileReader& readTileset);

} // namespace vexa::tiled
