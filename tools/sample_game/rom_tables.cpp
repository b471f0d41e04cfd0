#include "tools/sample_game/rom_tables.h"

#include "app/rom_checksum.h"

#include "app/rom_image.h"
#include "stage/map_info.h"
#include "stage/stage_table.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace vexa::sample {

namespace {

// Bank 0: the cartridge header with the reset code it points to.
constexpr unsigned kResetCode = 0x8000;
constexpr unsigned kReturnFromInterrupt = 0x8005;

constexpr unsigned kStageHeadersStart = 0x0200;
constexpr unsigned kStageDataSize = 16;

constexpr unsigned kMapInfoBank = 0x36;
constexpr unsigned kMapABInfo = 0x1000;
constexpr unsigned kMapRecordsStart = 0x1100;
constexpr unsigned kFirstDataBank = 0x30;
constexpr unsigned kDataStart = 0x0010; // a stored offset of 0 would mean "no data"
// [FreeSpace]: two banks that hold nothing, from the first offset a block's head may
// take: each holds any of the sample's terrains however it grows.
constexpr unsigned kFreeSpaceBanks[] = {0x33, 0x34};
constexpr unsigned kFreeRangeSize = 0x10000 - kDataStart;

constexpr unsigned kBananaBank = 0x2C;
constexpr unsigned kBananaSetsOffset = 0x8000;
constexpr unsigned kCameraTableOffset = 0x8000; // in the stage bank

std::uint32_t location(unsigned bank, unsigned offset) {
    return bank << 16 | (offset & 0xFFFF);
}

void writeCartridgeHeader(std::vector<std::uint8_t>& image) {
    static constexpr std::uint8_t kCode[] = {0x78, 0x18, 0xFB, 0x80, 0xFE, 0x40}; // sei clc xce; bra *; rti
    for (std::size_t i = 0; i < sizeof kCode; ++i)
        setRomByte(image, 0, kResetCode + static_cast<unsigned>(i), kCode[i]);
    char title[21];
    std::memset(title, ' ', sizeof title);
    std::memcpy(title, kDefaultCartName.data(), std::min(kDefaultCartName.size(), sizeof title));
    for (unsigned i = 0; i < sizeof title; ++i)
        setRomByte(image, 0, static_cast<unsigned>(kPlainTitleOffset) + i, static_cast<std::uint8_t>(title[i]));
    setRomByte(image, 0, 0xFFD5, 0x31); // HiROM, fast
    setRomByte(image, 0, 0xFFD6, 0x02); // ROM, RAM, battery
    setRomByte(image, 0, 0xFFD7, 0x0C); // 4 MiB
    setRomByte(image, 0, 0xFFD8, 0x03); // 8 KiB RAM
    setRomByte(image, 0, 0xFFD9, 0x00); // Japan
    for (unsigned vector = 0xFFE4; vector < 0x10000; vector += 2)
        setRomWord(image, 0, vector, kReturnFromInterrupt);
    setRomWord(image, 0, 0xFFFC, kResetCode);
}

// Stage headers (6 bytes, 8 for type 2) and the stage data blocks they point to.
// Returns where the area ends.
unsigned writeStages(std::vector<std::uint8_t>& image, const SamplePlan& plan) {
    unsigned header = kStageHeadersStart;
    unsigned data = kStageHeadersStart;
    for (const StagePlan& s : plan.stages)
        data += s.stageType == 2 ? 8 : 6;
    for (std::size_t i = 0; i < plan.stages.size(); ++i) {
        const StagePlan& s = plan.stages[i];
        writeStageTableEntry(image, static_cast<int>(i), header);
        setRomByte(image, kStageBank, header + 2, static_cast<std::uint8_t>(s.terrain + 1)); // music track
        header += static_cast<unsigned>(
            writeStageHeader(image, header, {s.stageType, static_cast<std::uint16_t>(data), s.section}));

        setRomWord(image, kStageBank, data, 48);            // start position, x
        setRomWord(image, kStageBank, data + 2, 256);       // and y
        setRomWord(image, kStageBank, data + 4, 300);       // time limit
        setRomByte(image, kStageBank, data + 6, s.terrain); // palette
        writeStageTerrain(image, static_cast<std::uint16_t>(data), s.terrain);
        data += kStageDataSize;
    }
    return data;
}

void writeMaps(std::vector<std::uint8_t>& image, const SamplePlan& plan, std::span<const CompressedTerrain> terrains) {
    TerrainPlacement at;
    at.table = {kMapInfoBank, kMapABInfo};
    at.recordOffset = kMapRecordsStart;
    at.dataBank = kFirstDataBank;
    unsigned offset = kDataStart;
    for (std::size_t t = 0; t < plan.terrains.size(); ++t) {
        const TerrainPlan& terrain = plan.terrains[t];
        const CompressedTerrain& data = terrains[t];
        at.number = static_cast<std::uint8_t>(t);
        at.dataOffset = 0;
        if (terrain.hasData && !data.block.empty()) {
            if (offset + kCompressedHeadSize + data.block.size() > kBankSize) {
                ++at.dataBank;
                offset = kDataStart;
            }
            at.dataOffset = offset;
            offset += kCompressedHeadSize + static_cast<unsigned>(data.block.size());
            offset = (offset + 15) & ~15u;
        }
        at.width = terrain.width;
        at.height = terrain.height;
        at.sections.clear();
        for (const SectionPlan& s : terrain.sections)
            at.sections.push_back({static_cast<unsigned>(s.left), static_cast<unsigned>(s.left + s.width),
                                   static_cast<unsigned>(s.top), static_cast<unsigned>(s.top + s.height),
                                   terrain.mapType});
        at.recordOffset = writeTerrain(image, at, data);
    }
}

// Lists in stage order, the tail stage's last so that it ends at AvailableEnd; main
// stages keep room behind their lists, bonus rooms are packed.
unsigned writeSprites(std::vector<std::uint8_t>& image, const SamplePlan& plan, std::span<const StageObjects> objects) {
    const auto count = static_cast<int>(plan.stages.size());
    std::vector<int> order;
    for (int i = 0; i < count; ++i)
        if (i != plan.spriteTailStage && plan.stages[static_cast<std::size_t>(i)].sharesSpritesWith < 0)
            order.push_back(i);
    order.push_back(plan.spriteTailStage);

    std::vector<unsigned> starts(static_cast<std::size_t>(count), 0);
    unsigned at = static_cast<unsigned>(count) * 2;
    for (const int i : order) {
        starts[static_cast<std::size_t>(i)] = at;
        at += static_cast<unsigned>(writeStageSpriteList(image, i, at, objects[static_cast<std::size_t>(i)].sprites));
        if (i == plan.spriteTailStage) break;
        const StageRole role = plan.stages[static_cast<std::size_t>(i)].role;
        if (i == plan.richStage)
            at += 16 * kSpriteEntrySize;
        else if (role == StageRole::Main)
            at += 8 * kSpriteEntrySize;
        else if (role == StageRole::Boss)
            at += 3 * kSpriteEntrySize;
    }
    for (int i = 0; i < count; ++i) {
        const int owner = plan.stages[static_cast<std::size_t>(i)].sharesSpritesWith;
        if (owner >= 0) writeSpritePointer(image, i, starts[static_cast<std::size_t>(owner)]);
    }
    return at;
}

std::uint32_t writeBananas(std::vector<std::uint8_t>& image, const SamplePlan& plan,
                           std::span<const StageObjects> objects) {
    // Put the table where the wrap stage's list runs over the end of the bank halfway.
    unsigned before = static_cast<unsigned>(objects.size() + 1) * 2;
    for (int i = 0; i < plan.bananaWrapStage; ++i)
        before += static_cast<unsigned>(objects[static_cast<std::size_t>(i)].bananas.size()) * kBananaEntrySize;
    before += static_cast<unsigned>(objects[static_cast<std::size_t>(plan.bananaWrapStage)].bananas.size() / 2) *
              kBananaEntrySize;
    const std::uint32_t levels = location(kBananaBank, (0x10000 - before) & 0xFFFF);
    writeBananaTable(image, levels, objects);
    return levels;
}

std::uint32_t writeBananaSets(std::vector<std::uint8_t>& image) {
    const std::uint32_t sets = location(kBananaBank, kBananaSetsOffset);
    const auto shapes = sampleBananaSets();
    unsigned data = static_cast<unsigned>(shapes.size()) * 2;
    for (std::size_t n = 0; n < shapes.size(); ++n)
        data += writeBananaSet(image, sets, static_cast<int>(n), data, shapes[n]);
    return sets;
}

std::vector<ImageRange> freeSpace() {
    std::vector<ImageRange> ranges;
    for (const unsigned bank : kFreeSpaceBanks)
        ranges.push_back({location(bank, kDataStart), location(bank, kDataStart + kFreeRangeSize - 1)});
    return ranges;
}

std::uint32_t writeCameras(std::vector<std::uint8_t>& image, std::span<const StageObjects> objects) {
    const std::uint32_t levels = location(kStageBank, kCameraTableOffset);
    writeCameraTable(image, levels, objects);
    return levels;
}

} // namespace

TableLocations writeRomTables(std::vector<std::uint8_t>& image, const SamplePlan& plan,
                              std::span<const CompressedTerrain> terrains, std::span<const StageObjects> objects) {
    TableLocations at;
    writeCartridgeHeader(image);
    at.stageCount = static_cast<int>(plan.stages.size());
    at.stageAreaEnd = writeStages(image, plan);
    writeMaps(image, plan, terrains);
    at.mapInfoBank = kMapInfoBank;
    at.mapABInfo = kMapABInfo;
    at.spriteLevelCount = at.stageCount;
    at.spriteAvailableEnd = writeSprites(image, plan, objects);
    at.bananaLevels = writeBananas(image, plan, objects);
    at.bananaSets = writeBananaSets(image);
    at.bananaSetCount = kBananaSetCount;
    at.cameraLevels = writeCameras(image, objects);
    at.freeSpace = freeSpace();
    fixChecksum(image);
    return at;
}

} // namespace vexa::sample
