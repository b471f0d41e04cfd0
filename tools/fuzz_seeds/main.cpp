// fuzz_seeds <corpus folder>: writes the seed inputs of the stage-load, ini and Tiled
// import fuzz targets from the sample game, and those of the patch fuzz targets. A stage seed
// holds only the bytes a load of that stage reads (tables, its header, terrain record
// and compressed block, its sprite, banana and camera lists, its banana sets), so that
// each stays a few KiB.
#include "fuzz/patch_fuzz_input.h"
#include "fuzz/stage_load_input.h"
#include "fuzz/tiled_import_input.h"
#include "tools/sample_game/sample_game.h"
#include "tools/sample_game/sample_plan.h"

#include "app/ini_file.h"
#include "app/patch_bps.h"
#include "app/patch_ips.h"
#include "app/rom_image.h"
#include "app/rom_info.h"
#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"
#include "stage/map_compress.h"
#include "stage/map_decompress.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "stage/view/map_clipboard.h"
#include "terrain/terrain_blocks.h"
#include "terrain/terrain_cells.h"
#include "tiled/tiled_export.h"

#include <nlohmann/json.hpp>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace vexa;
using Bytes = std::vector<std::uint8_t>;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Collects the image bytes a stage load reads, as runs in a bank (wrapping like the
// reads do), then hands them out as patches.
class ReadSet {
public:
    explicit ReadSet(const Bytes& image) : image_(image) {}
    void add(unsigned bank, unsigned offset, std::size_t length) {
        if (!isImageBank(bank)) return;
        for (std::size_t i = 0; i < length; ++i)
            offsets_.insert(imageOffset(bank, offset + static_cast<unsigned>(i)));
    }
    std::vector<fuzz::ImagePatch> patches() const {
        std::vector<fuzz::ImagePatch> out;
        for (std::size_t at : offsets_) {
            if (out.empty() || out.back().at + out.back().bytes.size() != at) out.push_back({at, {}});
            out.back().bytes.push_back(image_[at]);
        }
        return out;
    }

private:
    const Bytes& image_;
    std::set<std::size_t> offsets_;
};

// The settings the editor takes from rominfo.ini, as the fuzz input carries them.
fuzz::StageLoadHead settingsOf(const IniFile& ini) {
    fuzz::StageLoadHead head;
    const IniFile none;
    const RomInfo info(ini, none);
    const MapTableSettings maps = info.mapTables();
    const SpriteBankSettings sprites = info.spriteBank();
    head.mapInfoBank = maps.mapInfoBank;
    head.mapABInfo = maps.mapABInfo;
    head.spriteLevelCount = sprites.levelCount;
    head.spriteAvailableEnd = static_cast<std::int32_t>(sprites.availableEnd);
    head.bananaLevels = info.bananaLevels();
    head.bananaSets = info.bananaSets();
    head.bananaSetCount = info.bananaSetCount();
    head.cameraLevels = info.cameraLevels();
    return head;
}

// The length of the compressed block at `at`, 0 for a block that does not decode.
std::size_t compressedLength(const Bytes& image, std::size_t at) {
    std::vector<std::uint8_t> out(kMapDataMaxSize);
    return decompressMapBlock(std::span(image).subspan(at), out).blockLength;
}

// The edit word picks the write paths' indices and values; by default one of the stage's own.
Bytes stageSeed(const Bytes& image, const fuzz::StageLoadHead& settings, int stageCount, int stage,
                std::optional<std::uint32_t> edit = std::nullopt) {
    ReadSet reads(image);
    fuzz::StageLoadHead head = settings;
    head.stageNumber = stage;
    head.edit = edit.value_or(static_cast<std::uint32_t>(stage) * 0x9E3779B9u);

    // Every table whole, so that a mutated stage number finds another stage's entries.
    reads.add(kStageBank, 0, 2 * static_cast<std::size_t>(stageCount));
    const std::uint16_t headerAt = stageHeaderOffset(image, stage);
    reads.add(kStageBank, headerAt, 8);
    const StageHeader header = readStageHeaderOfStage(image, stage);
    reads.add(kStageBank, header.stageDataAddress, 9);

    const unsigned mapBank = static_cast<unsigned>(settings.mapInfoBank) & 0xFFu;
    const MapTableSettings maps{settings.mapInfoBank, settings.mapABInfo};
    const std::uint8_t terrain = stageTerrainNumber(image, header.stageDataAddress);
    reads.add(mapBank, static_cast<unsigned>(settings.mapABInfo), 4 * (static_cast<std::size_t>(terrain) + 1));
    const std::uint16_t info = mapInfoOffset(image, maps, terrain);
    reads.add(mapBank, info, 9 + 10 * (static_cast<std::size_t>(header.sectionIndex) + 1));
    const MapInfo mapInfo = readMapInfo(image, mapBank, info, header.sectionIndex);
    const ImageAddress block = compressedDataAddress(mapInfo.dataOffset, mapInfo.dataBank);
    if (!isStageWithoutTilemap(header.stageType) && block.offset != 0 && isImageBank(block.bank))
        reads.add(block.bank, block.offset, compressedLength(image, imageOffset(block.bank, block.offset)));

    reads.add(kSpriteBank, 0, 2 * static_cast<std::size_t>(settings.spriteLevelCount));
    SpriteList sprites;
    const unsigned spriteStart = spriteListStart(image, stage);
    reads.add(kSpriteBank, spriteStart,
              static_cast<std::size_t>(std::max(readSpriteList(image, spriteStart, sprites), 2)));

    const RomLocation bananaTable = romLocationOf(settings.bananaLevels);
    reads.add(bananaTable.bank, bananaTable.offset, 2 * (static_cast<std::size_t>(stageCount) + 1));
    const StageSlots bananas = bananaSlots(image, settings.bananaLevels, stage);
    reads.add(bananas.bank, bananas.start, kBananaEntrySize * static_cast<std::size_t>(bananas.count));
    const unsigned setBank = (settings.bananaSets >> 16) & 0x3Fu;
    const unsigned setTable = settings.bananaSets & 0xFFFFu;
    reads.add(setBank, setTable, 2 * static_cast<std::size_t>(settings.bananaSetCount));
    LevelBananasData bananaData;
    readStageBananas(image, settings.bananaLevels, stage, 0, bananaData);
    std::set<unsigned> sets;
    for (const BananaAllocData& banana : bananaData.bananas)
        sets.insert(banana.setNumber);
    for (unsigned set : sets) {
        const unsigned data = setTable + romWord(image, setBank, setTable + 2 * set);
        const BananaSet shape = decodeBananaSet(image, settings.bananaSets, set);
        reads.add(setBank, data, 2 + (static_cast<std::size_t>(shape.width) * shape.height + 7) / 8);
    }

    const RomLocation cameraTable = romLocationOf(settings.cameraLevels);
    reads.add(cameraTable.bank, cameraTable.offset, 2 * (static_cast<std::size_t>(stageCount) + 1));
    const StageSlots cameras = cameraSlots(image, settings.cameraLevels, stage);
    reads.add(cameras.bank, cameras.start, kCameraEntrySize * static_cast<std::size_t>(cameras.count));

    const auto patches = reads.patches();
    return fuzz::encodeStageLoadInput(head, patches);
}

// One stage of each kind the sample has: every map type, every stage type, a terrain
// without data, a shared sprite list, and the planned edge cases; each stage once.
std::map<std::string, int> chosenStages(const sample::SamplePlan& plan) {
    std::map<std::string, int> chosen;
    std::set<int> taken;
    auto choose = [&](const std::string& kind, int stage) {
        if (kind.empty() || stage < 0 || chosen.count(kind) || taken.count(stage)) return;
        chosen.emplace(kind, stage);
        taken.insert(stage);
    };
    choose("rich", plan.richStage);
    choose("sprite_tail", plan.spriteTailStage);
    choose("banana_wrap", plan.bananaWrapStage);
    for (int stage = 0; stage < static_cast<int>(plan.stages.size()); ++stage) {
        const sample::StagePlan& s = plan.stages[stage];
        const sample::TerrainPlan& t = plan.terrains.at(s.terrain);
        if (s.hasTilemap()) choose(t.hasData ? "map_type" + std::to_string(t.mapType) : "no_terrain_data", stage);
        if (s.sharesSpritesWith >= 0) choose("shared_sprites", stage);
        choose("stage_type" + std::to_string(s.stageType), stage);
    }
    return chosen;
}

// The Tiled import target's seeds: the stage's map as exported, with its tile layers
// in Base64 and zlib, with its tilesets embedded, with the chips' tileset as the
// input's own, and with a cell, each kind of object and the sprites' count changed.
std::map<std::string, std::string> tiledSeeds(const SampleGame& game) {
    const IniFile rominfo = IniFile::parse(bytesOf(game.romInfoIni));
    const IniFile sprites = IniFile::parse(bytesOf(game.spritesIni));
    const tiled::MapExport e = tiled::exportStageMap(game.image, RomInfo(rominfo, sprites), fuzz::kTiledFuzzStage,
                                                     nullptr, fuzz::kTiledFuzzStem);
    using Json = nlohmann::json;
    const auto layer = [](Json& map, std::string_view name) -> Json& {
        for (Json& l : map["layers"])
            if (l["name"] == name) return l;
        return map["layers"][0];
    };
    std::map<std::string, std::string> seeds = {{"map", e.map}};

    Json zlib = Json::parse(e.map);
    for (const std::string_view name : {tiled::kTerrainLayer, tiled::kAttributeLayer}) {
        Bytes raw;
        for (const std::uint32_t id : layer(zlib, name)["data"].get<std::vector<std::uint32_t>>())
            for (int shift = 0; shift < 32; shift += 8)
                raw.push_back(static_cast<std::uint8_t>(id >> shift));
        Bytes packed(compressBound(static_cast<uLong>(raw.size())));
        uLongf length = static_cast<uLongf>(packed.size());
        compress2(packed.data(), &length, raw.data(), static_cast<uLong>(raw.size()), 9);
        packed.resize(length);
        layer(zlib, name)
            .update({{"encoding", "base64"}, {"compression", "zlib"}, {"data", tiled::encodeBase64(packed)}});
    }
    seeds["zlib"] = zlib.dump();

    Json embedded = Json::parse(e.map);
    embedded["tilesets"][0] = Json::parse(e.chipsTileset);
    embedded["tilesets"][0]["firstgid"] = 1;
    embedded["tilesets"][1] = Json::parse(e.attributesTileset);
    embedded["tilesets"][1]["firstgid"] = 1 + tiled::kChipTileCount;
    seeds["embedded"] = embedded.dump();

    Json own = Json::parse(e.map);
    own["tilesets"][0]["source"] = fuzz::kTiledFuzzTileset;
    seeds["own_tileset"] = fuzz::joinTiledImportInput(own.dump(), e.chipsTileset);

    Json changed = Json::parse(e.map);
    layer(changed, tiled::kTerrainLayer)["data"][37] = 1 + 0x123;
    layer(changed, tiled::kAttributeLayer)["data"][37] = 1 + tiled::kChipTileCount + 5;
    layer(changed, tiled::kCameraLayer)["objects"][0]["width"] = 480;
    layer(changed, tiled::kBananaLayer)["objects"][1]["x"] = 100;
    Json& list = layer(changed, tiled::kSpriteLayer)["objects"];
    list[0]["y"] = 200;
    list.erase(3);
    seeds["changed"] = changed.dump();
    return seeds;
}

std::string utf16le(std::string_view ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <corpus folder>\n");
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    const SampleGame game = buildSampleGame();
    const sample::SamplePlan plan = sample::makeSamplePlan();
    const IniFile ini = IniFile::parse(bytesOf(game.romInfoIni));
    const fuzz::StageLoadHead settings = settingsOf(ini);
    const int stageCount = static_cast<int>(plan.stages.size());

    std::filesystem::create_directories(corpus / "stage_load_fuzz");
    std::size_t total = 0;
    for (const auto& [kind, stage] : chosenStages(plan)) {
        const Bytes seed = stageSeed(game.image, settings, stageCount, stage);
        if (!writeFile(corpus / "stage_load_fuzz" / kind, seed)) return 1;
        std::printf("stage_load_fuzz/%s: stage %d, %zu bytes\n", kind.c_str(), stage, seed.size());
        total += seed.size();
    }

    // Stage 3 with its terrain cut to 4 KiB of content and its section moved to the
    // terrain's first column, small enough for the terrain writes; a free range lies in
    // an empty bank (the edit word's top byte names it).
    {
        Bytes image = game.image;
        const MapTableSettings maps{settings.mapInfoBank, settings.mapABInfo};
        const TerrainSurvey survey = surveyTerrain(image, {maps, stageCount, {}});
        const int stage = 3;
        const TerrainBlock& block = survey.blocks.at(static_cast<std::size_t>(survey.blockOfStage(stage)));
        Bytes content = blockContent(image, block);
        content.resize(std::min<std::size_t>(content.size(), 4096));
        const Bytes small = compressMapData(content, image[block.start]);
        std::copy(small.begin(), small.end(), image.begin() + static_cast<std::ptrdiff_t>(block.start));
        const StageHeader header = readStageHeaderOfStage(image, stage);
        const unsigned info = mapInfoOffset(image, maps, stageTerrainNumber(image, header.stageDataAddress));
        SectionRecord section = readMapInfo(image, survey.infoBank, info, header.sectionIndex).section;
        section.right -= section.left;
        section.left = 0;
        writeSectionRecord(image, survey.infoBank, info, header.sectionIndex, section);
        // Cell (2, 1) alone and 12 KiB of free space in bank 0x21.
        const Bytes seed = stageSeed(image, settings, stageCount, stage, 0x21003042u);
        if (!writeFile(corpus / "stage_load_fuzz" / "small_terrain", seed)) return 1;
        total += seed.size();
    }

    std::filesystem::create_directories(corpus / "ini_fuzz");
    const std::map<std::string, std::string> inis = {
        {"rominfo", game.romInfoIni},
        {"sprites", game.spritesIni},
        {"utf8_bom", "\xEF\xBB\xBF[ROMInfo]\r\nCartName = \"MARBLE CANYON QUEST\"\r\n[Levels]\nCount=0x20\n"
                     "[LevelName]\n00=\xE3\x81\x82\n[Bananas]\nLevels=-1\n"},
        {"utf16_bom", utf16le("[Sprites]\r\nCount=100000\r\n[SpriteName]\r\n0002 = 'x'\r\n; note\r\n[Maps]\r\n"
                              "MapInfoBank = 0b111\r\nMapABInfo=0o777\r\n")},
        {"odd_lines", "key=before any section\r[ Maps ]\rMapABInfo=+45083junk\n\n[Maps]\nMapABInfo=1\n[Cameras\n"
                      "Levels =  \t 4047372 \n=\n[]\n"},
    };
    for (const auto& [name, text] : inis) {
        if (!writeFile(corpus / "ini_fuzz" / name, bytesOf(text))) return 1;
        total += text.size();
    }
    std::filesystem::create_directories(corpus / "tiled_import_fuzz");
    for (const auto& [name, text] : tiledSeeds(game)) {
        if (!writeFile(corpus / "tiled_import_fuzz" / name, bytesOf(text))) return 1;
        std::printf("tiled_import_fuzz/%s: %zu bytes\n", name.c_str(), text.size());
        total += text.size();
    }
    // Clipboard seeds: the first byte chooses the form (clipboard_fuzz.cpp).
    std::filesystem::create_directories(corpus / "clipboard_fuzz");
    const TerrainCells cells{3, 2, {0x0001, 0x4407, 0xC123, 0x0000, 0xFFFF, 0x8002}};
    const auto form = [](std::uint8_t which, const Bytes& bytes) {
        Bytes seed{which};
        seed.insert(seed.end(), bytes.begin(), bytes.end());
        return seed;
    };
    Bytes cellsText;
    for (const wchar_t c : terrainCellsText(cells)) {
        cellsText.push_back(static_cast<std::uint8_t>(c & 0xFF));
        cellsText.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    const std::vector<MapObjectClip> group = {SpriteAllocData{100, 200, 0x12, 0x0A}, BananaAllocData{64, 128, true},
                                              CameraAllocData{0, 0, 256, 224, true}};
    const std::map<std::string, Bytes> clips = {{"cells", form(0, encodeTerrainCells(cells))},
                                                {"cells_text", form(1, cellsText)},
                                                {"one_object", form(2, encodeMapObject(group.front()))},
                                                {"group", form(2, encodeMapObjects(group))}};
    for (const auto& [name, bytes] : clips) {
        if (!writeFile(corpus / "clipboard_fuzz" / name, bytes)) return 1;
        total += bytes.size();
    }
    // Patch seeds: one BPS and one IPS patch of the fixed source for each target.
    std::filesystem::create_directories(corpus / "bps_apply_fuzz");
    std::filesystem::create_directories(corpus / "ips_apply_fuzz");
    const Bytes source = patchFuzzSource();
    const char* const patchNames[] = {"changed_bytes", "inserted_entry", "repeated_block", "grown_by_run", "cut"};
    const std::vector<Bytes> targets = patchFuzzTargets();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const Bytes bps = createBpsPatch(source, targets[i]);
        const Bytes ips = createIpsPatch(source, targets[i]).value();
        if (!writeFile(corpus / "bps_apply_fuzz" / patchNames[i], bps) ||
            !writeFile(corpus / "ips_apply_fuzz" / patchNames[i], ips))
            return 1;
        total += bps.size() + ips.size();
    }
    std::printf("fuzz_seeds: %zu bytes in all\n", total);
    return 0;
}
