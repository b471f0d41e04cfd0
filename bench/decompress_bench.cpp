// The terrain codec on the sample game's terrains: compression next to decompression
// and a plain memcpy of the same output size on the largest, so that the rates can be
// compared in one run; and the size of every terrain's block next to the stored one.
#include "stage/map_compress.h"
#include "stage/map_decompress.h"
#include "tools/sample_game/sample_plan.h"
#include "tools/sample_game/terrain.h"
#include "tools/sample_game/terrain_tiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct SampleTerrain {
    std::uint8_t number = 0;
    Bytes data; // the tile words, low byte first, as the sample stores them
    Bytes block;
};

// The sizes of the sample terrains' blocks by terrain number, as the test
// MapCompress.SampleTerrainsEncodeToTheStoredBlocks stores them with their hashes: a
// faster search or parse must not change a byte of them.
constexpr std::size_t kStoredBlockSizes[] = {7410, 9868, 7616, 9207, 8990, 9426, 9253};

const std::vector<SampleTerrain>& sampleTerrains() {
    static const std::vector<SampleTerrain> terrains = [] {
        std::vector<SampleTerrain> made;
        for (const vexa::sample::TerrainPlan& plan : vexa::sample::makeSamplePlan().terrains) {
            if (!plan.hasData) continue;
            const vexa::sample::TerrainGrid grid = vexa::sample::generateTerrain(plan);
            SampleTerrain terrain{plan.number, {}, {}};
            for (std::uint16_t word :
                 vexa::sample::storedCells(vexa::sample::tileTerrain(grid, plan), grid, plan.mapType)) {
                terrain.data.push_back(static_cast<std::uint8_t>(word));
                terrain.data.push_back(static_cast<std::uint8_t>(word >> 8));
            }
            terrain.block = vexa::compressMapData(terrain.data, plan.number);
            made.push_back(std::move(terrain));
        }
        return made;
    }();
    return terrains;
}

const SampleTerrain& largestTerrain() {
    const auto& terrains = sampleTerrains();
    return *std::max_element(terrains.begin(), terrains.end(), [](const SampleTerrain& a, const SampleTerrain& b) {
        return a.data.size() < b.data.size();
    });
}

void countSizes(benchmark::State& state, const SampleTerrain& terrain) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * terrain.data.size()));
    state.counters["terrain"] = static_cast<double>(terrain.data.size());
    state.counters["compressed"] = static_cast<double>(terrain.block.size());
    state.counters["ratio"] = static_cast<double>(terrain.data.size()) / static_cast<double>(terrain.block.size());
}

void decompressLargestTerrain(benchmark::State& state) {
    const SampleTerrain& terrain = largestTerrain();
    std::vector<std::uint8_t> out(2 * vexa::kMapDataMaxSize);
    if (vexa::decompressMapData(terrain.block, out) != static_cast<int>(terrain.data.size()) ||
        !std::equal(terrain.data.begin(), terrain.data.end(), out.begin())) {
        state.SkipWithError("round trip failed");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(vexa::decompressMapData(terrain.block, out));
        benchmark::ClobberMemory();
    }
    countSizes(state, terrain);
}
BENCHMARK(decompressLargestTerrain);

void memcpyLargestTerrainSize(benchmark::State& state) {
    const SampleTerrain& terrain = largestTerrain();
    std::vector<std::uint8_t> out(2 * vexa::kMapDataMaxSize);
    for (auto _ : state) {
        std::memcpy(out.data(), terrain.data.data(), terrain.data.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * terrain.data.size()));
}
BENCHMARK(memcpyLargestTerrainSize);

void compressLargestTerrain(benchmark::State& state) {
    const SampleTerrain& terrain = largestTerrain();
    for (auto _ : state)
        benchmark::DoNotOptimize(vexa::compressMapData(terrain.data, terrain.number));
    countSizes(state, terrain);
}
BENCHMARK(compressLargestTerrain)->Unit(benchmark::kMillisecond);

// One run per sample terrain, with its block's size (`compressed`) next to the stored
// one (`stored`).
void compressSampleTerrain(benchmark::State& state) {
    const auto& terrains = sampleTerrains();
    const auto index = static_cast<std::size_t>(state.range(0));
    if (index >= terrains.size() || terrains[index].number >= std::size(kStoredBlockSizes)) {
        state.SkipWithError("no such sample terrain");
        return;
    }
    const SampleTerrain& terrain = terrains[index];
    for (auto _ : state)
        benchmark::DoNotOptimize(vexa::compressMapData(terrain.data, terrain.number));
    countSizes(state, terrain);
    state.counters["stored"] = static_cast<double>(kStoredBlockSizes[terrain.number]);
}
BENCHMARK(compressSampleTerrain)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

} // namespace
