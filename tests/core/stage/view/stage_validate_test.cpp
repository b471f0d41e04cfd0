// The validator on the sample game, clean and with one fault put in at a time.
#include "stage/view/stage_validate.h"

#include "stage/sample_stage_fixture.h"

#include "app/rom_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

namespace vexa {
namespace {

using test::sampleGame;
using test::samplePlan;
using Bytes = std::vector<std::uint8_t>;

int rich() {
    return samplePlan().richStage;
}

StageContents richStage(const Bytes& image) {
    return loadStageContents(image, test::SampleSettings().info(), rich());
}

// Stage 37's terrain block with a first command that has nothing to repeat yet.
void breakTerrain(Bytes& image) {
    const StageContents stage = richStage(image);
    const MapTableSettings maps = test::SampleSettings().info().mapTables();
    const MapInfo info =
        readMapInfo(image, static_cast<unsigned>(maps.mapInfoBank),
                    mapInfoOffset(image, maps, stage.terrain.terrainNumber), stage.header.sectionIndex);
    const ImageAddress block = compressedDataAddress(info.dataOffset, info.dataBank);
    image[imageOffset(block.bank, block.offset) + 39] = 0xD0;
}

// A stage's list table word and the next, in the last bank of the image at 0x3F:FF00,
// so that the list starts `start` bytes from the table and holds `bytes`.
void placeListAtImageEnd(Bytes& image, unsigned start, unsigned bytes) {
    setRomWord(image, 0x3F, 0xFF00 + 2 * static_cast<unsigned>(rich()), static_cast<std::uint16_t>(start));
    setRomWord(image, 0x3F, 0xFF02 + 2 * static_cast<unsigned>(rich()), static_cast<std::uint16_t>(start + bytes));
}

struct FaultCase {
    const char* name;
    std::string rominfoHead; // put in front of the sample's rominfo.ini
    std::function<void(Bytes&)> fault;
    int stage;
    FindingKind kind;
    int index;
    std::string message; // empty: not checked
};

std::vector<FaultCase> faultCases() {
    return {
        {"sprite off the map's right edge", "",
         [](Bytes& image) {
             SpriteAllocData sprite = richStage(image).sprites.sprites.front();
             sprite.x = 6500;
             writeStageSpriteEntry(image, rich(), 0, sprite);
         },
         rich(), FindingKind::SpriteOutsideMap, 0,
         "stage 37: sprite 0 at (6500, 384) lies outside the map (6400 x 512)"},
        {"sprite list without a terminator", "",
         [](Bytes& image) {
             const std::uint16_t start = spriteListStart(image, rich());
             std::fill(image.begin() + imageOffset(kSpriteBank, 0), image.begin() + imageOffset(kSpriteBank + 1, 0),
                       0xFF);
             setRomWord(image, kSpriteBank, 2 * static_cast<unsigned>(rich()), start);
         },
         rich(), FindingKind::SpriteListUnreadable, -1, ""},
        {"sprite list larger than its room",
         "[Sprites]\r\nAvailableEnd=" + std::to_string(spriteListStart(sampleGame().image, rich()) + 8) + "\r\n",
         [](Bytes&) {}, rich(), FindingKind::SpriteListPastRoom, -1, ""},
        {"terrain that does not expand", "", breakTerrain, rich(), FindingKind::TerrainDoesNotExpand, -1,
         "stage 37: terrain 0x00 does not expand (its map data is broken)"},
        {"banana list past the image", "[Bananas]\r\nLevels=0x3FFF00\r\n",
         [](Bytes& image) { placeListAtImageEnd(image, 0xFE, 8); }, rich(), FindingKind::BananaListPastImage, 0,
         "stage 37: banana list at 0x3F:FFFE (2 entries) runs past the end of the image from entry 0"},
        {"camera list past the image", "[Cameras]\r\nLevels=0x3FFF00\r\n",
         [](Bytes& image) { placeListAtImageEnd(image, 0xF7, 10); }, rich(), FindingKind::CameraListPastImage, 1, ""},
        {"banana table outside the image", "[Bananas]\r\nLevels=0x40D002\r\n", [](Bytes&) {}, -1,
         FindingKind::BananaTableOutsideImage, -1, ""},
        {"camera table outside the image", "[Cameras]\r\nLevels=0xFF0000\r\n", [](Bytes&) {}, -1,
         FindingKind::CameraTableOutsideImage, -1, ""},
        {"banana below the map", "",
         [](Bytes& image) {
             const StageContents stage = richStage(image);
             BananaAllocData banana = stage.bananas.bananas.back();
             banana.y = 512;
             writeBananaSlot(image, test::SampleSettings().info().bananaLevels(), rich(),
                             static_cast<int>(stage.bananas.bananas.size()) - 1, banana, stage.terrain.mapType);
         },
         rich(), FindingKind::BananaOutsideMap, -1, ""},
        {"camera past the map's right edge", "",
         [](Bytes& image) {
             const StageContents stage = richStage(image);
             CameraAllocData camera = stage.cameras.cameras.back();
             camera.right = 6400 + 256;
             writeCameraSlot(image, test::SampleSettings().info().cameraLevels(), rich(),
                             static_cast<int>(stage.cameras.cameras.size()) - 1, camera, stage.terrain.mapType);
         },
         rich(), FindingKind::CameraOutsideMap, -1, ""},
    };
}

TEST(StageValidate, SampleGameIsClean) {
    const std::vector<StageFinding> findings = validateRom(sampleGame().image, test::SampleSettings().info());
    for (const StageFinding& f : findings)
        ADD_FAILURE() << f.message;
}

TEST(StageValidate, ReportsEachKindOfFault) {
    std::set<FindingKind> kinds;
    std::set<std::string_view> names; // what `vexa validate --json` gives as "kind"
    for (const FaultCase& c : faultCases()) {
        SCOPED_TRACE(c.name);
        Bytes image = sampleGame().image;
        c.fault(image);
        const test::SampleSettings settings(c.rominfoHead);
        const std::vector<StageFinding> findings = validateRom(image, settings.info());
        const auto found = std::find_if(findings.begin(), findings.end(),
                                        [&](const StageFinding& f) { return f.stage == c.stage && f.kind == c.kind; });
        if (found == findings.end()) {
            ADD_FAILURE() << findings.size() << " findings, none of this kind; the first: "
                          << (findings.empty() ? "" : findings.front().message);
            continue;
        }
        if (c.index >= 0) {
            EXPECT_EQ(found->index, c.index);
        }
        if (!c.message.empty()) {
            EXPECT_EQ(found->message, c.message);
        }
        EXPECT_EQ(found->message.find('\n'), std::string::npos);
        kinds.insert(c.kind);
        names.insert(findingKindName(c.kind));
    }
    EXPECT_EQ(names.size(), kinds.size()) << "each kind has a name of its own";
    EXPECT_FALSE(names.contains("unknown"));
}

TEST(StageValidate, StageCountIsHeldToWhatTheTableCanHold) {
    EXPECT_EQ(heldStageCount(-5), 0);
    EXPECT_EQ(heldStageCount(206), 206);
    EXPECT_EQ(heldStageCount(100000), kMaxStageCount);
}

} // namespace
} // namespace vexa
