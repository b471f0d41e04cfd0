#include "tools/sample_game/rom_tables.h"

#include "app/rom_image.h"
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
constexpr unsigned kTerrainNumberAt = 8;

constexpr unsigned kMapInfoBank = 0x36;
constexpr unsigned kMapABInfo = 0x1000;
constexpr unsigned kMapRecordsStart = 0x1100;
constexpr unsigned kMapInfoSize = 9;
constexpr unsigned kSectionRecordSize = 10;
constexpr unsigned kFirstDataBank = 0x30;
constexpr unsigned kDataStart = 0x0010; // a stored offset of 0 would mean "no data"
constexpr unsigned kDataHeadSize = 9;   // skipped by the loader

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

void writeChecksum(std::vector<std::uint8_t>& image) {
    setRomWord(image, 0, 0xFFDC, 0xFFFF);
    setRomWord(image, 0, 0xFFDE, 0x0000);
    const auto sum = static_cast<std::uint16_t>(std::accumulate(image.begin(), image.end(), 0u));
    setRomWord(image, 0, 0xFFDC, static_cast<std::uint16_t>(sum ^ 0xFFFF));
    setRomWord(image, 0, 0xFFDE, sum);
}

// Stage headers (6 bytes, 8 for type 2) and the stage data blocks they point to,
// whose byte at +8 names the terrain. Returns where the area ends.
unsigned writeStages(std::vector<std::uint8_t>& image, const SamplePlan& plan) {
    const auto count = static_cast<unsigned>(plan.stages.size());
    unsigned header = kStageHeadersStart;
    unsigned data = kStageHeadersStart;
    for (const StagePlan& s : plan.stages)
        data += s.stageType == 2 ? 8 : 6;
    for (unsigned i = 0; i < count; ++i) {
        const StagePlan& s = plan.stages[i];
        setRomWord(image, kStageBank, 2 * i, static_cast<std::uint16_t>(header));
        setRomWord(image, kStageBank, header, s.stageType);
        setRomByte(image, kStageBank, header + 2, static_cast<std::uint8_t>(s.terrain + 1)); // music track
        const unsigned k = s.stageType == 2 ? 4 : 2;
        setRomWord(image, kStageBank, header + k + 1, static_cast<std::uint16_t>(data));
        setRomByte(image, kStageBank, header + k + 3, s.section);
        header += k + 4;

        setRomWord(image, kStageBank, data, 48);            // start position, x
        setRomWord(image, kStageBank, data + 2, 256);       // and y
        setRomWord(image, kStageBank, data + 4, 300);       // time limit
        setRomByte(image, kStageBank, data + 6, s.terrain); // palette
        setRomByte(image, kStageBank, data + kTerrainNumberAt, s.terrain);
        data += kStageDataSize;
    }
    return data;
}

void writeMaps(std::vector<std::uint8_t>& image, const SamplePlan& plan, std::span<const CompressedTerrain> terrains) {
    unsigned record = kMapRecordsStart;
    unsigned bank = kFirstDataBank;
    unsigned offset = kDataStart;
    for (std::size_t t = 0; t < plan.terrains.size(); ++t) {
        const TerrainPlan& terrain = plan.terrains[t];
        const CompressedTerrain& data = terrains[t];
        setRomWord(image, kMapInfoBank, kMapABInfo + 4 * static_cast<unsigned>(t), static_cast<std::uint16_t>(record));
        std::uint16_t storedOffset = 0;
        std::uint8_t storedBank = 0;
        if (terrain.hasData && !data.block.empty()) {
            if (offset + kDataHeadSize + data.block.size() > kBankSize) {
                ++bank;
                offset = kDataStart;
            }
            storedOffset = static_cast<std::uint16_t>(offset);
            storedBank = static_cast<std::uint8_t>(0xC0 + bank); // the HiROM address of the image bank
            // The loader skips the head; it holds the decoded size and shape.
            setRomWord(image, bank, offset, static_cast<std::uint16_t>(data.decodedSize));
            setRomWord(image, bank, offset + 2, static_cast<std::uint16_t>(terrain.width));
            setRomWord(image, bank, offset + 4, static_cast<std::uint16_t>(terrain.height));
            setRomWord(image, bank, offset + 6, terrain.mapType);
            std::copy(data.block.begin(), data.block.end(),
                      image.begin() + static_cast<std::ptrdiff_t>(imageOffset(bank, offset + kDataHeadSize)));
            offset += kDataHeadSize + static_cast<unsigned>(data.block.size());
            offset = (offset + 15) & ~15u;
        }
        setRomWord(image, kMapInfoBank, record, storedOffset);
        setRomByte(image, kMapInfoBank, record + 2, storedBank);
        setRomWord(image, kMapInfoBank, record + 5, static_cast<std::uint16_t>(terrain.width * 32));
        setRomWord(image, kMapInfoBank, record + 7, static_cast<std::uint16_t>(terrain.height * 32));
        unsigned at = record + kMapInfoSize;
        for (const SectionPlan& s : terrain.sections) {
            setRomWord(image, kMapInfoBank, at, static_cast<std::uint16_t>(s.left * 32));
            setRomWord(image, kMapInfoBank, at + 2, static_cast<std::uint16_t>((s.left + s.width) * 32));
            setRomWord(image, kMapInfoBank, at + 4, static_cast<std::uint16_t>(s.top * 32));
            setRomWord(image, kMapInfoBank, at + 6, static_cast<std::uint16_t>((s.top + s.height) * 32));
            setRomWord(image, kMapInfoBank, at + 8, terrain.mapType);
            at += kSectionRecordSize;
        }
        record = at;
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
        const auto& sprites = objects[static_cast<std::size_t>(i)].sprites;
        const int bytes = static_cast<int>(sprites.size() * kSpriteEntrySize + 2);
        writeSpriteList(image, sprites, at, bytes);
        starts[static_cast<std::size_t>(i)] = at;
        at += static_cast<unsigned>(bytes);
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
        const unsigned start = starts[static_cast<std::size_t>(owner >= 0 ? owner : i)];
        setRomWord(image, kSpriteBank, 2 * static_cast<unsigned>(i), static_cast<std::uint16_t>(start));
    }
    return at;
}

// The pointer table of fixed-size entry lists: offsets relative to the table, the
// lists back to back behind it, one closing word.
void writeListTable(std::vector<std::uint8_t>& image, unsigned bank, unsigned table, std::span<const int> counts,
                    unsigned entrySize) {
    unsigned word = static_cast<unsigned>(counts.size() + 1) * 2;
    for (std::size_t i = 0; i <= counts.size(); ++i) {
        setRomWord(image, bank, table + 2 * static_cast<unsigned>(i), static_cast<std::uint16_t>(word));
        if (i < counts.size()) word += static_cast<unsigned>(counts[i]) * entrySize;
    }
}

std::uint32_t writeBananas(std::vector<std::uint8_t>& image, const SamplePlan& plan,
                           std::span<const StageObjects> objects) {
    std::vector<int> counts;
    for (const StageObjects& o : objects)
        counts.push_back(static_cast<int>(o.bananas.size()));
    // Put the table where the wrap stage's list runs over the end of the bank halfway.
    unsigned before = static_cast<unsigned>(counts.size() + 1) * 2;
    for (int i = 0; i < plan.bananaWrapStage; ++i)
        before += static_cast<unsigned>(counts[static_cast<std::size_t>(i)]) * kBananaEntrySize;
    before += static_cast<unsigned>(counts[static_cast<std::size_t>(plan.bananaWrapStage)] / 2) * kBananaEntrySize;
    const unsigned table = (0x10000 - before) & 0xFFFF;
    writeListTable(image, kBananaBank, table, counts, kBananaEntrySize);
    const std::uint32_t levels = location(kBananaBank, table);
    for (std::size_t i = 0; i < objects.size(); ++i)
        writeBananaList(image, levels, static_cast<int>(i), objects[i].bananas, objects[i].mapType);
    return levels;
}

// Set data: width, height, then the cells column by column, each from the bottom
// row up, one bit per cell from the least significant bit on.
std::uint32_t writeBananaSets(std::vector<std::uint8_t>& image) {
    const auto sets = sampleBananaSets();
    unsigned data = static_cast<unsigned>(sets.size()) * 2;
    for (std::size_t n = 0; n < sets.size(); ++n) {
        const BananaSetShape& set = sets[n];
        setRomWord(image, kBananaBank, kBananaSetsOffset + 2 * static_cast<unsigned>(n),
                   static_cast<std::uint16_t>(data));
        const unsigned at = kBananaSetsOffset + data;
        setRomByte(image, kBananaBank, at, static_cast<std::uint8_t>(set.width()));
        setRomByte(image, kBananaBank, at + 1, static_cast<std::uint8_t>(set.height()));
        unsigned bit = 0;
        for (int column = 0; column < set.width(); ++column) {
            for (int row = set.height() - 1; row >= 0; --row, ++bit) {
                if (set.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] != '#') continue;
                const unsigned byte = at + 2 + bit / 8;
                setRomByte(image, kBananaBank, byte,
                           static_cast<std::uint8_t>(romByte(image, kBananaBank, byte) | 1u << (bit % 8)));
            }
        }
        data += 2 + (bit + 7) / 8;
    }
    return location(kBananaBank, kBananaSetsOffset);
}

std::uint32_t writeCameras(std::vector<std::uint8_t>& image, std::span<const StageObjects> objects) {
    std::vector<int> counts;
    for (const StageObjects& o : objects)
        counts.push_back(static_cast<int>(o.cameras.size()));
    writeListTable(image, kStageBank, kCameraTableOffset, counts, kCameraEntrySize);
    const std::uint32_t levels = location(kStageBank, kCameraTableOffset);
    for (std::size_t i = 0; i < objects.size(); ++i)
        writeCameraList(image, levels, static_cast<int>(i), objects[i].cameras, objects[i].mapType);
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
    writeChecksum(image);
    return at;
}

} // namespace vexa::sample
