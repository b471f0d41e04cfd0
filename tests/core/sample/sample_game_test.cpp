// The sample game read back through the core, the way the editor reads it.
#include "tools/sample_game/sample_game.h"

#include "tools/sample_game/bmp_file.h"
#include "tools/sample_game/sample_ini.h"
#include "tools/sample_game/sample_plan.h"

#include "app/ini_file.h"
#include "app/rom_image.h"
#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"
#include "stage/map_decompress.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "terrain/terrain_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace vexa {
namespace {

using Bytes = std::vector<std::uint8_t>;

const SampleGame& sampleGame() {
    static const SampleGame game = buildSampleGame();
    return game;
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The settings the editor takes from rominfo.ini.
struct Settings {
    IniFile ini;
    MapTableSettings maps;
    SpriteBankSettings sprites;
    std::uint32_t bananaLevels = 0;
    std::uint32_t bananaSets = 0;
    int bananaSetCount = 0;
    std::uint32_t cameraLevels = 0;
    int stageCount = 0;
};

const Settings& settings() {
    static const Settings s = [] {
        Settings s;
        s.ini = IniFile::parse(bytesOf(sampleGame().romInfoIni));
        s.maps = {s.ini.readInt("Maps", "MapInfoBank", kDefaultMapInfoBank),
                  s.ini.readInt("Maps", "MapABInfo", kDefaultMapABInfo)};
        s.sprites = {s.ini.readInt("Sprites", "LevelCount", kDefaultSpriteLevelCount),
                     static_cast<unsigned>(s.ini.readInt("Sprites", "AvailableEnd", kDefaultSpriteAvailableEnd))};
        s.bananaLevels = static_cast<std::uint32_t>(s.ini.readInt("Bananas", "Levels", kDefaultBananaLevels));
        s.bananaSets = static_cast<std::uint32_t>(s.ini.readInt("Bananas", "BananaSets", kDefaultBananaSets));
        s.bananaSetCount = s.ini.readInt("Bananas", "BananaSetCount", kDefaultBananaSetCount);
        s.cameraLevels = static_cast<std::uint32_t>(s.ini.readInt("Cameras", "Levels", kDefaultCameraLevels));
        s.stageCount = s.ini.readInt("Levels", "Count", 206);
        return s;
    }();
    return s;
}

// One stage as the editor has it after loading it.
struct LoadedStage {
    StageHeader header;
    int headerLength = 0;
    TilemapLoadOutcome outcome = TilemapLoadOutcome::NoMap;
    TilemapData map;
    bool spritesRead = false;
    LevelSpritesData sprites;
    LevelBananasData bananas;
    LevelCamerasData cameras;
};

LoadedStage loadStage(int stage) {
    const Bytes& image = sampleGame().image;
    const Settings& s = settings();
    LoadedStage loaded;
    loaded.headerLength = readStageHeader(image, stageHeaderOffset(image, stage), loaded.header);
    int selected = 0;
    loaded.spritesRead = loadStageSprites(image, stage, s.sprites, loaded.sprites, selected);
    loaded.outcome = loadTilemapData(image, loaded.header, s.maps, loaded.map);
    readStageBananas(image, s.bananaLevels, stage, loaded.map.mapType, loaded.bananas);
    readStageCameras(image, s.cameraLevels, stage, loaded.map.mapType, loaded.cameras);
    return loaded;
}

const std::vector<LoadedStage>& allStages() {
    static const std::vector<LoadedStage> stages = [] {
        std::vector<LoadedStage> all;
        for (int i = 0; i < settings().stageCount; ++i)
            all.push_back(loadStage(i));
        return all;
    }();
    return stages;
}

std::uint16_t word(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
std::uint32_t dword(const Bytes& bytes, std::size_t at) {
    return word(bytes, at) | static_cast<std::uint32_t>(word(bytes, at + 2)) << 16;
}

TEST(SampleGame, RomInfoNamesEveryStageInShiftJisAndEveryLocationExplicitly) {
    const Settings& s = settings();
    EXPECT_EQ(s.ini.encoding(), IniEncoding::ShiftJis);
    EXPECT_EQ(s.ini.value("ROMInfo", "CartName"), "MARBLE CANYON QUEST");
    ASSERT_EQ(s.stageCount, 206);
    for (int i = 0; i < s.stageCount; ++i) {
        const auto name = s.ini.value("LevelName", hexKey2(i));
        ASSERT_TRUE(name.has_value()) << "stage " << i;
        EXPECT_FALSE(name->empty());
        EXPECT_EQ(name->find('?'), std::string::npos) << "stage " << i << " lost characters";
    }
    // "草原ステージ 1-1" in code page 932.
    EXPECT_EQ(s.ini.value("LevelName", "25"), "\x91\x90\x8C\xB4\x83\x58\x83\x65\x81\x5B\x83\x57 1-1");
    for (const auto& [section, key] : std::vector<std::pair<const char*, const char*>>{{"LevelSetting", "Count"},
                                                                                       {"LevelSetting", "AvailableEnd"},
                                                                                       {"Maps", "MapInfoBank"},
                                                                                       {"Maps", "MapABInfo"},
                                                                                       {"Sprites", "LevelCount"},
                                                                                       {"Sprites", "AvailableEnd"},
                                                                                       {"Bananas", "Levels"},
                                                                                       {"Bananas", "BananaSets"},
                                                                                       {"Bananas", "BananaSetCount"},
                                                                                       {"Cameras", "Levels"}}) {
        const auto value = s.ini.value(section, key);
        ASSERT_TRUE(value.has_value()) << section << " " << key;
        EXPECT_TRUE(std::all_of(value->begin(), value->end(), [](char c) { return c >= '0' && c <= '9'; })) << *value;
    }
    const IniFile sprites = IniFile::parse(bytesOf(sampleGame().spritesIni));
    const int types = sprites.readInt("Sprites", "Count", 0);
    EXPECT_GE(types, 30);
    for (int row = 0; row < types; ++row)
        EXPECT_TRUE(sprites.value("SpriteName", hexKey4(row * 2)).has_value());
    for (int set = 0; set < s.bananaSetCount; ++set)
        EXPECT_TRUE(s.ini.value("BananaSetName", hexKey2(set)).has_value());
}

TEST(SampleGame, CartridgeHeaderCarriesTitleAndChecksum) {
    const Bytes& image = sampleGame().image;
    ASSERT_EQ(image.size(), kRomSize);
    EXPECT_EQ(std::string(image.begin() + 0xFFC0, image.begin() + 0xFFC0 + 21), "MARBLE CANYON QUEST  ");
    const auto sum = static_cast<std::uint16_t>(std::accumulate(image.begin(), image.end(), 0u));
    EXPECT_EQ(word(image, 0xFFDE), sum);
    EXPECT_EQ(word(image, 0xFFDC), sum ^ 0xFFFF);
}

TEST(SampleGame, EveryStageLoadsWithObjectsInsideItsMap) {
    const auto& stages = allStages();
    ASSERT_EQ(stages.size(), 206u);
    int withMap = 0;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        const LoadedStage& st = stages[i];
        SCOPED_TRACE("stage " + std::to_string(i));
        EXPECT_TRUE(st.spritesRead);
        EXPECT_GE(st.sprites.capacity, static_cast<int>(st.sprites.sprites.size() * kSpriteEntrySize + 2));
        if (isStageWithoutTilemap(st.header.stageType)) {
            EXPECT_EQ(st.outcome, TilemapLoadOutcome::NoMap);
            continue;
        }
        ASSERT_NE(st.outcome, TilemapLoadOutcome::DecompressionFailed);
        const int width = (st.outcome == TilemapLoadOutcome::Loaded ? st.map.widthTiles : kNoTerrainDataTiles) * 32;
        const int height = (st.outcome == TilemapLoadOutcome::Loaded ? st.map.heightTiles : kNoTerrainDataTiles) * 32;
        if (st.outcome == TilemapLoadOutcome::Loaded) ++withMap;
        for (const SpriteAllocData& sp : st.sprites.sprites) {
            EXPECT_NE(sp.parameter, 0);
            EXPECT_TRUE(sp.x > 0 && sp.x < width && sp.y > 0 && sp.y <= height) << sp.x << "," << sp.y;
        }
        for (BananaAllocData b : st.bananas.bananas) {
            EXPECT_TRUE(b.x >= 0 && b.x < width && b.y >= 0 && b.y < height) << b.x << "," << b.y;
            const BananaAllocData stored = b;
            maskBananaPosition(b, st.map.mapType);
            EXPECT_EQ(b, stored);
            EXPECT_LT(b.setNumber, settings().bananaSetCount);
        }
        for (const CameraAllocData& c : st.cameras.cameras) {
            EXPECT_TRUE(c.left >= 0 && c.top >= 0 && c.right <= width && c.bottom <= height && c.left < c.right &&
                        c.top < c.bottom)
                << c.left << "," << c.top << "," << c.right << "," << c.bottom;
        }
    }
    EXPECT_GE(withMap, 200);
}

TEST(SampleGame, EveryMapTypeWithAnObjectLayoutHasItsTerrain) {
    std::map<std::uint16_t, std::set<bool>> layouts;
    for (const LoadedStage& st : allStages())
        if (st.outcome == TilemapLoadOutcome::Loaded) layouts[st.map.mapType].insert(st.map.rowMajor);
    const std::map<std::uint16_t, std::set<bool>> expected = {{0, {false}}, {1, {false}}, {4, {true}}, {6, {true}},
                                                              {7, {true}},  {8, {false}}, {9, {true}}};
    EXPECT_EQ(layouts, expected);
}

TEST(SampleGame, DefaultStageIsARichHorizontalStage) {
    const LoadedStage& st = allStages()[37];
    ASSERT_EQ(st.outcome, TilemapLoadOutcome::Loaded);
    EXPECT_FALSE(st.map.rowMajor);
    EXPECT_GE(st.map.widthTiles, 100);
    EXPECT_GE(st.sprites.sprites.size(), 40u);
    EXPECT_GE(st.bananas.bananas.size(), 20u);
    std::set<int> sets;
    for (const auto& b : st.bananas.bananas)
        sets.insert(b.setNumber);
    EXPECT_GE(sets.size(), 8u);
    ASSERT_GE(st.cameras.cameras.size(), 6u);
    const auto linked = std::count_if(st.cameras.cameras.begin(), st.cameras.cameras.end(),
                                      [](const CameraAllocData& c) { return c.rightLink; });
    EXPECT_EQ(linked, static_cast<long>(st.cameras.cameras.size()) - 1);
    EXPECT_GT(st.sprites.capacity, static_cast<int>(st.sprites.sprites.size() * kSpriteEntrySize + 2));
}

TEST(SampleGame, EverySpecialCaseOfTheTablesOccurs) {
    const Bytes& image = sampleGame().image;
    const Settings& s = settings();
    const auto& stages = allStages();
    std::set<std::uint16_t> types;
    std::map<std::uint16_t, int> listStarts;
    bool typeTwoHeader = false, noTerrainData = false, shared = false, tailAtEnd = false, roomToGrow = false;
    bool noBananas = false, noCameras = false, wraps = false;
    for (int i = 0; i < static_cast<int>(stages.size()); ++i) {
        const LoadedStage& st = stages[static_cast<std::size_t>(i)];
        types.insert(st.header.stageType);
        typeTwoHeader = typeTwoHeader || (st.header.stageType == 2 && st.headerLength == 8);
        noTerrainData = noTerrainData || st.outcome == TilemapLoadOutcome::NoTerrainData;
        const std::uint16_t start = spriteListStart(image, i);
        shared = shared || listStarts.count(start) > 0;
        listStarts[start] = i;
        const int bytes = static_cast<int>(st.sprites.sprites.size() * kSpriteEntrySize + 2);
        if (start + bytes == static_cast<int>(s.sprites.availableEnd) && !st.sprites.sprites.empty())
            tailAtEnd = st.sprites.capacity == bytes;
        roomToGrow = roomToGrow || st.sprites.capacity >= bytes + 64;
        const bool hasMap = st.outcome == TilemapLoadOutcome::Loaded;
        noBananas = noBananas || (hasMap && st.bananas.bananas.empty());
        noCameras = noCameras || (hasMap && st.cameras.cameras.empty());
        const StageSlots slots = bananaSlots(image, s.bananaLevels, i);
        wraps = wraps || (slots.count > 1 && slots.start + slots.count * kBananaEntrySize > 0x10000);
    }
    EXPECT_TRUE(typeTwoHeader);
    EXPECT_TRUE(types.count(4) && types.count(5));
    EXPECT_TRUE(noTerrainData);
    EXPECT_TRUE(shared);
    EXPECT_TRUE(tailAtEnd);
    EXPECT_TRUE(roomToGrow);
    EXPECT_TRUE(noBananas);
    EXPECT_TRUE(noCameras);
    EXPECT_TRUE(wraps);

    std::set<std::pair<int, int>> shapes;
    bool wide = false, row = false, column = false;
    for (int set = 0; set < s.bananaSetCount; ++set) {
        const BananaSet b = decodeBananaSet(image, s.bananaSets, static_cast<unsigned>(set));
        ASSERT_GT(b.width, 0);
        ASSERT_GT(b.height, 0);
        shapes.insert({b.width, b.height});
        wide = wide || (b.width > kBananaSetMaxColumns && b.keptColumns() == kBananaSetMaxColumns);
        row = row || (b.height == 1 && b.width > 1);
        column = column || (b.width == 1 && b.height > 1);
        bool any = false;
        for (int c = 0; c < b.keptColumns(); ++c)
            for (int r = 0; r < b.keptRows(); ++r)
                any = any || b.hasBanana(c, r);
        EXPECT_TRUE(any) << "set " << set;
    }
    EXPECT_GE(shapes.size(), 12u);
    EXPECT_TRUE(wide && row && column);
}

TEST(SampleGame, BananaSetsDecodeToTheShapesTheyWereDrawnAs) {
    const auto shapes = sample::sampleBananaSets();
    ASSERT_EQ(static_cast<int>(shapes.size()), settings().bananaSetCount);
    for (std::size_t n = 0; n < shapes.size(); ++n) {
        const sample::BananaSetShape& shape = shapes[n];
        const BananaSet set = decodeBananaSet(sampleGame().image, settings().bananaSets, static_cast<unsigned>(n));
        ASSERT_EQ(set.width, shape.width()) << shape.name;
        ASSERT_EQ(set.height, shape.height());
        for (int c = 0; c < set.keptColumns(); ++c)
            for (int r = 0; r < set.keptRows(); ++r)
                EXPECT_EQ(set.hasBanana(c, r),
                          shape.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] == '#')
                    << "set " << n << " cell " << c << "," << r;
    }
}

TEST(SampleGame, TerrainsDecodeToTheSizeTheirMapInfoGivesAndCompressWell) {
    const Bytes& image = sampleGame().image;
    const Settings& s = settings();
    std::size_t raw = 0;
    std::size_t packed = 0;
    int withData = 0;
    for (int t = 0; t < 8; ++t) {
        const unsigned bank = static_cast<unsigned>(s.maps.mapInfoBank);
        const MapInfo info = readMapInfo(image, bank, mapInfoOffset(image, s.maps, static_cast<std::uint8_t>(t)), 0);
        const ImageAddress block = compressedDataAddress(info.dataOffset, info.dataBank);
        if (block.offset == 0 || block.bank == 0) continue;
        ++withData;
        ASSERT_TRUE(isImageBank(block.bank));
        Bytes decoded(kMapDataMaxSize);
        const auto stream = std::span(image).subspan(imageOffset(block.bank, block.offset));
        const int length = decompressMapData(stream, decoded);
        ASSERT_EQ(length, (info.wholeWidth / 32) * (info.wholeHeight / 32) * 2) << "terrain " << t;
        // The stored size: the block's bytes up to and including its end code, which
        // decode alone.
        const std::size_t size = decompressMapBlock(stream, decoded).blockLength;
        ASSERT_EQ(decompressMapData(stream.first(size), decoded), length);
        std::printf("terrain %d: %d bytes -> %zu bytes (%.1f : 1)\n", t, length, size,
                    static_cast<double>(length) / static_cast<double>(size));
        raw += static_cast<std::size_t>(length);
        packed += size;
    }
    EXPECT_EQ(withData, 7);
    std::printf("all terrains: %zu bytes -> %zu bytes (%.1f : 1)\n", raw, packed,
                static_cast<double>(raw) / static_cast<double>(packed));
    EXPECT_GE(raw, packed * 4);
}

// [FreeSpace] names ranges where the builder placed nothing: no bank of a table or a
// list, no compressed terrain, only the zeros the image starts as.
TEST(SampleGame, FreeSpaceLiesWhereNothingWasPlaced) {
    const Bytes& image = sampleGame().image;
    const Settings& s = settings();
    const FreeSpace free = readFreeSpace(s.ini);
    EXPECT_TRUE(free.problems.empty());
    ASSERT_GE(free.ranges.size(), 2u);
    const std::set<std::size_t> tableBanks = {0,
                                              kStageBank,
                                              kSpriteBank,
                                              static_cast<std::size_t>(s.maps.mapInfoBank),
                                              s.bananaLevels >> 16,
                                              s.bananaSets >> 16,
                                              s.cameraLevels >> 16};
    const TerrainSurvey terrains = surveyTerrain(image, {s.maps, s.stageCount, free.ranges});
    ASSERT_EQ(terrains.blocks.size(), 7u);
    for (const FreeRange& range : free.ranges) {
        SCOPED_TRACE("free range from " + std::to_string(range.first));
        ASSERT_LE(range.first, range.last);
        ASSERT_LT(range.last, image.size());
        EXPECT_EQ(range.first / kBankSize, range.last / kBankSize) << "within one bank";
        EXPECT_EQ(tableBanks.count(range.first / kBankSize), 0u);
        for (const TerrainBlock& t : terrains.blocks)
            EXPECT_TRUE(t.start + t.length <= range.first || t.head > range.last) << "terrain at " << t.start;
        EXPECT_TRUE(std::all_of(image.begin() + static_cast<std::ptrdiff_t>(range.first),
                                image.begin() + static_cast<std::ptrdiff_t>(range.last) + 1,
                                [](std::uint8_t b) { return b == 0; }));
    }
}

struct BmpInfo {
    std::uint32_t fileSize, dataOffset, width, height, bits, compression;
};

BmpInfo readBmp(const Bytes& b) {
    return {dword(b, 2), dword(b, 10), dword(b, 18), dword(b, 22), word(b, 28), dword(b, 30)};
}

TEST(SampleGame, ChipBitmapsAreWindowsBitmapsHoldingEveryChipTheirTerrainUses) {
    const SampleGame& game = sampleGame();
    const Settings& s = settings();
    std::map<std::uint8_t, std::set<int>> sheets;
    std::map<std::uint8_t, int> rows;
    for (const LoadedStage& st : allStages()) {
        if (st.outcome != TilemapLoadOutcome::Loaded) continue;
        for (int i = 0; i < st.map.widthTiles * st.map.heightTiles; ++i) {
            const std::uint16_t raw = st.map.rawTiles[static_cast<std::size_t>(i)];
            sheets[st.map.terrainNumber].insert(raw >> 14);
            rows[st.map.terrainNumber] = std::max(rows[st.map.terrainNumber], (raw >> 4) & 0x3F);
        }
    }
    ASSERT_EQ(sheets.size(), 7u);
    for (const auto& [terrain, used] : sheets) {
        SCOPED_TRACE("terrain " + std::to_string(terrain));
        EXPECT_EQ(used, (std::set<int>{0, 1, 2, 3}));
        const auto name = s.ini.value("MapChip", hexKey2(terrain));
        ASSERT_TRUE(name.has_value());
        const auto bitmap = std::find_if(game.chipBitmaps.begin(), game.chipBitmaps.end(),
                                         [&](const SampleChipBitmap& b) { return b.fileName == *name; });
        ASSERT_NE(bitmap, game.chipBitmaps.end());
        const Bytes& b = bitmap->bytes;
        ASSERT_GE(b.size(), 54u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        const BmpInfo info = readBmp(b);
        EXPECT_EQ(info.fileSize, b.size());
        EXPECT_EQ(info.width, 2048u);
        EXPECT_EQ(info.bits, 8u);
        EXPECT_EQ(info.compression, 0u);
        EXPECT_EQ(info.height % 32, 0u);
        EXPECT_GT(static_cast<int>(info.height / 32), rows[terrain]);
        EXPECT_EQ(info.dataOffset + info.width * info.height, b.size());
    }
}

TEST(SampleGameFiles, BitmapRowsAreStoredBottomUpAndPaddedToFourBytes) {
    const std::vector<std::uint8_t> pixels = {1, 2, 3, 4, 5, 6}; // 3 x 2, top row first
    const std::vector<sample::Rgb> palette = {{0x10, 0x20, 0x30}, {0x40, 0x50, 0x60}};
    const Bytes bmp = sample::encodeBmp8(3, 2, pixels, palette);
    const BmpInfo info = readBmp(bmp);
    ASSERT_EQ(info.dataOffset, 14u + 40u + 256u * 4u);
    EXPECT_EQ(bmp.size(), info.dataOffset + 8u);
    EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.begin() + 62), (Bytes{0x30, 0x20, 0x10, 0, 0x60, 0x50, 0x40, 0}));
    EXPECT_EQ(Bytes(bmp.begin() + info.dataOffset, bmp.end()), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST(SampleGameFiles, ShiftJisKeepsAsciiAndMarksWhatTheCodePageLacks) {
    EXPECT_EQ(sample::toShiftJis("A=草 1"), "A=\x91\x90 1");
    EXPECT_EQ(sample::toShiftJis("x\xF0\x9F\x98\x80y"), "x?y"); // an emoji
    EXPECT_EQ(sample::toShiftJis("x\xFFy"), "x?y");             // not UTF-8
}

TEST(SampleGame, CopierHeaderAndInterleavedFilesDecodeToTheSameImage) {
    const SampleGame& game = sampleGame();
    for (const bool header : {false, true}) {
        for (const bool interleaved : {false, true}) {
            SCOPED_TRACE(std::to_string(header) + std::to_string(interleaved));
            const Bytes file = sampleRomFile(game, {header, interleaved});
            EXPECT_EQ(file.size(), header ? kRomFileSizeWithHeader : kRomSize);
            Bytes image;
            RomLayout layout;
            ASSERT_EQ(decodeRomFile(file, "MARBLE CANYON QUEST", image, layout), RomFileStatus::Ok);
            EXPECT_EQ(layout.hasCopierHeader, header);
            EXPECT_EQ(layout.interleaved, interleaved);
            EXPECT_TRUE(image == game.image);
            EXPECT_EQ(encodeRomFile(image, layout), file);
        }
    }
}

TEST(SampleGame, WritesTheFilesTheEditorReadsBesideIt) {
    const SampleGame& game = sampleGame();
    const auto folder = std::filesystem::temp_directory_path() / "vexa_sample_game_test";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(writeSampleGame(game, folder, {true, false}));
    EXPECT_EQ(std::filesystem::file_size(folder / "sample.smc"), kRomFileSizeWithHeader);
    EXPECT_EQ(std::filesystem::file_size(folder / "rominfo.ini"), game.romInfoIni.size());
    EXPECT_EQ(std::filesystem::file_size(folder / "sprites.ini"), game.spritesIni.size());
    for (const SampleChipBitmap& b : game.chipBitmaps)
        EXPECT_EQ(std::filesystem::file_size(folder / "chips" / b.fileName), b.bytes.size());
    std::filesystem::remove_all(folder);
}

TEST(SampleGame, BuildsTheSameGameEveryTime) {
    const SampleGame again = buildSampleGame();
    EXPECT_TRUE(again.image == sampleGame().image);
    EXPECT_EQ(again.romInfoIni, sampleGame().romInfoIni);
    ASSERT_EQ(again.chipBitmaps.size(), sampleGame().chipBitmaps.size());
    for (std::size_t i = 0; i < again.chipBitmaps.size(); ++i)
        EXPECT_TRUE(again.chipBitmaps[i].bytes == sampleGame().chipBitmaps[i].bytes);
}

} // namespace
} // namespace vexa
