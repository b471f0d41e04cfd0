// Painting the terrain: what letting go of a stroke costs, from the cells to the image
// (the survey of every block, the decode, the encode and the write), next to the encode
// of the same block alone, in one run.
#include "app/ini_file.h"
#include "app/rom_info.h"
#include "stage/map_compress.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "terrain/terrain_blocks.h"
#include "tools/sample_game/sample_game.h"

#include <benchmark/benchmark.h>

#include <span>
#include <string>
#include <vector>

namespace {

struct PaintedStage {
    std::vector<std::uint8_t> image;
    vexa::TerrainTables tables;
    int stage = 0;
    std::vector<std::uint8_t> content; // the block's decoded bytes
    std::uint8_t terrain = 0;
};

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The stage of the sample whose block decodes to the most bytes.
const PaintedStage& largestStage() {
    static const PaintedStage painted = [] {
        const vexa::SampleGame game = vexa::buildSampleGame();
        const vexa::IniFile rominfo = vexa::IniFile::parse(bytesOf(game.romInfoIni));
        const vexa::IniFile sprites = vexa::IniFile::parse(bytesOf(game.spritesIni));
        PaintedStage made{game.image, vexa::terrainTables(vexa::RomInfo(rominfo, sprites)), 0, {}, 0};
        const vexa::TerrainSurvey survey = vexa::surveyTerrain(made.image, made.tables);
        const vexa::TerrainBlock* largest = nullptr;
        for (const vexa::TerrainBlock& block : survey.blocks)
            if (block.editable() && (!largest || block.decodedSize > largest->decodedSize)) largest = &block;
        if (!largest) return made;
        made.stage = largest->stages.front();
        made.content = vexa::blockContent(made.image, *largest);
        made.terrain = largest->terrains.front();
        return made;
    }();
    return painted;
}

// One cell, set to one word and back at every other iteration, so that every
// iteration writes.
void paintOneCellOfLargestTerrain(benchmark::State& state) {
    const PaintedStage& painted = largestStage();
    if (painted.content.empty()) {
        state.SkipWithError("no editable terrain");
        return;
    }
    std::vector<std::uint8_t> image = painted.image;
    vexa::TilemapData map;
    vexa::loadTilemapData(image, vexa::readStageHeaderOfStage(image, painted.stage), painted.tables.maps, map);
    const std::uint16_t shown = *vexa::tileWordAt(map, 1, 1);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        const vexa::TerrainCell cell{1, 1, static_cast<std::uint16_t>(flip ? shown ^ 0x0011 : shown)};
        const vexa::TerrainWrite write = vexa::writeStageCells(image, painted.tables, painted.stage, {&cell, 1});
        if (!write.ok()) {
            state.SkipWithError(write.why.c_str());
            return;
        }
    }
    state.counters["decoded"] = static_cast<double>(painted.content.size());
}
BENCHMARK(paintOneCellOfLargestTerrain)->Unit(benchmark::kMillisecond);

void encodeLargestTerrainBlock(benchmark::State& state) {
    const PaintedStage& painted = largestStage();
    for (auto _ : state)
        benchmark::DoNotOptimize(vexa::compressMapData(painted.content, painted.terrain));
    state.counters["decoded"] = static_cast<double>(painted.content.size());
}
BENCHMARK(encodeLargestTerrainBlock)->Unit(benchmark::kMillisecond);

} // namespace
