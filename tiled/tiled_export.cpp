#include "tiled/tiled_export.h"

#include "app/rom_image.h"
#include "app/shift_jis.h"
#include "stage/field_text.h"
#include "stage/map_look.h"
#include "stage/view/stage_contents.h"
#include "terrain/chip_palette_layout.h"

#include <nlohmann/json.hpp>

namespace vexa::tiled {

namespace {

using Json = nlohmann::ordered_json;

Json property(std::string_view name, std::string_view type, Json value) {
    return Json{{"name", name}, {"type", type}, {"value", std::move(value)}};
}

// Four uppercase hexadecimal digits, as the editor shows parameters and types.
std::string hex4(unsigned value) {
    const std::wstring wide = hexText4(static_cast<std::uint16_t>(value));
    return std::string(wide.begin(), wide.end());
}

Json layerBase(int id, std::string_view name, std::string_view type, bool visible) {
    return Json{{"id", id}, {"name", name}, {"type", type}, {"opacity", 1}, {"visible", visible}, {"x", 0}, {"y", 0}};
}

Json objectBase(int& nextId, const std::string& name, double x, double y, double width, double height) {
    return Json{{"id", nextId++}, {"name", name},     {"type", ""},    {"x", x},         {"y", y},
                {"width", width}, {"height", height}, {"rotation", 0}, {"visible", true}};
}

Json tileset(std::string_view name, std::string_view role, const std::string& imageFile, const RgbaImage& image,
             int columns, int count) {
    return Json{{"type", "tileset"},
                {"version", kJsonVersion},
                {"tiledversion", kTiledVersion},
                {"name", name},
                {"tilewidth", kTilePixels},
                {"tileheight", kTilePixels},
                {"tilecount", count},
                {"columns", columns},
                {"image", imageFile},
                {"imagewidth", image.width},
                {"imageheight", image.height},
                {"margin", 0},
                {"spacing", 0},
                {"properties", Json::array({property(kRoleProperty, "string", role)})}};
}

// "#rrggbb", as Tiled writes colours.
std::string colourText(MapColour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.r, colour.g, colour.b);
    return text;
}

std::string dump(const Json& json) {
    return json.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

// A tile layer's ids, one row of the map to a line, in place of its placeholder.
std::string withRows(std::string text, const std::string& placeholder, const std::vector<std::uint32_t>& ids,
                     int width) {
    std::string rows = "[";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i > 0) rows += i % static_cast<std::size_t>(width) == 0 ? ",\n  " : ", ";
        rows += std::to_string(ids[i]);
    }
    rows += "]";
    const std::size_t at = text.find("\"" + placeholder + "\"");
    if (at != std::string::npos) text.replace(at, placeholder.size() + 2, rows);
    return text;
}

} // namespace

MapExport exportStageMap(std::span<const std::uint8_t> image, const RomInfo& info, int stageNumber,
                         const RgbaImage* chips, std::string_view stem) {
    MapExport out;
    const StageContents stage = loadStageContents(image, info, stageNumber);
    const TilemapData& terrain = stage.terrain;
    if (stage.terrainOutcome != TilemapLoadOutcome::Loaded || !terrain.loaded) {
        out.problem = "stage " + std::to_string(stageNumber) + " has no terrain that can be read";
        out.problemJa = "ステージ " + std::to_string(stageNumber) + " には読み込める地形がありません";
        return out;
    }
    out.files = mapFilesFor(stem);
    const auto fileName = [](const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); };

    const int width = terrain.widthTiles;
    const int height = terrain.heightTiles;
    constexpr std::uint32_t kChipsFirst = 1;
    constexpr std::uint32_t kAttributesFirst = kChipsFirst + kChipTileCount;
    std::vector<std::uint32_t> chipIds;
    std::vector<std::uint32_t> attributeIds;
    const std::size_t cells = std::min(terrain.rawTiles.size(), static_cast<std::size_t>(width) * height);
    for (const std::uint16_t word : std::span(terrain.rawTiles).first(cells)) {
        chipIds.push_back(kChipsFirst + static_cast<std::uint32_t>(chipIndexOf(word)));
        attributeIds.push_back(kAttributesFirst + ((word >> 10) & 0xFu));
    }

    int nextId = 1;
    Json cameras = Json::array();
    int index = 0;
    for (const CameraAllocData& c : stage.cameras.cameras) {
        Json object =
            objectBase(nextId, "カメラ " + std::to_string(index), c.left, c.top, c.right - c.left, c.bottom - c.top);
        object["properties"] = Json::array(
            {property("P1", "bool", c.p1), property("P2", "bool", c.p2), property("downLink", "bool", c.downLink),
             property("downLink2", "bool", c.downLink2), property("index", "int", index),
             property("rightLink", "bool", c.rightLink), property("rightLink2", "bool", c.rightLink2)});
        cameras.push_back(std::move(object));
        ++index;
    }
    Json bananas = Json::array();
    index = 0;
    for (const BananaAllocData& b : stage.bananas.bananas) {
        const std::string setName = utf8Name(info.bananaSetName(b.setNumber));
        Json object = objectBase(nextId, setName, b.x, b.y, 8, 8);
        object["properties"] = Json::array({property("front1", "bool", b.front1), property("front2", "bool", b.front2),
                                            property("index", "int", index), property("set", "int", b.setNumber),
                                            property("setName", "string", setName)});
        bananas.push_back(std::move(object));
        ++index;
    }
    Json sprites = Json::array();
    index = 0;
    for (const SpriteAllocData& s : stage.sprites.sprites) {
        Json object = objectBase(nextId, utf8Name(info.spriteTypeName(s.type)), s.x, s.y, 0, 0);
        object["point"] = true;
        object["properties"] =
            Json::array({property("index", "int", index), property("parameter", "string", hex4(s.parameter)),
                         property("type", "string", hex4(s.type))});
        sprites.push_back(std::move(object));
        ++index;
    }

    Json terrainLayer = layerBase(1, kTerrainLayer, "tilelayer", true);
    terrainLayer["width"] = width;
    terrainLayer["height"] = height;
    terrainLayer["data"] = "@chips@";
    Json attributeLayer = layerBase(2, kAttributeLayer, "tilelayer", false);
    attributeLayer["width"] = width;
    attributeLayer["height"] = height;
    attributeLayer["data"] = "@attributes@";
    // Bananas and sprites in their colours on the map. A camera covers much of the map,
    // and Tiled fills a rectangle with its layer's colour: the cameras keep Tiled's grey.
    const auto objectLayer = [](int id, std::string_view name, std::optional<MapColour> colour, Json objects) {
        Json layer = layerBase(id, name, "objectgroup", true);
        if (colour) layer["color"] = colourText(*colour);
        layer["draworder"] = "index";
        layer["objects"] = std::move(objects);
        return layer;
    };

    const Json map{
        {"type", "map"},
        {"version", kJsonVersion},
        {"tiledversion", kTiledVersion},
        {"orientation", "orthogonal"},
        {"renderorder", "right-down"},
        {"width", width},
        {"height", height},
        {"tilewidth", kTilePixels},
        {"tileheight", kTilePixels},
        {"infinite", false},
        {"backgroundcolor", colourText(kMapBackgroundColour)},
        {"compressionlevel", -1},
        {"nextlayerid", 6},
        {"nextobjectid", nextId},
        {"properties", Json::array({property(kRomProperty, "string", romTitleText(image)),
                                    property(kStageProperty, "int", stageNumber),
                                    property(kTerrainProperty, "int", terrain.terrainNumber),
                                    property(kFormatProperty, "int", kFormatVersion)})},
        {"tilesets",
         Json::array({Json{{"firstgid", kChipsFirst}, {"source", fileName(out.files.chipsTileset)}},
                      Json{{"firstgid", kAttributesFirst}, {"source", fileName(out.files.attributesTileset)}}})},
        {"layers",
         Json::array({terrainLayer, attributeLayer, objectLayer(3, kCameraLayer, std::nullopt, std::move(cameras)),
                      objectLayer(4, kBananaLayer, kBananaColour, std::move(bananas)),
                      objectLayer(5, kSpriteLayer, kSpriteColour, std::move(sprites))})},
    };
    out.map = withRows(withRows(dump(map), "@chips@", chipIds, width), "@attributes@", attributeIds, width);

    out.chipsImage = chipSheetImage(chips, kMapBackgroundColour.r, kMapBackgroundColour.g, kMapBackgroundColour.b);
    out.attributesImage = attributeTilesImage();
    char terrainName[16];
    std::snprintf(terrainName, sizeof terrainName, "%02X", terrain.terrainNumber);
    out.chipsTileset = dump(tileset(std::string("チップ ") + terrainName, kChipsRole, fileName(out.files.chipsImage),
                                    out.chipsImage, kChipColumns, kChipTileCount));
    out.attributesTileset = dump(tileset("地形属性", kAttributesRole, fileName(out.files.attributesImage),
                                         out.attributesImage, kAttributeTileCount, kAttributeTileCount));
    out.ok = true;
    return out;
}

} // namespace vexa::tiled
