// The stage picture against the chip bitmap it is cut from and the objects drawn on it.
#include "stage/view/stage_render.h"

#include "stage/map_look.h"
#include "stage/sample_stage_fixture.h"

#include "bananas/banana_edits.h"
#include "cameras/camera_handles.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>

namespace vexa {
namespace {

using test::sampleGame;
using test::samplePlan;

MapColour pixelAt(const RgbaImage& image, int x, int y) {
    const std::uint8_t* p = image.rgba.data() + image.at(x, y);
    return {p[0], p[1], p[2]};
}

std::string describe(MapColour c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

StageContents loadStage(int stage) {
    return loadStageContents(sampleGame().image, test::SampleSettings().info(), stage);
}

// Stages of the sample picked by what their map shows.
int stageWhere(bool (*wanted)(const sample::StagePlan&, const sample::TerrainPlan&)) {
    const sample::SamplePlan& plan = samplePlan();
    for (std::size_t i = 0; i < plan.stages.size(); ++i)
        if (wanted(plan.stages[i], plan.terrains[plan.stages[i].terrain])) return static_cast<int>(i);
    return -1;
}

int verticalStage() {
    return stageWhere([](const sample::StagePlan& s, const sample::TerrainPlan& t) {
        return s.hasTilemap() && t.hasData && !t.horizontal() && s.role == sample::StageRole::Main;
    });
}

int noDataStage() {
    return stageWhere(
        [](const sample::StagePlan& s, const sample::TerrainPlan& t) { return s.hasTilemap() && !t.hasData; });
}

// Every cell's 32 x 32 block is the chip bitmap's block at the chip the tile word
// names: column from bits 0-3 and 14-15, row from bits 4-9.
TEST(StageRender, EveryCellIsItsChipBitmapBlock) {
    for (const int stageNumber : {samplePlan().richStage, verticalStage()}) {
        SCOPED_TRACE("stage " + std::to_string(stageNumber));
        const StageContents stage = loadStage(stageNumber);
        ASSERT_TRUE(stage.terrain.loaded);
        const std::optional<RgbaImage> chips = test::sampleChips(stage.terrain.terrainNumber);
        ASSERT_TRUE(chips);
        const RgbaImage picture = renderStage(stage, &*chips, kRenderTerrain);
        ASSERT_EQ(picture.width, stage.terrain.widthTiles * 32);
        ASSERT_EQ(picture.height, stage.terrain.heightTiles * 32);
        int differing = 0;
        for (int row = 0; row < stage.terrain.heightTiles; ++row) {
            for (int column = 0; column < stage.terrain.widthTiles; ++column) {
                const unsigned raw =
                    stage.terrain.rawTiles[static_cast<std::size_t>(row * stage.terrain.widthTiles + column)];
                const int chipX = static_cast<int>((raw & 0xFu) | (raw >> 14) << 4) * 32;
                const int chipY = static_cast<int>((raw >> 4) & 0x3Fu) * 32;
                for (int dy = 0; dy < 32; ++dy)
                    for (int dx = 0; dx < 32; ++dx)
                        if (!(pixelAt(picture, column * 32 + dx, row * 32 + dy) ==
                              pixelAt(*chips, chipX + dx, chipY + dy)))
                            ++differing;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

struct MarkCase {
    const char* name;
    unsigned layer;
    MapColour colour;
    // Points of the last object of the kind (drawn over the others) and what they show.
    std::vector<std::pair<std::pair<int, int>, MapColour>> (*points)(const StageContents&);
};

const MarkCase kMarkCases[] = {
    {"sprite", kRenderSprites, kSpriteColour,
     [](const StageContents& s) {
         const SpriteAllocData& o = s.sprites.sprites.back();
         return std::vector<std::pair<std::pair<int, int>, MapColour>>{
             {{o.x - 16, o.y - 36}, kSpriteColour},                                      // frame, top-left
             {{o.x + 15, o.y - 1}, kSpriteColour},                                       // frame, bottom-right
             {{o.x - 10, o.y - 20}, kObjectBodyColour}, {{o.x, o.y - 3}, kSpriteColour}, // arrowhead
             {{o.x - 17, o.y - 20}, kNoTerrainColour},                                   // just outside the box
         };
     }},
    {"banana", kRenderBananas, kBananaColour,
     [](const StageContents& s) {
         const BananaAllocData& o = s.bananas.bananas.back();
         return std::vector<std::pair<std::pair<int, int>, MapColour>>{
             {{o.x + 23, o.y + 35}, kBananaColour},
             {{o.x + 2, o.y + 1}, kBananaColour}, // corner mark
             {{o.x + 12, o.y + 20}, kObjectBodyColour},
             {{o.x + 24, o.y + 20}, kNoTerrainColour},
         };
     }},
    {"camera", kRenderCameras, kCameraColour,
     [](const StageContents& s) {
         const CameraAllocData& o = s.cameras.cameras.front();
         return std::vector<std::pair<std::pair<int, int>, MapColour>>{
             {{o.left + 5, o.top + 5}, kObjectBodyColour}, // the label box
             {{o.left + kCameraLabelWidth - 1, o.top + 3}, kCameraColour},
             {{o.left + 40, o.bottom - 1}, kCameraColour},
             {{o.right - 2, (o.top + o.bottom) / 2}, kCameraColour}, // the link arrow
             {{o.right - 2, (o.top + o.bottom) / 2 - 20}, kNoTerrainColour},
         };
     }},
};

TEST(StageRender, MarksEachObjectWhereTheMapDrawsIt) {
    const StageContents stage = loadStage(samplePlan().richStage);
    ASSERT_TRUE(stage.cameras.cameras.front().rightLink);
    for (const MarkCase& c : kMarkCases) {
        SCOPED_TRACE(c.name);
        const RgbaImage picture = renderStage(stage, nullptr, c.layer);
        for (const auto& [point, colour] : c.points(stage)) {
            SCOPED_TRACE(std::to_string(point.first) + ", " + std::to_string(point.second));
            ASSERT_TRUE(picture.inside(point.first, point.second));
            EXPECT_EQ(describe(pixelAt(picture, point.first, point.second)), describe(colour));
        }
    }
}

// Without cells (the terrain hidden, or a terrain without data) the map is the black
// area the editor fills without a pen: its last column and row keep the background.
TEST(StageRender, MapWithoutCellsIsBlackButItsLastColumnAndRow) {
    struct Case {
        const char* name;
        int stage;
        unsigned layers;
    };
    for (const Case& c : {Case{"terrain hidden", samplePlan().richStage, kRenderSprites},
                          Case{"terrain without data", noDataStage(), kRenderTerrain}}) {
        SCOPED_TRACE(c.name);
        const StageContents stage = loadStage(c.stage);
        const RgbaImage picture = renderStage(stage, nullptr, c.layers);
        ASSERT_GT(picture.width, 2);
        const int w = picture.width;
        const int h = picture.height;
        EXPECT_EQ(describe(pixelAt(picture, w - 2, h - 2)), describe(kNoTerrainColour));
        EXPECT_EQ(describe(pixelAt(picture, w - 1, 5)), describe(kMapBackgroundColour));
        EXPECT_EQ(describe(pixelAt(picture, 5, h - 1)), describe(kMapBackgroundColour));
    }
    EXPECT_EQ(loadStage(noDataStage()).mapWidth(), 256);
}

TEST(StageRender, CellsWithoutChipGraphicsKeepTheBackground) {
    const StageContents stage = loadStage(samplePlan().richStage);
    // One pixel: every cell's block but that pixel lies outside the bitmap.
    RgbaImage tiny;
    tiny.width = 1;
    tiny.height = 1;
    tiny.rgba.assign(4, 7);
    const RgbaImage* const bitmaps[] = {nullptr, &tiny};
    for (const RgbaImage* chips : bitmaps) {
        const RgbaImage picture = renderStage(stage, chips, kRenderTerrain);
        int background = 0;
        for (int y = 8; y < picture.height; y += 16)
            for (int x = 8; x < picture.width; x += 16)
                background += pixelAt(picture, x, y) == kMapBackgroundColour;
        EXPECT_EQ(background, (picture.width / 16) * (picture.height / 16));
    }
}

// Objects far off the map, reversed cameras and maps of no pixels draw nothing amiss.
TEST(StageRender, ClipsObjectsAndRefusesMapsWithoutPixels) {
    StageContents stage = loadStage(noDataStage());
    stage.sprites.sprites = {{65000, 65000, 1, 1}, {-200, 10, 1, 1}, {3, 3, 1, 1}};
    stage.bananas.bananas = {{-8, 250, false, false, 0}};
    stage.cameras.cameras = {{200, 300, 10, -40}};
    const RgbaImage picture = renderStage(stage, nullptr, kRenderAllLayers);
    ASSERT_EQ(picture.width, 256);
    EXPECT_EQ(describe(pixelAt(picture, 200 - 1, 100)), describe(kCameraColour)) << "reversed camera, right edge";
    EXPECT_EQ(describe(pixelAt(picture, 15, 2)), describe(kSpriteColour)) << "sprite at (3, 3), its frame's bottom row";

    stage.terrain.widthTiles = 0;
    EXPECT_TRUE(renderStage(stage, nullptr, kRenderAllLayers).rgba.empty());
}

TEST(ImageCodec, PngRoundTripsAndBrokenBytesGiveNothing) {
    RgbaImage image;
    image.width = 3;
    image.height = 2;
    for (int i = 0; i < 6; ++i)
        image.rgba.insert(image.rgba.end(), {static_cast<std::uint8_t>(i * 40), 1, 2, 255});
    const std::optional<RgbaImage> back = decodeImage(encodePng(image));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rgba, image.rgba);

    std::vector<std::uint8_t> bitmap = sampleGame().chipBitmaps.front().bytes;
    bitmap.resize(20);
    EXPECT_FALSE(decodeImage(bitmap)) << "bitmap cut inside its header";
    bitmap = sampleGame().chipBitmaps.front().bytes;
    bitmap[28] = 0; // no bits per pixel
    EXPECT_FALSE(decodeImage(bitmap));
    EXPECT_FALSE(decodeImage({})) << "no bytes";
    EXPECT_TRUE(encodePng(RgbaImage{}).empty());
}

} // namespace
} // namespace vexa
