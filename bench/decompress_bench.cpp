// Map decompression speed on a side-scrolling terrain, next to a plain memcpy of the
// same output size so the two rates can be compared in one run.
#include "stage/map_compress.h"
#include "stage/map_decompress.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kWidthCells = 1100;
constexpr int kHeightCells = 24;

constexpr std::uint16_t kSky = 0x0001;
constexpr std::uint16_t kCloud = 0x0010; // 2 x 2 chips from here
constexpr std::uint16_t kGrass = 0x0402;
constexpr std::uint16_t kSlopeUp = 0x0412;
constexpr std::uint16_t kSlopeDown = 0x4412; // the up slope, mirrored
constexpr std::uint16_t kEarth = 0x0403;
constexpr std::uint16_t kRock = 0x0404;
constexpr std::uint16_t kBedrock = 0x0C07;
constexpr std::uint16_t kPlatform = 0x0820; // left end, middle, right end
constexpr std::uint16_t kCoinBlock = 0x8831;

// Column-major like the game's horizontal terrains: one column of kHeightCells words
// after another, row 0 at the top.
std::vector<std::uint8_t> drawTerrain() {
    std::mt19937 rng(1234);
    auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    std::vector<std::uint16_t> cells(static_cast<std::size_t>(kWidthCells) * kHeightCells, kSky);
    auto at = [&](int column, int row) -> std::uint16_t& {
        return cells[static_cast<std::size_t>(column) * kHeightCells + row];
    };

    int ground = 18;
    int platformLeft = 0, platformRow = 0;
    for (int column = 0; column < kWidthCells; ++column) {
        const int previous = ground;
        if (chance(12)) ground = std::clamp(ground + (chance(50) ? 1 : -1), 12, 21);
        if (column % 97 < 6 && column > 20) ground = kHeightCells; // pits
        for (int row = ground; row < kHeightCells - 1; ++row)
            at(column, row) = chance(6) ? kRock : kEarth;
        if (ground < kHeightCells) {
            at(column, ground) = ground < previous ? kSlopeUp : ground > previous ? kSlopeDown : kGrass;
            at(column, kHeightCells - 1) = kBedrock;
        }
        if (platformLeft == 0 && chance(4)) {
            platformLeft = 3 + static_cast<int>(rng() % 6);
            platformRow = 5 + static_cast<int>(rng() % 6);
            at(column, platformRow) = kPlatform;
            if (chance(30)) at(column, platformRow - 3) = kCoinBlock;
        } else if (platformLeft > 0) {
            at(column, platformRow) = --platformLeft == 0 ? kPlatform + 2 : kPlatform + 1;
        }
        if (column + 1 < kWidthCells && chance(3)) {
            const int row = 1 + static_cast<int>(rng() % 3);
            at(column, row) = kCloud;
            at(column, row + 1) = kCloud + 0x10;
            at(column + 1, row) = kCloud + 1;
            at(column + 1, row + 1) = kCloud + 0x11;
        }
    }
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t cell : cells) {
        bytes.push_back(static_cast<std::uint8_t>(cell));
        bytes.push_back(static_cast<std::uint8_t>(cell >> 8));
    }
    return bytes;
}

struct Fixture {
    std::vector<std::uint8_t> terrain = drawTerrain();
    std::vector<std::uint8_t> block = vexa::compressMapData(terrain);
};

const Fixture& fixture() {
    static const Fixture f;
    return f;
}

void decompressTerrain(benchmark::State& state) {
    const Fixture& f = fixture();
    std::vector<std::uint8_t> out(2 * vexa::kMapDataMaxSize);
    if (vexa::decompressMapData(f.block, out) != static_cast<int>(f.terrain.size()) ||
        !std::equal(f.terrain.begin(), f.terrain.end(), out.begin())) {
        state.SkipWithError("round trip failed");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(vexa::decompressMapData(f.block, out));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.terrain.size()));
    state.counters["terrain"] = static_cast<double>(f.terrain.size());
    state.counters["compressed"] = static_cast<double>(f.block.size());
    state.counters["ratio"] = static_cast<double>(f.terrain.size()) / static_cast<double>(f.block.size());
}
BENCHMARK(decompressTerrain);

void memcpyTerrainSize(benchmark::State& state) {
    const Fixture& f = fixture();
    std::vector<std::uint8_t> out(2 * vexa::kMapDataMaxSize);
    for (auto _ : state) {
        std::memcpy(out.data(), f.terrain.data(), f.terrain.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.terrain.size()));
}
BENCHMARK(memcpyTerrainSize);

void compressTerrain(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(vexa::compressMapData(f.terrain));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.terrain.size()));
}
BENCHMARK(compressTerrain)->Unit(benchmark::kMillisecond);

} // namespace
