// Stages of the sample game exported as Tiled maps, edited as Tiled would save them,
// and imported back.
#include "app/file_io.h"
#include "app/rom_image.h"
#include "cli/cli.h"
#include "stage/sample_stage_fixture.h"
#include "stage/view/stage_contents.h"
#include "terrain/chip_palette_layout.h"
#include "tiled/tiled_export.h"
#include "tiled/tiled_import.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vexa::tiled {
namespace {

using Json = nlohmann::json;
using Bytes = std::vector<std::uint8_t>;

// 120 x 16 cells of map type 0, 4 cameras, 4 bananas and 5 sprites in a list with
// room for 8.
constexpr int kStage = 57;
constexpr int kWidth = 120;

// A map as the import reads it: its JSON (or, when `text` is set, that text instead)
// and the tileset files by the names the map gives.
struct MapFiles {
    Json map;
    std::map<std::string, std::string, std::less<>> tilesets;
    std::string text;
};

Json& named(Json& list, std::string_view name) {
    for (Json& item : list)
        if (item.value("name", "") == name) return item;
    throw std::out_of_range(std::string(name));
}
Json& layer(MapFiles& m, std::string_view name) {
    return named(m.map["layers"], name);
}
Json& objects(MapFiles& m, std::string_view name) {
    return layer(m, name)["objects"];
}
Json& value(Json& object, std::string_view property) {
    return named(object["properties"], property)["value"];
}
Json& cell(MapFiles& m, std::string_view layerName, int column, int row) {
    return layer(m, layerName)["data"][static_cast<std::size_t>(row * kWidth + column)];
}

// A tile layer's ids in one of the Base64 forms: `windowBits` 15 packs them with
// zlib, 31 with gzip, 0 leaves them uncompressed.
void packLayer(Json& tileLayer, int windowBits) {
    Bytes raw;
    for (const std::uint32_t id : tileLayer["data"].get<std::vector<std::uint32_t>>())
        for (int shift = 0; shift < 32; shift += 8)
            raw.push_back(static_cast<std::uint8_t>(id >> shift));
    Bytes packed = raw;
    if (windowBits != 0) {
        z_stream stream{};
        EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
        packed.resize(deflateBound(&stream, static_cast<uLong>(raw.size())));
        stream.next_in = raw.data();
        stream.avail_in = static_cast<uInt>(raw.size());
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
        EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
        packed.resize(stream.total_out);
        deflateEnd(&stream);
    }
    tileLayer["encoding"] = "base64";
    tileLayer["compression"] = windowBits == 15 ? "zlib" : windowBits == 31 ? "gzip" : "";
    tileLayer["data"] = encodeBase64(packed);
}

// The tilesets written into the map, as Tiled embeds them.
void embedTilesets(MapFiles& m) {
    for (Json& entry : m.map["tilesets"]) {
        Json tileset = Json::parse(m.tilesets.at(entry["source"].get<std::string>()));
        tileset["firstgid"] = entry["firstgid"];
        entry = tileset;
    }
    m.tilesets.clear();
}

// The attributes' tiles first at 1, the chips' after them at 17.
void swapTilesets(MapFiles& m) {
    for (Json& id : layer(m, kTerrainLayer)["data"])
        id = id.get<std::uint32_t>() + kAttributeTileCount;
    for (Json& id : layer(m, kAttributeLayer)["data"])
        id = id.get<std::uint32_t>() - kChipTileCount;
    m.map["tilesets"][0]["firstgid"] = 1 + kAttributeTileCount;
    m.map["tilesets"][1]["firstgid"] = 1;
}

using Edit = std::function<void(MapFiles&)>;

class TiledMap : public ::testing::Test {
protected:
    static const Bytes& image() { return test::sampleGame().image; }

    // The export of kStage changed by `edit`, imported back.
    MapImport edited(const Edit& edit) const {
        static const MapExport e = exportStageMap(image(), info, kStage, nullptr, "maps/m");
        MapFiles m{Json::parse(e.map), {{"m.chips.tsj", e.chipsTileset}, {"m.attributes.tsj", e.attributesTileset}}};
        edit(m);
        const FileReader read = [&m](std::string_view source) -> std::optional<std::string> {
            const auto it = m.tilesets.find(source);
            return it == m.tilesets.end() ? std::nullopt : std::optional(it->second);
        };
        return importStageMap(image(), info, kStage, m.text.empty() ? m.map.dump(1) : m.text, read);
    }
    StageContents contents(const Bytes& edited) const { return loadStageContents(edited, info, kStage); }

    test::SampleSettings settings;
    RomInfo info = settings.info();
};

std::string problemLines(const MapImport& r) {
    std::string lines;
    for (const Problem& p : r.problems)
        lines += p.text() + "\n";
    return lines;
}

TEST_F(TiledMap, EveryStageWithTerrainComesBackByteForByte) {
    int stages = 0;
    for (int stage = 0; stage < info.stageCount(); ++stage) {
        SCOPED_TRACE(stage);
        const MapExport e = exportStageMap(image(), info, stage, nullptr, "m");
        if (loadStageContents(image(), info, stage).terrainOutcome != TilemapLoadOutcome::Loaded) {
            EXPECT_FALSE(e.ok);
            EXPECT_EQ(e.problem, "stage " + std::to_string(stage) + " has no terrain that can be read");
            continue;
        }
        ASSERT_TRUE(e.ok) << e.problem;
        ++stages;
        const MapImport r = importStageMap(image(), info, stage, e.map, [&](std::string_view source) {
            return std::optional(source == "m.chips.tsj" ? e.chipsTileset : e.attributesTileset);
        });
        ASSERT_TRUE(r.ok()) << problemLines(r);
        EXPECT_TRUE(r.image == image());
        EXPECT_EQ(r.cellsChanged + r.camerasChanged + r.bananasChanged + r.spritesChanged, 0);
    }
    EXPECT_EQ(stages, 201);
    const MapImport r = importStageMap(image(), info, 0, exportStageMap(image(), info, 3, nullptr, "m").map, {});
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].text(), "map: stage 0 has no terrain that can be read");
}

TEST(TiledFormat, Base64TakesLineBreaksAndRefusesWhatIsNoBase64) {
    const std::string man = "Man";
    EXPECT_EQ(encodeBase64(Bytes(man.begin(), man.end())), "TWFu");
    EXPECT_EQ(encodeBase64({'M', 'a'}), "TWE=");
    EXPECT_EQ(encodeBase64({'M'}), "TQ==");
    const std::pair<const char*, std::optional<Bytes>> texts[] = {
        {"TWFu", Bytes{'M', 'a', 'n'}}, {"TW\r\nE=", Bytes{'M', 'a'}}, {" TQ==\n", Bytes{'M'}}, {"", Bytes{}},
        {"TQ=x", std::nullopt},         {"TQ===", std::nullopt},       {"TWFuT", std::nullopt}, {"TW-u", std::nullopt},
    };
    for (const auto& [text, bytes] : texts)
        EXPECT_EQ(decodeBase64(text), bytes) << text;
}

// Every form the layers' data can take and every place of the tilesets carries one
// changed cell.
TEST_F(TiledMap, EachDataFormAndTilesetPlaceIsRead) {
    const std::pair<const char*, Edit> forms[] = {
        {"arrays of ids", [](MapFiles&) {}},
        {"Base64", [](MapFiles& m) { packLayer(layer(m, kTerrainLayer), 0), packLayer(layer(m, kAttributeLayer), 0); }},
        {"Base64 and zlib",
         [](MapFiles& m) { packLayer(layer(m, kTerrainLayer), 15), packLayer(layer(m, kAttributeLayer), 15); }},
        {"Base64 and gzip",
         [](MapFiles& m) { packLayer(layer(m, kTerrainLayer), 31), packLayer(layer(m, kAttributeLayer), 0); }},
        {"embedded tilesets", embedTilesets},
        {"the attributes' tileset first",
         [](MapFiles& m) { swapTilesets(m), embedTilesets(m), packLayer(layer(m, kTerrainLayer), 15); }},
        {"layers in a group",
         [](MapFiles& m) {
             Json group = {{"type", "group"}, {"name", "g"}, {"layers", m.map["layers"]}};
             m.map["layers"] = Json::array({group});
         }},
    };
    constexpr std::uint16_t kWord = 0xE523; // chip 18 * 64 + 51, attributes 9
    for (const auto& [name, form] : forms) {
        SCOPED_TRACE(name);
        const MapImport r = edited([&](MapFiles& m) {
            const auto first = [&](int set) { return m.map["tilesets"][set]["firstgid"].get<int>(); };
            cell(m, kTerrainLayer, 7, 3) = first(0) + chipIndexOf(kWord);
            cell(m, kAttributeLayer, 7, 3) = first(1) + 9;
            form(m);
        });
        ASSERT_TRUE(r.ok()) << problemLines(r);
        EXPECT_EQ(r.cellsChanged, 1);
        EXPECT_EQ(tileWordAt(contents(r.image).terrain, 7, 3), kWord);
    }
}

TEST_F(TiledMap, ChangedCellsTakeTheirAttributesFromTheirLayerOrKeepThem) {
    const TilemapData before = contents(image()).terrain;
    const std::uint16_t word = *tileWordAt(before, 78, 7);
    ASSERT_NE(word & 0x3C00, 0);
    struct Case {
        const char* name;
        Edit edit;
        std::uint16_t word;
    };
    const Case cases[] = {
        {"chip and attributes",
         [](MapFiles& m) {
             cell(m, kTerrainLayer, 78, 7) = 1 + 0x41;
             cell(m, kAttributeLayer, 78, 7) = 1 + kChipTileCount + 0xF;
         },
         0x3C11},
        {"attributes erased", [](MapFiles& m) { cell(m, kAttributeLayer, 78, 7) = 0; },
         static_cast<std::uint16_t>(word & ~0x3C00)},
        {"no attribute layer",
         [](MapFiles& m) {
             m.map["layers"].erase(1);
             cell(m, kTerrainLayer, 78, 7) = kChipTileCount;
         },
         static_cast<std::uint16_t>(0xC3FF | (word & 0x3C00))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MapImport r = edited(c.edit);
        ASSERT_TRUE(r.ok()) << problemLines(r);
        EXPECT_EQ(r.cellsChanged, 1);
        const TilemapData after = contents(r.image).terrain;
        for (int row = 0; row < before.heightTiles; ++row)
            for (int column = 0; column < before.widthTiles; ++column)
                EXPECT_EQ(tileWordAt(after, column, row),
                          column == 78 && row == 7 ? c.word : tileWordAt(before, column, row))
                    << column << ", " << row;
    }

    // Cells a block cannot hold in its room move it into free space.
    const MapImport r = edited([](MapFiles& m) {
        for (int i = 0; i < 400; ++i)
            cell(m, kTerrainLayer, i % kWidth, i / kWidth) = 1 + (i * 0x9E5 + 0x111) % kChipTileCount;
    });
    ASSERT_TRUE(r.ok()) << problemLines(r);
    EXPECT_TRUE(r.blockMoved);
    EXPECT_EQ(r.cellsChanged, 400);
    EXPECT_EQ(chipIndexOf(*tileWordAt(contents(r.image).terrain, 399 % kWidth, 399 / kWidth)),
              (399 * 0x9E5 + 0x111) % kChipTileCount);
}

TEST_F(TiledMap, ObjectsMoveAndChangeBySlotAndSpritesByOrder) {
    const StageContents before = contents(image());
    const MapImport r = edited([](MapFiles& m) {
        Json& camera = objects(m, kCameraLayer)[1];
        camera["x"] = 1001;
        camera["height"] = 500;
        value(camera, "P2") = true;
        Json& banana = objects(m, kBananaLayer)[2];
        banana["x"] = 2437.4;
        banana["y"] = 1013;
        value(banana, "set") = 23;
        value(banana, "front2") = true;
        std::reverse(objects(m, kBananaLayer).begin(), objects(m, kBananaLayer).end());
        Json& sprites = objects(m, kSpriteLayer);
        sprites[0]["x"] = -256;
        sprites[0]["y"] = 65279;
        value(sprites[0], "parameter") = "ab";
        value(sprites[0], "type") = "1C";
        Json added = sprites[4];
        added["x"] = 17.6;
        value(added, "parameter") = "7";
        sprites.erase(2);
        sprites.push_back(added);
        sprites.push_back(added);
    });
    ASSERT_TRUE(r.ok()) << problemLines(r);
    EXPECT_EQ(r.camerasChanged, 1);
    EXPECT_EQ(r.bananasChanged, 1);
    EXPECT_EQ(r.spritesBefore, 5);
    EXPECT_EQ(r.spritesAfter, 6);
    const StageContents after = contents(r.image);

    std::vector<CameraAllocData> cameras(before.cameras.cameras.begin(), before.cameras.cameras.end());
    cameras[1] = {1000, 0, 1960, 504, cameras[1].rightLink, cameras[1].rightLink2, false, false, false, true};
    EXPECT_EQ(std::vector(after.cameras.cameras.begin(), after.cameras.cameras.end()), cameras);
    std::vector<BananaAllocData> bananas(before.bananas.bananas.begin(), before.bananas.bananas.end());
    bananas[2] = {2440, 1016, bananas[2].front1, true, 23};
    EXPECT_EQ(std::vector(after.bananas.bananas.begin(), after.bananas.bananas.end()), bananas);
    std::vector<SpriteAllocData> sprites(before.sprites.sprites.begin(), before.sprites.sprites.end());
    sprites[0] = {-256, 65279, 0x1C, 0xAB};
    sprites.erase(sprites.begin() + 2);
    sprites.push_back({18, sprites.back().y, sprites.back().type, 7});
    sprites.push_back(sprites.back());
    EXPECT_EQ(std::vector(after.sprites.sprites.begin(), after.sprites.sprites.end()), sprites);
}

struct Refusal {
    const char* name;
    Edit edit;
    std::string problem; // found in the one problem's text
};

TEST_F(TiledMap, EveryRefusalIsOneProblemAndWritesNothing) {
    const Refusal refusals[] = {
        // The map and its tilesets.
        {"TMX map", [](MapFiles& m) { m.text = "<?xml version=\"1.0\"?>\n<map/>"; },
         "map: is a TMX (XML) map: in Tiled, save it as a JSON map (.tmj)"},
        {"TSX tileset", [](MapFiles& m) { m.tilesets["m.chips.tsj"] = "\xEF\xBB\xBF <tileset/>"; },
         "tileset \"m.chips.tsj\": is a TSX (XML) tileset: open it in Tiled, export it as a JSON tileset (.tsj)"},
        {"missing tileset", [](MapFiles& m) { m.tilesets.erase("m.attributes.tsj"); },
         "tileset \"m.attributes.tsj\": cannot be read"},
        {"no JSON", [](MapFiles& m) { m.text = "{\"type\": \"map\""; }, "map: is not a JSON map"},
        {"no chips' role", [](MapFiles& m) { embedTilesets(m), value(m.map["tilesets"][0], "role") = "chip"; },
         "map: has no tileset of the chips"},
        {"another stage", [](MapFiles& m) { value(m.map, kStageProperty) = 58; },
         "map: is a map of stage 58, not of stage 57"},
        {"another terrain", [](MapFiles& m) { value(m.map, kTerrainProperty) = 1; },
         "map: shows terrain 1, but the stage shows terrain 0"},
        {"another ROM", [](MapFiles& m) { value(m.map, kRomProperty) = "OTHER"; },
         "map: is a map of the ROM \"OTHER\", not of \"MARBLE CANYON QUEST\""},
        {"another size", [](MapFiles& m) { m.map["height"] = 17; },
         "map: is not 120 x 16 tiles, the size of the stage's section"},
        {"no format", [](MapFiles& m) { m.map["properties"].erase(3); },
         "map: has no property \"vexaFormat\": it is no map that vexa exported"},
        {"infinite", [](MapFiles& m) { m.map["infinite"] = true; }, "map: is infinite"},
        {"no terrain layer", [](MapFiles& m) { m.map["layers"].erase(0); }, "map: has no tile layer \"地形\""},
        {"no camera layer", [](MapFiles& m) { m.map["layers"].erase(2); }, "map: has no object layer \"カメラ\""},
        {"sprites twice", [](MapFiles& m) { m.map["layers"].push_back(layer(m, kSpriteLayer)); },
         "layer \"スプライト\": appears twice"},
        {"objects as tiles", [](MapFiles& m) { layer(m, kBananaLayer)["type"] = "tilelayer"; },
         "layer \"バナナ\": is not an object layer"},
        {"shifted group",
         [](MapFiles& m) {
             Json group = {{"type", "group"}, {"name", "g"}, {"offsetx", 32}, {"layers", {layer(m, kSpriteLayer)}}};
             m.map["layers"].erase(4);
             m.map["layers"].push_back(group);
         },
         "layer \"スプライト\": is shifted by an offset"},
        // The tile layers' data.
        {"zstd",
         [](MapFiles& m) { packLayer(layer(m, kTerrainLayer), 0), layer(m, kTerrainLayer)["compression"] = "zstd"; },
         "layer \"地形\": its data is compressed with zstd, which cannot be read: in Tiled, set the map's tile layer "
         "format to Base64 (zlib)"},
        {"lzma",
         [](MapFiles& m) {
             packLayer(layer(m, kAttributeLayer), 0), layer(m, kAttributeLayer)["compression"] = "lzma";
         },
         "layer \"地形属性\": its data is compressed as \"lzma\""},
        {"broken Base64",
         [](MapFiles& m) { packLayer(layer(m, kTerrainLayer), 0), layer(m, kTerrainLayer)["data"] = "AAAA*AAA"; },
         "layer \"地形\": its data is not Base64"},
        {"a tile short",
         [](MapFiles& m) { layer(m, kTerrainLayer)["data"].erase(0), packLayer(layer(m, kTerrainLayer), 0); },
         "layer \"地形\": its data holds 1919 tiles, not 1920"},
        {"a tile too many",
         [](MapFiles& m) { layer(m, kTerrainLayer)["data"].push_back(1), packLayer(layer(m, kTerrainLayer), 31); },
         "layer \"地形\": its gzip data is broken or longer than the layer"},
        {"zlib cut short",
         [](MapFiles& m) {
             packLayer(layer(m, kTerrainLayer), 15);
             Json& d = layer(m, kTerrainLayer)["data"];
             d = encodeBase64(*decodeBase64(d.get<std::string>().substr(0, 40)));
         },
         "layer \"地形\": its zlib data is broken or longer than the layer"},
        {"array short", [](MapFiles& m) { layer(m, kAttributeLayer)["data"].erase(5); },
         "layer \"地形属性\": has no data of 1920 tile ids"},
        {"id no number", [](MapFiles& m) { cell(m, kTerrainLayer, 3, 0) = -1; },
         "layer \"地形\": has a tile id that is no number of 0 to 4294967295"},
        {"layer narrower", [](MapFiles& m) { layer(m, kTerrainLayer)["width"] = 119; },
         "layer \"地形\": is not 120 x 16 tiles, as the map"},
        // Cells.
        {"flipped", [](MapFiles& m) { cell(m, kTerrainLayer, 3, 2) = 0x80000001u; },
         "layer \"地形\", cell (3, 2): its tile is flipped or rotated"},
        {"tile of the attributes", [](MapFiles& m) { cell(m, kTerrainLayer, 119, 15) = 4099; },
         "layer \"地形\", cell (119, 15): its tile 4099 is a tile of another tileset, tileset \"m.attributes.tsj\""},
        {"chip as attribute", [](MapFiles& m) { cell(m, kAttributeLayer, 0, 1) = 5; },
         "layer \"地形属性\", cell (0, 1): its tile 5 is a tile of another tileset, tileset \"m.chips.tsj\""},
        {"attribute past 15", [](MapFiles& m) { cell(m, kAttributeLayer, 1, 1) = 4097 + 16; },
         "layer \"地形属性\", cell (1, 1): its tile 4113 lies past the tileset's tiles"},
        {"chip past 4095",
         [](MapFiles& m) {
             m.map["tilesets"][1]["firstgid"] = 5001;
             for (Json& id : layer(m, kAttributeLayer)["data"])
                 id = id.get<int>() + 904;
             cell(m, kTerrainLayer, 2, 1) = 4097;
         },
         "layer \"地形\", cell (2, 1): its tile 4097 lies past the tileset's tiles"},
        {"empty cell", [](MapFiles& m) { cell(m, kTerrainLayer, 0, 15) = 0; },
         "layer \"地形\", cell (0, 15): is empty: every cell needs a chip"},
        // Cameras and bananas.
        {"camera past its field", [](MapFiles& m) { objects(m, kCameraLayer)[0]["height"] = 600; },
         "layer \"カメラ\", object 1 (the 1st): its rectangle (0, 0)-(960, 600) cannot be stored: the nearest the "
         "entry holds is (0, 0)-(960, 512)"},
        {"camera too narrow", [](MapFiles& m) { objects(m, kCameraLayer)[3]["width"] = 3; },
         "layer \"カメラ\", object 4 (the 4th): is narrower or lower than 8 pixels"},
        {"camera rotated", [](MapFiles& m) { objects(m, kCameraLayer)[2]["rotation"] = 90; },
         "layer \"カメラ\", object 3 (the 3rd): is rotated"},
        {"camera flag no bool", [](MapFiles& m) { value(objects(m, kCameraLayer)[1], "downLink") = 1; },
         "layer \"カメラ\", object 2 (the 2nd): its property \"downLink\" is not a bool"},
        {"banana past its field", [](MapFiles& m) { objects(m, kBananaLayer)[1]["y"] = 1020; },
         "layer \"バナナ\", object 6 (the 2nd): its position (1504, 1024) is past what the entry holds: the nearest is "
         "(1504, 1016)"},
        {"banana left of 0", [](MapFiles& m) { objects(m, kBananaLayer)[0]["x"] = -5; },
         "layer \"バナナ\", object 5 (the 1st): its position (-8, 176) is past what the entry holds: the nearest is "
         "(0, 176)"},
        {"unknown banana set", [](MapFiles& m) { value(objects(m, kBananaLayer)[3], "set") = 24; },
         "layer \"バナナ\", object 8 (the 4th): its set 24 is no banana set of the ROM (0 to 23)"},
        {"banana as a point", [](MapFiles& m) { objects(m, kBananaLayer)[3]["point"] = true; },
         "layer \"バナナ\", object 8 (the 4th): is not a rectangle"},
        {"no index",
         [](MapFiles& m) {
             Json& list = objects(m, kBananaLayer);
             list.push_back(list[0]);
             list[4]["properties"].erase(2);
         },
         "layer \"バナナ\", object 5 (the 5th): has no property \"index\" (int)"},
        {"index past the count",
         [](MapFiles& m) {
             Json& list = objects(m, kCameraLayer);
             list.push_back(list[0]);
             value(list[4], "index") = 4;
         },
         "layer \"カメラ\", object 1 (the 5th): its index 4 names no camera: the stage has 4, which cannot change"},
        {"index twice",
         [](MapFiles& m) {
             Json& list = objects(m, kBananaLayer);
             list.push_back(list[2]);
         },
         "layer \"バナナ\", object 7 (the 5th): its index 2 is another object's too"},
        {"camera taken away", [](MapFiles& m) { objects(m, kCameraLayer).erase(3); },
         "layer \"カメラ\": has no camera of index 3: the stage's count cannot change"},
        // Sprites.
        {"parameter 0", [](MapFiles& m) { value(objects(m, kSpriteLayer)[2], "parameter") = "0000"; },
         "layer \"スプライト\", object 11 (the 3rd): its parameter is 0, which ends a sprite list"},
        {"parameter of 5 digits", [](MapFiles& m) { value(objects(m, kSpriteLayer)[0], "parameter") = "00001"; },
         "object 9 (the 1st): has no property \"parameter\" of 1 to 4 hexadecimal digits"},
        {"sprite past the room",
         [](MapFiles& m) {
             Json& list = objects(m, kSpriteLayer);
             for (int i = 0; i < 4; ++i)
                 list.push_back(list[0]);
         },
         "layer \"スプライト\": holds 9 sprites: the list's room (66 bytes) holds at most 8"},
        {"sprite no point", [](MapFiles& m) { objects(m, kSpriteLayer)[1].erase("point"); },
         "object 10 (the 2nd): is not a point"},
        {"sprite left of -256", [](MapFiles& m) { objects(m, kSpriteLayer)[3]["x"] = -256.6; },
         "object 12 (the 4th): its position (-257, 256) is past what an entry holds (-256 to 65279)"},
        {"sprite below 65279", [](MapFiles& m) { objects(m, kSpriteLayer)[3]["y"] = 65280; },
         "object 12 (the 4th): its position (2704, 65280) is past"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        const MapImport r = edited(refusal.edit);
        EXPECT_EQ(r.problems.size(), 1u) << problemLines(r);
        if (r.problems.empty()) continue;
        EXPECT_NE(r.problems[0].text().find(refusal.problem), std::string::npos) << r.problems[0].text();
        EXPECT_FALSE(r.problems[0].whereJa.empty() || r.problems[0].whyJa.empty());
        EXPECT_TRUE(r.image.empty());
    }

    // Past 50 problems the rest are counted in one more line.
    const MapImport r = edited([](MapFiles& m) {
        for (Json& id : layer(m, kTerrainLayer)["data"])
            id = 0;
    });
    ASSERT_EQ(r.problems.size(), 51u);
    EXPECT_EQ(r.problems[49].text(), "layer \"地形\", cell (49, 0): is empty: every cell needs a chip");
    EXPECT_EQ(r.problems[50].text(), "map: and 1870 more problems");
}

// The tool on the sample written interleaved and with a copier header.
TEST(TiledCli, WritesTheRomInItsOwnLayoutOrOneLinePerProblemAndNothing) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vexa_tiled_cli_test";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(writeSampleGame(test::sampleGame(), folder, {true, true}));
    const auto path = [&](const char* name) { return utf8FromPath(folder / name); };
    const auto bytes = [&](const char* name) { return readFileBytes(folder / name, 1u << 24).bytes; };
    std::string out, err;
    const auto run = [&](const std::vector<std::string>& args) {
        std::ostringstream o, e;
        const int code = runVexa(args, o, e);
        out = o.str();
        err = e.str();
        return code;
    };
    const std::string rom = path("sample.smc");
    EXPECT_EQ(run({"tiled", "export", rom, "2", path("m2.tmj")}), kExitBadInput);
    EXPECT_EQ(err, "vexa: tiled export: stage 2 has no terrain that can be read\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "m2.tmj") || std::filesystem::exists(folder / "m2.chips.png"));

    ASSERT_EQ(run({"tiled", "export", rom, "57", path("m.tmj")}), kExitSuccess) << err;
    for (const char* file : {"m.tmj", "m.chips.tsj", "m.chips.png", "m.attributes.tsj", "m.attributes.png"})
        EXPECT_TRUE(std::filesystem::exists(folder / file)) << file;
    const Bytes text = bytes("m.tmj");
    Json map = Json::parse(text.begin(), text.end());
    named(map["layers"], kSpriteLayer)["objects"][1]["x"] = 1240;
    std::ofstream(folder / "m.tmj") << map.dump(1);

    const Bytes before = bytes("sample.smc");
    ASSERT_EQ(run({"tiled", "import", rom, "57", path("m.tmj"), "-o", path("out.smc")}), kExitSuccess) << err;
    EXPECT_EQ(out, "wrote " + path("out.smc") + " in the layout of " + rom +
                       ": stage 57, 0 cells changed, 0 cameras, 0 bananas, sprites 5 -> 5\n");
    EXPECT_TRUE(bytes("sample.smc") == before);
    Bytes image;
    RomLayout layout;
    ASSERT_EQ(decodeRomFile(bytes("out.smc"), "MARBLE CANYON QUEST", image, layout), RomFileStatus::Ok);
    EXPECT_TRUE(layout.hasCopierHeader && layout.interleaved);
    EXPECT_EQ(std::next(loadStageContents(image, test::SampleSettings().info(), 57).sprites.sprites.begin())->x, 1240);

    EXPECT_EQ(run({"tiled", "import", rom, "3", path("m.tmj"), "-o", path("refused.smc")}), kExitRefused);
    const std::string line = "vexa: " + path("m.tmj") + ": map: ";
    EXPECT_EQ(err, line + "is a map of stage 57, not of stage 3\n" + line +
                       "is not 18 x 16 tiles, the size of the stage's section\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "refused.smc"));
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace vexa::tiled
