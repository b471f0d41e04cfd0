#include "tools/sample_game/rom_blocks.h"

#include "app/rom_image.h"
#include "stage/map_compress.h"
#include "stage/map_info.h"

#include <algorithm>

namespace vexa::sample {

namespace {

constexpr unsigned kTerrainNumberAt = 8;

} // namespace

void writeStageTableEntry(std::span<std::uint8_t> image, int stage, unsigned headerOffset) {
    setRomWord(image, kStageBank, 2 * static_cast<unsigned>(stage), static_cast<std::uint16_t>(headerOffset));
}

int writeStageHeader(std::span<std::uint8_t> image, unsigned headerOffset, const StageHeader& header) {
    const unsigned skip = header.stageType == 2 ? 4 : 2;
    setRomWord(image, kStageBank, headerOffset, header.stageType);
    setRomWord(image, kStageBank, headerOffset + skip + 1, header.stageDataAddress);
    setRomByte(image, kStageBank, headerOffset + skip + 3, header.sectionIndex);
    return static_cast<int>(skip + 4);
}

void writeStageTerrain(std::span<std::uint8_t> image, std::uint16_t stageDataAddress, std::uint8_t terrain) {
    setRomByte(image, kStageBank, stageDataAddress + kTerrainNumberAt, terrain);
}

CompressedTerrain compressTerrain(std::span<const std::uint16_t> cells, std::uint8_t number) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(cells.size() * 2);
    for (const std::uint16_t word : cells) {
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return {compressMapData(bytes, number), bytes.size()};
}

unsigned writeTerrain(std::span<std::uint8_t> image, const TerrainPlacement& terrain, const CompressedTerrain& data) {
    const auto infoBank = static_cast<unsigned>(terrain.table.mapInfoBank & 0xFF);
    const auto table = static_cast<unsigned>(terrain.table.mapABInfo & 0xFFFF);
    const unsigned record = terrain.recordOffset;
    setRomWord(image, infoBank, table + 4u * terrain.number, static_cast<std::uint16_t>(record));
    const std::uint16_t mapType = terrain.sections.empty() ? 0 : terrain.sections.front().mapType;
    MapInfo info;
    info.wholeWidth = static_cast<std::uint16_t>(terrain.width * kTileSize);
    info.wholeHeight = static_cast<std::uint16_t>(terrain.height * kTileSize);
    if (terrain.dataOffset != 0 && !data.block.empty()) {
        const unsigned bank = terrain.dataBank;
        const unsigned head = terrain.dataOffset;
        writeCompressedHead(image, bank, head,
                            {static_cast<std::uint16_t>(data.decodedSize), static_cast<std::uint16_t>(terrain.width),
                             static_cast<std::uint16_t>(terrain.height), mapType});
        for (std::size_t i = 0; i < data.block.size(); ++i)
            setRomByte(image, bank, head + kCompressedHeadSize + static_cast<unsigned>(i), data.block[i]);
        if (const auto stored = storedDataAddress({bank, head + kCompressedHeadSize})) {
            info.dataOffset = stored->offset;
            info.dataBank = stored->bank;
        }
    }
    writeMapInfo(image, infoBank, record, info);
    for (std::size_t i = 0; i < terrain.sections.size(); ++i)
        writeSectionRecord(image, infoBank, record, i, terrain.sections[i]);
    return record + kMapInfoHeadSize + kSectionRecordSize * static_cast<unsigned>(terrain.sections.size());
}

void writeSpritePointer(std::span<std::uint8_t> image, int stage, unsigned start) {
    setRomWord(image, kSpriteBank, 2 * static_cast<unsigned>(stage), static_cast<std::uint16_t>(start));
}

int writeStageSpriteList(std::span<std::uint8_t> image, int stage, unsigned start, const SpriteList& sprites) {
    writeSpritePointer(image, stage, start);
    const int bytes = static_cast<int>(sprites.size() * kSpriteEntrySize + 2);
    return writeSpriteList(image, sprites, start, bytes);
}

std::vector<std::uint16_t> writeObjectTable(std::span<std::uint8_t> image, std::uint32_t levels,
                                            std::span<const int> counts, unsigned entrySize) {
    const unsigned bank = levels >> 16;
    const unsigned table = levels & 0xFFFF;
    std::vector<std::uint16_t> starts;
    unsigned relative = static_cast<unsigned>(counts.size() + 1) * 2;
    for (std::size_t i = 0; i <= counts.size(); ++i) {
        setRomWord(image, bank, table + 2 * static_cast<unsigned>(i), static_cast<std::uint16_t>(relative));
        if (i == counts.size()) break;
        // A list may run over the end of the bank: its slots wrap within it.
        starts.push_back(static_cast<std::uint16_t>(table + relative));
        relative += static_cast<unsigned>(counts[i]) * entrySize;
    }
    return starts;
}

std::vector<std::uint16_t> writeBananaTable(std::span<std::uint8_t> image, std::uint32_t levels,
                                            std::span<const StageObjects> stages) {
    std::vector<int> counts;
    for (const StageObjects& o : stages)
        counts.push_back(static_cast<int>(o.bananas.size()));
    const auto starts = writeObjectTable(image, levels, counts, kBananaEntrySize);
    for (std::size_t i = 0; i < stages.size(); ++i)
        writeBananaList(image, levels, static_cast<int>(i), stages[i].bananas, stages[i].mapType);
    return starts;
}

std::vector<std::uint16_t> writeCameraTable(std::span<std::uint8_t> image, std::uint32_t levels,
                                            std::span<const StageObjects> stages) {
    std::vector<int> counts;
    for (const StageObjects& o : stages)
        counts.push_back(static_cast<int>(o.cameras.size()));
    const auto starts = writeObjectTable(image, levels, counts, kCameraEntrySize);
    for (std::size_t i = 0; i < stages.size(); ++i)
        writeCameraList(image, levels, static_cast<int>(i), stages[i].cameras, stages[i].mapType);
    return starts;
}

// Set data: width, height, then the cells column by column, each from the bottom row
// up, one bit per cell from the least significant bit on.
unsigned writeBananaSet(std::span<std::uint8_t> image, std::uint32_t sets, int number, unsigned relative,
                        const BananaSetShape& shape) {
    std::vector<std::uint8_t> data = {static_cast<std::uint8_t>(shape.width()),
                                      static_cast<std::uint8_t>(shape.height())};
    unsigned bit = 0;
    for (int column = 0; column < shape.width(); ++column) {
        for (int row = shape.height() - 1; row >= 0; --row, ++bit) {
            if (bit % 8 == 0) data.push_back(0);
            if (shape.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '#')
                data.back() = static_cast<std::uint8_t>(data.back() | 1u << (bit % 8));
        }
    }
    const unsigned bank = sets >> 16;
    const unsigned table = sets & 0xFFFF;
    setRomWord(image, bank, table + 2 * static_cast<unsigned>(number), static_cast<std::uint16_t>(relative));
    for (std::size_t i = 0; i < data.size(); ++i)
        setRomByte(image, bank, table + relative + static_cast<unsigned>(i), data[i]);
    return static_cast<unsigned>(data.size());
}

} // namespace vexa::sample
