// What a stage looks like as a Tiled map, shared by the export and the import: the
// layers' and properties' names, the files beside the map, and the tile layer data
// in each form Tiled writes.
//
// A map has 32 x 32-pixel tiles, one per cell of the stage's section, and two
// tilesets, each in a JSON file (.tsj) of its own beside the map:
//   chips       the terrain's chip bitmap as a PNG of 64 x 64 chips; a cell's tile is
//               its chip (row * 64 + column), so its word's bits 0-9, 14 and 15
//   attributes  16 tiles, one per value of the word's bits 10-13
// Layers, bottom first: "地形" (chips), "地形属性" (attributes, hidden), and the object
// layers "カメラ", "バナナ" and "スプライト".
#pragma once

#include "app/image_codec.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::tiled {

inline constexpr int kFormatVersion = 1;
// Written as the files' version; Tiled reads older and newer maps alike.
inline constexpr std::string_view kJsonVersion = "1.8";
inline constexpr std::string_view kTiledVersion = "1.8.2";

inline constexpr int kTilePixels = 32;
inline constexpr int kChipColumns = 64;
inline constexpr int kChipTileCount = 64 * 64;
inline constexpr int kAttributeTileCount = 16;

inline constexpr std::string_view kTerrainLayer = "地形";
inline constexpr std::string_view kAttributeLayer = "地形属性";
inline constexpr std::string_view kCameraLayer = "カメラ";
inline constexpr std::string_view kBananaLayer = "バナナ";
inline constexpr std::string_view kSpriteLayer = "スプライト";

// The map's own properties, which tell an import what the map belongs to.
inline constexpr std::string_view kFormatProperty = "vexaFormat";
inline constexpr std::string_view kRomProperty = "rom";
inline constexpr std::string_view kStageProperty = "stage";
inline constexpr std::string_view kTerrainProperty = "terrain";
// Each tileset's property "role" tells the two apart, whatever they are named.
inline constexpr std::string_view kRoleProperty = "role";
inline constexpr std::string_view kChipsRole = "chips";
inline constexpr std::string_view kAttributesRole = "attributes";

// Tile ids keep Tiled's flip and rotation flags in their top four bits.
inline constexpr std::uint32_t kTileFlagBits = 0xF0000000u;

// The files the export writes beside `<stem>.tmj`.
struct MapFiles {
    std::string chipsTileset;      // <stem>.chips.tsj
    std::string chipsImage;        // <stem>.chips.png
    std::string attributesTileset; // <stem>.attributes.tsj
    std::string attributesImage;   // <stem>.attributes.png
};
MapFiles mapFilesFor(std::string_view stem);

// The 16 attribute tiles in one row, each value's number on a colour of its own; the
// tile of 0 is clear, so the layer shows only the cells that carry attributes.
RgbaImage attributeTilesImage();

// The chip bitmap on a sheet of 64 x 64 chips: what lies past the bitmap is `fill`,
// what lies past the sheet is dropped.
RgbaImage chipSheetImage(const RgbaImage* chips, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// A tile layer's Base64 data, uncompressed, zlib or gzip, as its ids; on a failure
// the reason, in English and in Japanese. `count` is the number of ids it must hold.
struct LayerIds {
    std::vector<std::uint32_t> ids;
    std::string problem;
    std::string problemJa;
};
LayerIds decodeLayerData(std::string_view base64, std::string_view compression, std::size_t count);

// The encoding forms Tiled writes, for the tests and the tools that make them.
std::string encodeBase64(const std::vector<std::uint8_t>& bytes);
std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text);

} // namespace vexa::tiled
