#include "stage/map_compress.h"

#include "app/rom_image.h"
#include "stage/map_decompress.h"
#include "stage/map_info.h"
#include "stage/sample_stage_fixture.h"
#include "stage/tilemap_data.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace vexa {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

// Column-major 16-bit tiles: sky over hilly ground, a rock here and there.
Bytes tileMap(int columns, int height, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes bytes;
    int ground = height / 2;
    for (int c = 0; c < columns; ++c) {
        if (rng() % 8 == 0) ground = std::clamp(ground + (rng() % 2 ? 1 : -1), 2, height - 2);
        for (int r = 0; r < height; ++r) {
            const std::uint16_t tile = r < ground ? 0x0001 : r == ground ? 0x0402 : rng() % 16 ? 0x0403 : 0x8404;
            bytes.push_back(static_cast<std::uint8_t>(tile));
            bytes.push_back(static_cast<std::uint8_t>(tile >> 8));
        }
    }
    return bytes;
}

// Random stretches between features that each make one command the cheapest choice
// (the command's code in the comment).
Bytes mixedData() {
    std::mt19937 rng(42);
    auto next = [&] { return static_cast<std::uint8_t>(rng()); };
    Bytes d;
    auto put = [&](std::initializer_list<std::uint8_t> bytes) { d.insert(d.end(), bytes); };
    auto run = [&](std::size_t length, std::uint8_t value) { d.insert(d.end(), length, value); };
    auto repeatFrom = [&](std::size_t from, std::size_t length) {
        const Bytes part(d.begin() + static_cast<std::ptrdiff_t>(from),
                         d.begin() + static_cast<std::ptrdiff_t>(from + length));
        d.insert(d.end(), part.begin(), part.end());
    };
    for (int i = 0; i < 400; ++i) {
        for (int k = 0; k < 5; ++k)
            d.push_back(next());
        const std::uint8_t a = next(), b = next(), c = next();
        const auto k = static_cast<std::uint8_t>(i / 10 % 8);
        switch (i % 10) {
        case 0: run(10, 0xA1); break; // 4
        case 1: run(10, 0xB2); break; // 5
        case 2:
            run(6, 0xA1);
            put({a});
            run(6, 0xB2);
            break; // 1
        case 3:
            run(6, 0xA1);
            put({a, b});
            run(6, 0xB2);
            break;                                                                        // 2
        case 4: put({0x5C, 0x5D}); break;                                                 // 6
        case 5: put({std::uint8_t(0x60 + k), 0x70, std::uint8_t(0x68 + k), 0x78}); break; // 15
        case 6:
            run(5, 0xA1);
            put({0xC3});
            run(5, 0xB2);
            put({0xD4});
            break;                                       // 7, 8
        case 7: put({a, a, b, c, b, c}); break;          // 13, 14
        case 8: put({a, b, c, 0x11, 0x22, a, b}); break; // 9
        default: repeatFrom(d.size() - 20, 8); break;    // 10
        }
        if (i % 100 == 99) repeatFrom(d.size() - 1000, 12);                 // 11
        if (i % 50 == 0) run(20, static_cast<std::uint8_t>(0x30 + i / 50)); // 3
    }
    repeatFrom(35, 12); // 12: the first random bytes, over 4 KiB back
    return d;
}

// Commands of a block's stream by code.
std::array<int, 16> commandCounts(const Bytes& block) {
    constexpr std::array<int, 16> operandNibbles = {0, 2, 4, 3, 1, 1, 0, 0, 0, 1, 3, 4, 5, 0, 0, 1};
    std::array<int, 16> counts{};
    std::size_t pos = 2 * 39;
    auto nibble = [&] {
        const unsigned v = (block.at(pos / 2) >> (pos % 2 ? 0 : 4)) & 0xF;
        ++pos;
        return v;
    };
    for (;;) {
        const unsigned code = nibble();
        if (code == 0) {
            const unsigned count = nibble();
            if (count == 0) return counts;
            pos += 2 * count;
        } else {
            pos += operandNibbles[code];
        }
        ++counts[code];
    }
}

void expectRoundTrip(const Bytes& data) {
    const Bytes block = compressMapData(data);
    Bytes out(kMapDataMaxSize);
    ASSERT_EQ(decompressMapData(block, out), static_cast<int>(data.size()));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
}

TEST(MapCompress, RoundTripsVariedData) {
    for (std::size_t size : {0, 1, 2, 3, 17, 100, 4097}) {
        SCOPED_TRACE(size);
        expectRoundTrip(randomBytes(size, static_cast<unsigned>(size)));
    }
    Bytes runs;
    std::mt19937 rng(3);
    while (runs.size() < 30000)
        runs.insert(runs.end(), rng() % 40 + 1, static_cast<std::uint8_t>(rng() % 4));
    expectRoundTrip(runs);
    expectRoundTrip(tileMap(400, 24, 1));
    expectRoundTrip(mixedData());
}

TEST(MapCompress, RoundTripsExactly64KiB) {
    expectRoundTrip(randomBytes(kMapDataMaxSize, 9));
    expectRoundTrip(Bytes(kMapDataMaxSize, 0));
    expectRoundTrip(tileMap(2048, 16, 2));
}

TEST(MapCompress, MixedDataUsesEveryCommand) {
    const Bytes data = mixedData();
    ASSERT_GT(data.size(), 4400u); // for the far copy at the end
    const auto counts = commandCounts(compressMapData(data));
    for (int code = 0; code < 16; ++code)
        EXPECT_GT(counts[code], 0) << "command " << code;
}

TEST(MapCompress, TileMapShrinksAtLeastSixfold) {
    const Bytes data = tileMap(1000, 24, 5);
    EXPECT_LT(compressMapData(data).size() * 6, data.size());
}

TEST(MapCompress, RandomDataGrowsByLittle) {
    const Bytes data = randomBytes(20000, 4);
    EXPECT_LT(compressMapData(data).size(), data.size() + data.size() / 14);
}

TEST(MapCompress, EmptyDataGivesHeadDictionaryAndEndCode) {
    const Bytes block = compressMapData({}, 0x7E);
    ASSERT_EQ(block.size(), 40u);
    EXPECT_EQ(block.front(), 0x7E);
    EXPECT_EQ(block.back(), 0x00);
}

TEST(MapCompress, DataLongerThan64KiBGivesNoBlock) {
    EXPECT_TRUE(compressMapData(Bytes(kMapDataMaxSize + 1, 1)).empty());
}

// The terrains of the sample game, decoded from its image.
struct SampleTerrain {
    std::uint8_t number;
    Bytes data;
};

const std::vector<SampleTerrain>& sampleTerrains() {
    static const std::vector<SampleTerrain> terrains = [] {
        const Bytes& image = test::sampleGame().image;
        const MapTableSettings maps = test::SampleSettings().info().mapTables();
        const auto bank = static_cast<unsigned>(maps.mapInfoBank & 0xFF);
        std::vector<SampleTerrain> found;
        for (const sample::TerrainPlan& terrain : test::samplePlan().terrains) {
            if (!terrain.hasData) continue;
            const MapInfo info = readMapInfo(image, bank, mapInfoOffset(image, maps, terrain.number), 0);
            const ImageAddress block = compressedDataAddress(info.dataOffset, info.dataBank);
            Bytes data(kMapDataMaxSize);
            const int size = decompressMapData(std::span(image).subspan(imageOffset(block.bank, block.offset)), data);
            data.resize(static_cast<std::size_t>(std::max(size, 0)));
            found.push_back({terrain.number, std::move(data)});
        }
        return found;
    }();
    return terrains;
}

std::uint64_t fnv1a(const Bytes& bytes) {
    std::uint64_t hash = 0xCBF29CE484222325;
    for (std::uint8_t b : bytes)
        hash = (hash ^ b) * 0x100000001B3;
    return hash;
}

// The size and hash of the encoder's block of each sample terrain, with the terrain's
// number as the head byte: a faster search or parse must not change a byte of them.
TEST(MapCompress, SampleTerrainsEncodeToTheStoredBlocks) {
    struct Stored {
        std::size_t size;
        std::uint64_t hash;
    };
    const std::array<Stored, 7> stored = {{{7410, 0x29E1BA16E1C64D75},
                                           {9868, 0x38390ABC63666A14},
                                           {7616, 0xCC052261FC4A7594},
                                           {9207, 0x387430EE7AAB9D6C},
                                           {8990, 0x67EC959F2D23549E},
                                           {9426, 0x99F8C95BC774069A},
                                           {9253, 0xB54A1BA228E56602}}};
    ASSERT_EQ(sampleTerrains().size(), stored.size());
    for (const SampleTerrain& terrain : sampleTerrains()) {
        SCOPED_TRACE(static_cast<int>(terrain.number));
        ASSERT_LT(terrain.number, stored.size());
        const Bytes block = compressMapData(terrain.data, terrain.number);
        EXPECT_EQ(block.size(), stored[terrain.number].size);
        EXPECT_EQ(fnv1a(block), stored[terrain.number].hash);
    }
}

// A block of exactly `length` bytes that decodes to `data` and ends there.
void expectBlockOfLength(const Bytes& data, std::size_t length) {
    const Bytes block = compressMapDataToLength(data, 0x42, length);
    ASSERT_EQ(block.size(), length);
    EXPECT_EQ(block.front(), 0x42);
    Bytes out(kMapDataMaxSize);
    const MapDataDecoded decoded = decompressMapBlock(block, out);
    EXPECT_EQ(decoded.blockLength, length);
    ASSERT_EQ(decoded.size, static_cast<int>(data.size()));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
}

TEST(MapCompress, ExactLengthReachesEveryLengthUpTo16BytesOverTheShortest) {
    std::vector<std::pair<std::string, Bytes>> cases = {{"random", randomBytes(20000, 6)},
                                                        {"zeros", Bytes(kMapDataMaxSize, 0)},
                                                        {"tile map", tileMap(400, 24, 1)},
                                                        {"mixed", mixedData()},
                                                        {"small", randomBytes(17, 17)}};
    Bytes runs;
    std::mt19937 rng(8);
    while (runs.size() < 20000)
        runs.insert(runs.end(), rng() % 30 + 1, static_cast<std::uint8_t>(rng() % 3));
    cases.emplace_back("runs", runs);
    for (const SampleTerrain& terrain : sampleTerrains())
        cases.emplace_back("sample terrain " + std::to_string(terrain.number), terrain.data);
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        const Bytes shortest = compressMapData(data, 0x42);
        EXPECT_EQ(compressMapDataToLength(data, 0x42, shortest.size()), shortest);
        for (std::size_t extra = 1; extra <= 16; ++extra) {
            SCOPED_TRACE(extra);
            expectBlockOfLength(data, shortest.size() + extra);
        }
    }
}

TEST(MapCompress, ExactLengthGivesNoBlockWhereNoneFits) {
    struct Case {
        const char* name;
        Bytes data;
        int extra; // bytes over the shortest block
    };
    const std::array<Case, 4> cases = {{{"shorter than the shortest", tileMap(50, 24, 3), -1},
                                        {"empty data, nothing to lengthen", {}, 1},
                                        {"one byte, spelled in four nibbles at most", {0x55}, 2},
                                        {"longer than 64 KiB", Bytes(kMapDataMaxSize + 1, 1), 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t shortest = c.data.size() > kMapDataMaxSize ? 100 : compressMapData(c.data).size();
        const auto length = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(shortest) + c.extra);
        EXPECT_TRUE(compressMapDataToLength(c.data, 0, length).empty());
    }
}

} // namespace
} // namespace vexa
