#include "terrain/terrain_blocks.h"

#include "app/rom_image.h"
#include "resources/text_ids.h"
#include "stage/map_compress.h"
#include "stage/map_info.h"
#include "stage/object_edit_fixture.h"
#include "stage/sample_stage_fixture.h"
#include "stage/stage_bytes_record.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "terrain/terrain_editor.h"
#include "ui/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace vexa::test {
namespace {

constexpr const char* kTwoFreeBanks = "[FreeSpace]\n0=310000-31FFFF\n1=320000-32FFFF\n";
// 20 KB, then a whole bank.
constexpr const char* kSmallAndLargeRange = "[FreeSpace]\n0=310000-314FFF\n1=320000-32FFFF\n";

// The sample's image with settings of the test's own, surveyed anew after each write.
// The free space is the test's alone, not the sample's.
struct TerrainImage {
    explicit TerrainImage(const std::string& rominfoHead = {})
        : settings(rominfoHead), tables(terrainTables(settings.info())), image(sampleGame().image) {
        tables.freeSpace = readFreeSpace(IniFile::parse(textBytes(rominfoHead))).ranges;
    }

    TerrainSurvey survey() const { return surveyTerrain(image, tables); }
    const TerrainBlock& blockOf(int stage) {
        current = survey();
        return current.blocks.at(static_cast<std::size_t>(current.blockOfStage(stage)));
    }
    TilemapData map(int stage) const {
        TilemapData data;
        loadTilemapData(image, readStageHeaderOfStage(image, stage), tables.maps, data);
        return data;
    }
    // Every cell of the stage's section set to a word of its own: data that compresses
    // badly, which makes the block grow.
    TerrainWrite scramble(int stage, int cells, unsigned seed) {
        const TilemapData data = map(stage);
        std::mt19937 random(seed);
        std::vector<TerrainCell> written;
        for (int i = 0; i < cells && i < data.widthTiles * data.heightTiles; ++i)
            written.push_back({i % data.widthTiles, i / data.widthTiles, static_cast<std::uint16_t>(random())});
        return writeStageCells(image, tables, stage, written);
    }

    SampleSettings settings;
    TerrainTables tables;
    std::vector<std::uint8_t> image;
    TerrainSurvey current;
};

// Every image byte that differs lies in one of the ranges.
bool changesLieInRanges(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after,
                        const std::vector<ByteRange>& ranges) {
    for (auto it = std::mismatch(before.begin(), before.end(), after.begin()); it.first != before.end();
         it = std::mismatch(it.first + 1, before.end(), it.second + 1)) {
        const auto i = static_cast<std::size_t>(it.first - before.begin());
        if (std::none_of(ranges.begin(), ranges.end(), [&](const ByteRange& range) {
                return i >= range.offset && i < range.offset + range.newBytes.size();
            }))
            return false;
    }
    return true;
}

TEST(TerrainFreeSpace, RangesAreReadOrRefusedWithTheirReason) {
    struct Case {
        const char* value;
        std::optional<FreeRange> range;
        const char* problem;
    };
    const Case cases[] = {
        {"310000-31FFFF", FreeRange{0x310000, 0x31FFFF}, nullptr},
        {" 3A0010 - 3A001f ", FreeRange{0x3A0010, 0x3A001F}, nullptr},
        {"10-10", FreeRange{0x10, 0x10}, nullptr},
        {"310000", std::nullopt, "not two hexadecimal"},
        {"31000G-31FFFF", std::nullopt, "not two hexadecimal"},
        {"3100000-31FFFF", std::nullopt, "not two hexadecimal"},
        {"31FFFF-310000", std::nullopt, "after the last"},
        {"3F0000-400000", std::nullopt, "past the end"},
        {"31FF00-3200FF", std::nullopt, "crosses a bank"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const FreeSpace space = readFreeSpace(IniFile::parse(textBytes(std::string("[FreeSpace]\n0=") + c.value)));
        if (c.range) {
            EXPECT_EQ(space.ranges, std::vector<FreeRange>{*c.range});
            EXPECT_TRUE(space.problems.empty());
        } else {
            EXPECT_TRUE(space.ranges.empty());
            ASSERT_EQ(space.problems.size(), 1u);
            EXPECT_NE(space.problems[0].find(c.problem), std::string::npos) << space.problems[0];
        }
    }
    // Keys run from 0 to the first missing one; a range over an earlier one is left out.
    const FreeSpace space = readFreeSpace(
        IniFile::parse(textBytes("[FreeSpace]\n0=310000-3100FF\n1=3100F0-3101FF\n2=320000-3200FF\n4=330000-3300FF\n")));
    EXPECT_EQ(space.ranges, (std::vector<FreeRange>{{0x310000, 0x3100FF}, {0x320000, 0x3200FF}}));
    ASSERT_EQ(space.problems.size(), 1u);
    EXPECT_NE(space.problems[0].find("overlaps"), std::string::npos);
}

TEST(TerrainSurvey, EverySampleStageWithAMapLeadsToAnEditableBlockFillingItsRoom) {
    TerrainImage sample;
    const TerrainSurvey survey = sample.survey();
    EXPECT_TRUE(survey.problems.empty());
    ASSERT_FALSE(survey.blocks.empty());
    for (const TerrainBlock& block : survey.blocks) {
        EXPECT_TRUE(block.editable()) << block.problem;
        EXPECT_EQ(block.room, block.length);
        EXPECT_EQ(block.head + kCompressedHeadSize, block.start);
        EXPECT_EQ(blockContent(sample.image, block).size(), block.decodedSize);
        for (const int stage : block.stages)
            EXPECT_EQ(&survey.blocks[static_cast<std::size_t>(survey.blockOfStage(stage))], &block);
    }
    // Writing a cell the word it holds writes nothing.
    const TilemapData map = sample.map(3);
    const TerrainCell same{2, 1, *tileWordAt(map, 2, 1)};
    const TerrainWrite write = writeStageCells(sample.image, sample.tables, 3, std::span(&same, 1));
    EXPECT_TRUE(write.ok());
    EXPECT_TRUE(write.ranges.empty());
    EXPECT_EQ(sample.image, sampleGame().image);
}

TEST(TerrainWrite, CellsReadBackThroughEveryStageAndTerrainOfTheBlock) {
    TerrainImage sample(kTwoFreeBanks);
    // Terrain 0x70 gets a record of its own, a copy of stage 3's, and stage 10 is made to
    // show it: two terrain numbers and two records lead to one block.
    const TerrainBlock shared = sample.blockOf(3);
    const unsigned bank = sample.current.infoBank;
    const unsigned table = static_cast<unsigned>(sample.tables.maps.mapABInfo) & 0xFFFF;
    const unsigned copy = 0xF000;
    for (unsigned i = 0; i < 0x100; ++i)
        sample.image[imageOffset(bank, copy + i)] = sample.image[imageOffset(bank, shared.infoOffsets[0] + i)];
    setRomWord(sample.image, bank, table + 4 * 0x70, static_cast<std::uint16_t>(copy));
    const StageHeader header = readStageHeaderOfStage(sample.image, 10);
    setRomByte(sample.image, kStageBank, header.stageDataAddress + 8u, 0x70);

    const TerrainBlock block = sample.blockOf(3);
    EXPECT_EQ(block.terrains, (std::vector<std::uint8_t>{shared.terrains[0], 0x70}));
    EXPECT_EQ(block.infoOffsets, (std::vector<unsigned>{shared.infoOffsets[0], copy}));

    const TerrainCell cell{5, 4, 0x1234};
    const TerrainWrite write = writeStageCells(sample.image, sample.tables, 3, std::span(&cell, 1));
    ASSERT_TRUE(write.ok()) << write.why;
    // Stage 10 shows another section of the same terrain words.
    const std::size_t word = *terrainWordIndex(sample.map(3), 5, 4);
    EXPECT_EQ(sample.map(3).terrainWords[word], 0x1234);
    EXPECT_EQ(sample.map(10).terrainWords[word], 0x1234);
    // Grown past its room, the block lives in free space, and both records lead there.
    const TerrainWrite grown = sample.scramble(3, 400, 1);
    ASSERT_TRUE(grown.ok()) << grown.why;
    EXPECT_TRUE(write.moved || grown.moved);
    const TerrainBlock& after = sample.blockOf(10);
    EXPECT_TRUE(after.inFreeSpace);
    EXPECT_EQ(after.stages, block.stages);
    EXPECT_EQ(after.infoOffsets, block.infoOffsets);
    EXPECT_EQ(sample.map(3).terrainWords, sample.map(10).terrainWords);
}

TEST(TerrainWrite, RefusalsWriteNothing) {
    struct Case {
        const char* name;
        const char* rominfoHead;
        int stage;
        TerrainRefusal refusal;
    };
    const Case cases[] = {
        {"a cell left of the section", "", 3, TerrainRefusal::CellOutside},
        {"a cell below the section", "", 3, TerrainRefusal::CellOutside},
        {"a stage without terrain data", "", 0, TerrainRefusal::NoTerrain},
        {"a block that fits nowhere", "", 3, TerrainRefusal::DoesNotFit},
        {"a block larger than all free space", "[FreeSpace]\n0=310000-3100FF\n", 3, TerrainRefusal::DoesNotFit},
        // Bank 0 can hold no block: the map info would store its bank as 0, which reads
        // as no terrain data.
        {"free space only in bank 0", "[FreeSpace]\n0=00C000-00FFFF\n", 3, TerrainRefusal::DoesNotFit},
    };
    EXPECT_EQ(terrainDoesNotFitMessage(12345), L"地形データが入りきりません。(12,345 バイト不足)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TerrainImage sample(c.rominfoHead);
        TerrainWrite write;
        if (c.refusal == TerrainRefusal::DoesNotFit) {
            write = sample.scramble(c.stage, 400, 2);
            EXPECT_GT(write.shortfall, 0u);
        } else {
            const TilemapData map = sample.map(3);
            const TerrainCell cell = std::string_view(c.name).find("below") != std::string_view::npos
                                         ? TerrainCell{0, map.heightTiles, 1}
                                         : TerrainCell{-1, 0, 1};
            // A good cell first: all or nothing.
            const TerrainCell cells[] = {{0, 0, 0x77}, cell};
            write = writeStageCells(sample.image, sample.tables, c.stage, cells);
        }
        EXPECT_EQ(write.refusal, c.refusal) << write.why;

        EXPECT_FALSE(write.why.empty());
        EXPECT_TRUE(write.ranges.empty());
        EXPECT_EQ(sample.image, sampleGame().image);
    }
}

TEST(TerrainSurvey, UnusualTablesAreShownButNotEdited) {
    struct Case {
        const char* name;
        const char* rominfoHead;
        void (*change)(std::vector<std::uint8_t>& image, const TerrainSurvey& survey);
        const char* problem;
    };
    const Case cases[] = {
        {"a room tag whose complement is wrong", "",
         [](std::vector<std::uint8_t>& image, const TerrainSurvey& survey) {
             const TerrainBlock& block = survey.blocks[0];
             const std::uint8_t tag[] = {'V', 'X', 'R', 'M', 0x00, 0x30, 0x00, 0x00};
             std::copy(std::begin(tag), std::end(tag),
                       image.begin() + static_cast<std::ptrdiff_t>(block.start + block.length));
         },
         "room tag"},
        {"two blocks that overlap", "",
         [](std::vector<std::uint8_t>& image, const TerrainSurvey& survey) {
             const TerrainBlock& block = survey.blocks[0];
             // The next block's records lead into the middle of this one.
             const auto stored = storedDataAddress({static_cast<unsigned>(block.start / kBankSize),
                                                    static_cast<unsigned>(block.start % kBankSize + 100)});
             for (const unsigned info : survey.blocks[1].infoOffsets) {
                 setRomWord(image, survey.infoBank, info, stored->offset);
                 setRomByte(image, survey.infoBank, info + 2, stored->bank);
             }
         },
         "overlaps"},
        {"a free range over part of a block", "[FreeSpace]\n0=300100-3001FF\n",
         [](std::vector<std::uint8_t>&, const TerrainSurvey&) {}, "free range"},
        {"a block over a bank boundary", "",
         [](std::vector<std::uint8_t>& image, const TerrainSurvey& survey) {
             const TerrainBlock& block = survey.blocks[0];
             const std::size_t at = 0x31FFF0;
             std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(block.head), kCompressedHeadSize + block.length,
                         image.begin() + static_cast<std::ptrdiff_t>(at - kCompressedHeadSize));
             const auto stored = storedDataAddress({0x31, 0xFFF0});
             for (const unsigned info : block.infoOffsets) {
                 setRomWord(image, survey.infoBank, info, stored->offset);
                 setRomByte(image, survey.infoBank, info + 2, stored->bank);
             }
         },
         "bank boundary"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TerrainImage sample(c.rominfoHead);
        const TerrainSurvey before = sample.survey();
        c.change(sample.image, before);
        const std::vector<std::uint8_t> changed = sample.image;
        const TerrainSurvey survey = sample.survey();
        ASSERT_FALSE(survey.problems.empty());
        EXPECT_NE(survey.problems[0].find(c.problem), std::string::npos) << survey.problems[0];
        const int stage = before.blocks[0].stages[0];
        const TerrainBlock& block = survey.blocks[static_cast<std::size_t>(survey.blockOfStage(stage))];
        EXPECT_FALSE(block.editable());
        const TerrainCell cell{0, 0, 0x1111};
        const TerrainWrite write = writeStageCells(sample.image, sample.tables, stage, std::span(&cell, 1));
        EXPECT_EQ(write.refusal, TerrainRefusal::NotEditable);
        EXPECT_NE(write.why.find(c.problem), std::string::npos) << write.why;
        EXPECT_EQ(sample.image, changed);
    }
}

TEST(TerrainWrite, AShrunkBlockKeepsItsRoomThroughEveryWriteAndRereading) {
    TerrainImage sample;
    const TerrainBlock original = sample.blockOf(4);
    const std::vector<std::uint8_t> content = blockContent(sample.image, original);
    // Emptied, the block shrinks far below its room and a tag carries the room.
    std::vector<std::uint8_t> plain(content.size(), 0);
    ASSERT_TRUE(writeBlockContent(sample.image, sample.current, 0, {}).refusal.has_value());
    for (int cycle = 0; cycle < 4; ++cycle) {
        SCOPED_TRACE(cycle);
        const TerrainBlock& before = sample.blockOf(4);
        const std::size_t index = static_cast<std::size_t>(sample.current.blockOfStage(4));
        std::vector<std::uint8_t> next = cycle % 2 == 0 ? plain : content;
        const TerrainWrite write = writeBlockContent(sample.image, sample.current, index, next);
        ASSERT_TRUE(write.ok()) << write.why;
        EXPECT_FALSE(write.moved);
        // The image alone carries the room: a file written and read again is this image.
        const std::vector<std::uint8_t> reread = sample.image;
        const TerrainSurvey survey = surveyTerrain(reread, sample.tables);
        const TerrainBlock& block = survey.blocks[static_cast<std::size_t>(survey.blockOfStage(4))];
        EXPECT_EQ(block.start, before.start);
        EXPECT_EQ(block.room, original.room);
        EXPECT_EQ(block.tagged, cycle % 2 == 0);
        EXPECT_EQ(blockContent(reread, block), next);
        EXPECT_TRUE(survey.problems.empty());
    }
    EXPECT_EQ(sample.image, sampleGame().image) << "the content written back gives the game's block again";

    // Shrunk by less than a tag, the block fills its room exactly, with no tag.
    std::mt19937 random(11);
    std::vector<std::uint8_t> nearly = content;
    std::size_t size = original.length;
    for (int tries = 0; size + kRoomTagSize <= original.length || size >= original.length; ++tries) {
        ASSERT_LT(tries, 400);
        nearly = content;
        for (int n = 0; n < 1 + tries % 4; ++n) {
            const std::size_t at = 2 * (random() % (nearly.size() / 2));
            nearly[at] = nearly[(at + 2) % nearly.size()];
            nearly[at + 1] = nearly[(at + 3) % nearly.size()];
        }
        size = compressMapData(nearly).size();
    }
    const TerrainBlock& before = sample.blockOf(4);
    const TerrainWrite tight = writeBlockContent(sample.image, sample.current,
                                                 static_cast<std::size_t>(sample.current.blockOfStage(4)), nearly);
    ASSERT_TRUE(tight.ok()) << tight.why;
    EXPECT_FALSE(tight.moved);
    const TerrainBlock& filled = sample.blockOf(4);
    EXPECT_EQ(filled.start, before.start);
    EXPECT_EQ(filled.length, original.room);
    EXPECT_FALSE(filled.tagged);
    EXPECT_EQ(blockContent(sample.image, filled), nearly);
}

TEST(TerrainWrite, BlocksMoveIntoFreeSpaceAndIntoTheRoomOneLeft) {
    TerrainImage sample(kSmallAndLargeRange);
    // Stage 3's block grows a little and moves into the first free range.
    const TerrainWrite first = sample.scramble(3, 200, 3);
    ASSERT_TRUE(first.ok()) << first.why;
    ASSERT_TRUE(first.moved);
    const TerrainBlock movedOnce = sample.blockOf(3);
    EXPECT_TRUE(movedOnce.inFreeSpace);
    EXPECT_EQ(movedOnce.head, 0x310001u) << "a head at offset 0 would read as no data";
    // Stage 4's follows it there.
    ASSERT_TRUE(sample.scramble(4, 60, 4).moved);
    EXPECT_EQ(sample.blockOf(4).head, movedOnce.start + movedOnce.length);
    // Stage 3's block grows past the block behind it and past what the first range has
    // left: it moves to the second and leaves its place free.
    const TerrainWrite again = sample.scramble(3, 3000, 5);
    ASSERT_TRUE(again.ok()) << again.why;
    ASSERT_TRUE(again.moved);
    EXPECT_EQ(sample.blockOf(3).head, 0x320001u);
    // Stage 5's block, grown by a few bytes, fits the place stage 3's left: the smallest
    // gap that holds it.
    const TerrainBlock five = sample.blockOf(5);
    std::vector<std::uint8_t> content = blockContent(sample.image, five);
    for (std::size_t extra = 1;; ++extra) {
        ASSERT_LT(extra, 200u);
        content[2 * extra] ^= 0x5A;
        if (compressMapData(content).size() > five.length) break;
    }
    const TerrainWrite into = writeBlockContent(sample.image, sample.current,
                                                static_cast<std::size_t>(sample.current.blockOfStage(5)), content);
    ASSERT_TRUE(into.ok()) << into.why;
    EXPECT_TRUE(into.moved);
    EXPECT_EQ(sample.blockOf(5).head, 0x310001u);
    EXPECT_EQ(blockContent(sample.image, sample.blockOf(5)), content);
    // In use: what the moved blocks occupy inside the ranges.
    const TerrainSurvey survey = sample.survey();
    std::size_t used = 0;
    for (const TerrainBlock& block : survey.blocks)
        if (block.inFreeSpace) used += kCompressedHeadSize + block.length;
    EXPECT_EQ(survey.freeSpaceUsed(survey.freeSpace[0]) + survey.freeSpaceUsed(survey.freeSpace[1]), used);
}

// Every run a write changed lies in the block's extent before or after it, its head,
// a map info record leading to it, or a free range.
bool rangesLieInTheBlocksRecordsAndFreeSpace(const TerrainWrite& write, const TerrainBlock& before,
                                             const TerrainBlock& after, const TerrainSurvey& survey) {
    const auto inside = [](const ByteRange& range, std::size_t first, std::size_t end) {
        return range.offset >= first && range.offset + range.newBytes.size() <= end;
    };
    return std::all_of(write.ranges.begin(), write.ranges.end(), [&](const ByteRange& range) {
        if (inside(range, before.head, before.start + before.room) ||
            inside(range, after.head, after.start + after.room))
            return true;
        for (const unsigned info : before.infoOffsets)
            if (inside(range, imageOffset(survey.infoBank, info), imageOffset(survey.infoBank, info) + 3)) return true;
        return std::any_of(survey.freeSpace.begin(), survey.freeSpace.end(),
                           [&](const FreeRange& free) { return inside(range, free.first, free.last + 1); });
    });
}

// Random strokes on random stages, now and then one large enough to move its block:
// each reads back as written and changes nothing outside its block, records and free
// space; undoing them all gives the image back byte for byte, redoing them the last.
TEST(StageBytesRecord, UndoingEveryEditGivesTheImageBackByteForByte) {
    FakeStageHost host;
    host.image = sampleGame().image;
    const SampleSettings settings(kTwoFreeBanks);
    TerrainTables tables = terrainTables(settings.info());
    tables.freeSpace = readFreeSpace(IniFile::parse(textBytes(kTwoFreeBanks))).ranges;
    std::mt19937 random(7);
    const TerrainSurvey survey = surveyTerrain(host.image, tables);
    const std::vector<std::uint8_t> original = host.image;
    for (int edit = 0; edit < 1200; ++edit) {
        const TerrainBlock& block = survey.blocks[random() % survey.blocks.size()];
        const int stage = block.stages[random() % block.stages.size()];
        TilemapData map;
        loadTilemapData(host.image, readStageHeaderOfStage(host.image, stage), tables.maps, map);
        std::vector<TerrainCell> cells;
        // Mostly strokes of a few cells; now and then a large one that moves the block.
        const int count = edit % 50 == 49 ? 2000 : 1 + static_cast<int>(random() % 20);
        for (int i = 0; i < count; ++i)
            cells.push_back({static_cast<int>(random() % static_cast<unsigned>(map.widthTiles)),
                             static_cast<int>(random() % static_cast<unsigned>(map.heightTiles)),
                             static_cast<std::uint16_t>(random())});
        const std::vector<std::uint8_t> before = host.image;
        TerrainWrite write = writeStageCells(host.image, tables, stage, cells);
        if (!write.ok()) {
            EXPECT_EQ(write.refusal, TerrainRefusal::DoesNotFit) << write.why;
            EXPECT_EQ(host.image, before);
            continue;
        }
        EXPECT_TRUE(changesLieInRanges(before, host.image, write.ranges));
        const TerrainSurvey now = surveyTerrain(host.image, tables);
        const TerrainSurvey was = surveyTerrain(before, tables);
        EXPECT_TRUE(rangesLieInTheBlocksRecordsAndFreeSpace(
            write, was.blocks[static_cast<std::size_t>(was.blockOfStage(stage))],
            now.blocks[static_cast<std::size_t>(now.blockOfStage(stage))], now));
        TilemapData after;
        loadTilemapData(host.image, readStageHeaderOfStage(host.image, stage), tables.maps, after);
        for (const TerrainCell& cell : cells) {
            // A later cell of the stroke may have written the same place again.
            const auto last = std::find_if(cells.rbegin(), cells.rend(), [&](const TerrainCell& other) {
                return terrainWordIndex(map, other.column, other.row) == terrainWordIndex(map, cell.column, cell.row);
            });
            EXPECT_EQ(tileWordAt(after, cell.column, cell.row), last->word);
        }
        host.pushUndo(std::make_unique<StageBytesRecord>(host, stage, std::move(write.ranges), IDS_TERRAIN_CHANGE,
                                                         StageReload::Terrain));
    }
    const std::vector<std::uint8_t> edited = host.image;
    host.stage = -1;
    while (host.undoBuffer.undo())
        ;
    EXPECT_EQ(host.image, original);
    EXPECT_GT(host.stagesOpened, 0);
    while (host.undoBuffer.redo())
        ;
    EXPECT_EQ(host.image, edited);
    EXPECT_EQ(host.undoBuffer.nextUndo()->undoName(), std::wstring_view(L"地形の変更"));
}

} // namespace
} // namespace vexa::test
