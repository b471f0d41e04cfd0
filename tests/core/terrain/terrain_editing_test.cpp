#include "stage/object_edit_fixture.h"
#include "stage/sample_stage_fixture.h"
#include "stage/stage_table.h"
#include "terrain/terrain_cells.h"
#include "terrain/terrain_editor.h"
#include "terrain/terrain_overview.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vexa::test {
namespace {

// A section of its own: one word per cell, row by row, as the rows give them.
TilemapData mapOf(const std::vector<std::vector<std::uint16_t>>& rows) {
    TilemapData map;
    map.loaded = true;
    map.rowMajor = true;
    map.heightTiles = static_cast<int>(rows.size());
    map.widthTiles = static_cast<int>(rows.front().size());
    map.terrainStride = static_cast<std::size_t>(map.widthTiles);
    map.terrainWords.assign(map.terrainStride * rows.size(), 0);
    map.rawTiles.assign(kTilemapCellCount, 0);
    map.chipCells.assign(kTilemapCellCount, 0);
    for (int r = 0; r < map.heightTiles; ++r)
        for (int c = 0; c < map.widthTiles; ++c)
            setTerrainCell(map, c, r, rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    return map;
}

TEST(TerrainCells, APenLineTouchesEachCellBeforeItAndEndsWhereThePointerIs) {
    const CellPoint ends[][2] = {{{0, 0}, {0, 0}}, {{0, 0}, {9, 0}},  {{3, 8}, {3, 1}},
                                 {{0, 0}, {7, 7}}, {{5, 1}, {-4, 3}}, {{2, 2}, {40, -11}}};
    for (const auto& [from, to] : ends) {
        const std::vector<CellPoint> line = cellLine(from, to);
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.front(), from);
        EXPECT_EQ(line.back(), to);
        EXPECT_EQ(line.size(),
                  static_cast<std::size_t>(std::max(std::abs(to.column - from.column), std::abs(to.row - from.row))) +
                      1);
        for (std::size_t i = 1; i < line.size(); ++i) {
            EXPECT_LE(std::abs(line[i].column - line[i - 1].column), 1);
            EXPECT_LE(std::abs(line[i].row - line[i - 1].row), 1);
        }
    }
}

TEST(TerrainCells, FillTakesTheJoinedCellsOfTheWordAndNoDiagonals) {
    const TilemapData map = mapOf({{1, 1, 2, 1}, {2, 1, 2, 1}, {1, 2, 1, 1}});
    std::vector<CellPoint> region = fillRegion(map, {0, 0});
    EXPECT_EQ(region, (std::vector<CellPoint>{{0, 0}, {1, 0}, {1, 1}}));
    EXPECT_EQ(fillRegion(map, {3, 0}).size(), 4u);
    EXPECT_TRUE(fillRegion(map, {4, 0}).empty());
    EXPECT_EQ(cellAt(map, 127, 95, false), (CellPoint{3, 2}));
    EXPECT_EQ(cellAt(map, -1, 10, false), std::nullopt);
    EXPECT_EQ(cellAt(map, -1, 1000, true), (CellPoint{0, 2}));
}

TEST(TerrainCells, CopiesAreCutToTheSectionAndPastesDropWhatFallsOutside) {
    const TilemapData map = mapOf({{1, 2, 3}, {4, 5, 6}});
    const TerrainCells copied = copyCells(map, CellRect::spanning({2, 5}, {1, -3}));
    EXPECT_EQ(copied, (TerrainCells{2, 2, {2, 3, 5, 6}}));
    const std::vector<TerrainCell> pasted = pastedCells(map, copied, {2, 1});
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_EQ(pasted[0].column, 2);
    EXPECT_EQ(pasted[0].row, 1);
    EXPECT_EQ(pasted[0].word, 2);
    EXPECT_EQ(writableCellsIn(map, {-5, 1, 1, 9}).size(), 2u);
}

TEST(TerrainCells, BothClipboardFormsGiveBackTheCellsAndRefuseAnythingElse) {
    const TerrainCells cells{3, 2, {0x0C12, 0x0001, 0xFFFF, 0xABCD, 0x0000, 0x1234}};
    EXPECT_EQ(terrainCellsText(cells), L"0C12 0001 FFFF\r\nABCD 0000 1234");
    EXPECT_EQ(parseTerrainCellsText(terrainCellsText(cells)), cells);
    std::vector<std::uint8_t> bytes = encodeTerrainCells(cells);
    EXPECT_EQ(decodeTerrainCells(bytes), cells);
    bytes.resize(bytes.size() + 7, 0xEE); // a clipboard block rounded up
    EXPECT_EQ(decodeTerrainCells(bytes), cells);

    const std::pair<const wchar_t*, std::optional<TerrainCells>> texts[] = {
        {L"c12\t1  ffff\nabcd 0 1234\n\n", cells},
        {L"  7  ", TerrainCells{1, 1, {7}}},
        {L"0C12 0001\r\nABCD", std::nullopt},
        {L"0C123", std::nullopt},
        {L"0C1G", std::nullopt},
        {L"\r\n\r\n", std::nullopt},
        {L"", std::nullopt},
        {L"\n0001", std::nullopt},
    };
    for (const auto& [text, expected] : texts)
        EXPECT_EQ(parseTerrainCellsText(text), expected) << std::wstring(text).size();

    std::vector<std::uint8_t> wrong = encodeTerrainCells(cells);
    wrong[4] = 2; // another version
    EXPECT_EQ(decodeTerrainCells(wrong), std::nullopt);
    EXPECT_EQ(decodeTerrainCells(std::span(bytes).first(bytes.size() - 9)), std::nullopt);
    EXPECT_EQ(decodeTerrainCells(encodeTerrainCells({0, 5, {}})), std::nullopt);
    EXPECT_EQ(parseTileWord(L" 0c12 "), 0x0C12);
    EXPECT_EQ(parseTileWord(L"10000"), std::nullopt);
    EXPECT_EQ(parseTileWord(L""), std::nullopt);
}

// The editor on the sample game, with the free space a test gives.
struct SampleTerrainHost : FakeStageHost {
    explicit SampleTerrainHost(const std::string& rominfoHead = {}) : settings(rominfoHead) {
        image = sampleGame().image;
        editor.attach(&map);
    }
    RomInfo romInfo() const override { return settings.info(); }
    void open(int number) {
        stage = number;
        loadTilemapData(image, readStageHeaderOfStage(image, number), settings.info().mapTables(), map);
        editor.terrainRead();
    }
    std::uint16_t stored(int column, int row) {
        TilemapData fresh;
        loadTilemapData(image, readStageHeaderOfStage(image, stage), settings.info().mapTables(), fresh);
        return *tileWordAt(fresh, column, row);
    }

    SampleSettings settings;
    TilemapData map;
    TerrainEditor editor{*this};
};

// The first block of the sample that several stages share, and its stages.
std::vector<int> sharedStages() {
    SampleTerrainHost host;
    const TerrainSurvey survey = surveyTerrain(host.image, terrainTables(host.romInfo()));
    for (const TerrainBlock& block : survey.blocks)
        if (block.stages.size() > 1) return block.stages;
    return {};
}

TEST(TerrainOverview, ThePageTellsTheBlockAndTheStagesSharingIt) {
    const std::vector<int> stages = sharedStages();
    ASSERT_GE(stages.size(), 2u);
    SampleTerrainHost host;
    host.open(stages[0]);
    const TerrainOverview& overview = host.editor.overview();
    EXPECT_TRUE(overview.editable);
    EXPECT_EQ(overview.text.rfind(L"地形 ", 0), 0u);
    EXPECT_NE(overview.text.find(L" バイト\r\n共有: ステージ " + hexText2(stages[1])), std::wstring::npos);

    // The sample's sections lie side by side: none shows another's cells until the
    // second stage's section is moved five cells into the first one's.
    EXPECT_TRUE(host.editor.sharedAreas().empty());
    const MapTableSettings maps = host.settings.info().mapTables();
    const StageHeader header = readStageHeaderOfStage(host.image, stages[1]);
    const auto infoBank = static_cast<unsigned>(maps.mapInfoBank);
    const unsigned info = mapInfoOffset(host.image, maps, stageTerrainNumber(host.image, header.stageDataAddress));
    SectionRecord moved = readMapInfo(host.image, infoBank, info, header.sectionIndex).section;
    const unsigned width = moved.right - moved.left;
    moved.left = host.map.sectionLeft + 5;
    moved.right = moved.left + width;
    writeSectionRecord(host.image, infoBank, info, header.sectionIndex, moved);
    host.open(stages[0]);
    const std::vector<SharedArea>& areas = host.editor.sharedAreas();
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_EQ(areas[0].stages, std::vector<int>{stages[1]});
    const int right = std::min<int>(host.map.widthTiles - 1, 5 + static_cast<int>(width) - 1);
    EXPECT_EQ(areas[0].bounds, (CellRect{5, 0, right, host.map.heightTiles - 1}));
    EXPECT_TRUE(areas[0].has(host.map, {5, 3}));
    EXPECT_FALSE(areas[0].has(host.map, {4, 3}));

    EXPECT_EQ(stagesText({1, 2, 3, 0x25}, 3), L"ステージ 01, 02, 03, …");
    EXPECT_EQ(terrainOverview({}, 5).text, L"このステージには地形データがありません。");
    TerrainSurvey broken;
    broken.blocks.emplace_back();
    broken.blocks[0].stages = {5};
    broken.blocks[0].terrains = {0x1A};
    broken.blocks[0].setProblem(BlockProblem::OverBankBoundary, "it runs over a bank boundary");
    EXPECT_FALSE(terrainOverview(broken, 5).editable);
    EXPECT_EQ(terrainOverview(broken, 5).text.rfind(L"地形 1A は編集できません: バンクの境界をまたいでいます", 0), 0u);
}

TEST(TerrainEditor, AStrokeShowsAtOnceAndIsWrittenOnceAsOneUndoStep) {
    const int stage = sharedStages().front();
    SampleTerrainHost host;
    host.open(stage);
    const std::vector<std::uint8_t> before = host.image;
    const std::uint16_t old = host.stored(1, 1);
    const auto word = static_cast<std::uint16_t>(old ^ 0x0011);
    host.editor.setCurrentWord(word);

    const CellPoint stroke[] = {{1, 1}, {2, 1}, {1, 1}};
    host.editor.paint(stroke);
    EXPECT_TRUE(host.editor.stroking());
    EXPECT_EQ(tileWordAt(host.map, 1, 1), word);
    EXPECT_EQ(host.image, before);
    host.editor.cancelStroke();
    EXPECT_EQ(tileWordAt(host.map, 1, 1), old);
    EXPECT_EQ(host.undoBuffer.nextUndo(), nullptr);

    host.editor.paint(stroke);
    EXPECT_TRUE(host.editor.finishStroke());
    EXPECT_EQ(host.stored(1, 1), word);
    EXPECT_EQ(host.stored(2, 1), word);
    EXPECT_EQ(host.terrainRefreshes, 1);
    host.undoBuffer.undo();
    EXPECT_EQ(host.image, before);
    host.undoBuffer.redo();
    EXPECT_EQ(host.stored(2, 1), word);
}

TEST(TerrainEditor, AStrokeThatDoesNotFitIsRefusedAndTheCellsGoBack) {
    const int stage = sharedStages().front();
    SampleTerrainHost host("[FreeSpace]\n0=310000-310010\n");
    host.open(stage);
    const std::vector<std::uint8_t> before = host.image;
    std::vector<TerrainCell> noise;
    for (int i = 0; i < host.map.widthTiles * host.map.heightTiles; ++i)
        noise.push_back({i % host.map.widthTiles, i / host.map.widthTiles, static_cast<std::uint16_t>(i * 7919)});
    const std::uint16_t shown = *tileWordAt(host.map, 0, 0);
    EXPECT_FALSE(host.editor.edit(noise));
    EXPECT_EQ(host.image, before);
    EXPECT_EQ(tileWordAt(host.map, 0, 0), shown);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].rfind(L"地形データが入りきりません。", 0), 0u);
    EXPECT_EQ(host.undoBuffer.nextUndo(), nullptr);
}

} // namespace
} // namespace vexa::test
