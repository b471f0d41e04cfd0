// Any text as a Tiled map of a stage of the sample game (fuzz/tiled_import_input.h):
// the import reads every layer, tileset and property without reading past its input,
// and either refuses with its problems, each told in both languages, and no image, or
// gives an image in which the stage loads with what the import says it wrote.
// Importing the same map into that image again changes nothing.
#include "fuzz/fuzz_check.h"
#include "fuzz/tiled_import_input.h"

#include "app/ini_file.h"
#include "app/rom_info.h"
#include "stage/map_compress.h"
#include "stage/map_info.h"
#include "stage/stage_table.h"
#include "stage/view/stage_contents.h"
#include "terrain/terrain_blocks.h"
#include "tiled/tiled_export.h"
#include "tiled/tiled_import.h"
#include "tools/sample_game/sample_game.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

namespace {

using namespace vexa;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The stage's terrain block cut to the stored lines its section shows, and the section
// moved to the first of them: its cells stay as they were, and a changed cell costs
// the compressor a block of two thousand words rather than of twenty thousand.
void cutTerrain(std::vector<std::uint8_t>& image, const RomInfo& info, int stage) {
    const TerrainTables tables = terrainTables(info);
    const TerrainSurvey survey = surveyTerrain(image, tables);
    const TerrainBlock& block = survey.blocks.at(static_cast<std::size_t>(survey.blockOfStage(stage)));
    const TilemapData terrain = loadStageContents(image, info, stage).terrain;
    const std::vector<std::uint8_t> content = blockContent(image, block);
    const std::size_t first = terrain.rowMajor ? terrain.sectionTop : terrain.sectionLeft;
    const std::size_t lines = static_cast<std::size_t>(terrain.rowMajor ? terrain.heightTiles : terrain.widthTiles);
    const std::size_t from = std::min(content.size(), first * terrain.terrainStride * 2);
    const std::size_t to = std::min(content.size(), (first + lines) * terrain.terrainStride * 2);
    const std::vector<std::uint8_t> small =
        compressMapData(std::span(content).subspan(from, to - from), image[block.start]);
    std::copy(small.begin(), small.end(), image.begin() + static_cast<std::ptrdiff_t>(block.start));

    const StageHeader header = readStageHeaderOfStage(image, stage);
    const unsigned at = mapInfoOffset(image, tables.maps, stageTerrainNumber(image, header.stageDataAddress));
    SectionRecord section = readMapInfo(image, survey.infoBank, at, header.sectionIndex).section;
    if (terrain.rowMajor) {
        section.bottom -= section.top;
        section.top = 0;
    } else {
        section.right -= section.left;
        section.left = 0;
    }
    writeSectionRecord(image, survey.infoBank, at, header.sectionIndex, section);
}

// The sample game with the stage's terrain cut, the stage's contents and its own
// tilesets, made once.
struct Sample {
    Sample() {
        cutTerrain(image, info, fuzz::kTiledFuzzStage);
        before = loadStageContents(image, info, fuzz::kTiledFuzzStage);
        FUZZ_CHECK(before.terrain.terrainWords.size() < 4096);
        FUZZ_CHECK(before.terrain.rawTiles ==
                   loadStageContents(game.image, info, fuzz::kTiledFuzzStage).terrain.rawTiles);
    }

    SampleGame game = buildSampleGame();
    IniFile rominfo = IniFile::parse(bytesOf(game.romInfoIni));
    IniFile sprites = IniFile::parse(bytesOf(game.spritesIni));
    RomInfo info{rominfo, sprites};
    std::vector<std::uint8_t> image = game.image;
    StageContents before;
    tiled::MapExport stock =
        tiled::exportStageMap(game.image, info, fuzz::kTiledFuzzStage, nullptr, fuzz::kTiledFuzzStem);
    tiled::MapFiles files = tiled::mapFilesFor(fuzz::kTiledFuzzStem);
};

const Sample& sample() {
    static const Sample s;
    return s;
}

void checkRefusal(const tiled::MapImport& r) {
    FUZZ_CHECK(r.image.empty());
    FUZZ_CHECK(r.problems.size() <= 51); // the last one counts the rest
    for (const tiled::Problem& p : r.problems)
        FUZZ_CHECK(!p.where.empty() && !p.why.empty() && !p.whereJa.empty() && !p.whyJa.empty());
    FUZZ_CHECK(r.cellsChanged == 0 && r.camerasChanged == 0 && r.bananasChanged == 0 && !r.spritesChanged);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Sample& s = sample();
    const fuzz::TiledImportInput input = fuzz::splitTiledImportInput(std::span(data, size));
    const tiled::FileReader read = [&](std::string_view source) -> std::optional<std::string> {
        if (source == s.files.chipsTileset) return s.stock.chipsTileset;
        if (source == s.files.attributesTileset) return s.stock.attributesTileset;
        if (source == fuzz::kTiledFuzzTileset && input.tileset) return std::string(*input.tileset);
        return std::nullopt;
    };
    const std::vector<std::uint8_t>& image = s.image;
    const StageContents& before = s.before;
    const tiled::MapImport r = tiled::importStageMap(image, s.info, fuzz::kTiledFuzzStage, input.map, read);
    if (!r.ok()) {
        checkRefusal(r);
        return 0;
    }
    FUZZ_CHECK(r.image.size() == image.size());
    const StageContents after = loadStageContents(r.image, s.info, fuzz::kTiledFuzzStage);
    FUZZ_CHECK(after.terrainOutcome == TilemapLoadOutcome::Loaded);
    FUZZ_CHECK(after.cameras.cameras.size() == before.cameras.cameras.size());
    FUZZ_CHECK(after.bananas.bananas.size() == before.bananas.bananas.size());
    FUZZ_CHECK(r.spritesBefore == static_cast<int>(before.sprites.sprites.size()));
    FUZZ_CHECK(r.spritesAfter == static_cast<int>(after.sprites.sprites.size()));
    FUZZ_CHECK(r.spritesChanged == (after.sprites.sprites != before.sprites.sprites));
    if (r.cellsChanged == 0 && r.camerasChanged == 0 && r.bananasChanged == 0 && !r.spritesChanged)
        FUZZ_CHECK(r.image == image);

    // What was written reads back as the map has it.
    const tiled::MapImport again = tiled::importStageMap(r.image, s.info, fuzz::kTiledFuzzStage, input.map, read);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.cellsChanged == 0 && again.camerasChanged == 0 && again.bananasChanged == 0 &&
               !again.spritesChanged);
    FUZZ_CHECK(again.image == r.image);
    return 0;
}
