// The terrain as editable blocks on a hostile image: the survey of every block the
// first stages lead to (their rooms, room tags and free space), each block's content,
// and writes of a stage's cells into its room or into free space. A block that the
// survey calls editable keeps to its bank and to itself, and its content is as long
// as its head says; a write changes only the bytes of the runs it reports, a refusal
// none, and a written stage reads back with its new cells.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_image.h"
#include "fuzz/stage_load_input.h"

#include "app/rom_image.h"
#include "stage/map_info.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "terrain/terrain_blocks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace {

using namespace vexa;
using fuzz::BankSnapshot;

void checkSurvey(std::span<const std::uint8_t> image, const TerrainSurvey& survey) {
    std::size_t end = 0;
    for (const TerrainBlock& block : survey.blocks) {
        FUZZ_CHECK(block.start >= end || !block.editable());
        if (!block.editable()) continue;
        FUZZ_CHECK(block.head + kCompressedHeadSize == block.start);
        FUZZ_CHECK(block.length >= 1 && block.length <= block.room);
        FUZZ_CHECK(block.head / kBankSize == (block.start + block.room - 1) / kBankSize);
        FUZZ_CHECK(blockContent(image, block).size() == block.decodedSize);
        FUZZ_CHECK(!block.stages.empty() && !block.infoOffsets.empty());
        end = block.start + block.room;
    }
}

// Terrain writes on the first stages: a refusal changes nothing, a write changes only
// bytes of the runs it reports, all in the banks of the block, the map info records and
// the free range, and putting the runs' old bytes back gives those banks back. Blocks
// that decode to more than kTerrainContentLimit bytes are left alone: the encoder's
// time on them would be most of the run.
constexpr int kTerrainStages = 8;
constexpr std::size_t kTerrainContentLimit = 8192;

void exerciseTerrain(std::vector<std::uint8_t>& image, const fuzz::StageLoadHead& head, unsigned freeBank) {
    const std::uint32_t edit = head.edit;
    TerrainTables tables;
    tables.maps = {head.mapInfoBank, head.mapABInfo};
    tables.stageCount = kTerrainStages;
    const std::size_t first = imageOffset(freeBank, (edit >> 8) & 0xF000u);
    tables.freeSpace.push_back({first, std::min(first + 0x40 + (edit & 0x3FFFu), imageOffset(freeBank, 0xFFFF))});
    const int stage = static_cast<int>(static_cast<unsigned>(head.stageNumber) % kTerrainStages);
    const TerrainSurvey survey = surveyTerrain(image, tables);
    checkSurvey(image, survey);
    const int index = survey.blockOfStage(stage);
    if (index < 0 || survey.blocks[static_cast<std::size_t>(index)].decodedSize > kTerrainContentLimit) return;
    const TerrainBlock& block = survey.blocks[static_cast<std::size_t>(index)];

    static std::array<BankSnapshot, 3> before;
    const unsigned banks[] = {static_cast<unsigned>(block.start / kBankSize), survey.infoBank & 0x3Fu, freeBank};
    for (std::size_t i = 0; i < before.size(); ++i)
        before[i].take(image, banks[i]);
    const TerrainCell cells[] = {
        {static_cast<int>(edit & 0x3F), static_cast<int>(edit >> 6 & 0x3F), static_cast<std::uint16_t>(edit >> 12)},
        {static_cast<int>(edit >> 16 & 0x7F) - 2, static_cast<int>(edit >> 23 & 0x1F),
         static_cast<std::uint16_t>(edit)},
    };
    const std::size_t count = 1 + (edit >> 28 & 1);
    const std::span<const TerrainCell> edited(cells, count);
    const TerrainWrite write = writeStageCells(image, tables, stage, edited);
    const auto inRanges = [&](unsigned bank, unsigned o) {
        const std::size_t at = imageOffset(bank, o);
        return std::any_of(write.ranges.begin(), write.ranges.end(), [&](const ByteRange& range) {
            return at >= range.offset && at < range.offset + range.newBytes.size();
        });
    };
    for (std::size_t i = 0; i < before.size(); ++i)
        before[i].checkChanges(image, [&](unsigned o, std::uint8_t, std::uint8_t) { return inRanges(banks[i], o); });
    for (const ByteRange& range : write.ranges) {
        const auto bank = static_cast<unsigned>(range.offset / kBankSize);
        FUZZ_CHECK(std::find(std::begin(banks), std::end(banks), bank) != std::end(banks));
        FUZZ_CHECK((range.offset + range.newBytes.size() - 1) / kBankSize == bank);
    }
    if (!write.ok()) {
        FUZZ_CHECK(write.ranges.empty());
        return;
    }
    // Written once, the same cells change nothing more, and the stage's terrain reads
    // back with them.
    FUZZ_CHECK(writeStageCells(image, tables, stage, edited).ranges.empty());
    const TilemapData written = fuzz::loadTerrain(image, readStageHeaderOfStage(image, stage), head);
    std::optional<std::size_t> words[2];
    for (std::size_t i = 0; i < count; ++i) {
        words[i] = terrainWordIndex(written, cells[i].column, cells[i].row);
        FUZZ_CHECK(words[i] && *words[i] < written.terrainWords.size());
    }
    for (std::size_t i = 0; i < count; ++i) {
        // Two cells of a section whose rows overlap may share a word: the later wins.
        const bool overwritten = i + 1 < count && words[i + 1] == words[i];
        if (!overwritten) FUZZ_CHECK(written.terrainWords[*words[i]] == cells[i].word);
    }
    const TerrainSurvey after = surveyTerrain(image, tables);
    checkSurvey(image, after);
    FUZZ_CHECK(after.blockOfStage(stage) >= 0);
    for (auto it = write.ranges.rbegin(); it != write.ranges.rend(); ++it)
        FUZZ_CHECK(it->putOld(image));
    for (const BankSnapshot& bank : before)
        FUZZ_CHECK(bank.sameAs(image));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::Image image;
    fuzz::StageLoadHead head;
    if (!image.placeInput(std::span(data, size), head)) return 0;
    const unsigned freeBank = head.edit >> 24 & 0x3Fu;
    image.markDirty(freeBank);
    image.markDirty(static_cast<unsigned>(head.mapInfoBank) & 0x3Fu);
    exerciseTerrain(image.bytes(), head, freeBank);
    return 0;
}
