#include "terrain/terrain_blocks.h"

#include "app/rom_image.h"
#include "app/rom_info.h"
#include "resources/text_ids.h"
#include "stage/map_compress.h"
#include "stage/map_decompress.h"
#include "stage/map_info.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "ui/texts.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>

namespace vexa {

namespace {

constexpr std::size_t kMaxFreeRanges = 256;

std::string hexOffset(std::size_t offset) {
    char text[16];
    std::snprintf(text, sizeof text, "%06zX", offset);
    return text;
}

std::size_t bankEnd(std::size_t offset) {
    return (offset / kBankSize + 1) * kBankSize;
}

bool sameBank(std::size_t first, std::size_t last) {
    return first / kBankSize == last / kBankSize;
}

// "BBOOOO": one to six hexadecimal digits, blanks around them allowed.
std::optional<std::size_t> parseOffset(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 6) return std::nullopt;
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool overlaps(std::size_t aFirst, std::size_t aEnd, std::size_t bFirst, std::size_t bEnd) {
    return aFirst < bEnd && bFirst < aEnd;
}

struct RoomTag {
    bool present = false; // the signature is there
    std::size_t room = 0; // 0: the length and its complement disagree
};

RoomTag readRoomTag(std::span<const std::uint8_t> image, std::size_t at) {
    RoomTag tag;
    if (at + kRoomTagSize > image.size() || !std::equal(std::begin(kRoomTagSignature), std::end(kRoomTagSignature),
                                                        image.begin() + static_cast<std::ptrdiff_t>(at)))
        return tag;
    tag.present = true;
    const unsigned room = image[at + 4] | image[at + 5] << 8;
    const unsigned complement = image[at + 6] | image[at + 7] << 8;
    if ((room ^ complement) == 0xFFFF) tag.room = room;
    return tag;
}

std::array<std::uint8_t, kRoomTagSize> roomTagBytes(std::size_t room) {
    const auto low = static_cast<std::uint8_t>(room);
    const auto high = static_cast<std::uint8_t>(room >> 8);
    return {kRoomTagSignature[0],
            kRoomTagSignature[1],
            kRoomTagSignature[2],
            kRoomTagSignature[3],
            low,
            high,
            static_cast<std::uint8_t>(~low),
            static_cast<std::uint8_t>(~high)};
}

// Where a stage's terrain lies, as the tile map finds it.
struct StageTerrain {
    std::uint8_t terrain = 0;
    unsigned infoOffset = 0;
    ImageAddress block;
};

std::optional<StageTerrain> stageTerrain(std::span<const std::uint8_t> image, const MapTableSettings& maps, int stage) {
    const StageHeader header = readStageHeaderOfStage(image, stage);
    if (isStageWithoutTilemap(header.stageType)) return std::nullopt;
    const unsigned infoBank = static_cast<unsigned>(maps.mapInfoBank) & 0xFFu;
    if (!isImageBank(infoBank)) return std::nullopt;
    StageTerrain found;
    found.terrain = stageTerrainNumber(image, header.stageDataAddress);
    found.infoOffset = mapInfoOffset(image, maps, found.terrain);
    const MapInfo info = readMapInfo(image, infoBank, found.infoOffset, header.sectionIndex);
    found.block = compressedDataAddress(info.dataOffset, info.dataBank);
    return found;
}

// What a block holds: from its head to the end of its room.
std::size_t extentEnd(const TerrainBlock& block) {
    return block.start + std::max(block.room, block.length);
}

// The free bytes of the ranges: each range less what any block holds, `ignored` left
// out of the blocks.
std::vector<FreeRange> freeGaps(const TerrainSurvey& survey, std::optional<std::size_t> ignored) {
    std::vector<FreeRange> gaps;
    for (const FreeRange& range : survey.freeSpace) {
        std::vector<std::pair<std::size_t, std::size_t>> used;
        for (std::size_t i = 0; i < survey.blocks.size(); ++i) {
            const TerrainBlock& block = survey.blocks[i];
            if (i == ignored) continue;
            const std::size_t end = extentEnd(block);
            if (overlaps(block.head, end, range.first, range.last + 1)) used.emplace_back(block.head, end);
        }
        std::sort(used.begin(), used.end());
        std::size_t at = range.first;
        for (const auto& [first, end] : used) {
            if (first > at) gaps.push_back({at, first - 1});
            at = std::max(at, end);
        }
        if (at <= range.last) gaps.push_back({at, range.last});
    }
    return gaps;
}

std::optional<StoredDataAddress> storedAddressOf(std::size_t blockStart) {
    return storedDataAddress(
        {static_cast<unsigned>(blockStart / kBankSize), static_cast<unsigned>(blockStart % kBankSize)});
}

} // namespace

std::string terrainNumbersText(const std::vector<std::uint8_t>& terrains) {
    std::string text;
    for (const std::uint8_t terrain : terrains) {
        char number[8];
        std::snprintf(number, sizeof number, "%02X", terrain);
        text += (text.empty() ? "" : ", ") + std::string(number);
    }
    return text;
}

namespace {

std::string terrainList(const TerrainBlock& block) {
    return terrainNumbersText(block.terrains);
}

// The bytes from `offset` that a write will replace, kept before it happens.
void writeKeeping(std::span<std::uint8_t> image, std::size_t offset, std::span<const std::uint8_t> bytes,
                  std::vector<ByteRange>& ranges) {
    if (offset > image.size() || bytes.size() > image.size() - offset) return;
    ByteRange range = ByteRange::before(image, offset, bytes.size());
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    range.keepNew(image);
    if (range.oldBytes != range.newBytes) ranges.push_back(std::move(range));
}

void undoWrites(std::span<std::uint8_t> image, const std::vector<ByteRange>& ranges) {
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
        it->putOld(image);
}

TerrainWrite refused(TerrainRefusal refusal, std::string why, std::size_t shortfall = 0) {
    TerrainWrite write;
    write.refusal = refusal;
    write.why = std::move(why);
    write.shortfall = shortfall;
    return write;
}

} // namespace

FreeSpace readFreeSpace(const IniFile& rominfo) {
    FreeSpace space;
    for (std::size_t key = 0; key < kMaxFreeRanges; ++key) {
        const std::optional<std::string> value = rominfo.value("FreeSpace", std::to_string(key));
        if (!value) break;
        const std::string name = "[FreeSpace] " + std::to_string(key) + "=" + *value + ": ";
        const std::size_t dash = value->find('-');
        const auto first =
            dash == std::string::npos ? std::nullopt : parseOffset(std::string_view(*value).substr(0, dash));
        const auto last =
            dash == std::string::npos ? std::nullopt : parseOffset(std::string_view(*value).substr(dash + 1));
        if (!first || !last) {
            space.problems.push_back(name + "not two hexadecimal image offsets BBOOOO-BBOOOO");
            continue;
        }
        if (*first > *last) {
            space.problems.push_back(name + "the first offset lies after the last");
        } else if (*last >= kRomSize) {
            space.problems.push_back(name + "past the end of the image");
        } else if (!sameBank(*first, *last)) {
            space.problems.push_back(name + "crosses a bank boundary");
        } else if (std::any_of(space.ranges.begin(), space.ranges.end(), [&](const FreeRange& other) {
                       return overlaps(*first, *last + 1, other.first, other.last + 1);
                   })) {
            space.problems.push_back(name + "overlaps an earlier range");
        } else {
            space.ranges.push_back({*first, *last});
        }
    }
    return space;
}

TerrainTables terrainTables(const RomInfo& info) {
    TerrainTables tables;
    tables.maps = info.mapTables();
    tables.stageCount = std::clamp(info.stageCount(), 0, kMaxStageCount);
    tables.freeSpace = readFreeSpace(info.rominfoFile()).ranges;
    return tables;
}

int TerrainSurvey::blockOfStage(int stage) const {
    for (std::size_t i = 0; i < blocks.size(); ++i)
        if (std::binary_search(blocks[i].stages.begin(), blocks[i].stages.end(), stage)) return static_cast<int>(i);
    return -1;
}

std::size_t TerrainSurvey::freeSpaceUsed(const FreeRange& range) const {
    std::size_t used = 0;
    for (const TerrainBlock& block : blocks) {
        if (!block.inFreeSpace) continue;
        const std::size_t first = std::max(block.head, range.first);
        const std::size_t end = std::min(block.start + block.length, range.last + 1);
        if (first < end) used += end - first;
    }
    return used;
}

TerrainSurvey surveyTerrain(std::span<const std::uint8_t> image, const TerrainTables& tables) {
    TerrainSurvey survey;
    survey.freeSpace = tables.freeSpace;
    survey.infoBank = static_cast<unsigned>(tables.maps.mapInfoBank) & 0xFFu;

    std::map<std::size_t, TerrainBlock> found; // by block start
    std::set<std::uint8_t> reportedOutside;
    for (int stage = 0; stage < tables.stageCount; ++stage) {
        const std::optional<StageTerrain> terrain = stageTerrain(image, tables.maps, stage);
        if (!terrain || terrain->block.offset == 0 || terrain->block.bank == 0) continue;
        if (!isImageBank(terrain->block.bank) ||
            imageOffset(terrain->block.bank, terrain->block.offset) >= image.size()) {
            if (reportedOutside.insert(terrain->terrain).second) {
                char text[96];
                std::snprintf(text, sizeof text, "terrain %02X: its map data lies outside the image", terrain->terrain);
                survey.problems.emplace_back(text);
            }
            continue;
        }
        const std::size_t start = imageOffset(terrain->block.bank, terrain->block.offset);
        TerrainBlock& block = found[start];
        block.start = start;
        block.stages.push_back(stage);
        if (std::find(block.terrains.begin(), block.terrains.end(), terrain->terrain) == block.terrains.end())
            block.terrains.push_back(terrain->terrain);
        if (std::find(block.infoOffsets.begin(), block.infoOffsets.end(), terrain->infoOffset) ==
            block.infoOffsets.end())
            block.infoOffsets.push_back(terrain->infoOffset);
    }

    std::vector<std::uint8_t> decoded(kMapDataMaxSize);
    for (auto& [start, block] : found) {
        std::sort(block.terrains.begin(), block.terrains.end());
        std::sort(block.infoOffsets.begin(), block.infoOffsets.end());
        const MapDataDecoded result = decompressMapBlock(image.subspan(start), decoded);
        const std::size_t inBank = start % kBankSize;
        block.head = start - std::min<std::size_t>(inBank, kCompressedHeadSize);
        if (result.size < 0) {
            block.setProblem(BlockProblem::Undecodable, "its map data cannot be decoded");
        } else {
            block.decodedSize = static_cast<std::size_t>(result.size);
            block.length = result.blockLength;
            block.room = block.length;
            if (inBank < kCompressedHeadSize) {
                block.setProblem(BlockProblem::HeadInOtherBank, "the 9 bytes in front of it lie in another bank");
            } else if (start + block.length > bankEnd(start)) {
                block.setProblem(BlockProblem::OverBankBoundary, "it runs over a bank boundary");
            }
        }
        if (block.problem.empty()) {
            const RoomTag tag = readRoomTag(image, start + block.length);
            if (tag.present) {
                if (tag.room < block.length + kRoomTagSize || start + tag.room > bankEnd(start)) {
                    block.setProblem(BlockProblem::BadRoomTag, "the room tag after it does not check out");
                } else {
                    block.room = tag.room;
                    block.tagged = true;
                }
            }
        }
        survey.blocks.push_back(std::move(block));
    }

    for (std::size_t i = 0; i < survey.blocks.size(); ++i) {
        TerrainBlock& block = survey.blocks[i];
        for (std::size_t j = 0; j < survey.blocks.size(); ++j) {
            const TerrainBlock& other = survey.blocks[j];
            if (i == j || !overlaps(block.head, extentEnd(block), other.head, extentEnd(other))) continue;
            if (block.tagged && !overlaps(block.head, block.start + block.length, other.head, extentEnd(other)))
                block.setProblem(BlockProblem::TagOverBlock, "the room tag after it reaches into another block");
            else
                block.setProblem(BlockProblem::OverlapsBlock, "it overlaps the block at " + hexOffset(other.start));
        }
        for (const unsigned info : block.infoOffsets)
            if (info + 3 > kBankSize)
                block.setProblem(BlockProblem::InfoOverBank,
                                 "a map info record leading to it runs over a bank boundary");
        for (const FreeRange& range : survey.freeSpace) {
            if (!overlaps(block.head, extentEnd(block), range.first, range.last + 1)) continue;
            if (block.head >= range.first && extentEnd(block) <= range.last + 1 && !block.tagged)
                block.inFreeSpace = true;
            else
                block.setProblem(BlockProblem::FreeRangeOver, "the free range " + hexOffset(range.first) + "-" +
                                                                  hexOffset(range.last) + " lies over part of it");
        }
    }
    for (const TerrainBlock& block : survey.blocks) {
        if (block.editable()) continue;
        survey.problems.push_back("terrain " + terrainList(block) + " (map data at " + hexOffset(block.start) +
                                  "): " + block.problem);
    }
    return survey;
}

std::vector<std::uint8_t> blockContent(std::span<const std::uint8_t> image, const TerrainBlock& block) {
    std::vector<std::uint8_t> decoded(kMapDataMaxSize);
    if (block.start >= image.size()) return {};
    const MapDataDecoded result = decompressMapBlock(image.subspan(block.start), decoded);
    if (result.size < 0) return {};
    decoded.resize(static_cast<std::size_t>(result.size));
    return decoded;
}

TerrainWrite writeBlockContent(std::span<std::uint8_t> image, const TerrainSurvey& survey, std::size_t blockIndex,
                               std::span<const std::uint8_t> content) {
    if (blockIndex >= survey.blocks.size()) return refused(TerrainRefusal::NoTerrain, "no such terrain block");
    const TerrainBlock& block = survey.blocks[blockIndex];
    if (!block.editable())
        return refused(TerrainRefusal::NotEditable,
                       "terrain " + terrainList(block) + " cannot be edited: " + block.problem);
    if (content.size() != block.decodedSize)
        return refused(TerrainRefusal::CellOutside, "the content does not have the block's size");

    const std::uint8_t headByte = image[block.start];
    std::vector<std::uint8_t> encoded = compressMapData(content, headByte);
    const std::vector<FreeRange> gaps = freeGaps(survey, blockIndex);

    // Where the block may grow in place: its room, and for a block living in free space
    // the free bytes right after it.
    std::size_t room = block.room;
    if (block.inFreeSpace) {
        room = block.length;
        for (const FreeRange& gap : gaps)
            if (gap.first <= block.start + block.length && gap.last + 1 > block.start + block.length)
                room = gap.last + 1 - block.start;
    }

    TerrainWrite write;
    std::vector<std::uint8_t> bytes;
    std::size_t at = block.start;
    if (!encoded.empty() && encoded.size() <= room) {
        bytes = encoded;
        const std::size_t unused = room - encoded.size();
        if (!block.inFreeSpace && unused != 0) {
            if (unused >= kRoomTagSize) {
                const auto tag = roomTagBytes(room);
                bytes.insert(bytes.end(), tag.begin(), tag.end());
            } else {
                bytes = compressMapDataToLength(content, headByte, room);
            }
        }
    }
    if (bytes.empty()) {
        // Into the smallest free gap that holds the head and the block.
        const std::size_t needed = kCompressedHeadSize + encoded.size();
        std::optional<FreeRange> best;
        std::size_t largest = 0;
        for (FreeRange gap : gaps) {
            // A head at offset 0 of a bank would be stored as offset 0, which reads as no
            // data: such a gap starts one byte later. A bank the records cannot name at
            // all (bank 0) holds no block.
            if (!storedAddressOf(gap.first + kCompressedHeadSize)) {
                if (gap.first == gap.last) continue;
                ++gap.first;
                if (!storedAddressOf(gap.first + kCompressedHeadSize)) continue;
            }
            largest = std::max(largest, gap.size());
            if (gap.size() >= needed && (!best || gap.size() < best->size())) best = gap;
        }
        if (encoded.empty() || !best) {
            const std::size_t available =
                std::max(room, largest > kCompressedHeadSize ? largest - kCompressedHeadSize : 0);
            const std::size_t length = encoded.empty() ? content.size() : encoded.size();
            const std::size_t shortfall = length > available ? length - available : 1;
            return refused(TerrainRefusal::DoesNotFit,
                           "the terrain does not fit: " + std::to_string(shortfall) + " bytes short", shortfall);
        }
        at = best->first + kCompressedHeadSize;
        bytes = std::move(encoded);
        write.moved = true;
    }

    if (write.moved) {
        const std::vector<std::uint8_t> head(image.begin() + static_cast<std::ptrdiff_t>(block.head),
                                             image.begin() + static_cast<std::ptrdiff_t>(block.start));
        writeKeeping(image, at - kCompressedHeadSize, head, write.ranges);
    }
    writeKeeping(image, at, bytes, write.ranges);
    if (write.moved) {
        // Every record that led to the block leads to its new place.
        const auto stored = storedAddressOf(at);
        const std::array<std::uint8_t, 3> address{static_cast<std::uint8_t>(stored->offset),
                                                  static_cast<std::uint8_t>(stored->offset >> 8), stored->bank};
        for (const unsigned info : block.infoOffsets)
            writeKeeping(image, imageOffset(survey.infoBank, info), address, write.ranges);
    }

    // The block must read back as the content, from where the records will lead.
    std::vector<std::uint8_t> check(kMapDataMaxSize);
    const MapDataDecoded decoded = decompressMapBlock(image.subspan(at), check);
    if (decoded.size != static_cast<int>(content.size()) ||
        !std::equal(content.begin(), content.end(), check.begin())) {
        undoWrites(image, write.ranges);
        return refused(TerrainRefusal::DoesNotFit, "the terrain could not be written back exactly");
    }
    return write;
}

TerrainWrite writeStageCells(std::span<std::uint8_t> image, const TerrainTables& tables, int stage,
                             std::span<const TerrainCell> cells) {
    const TerrainSurvey survey = surveyTerrain(image, tables);
    const int index = survey.blockOfStage(stage);
    TilemapData map;
    if (index < 0 ||
        loadTilemapData(image, readStageHeaderOfStage(image, stage), tables.maps, map) != TilemapLoadOutcome::Loaded)
        return refused(TerrainRefusal::NoTerrain, "stage " + std::to_string(stage) + " has no terrain data");
    const TerrainBlock& block = survey.blocks[static_cast<std::size_t>(index)];
    if (!block.editable())
        return refused(TerrainRefusal::NotEditable,
                       "terrain " + terrainList(block) + " cannot be edited: " + block.problem);

    const std::vector<std::uint8_t> original = blockContent(image, block);
    std::vector<std::uint8_t> content = original;
    for (const TerrainCell& cell : cells) {
        const std::optional<std::size_t> word = terrainWordIndex(map, cell.column, cell.row);
        if (!word || 2 * *word + 1 >= content.size())
            return refused(TerrainRefusal::CellOutside, "cell (" + std::to_string(cell.column) + ", " +
                                                            std::to_string(cell.row) + ") lies outside stage " +
                                                            std::to_string(stage) + "'s terrain");
        content[2 * *word] = static_cast<std::uint8_t>(cell.word);
        content[2 * *word + 1] = static_cast<std::uint8_t>(cell.word >> 8);
    }
    if (content == original) return {};
    return writeBlockContent(image, survey, static_cast<std::size_t>(index), content);
}

std::wstring terrainDoesNotFitMessage(std::size_t shortfall) {
    return formatText(IDS_TERRAIN_NO_ROOM, {groupedNumber(shortfall)});
}

} // namespace vexa
