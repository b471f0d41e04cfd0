// The terrain as editable blocks: every compressed block of map data that a stage
// leads to, with the room it may occupy, the free space of rominfo.ini [FreeSpace],
// and writing a block's content back through the map data encoder.
//
// A block's room is what it may occupy from its first byte. For a block as the game
// has it, that is exactly the bytes the decoder reads, up to and including the end
// code. A block that shrinks keeps its room: when the unused part holds a room tag
// (kRoomTagSize bytes: "VXRM", the room in bytes and its complement, little-endian
// words) it sits right after the end code; when the unused part is too small for
// one, the stream is lengthened to fill the room exactly. A block that grows past its
// room moves, with the 9 bytes in front of it, into declared free space, and every
// map info record that leads to it follows. A block that lies wholly inside a free
// range lives there: its room is its own bytes and the free bytes after them.
#pragma once

#include "app/byte_range_record.h"
#include "app/ini_file.h"
#include "app/rom_settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexa {

class RomInfo;

inline constexpr std::size_t kRoomTagSize = 8;
inline constexpr std::uint8_t kRoomTagSignature[4] = {'V', 'X', 'R', 'M'};

// One range of rominfo.ini [FreeSpace]: image offsets, both inclusive, in one bank.
struct FreeRange {
    std::size_t first = 0;
    std::size_t last = 0;

    std::size_t size() const { return last - first + 1; }
    friend bool operator==(const FreeRange&, const FreeRange&) = default;
};

// The ranges of [FreeSpace], keys "0", "1", ... up to the first missing one, each
// "BBOOOO-BBOOOO" in hexadecimal. A range that cannot be used (not two offsets, past
// the image, across a bank boundary, reversed, overlapping an earlier one) is left
// out and named in `problems`.
struct FreeSpace {
    std::vector<FreeRange> ranges;
    std::vector<std::string> problems;
};
FreeSpace readFreeSpace(const IniFile& rominfo);

// What the terrain tables and the free space are, as rominfo.ini gives them.
struct TerrainTables {
    MapTableSettings maps;
    int stageCount = kDefaultStageCount;
    std::vector<FreeRange> freeSpace;
};
TerrainTables terrainTables(const RomInfo& info);

// Why a block cannot be edited, for the editor's own words; `TerrainBlock::problem`
// says the same in English with the offsets.
enum class BlockProblem {
    None,
    Undecodable,      // its map data cannot be decoded
    HeadInOtherBank,  // the 9 bytes in front of it lie in another bank
    OverBankBoundary, // it runs over a bank boundary
    BadRoomTag,       // the room tag after it does not check out
    TagOverBlock,     // the room tag after it reaches into another block
    OverlapsBlock,    // it overlaps another block
    InfoOverBank,     // a map info record leading to it runs over a bank boundary
    FreeRangeOver,    // a free range lies over part of it
};

struct TerrainBlock {
    std::size_t head = 0;   // image offset of the 9 bytes in front of the block
    std::size_t start = 0;  // image offset of the block's first byte
    std::size_t length = 0; // bytes the decoder reads, to and with the end code
    std::size_t room = 0;   // bytes from `start` the block may occupy
    std::size_t decodedSize = 0;
    bool tagged = false;                // a room tag follows the end code
    bool inFreeSpace = false;           // the block lives in a free range
    std::vector<std::uint8_t> terrains; // the terrain numbers leading here, ascending
    std::vector<unsigned> infoOffsets;  // the map info records leading here, in the info bank
    std::vector<int> stages;            // the stages leading here, ascending
    // Why the block cannot be edited; empty when it can.
    std::string problem;
    BlockProblem problemKind = BlockProblem::None;

    bool editable() const { return problem.empty(); }
    void setProblem(BlockProblem kind, std::string text) {
        problemKind = kind;
        problem = std::move(text);
    }
};

// Terrain numbers in two hexadecimal digits, as [MapChip] keys them: "07, 1A".
std::string terrainNumbersText(const std::vector<std::uint8_t>& terrains);

struct TerrainSurvey {
    std::vector<TerrainBlock> blocks; // by image offset
    std::vector<FreeRange> freeSpace;
    unsigned infoBank = 0; // the bank of the map info records
    // Tables that lead somewhere unusual: what `vexa validate` reports.
    std::vector<std::string> problems;

    // The block the stage's terrain lies in, or -1 (a stage without terrain data).
    int blockOfStage(int stage) const;
    // Bytes of the free ranges that blocks occupy.
    std::size_t freeSpaceUsed(const FreeRange& range) const;
};

TerrainSurvey surveyTerrain(std::span<const std::uint8_t> image, const TerrainTables& tables);

// A block's content: every byte the decoder produces for it. Empty for a corrupt block.
std::vector<std::uint8_t> blockContent(std::span<const std::uint8_t> image, const TerrainBlock& block);

enum class TerrainRefusal {
    NoTerrain,   // the stage has no terrain data
    NotEditable, // the block's tables are unusual (the block's problem says how)
    CellOutside, // a cell lies outside the section or beyond the decoded data
    DoesNotFit,  // neither the room nor any free range holds the block
};

struct TerrainWrite {
    std::optional<TerrainRefusal> refusal;
    std::string why;               // the refusal in words (English), for the tool and logs
    std::size_t shortfall = 0;     // with DoesNotFit: the bytes missing
    std::vector<ByteRange> ranges; // every byte run changed, with its old and new bytes
    bool moved = false;            // the block went into free space

    bool ok() const { return !refusal; }
};

// Writes `content` as the block's content (the block's size: what the decoder
// produces), in its room or in free space. A refusal writes nothing.
TerrainWrite writeBlockContent(std::span<std::uint8_t> image, const TerrainSurvey& survey, std::size_t blockIndex,
                               std::span<const std::uint8_t> content);

struct TerrainCell {
    int column = 0; // of the stage's section
    int row = 0;
    std::uint16_t word = 0;
};

// Writes the cells of a stage's section (the words the tile map reads for them). All
// or nothing: one cell outside the section or beyond the decoded data refuses them all.
// Cells that already hold their words change nothing (no ranges).
TerrainWrite writeStageCells(std::span<std::uint8_t> image, const TerrainTables& tables, int stage,
                             std::span<const TerrainCell> cells);

// The editor's message for a block that fits nowhere: "地形データが入りきりません。
// (1,234 バイト不足)" (caption "エラー", warning icon).
std::wstring terrainDoesNotFitMessage(std::size_t shortfall);

} // namespace vexa
