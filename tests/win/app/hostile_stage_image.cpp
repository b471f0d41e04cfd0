#include "app/hostile_stage_image.h"

#include "support/editor_session.h"
#include "tools/sample_game/rom_blocks.h"

namespace vexa::test {

namespace {

constexpr int kStageTableSize = 256;
constexpr unsigned kHeader = 0x1000;
constexpr std::uint16_t kStageData = 0x1100;
constexpr unsigned kEmptyList = 0x8000;

void putTerrain(std::vector<std::uint8_t>& image) {
    sample::TerrainPlacement terrain;
    terrain.number = kHostileTerrain;
    terrain.recordOffset = 0x2000;
    terrain.dataBank = 0x05;
    terrain.dataOffset = 0x4000;
    terrain.width = kHostileMapWidth;
    terrain.height = kHostileMapHeight;
    terrain.sections = {{0, kHostileMapWidth, 0, kHostileMapHeight, 0}};
    std::vector<std::uint16_t> cells;
    for (int cell = 0; cell < kHostileMapWidth * kHostileMapHeight; ++cell)
        cells.push_back(static_cast<std::uint16_t>(cell % 3));
    sample::writeTerrain(image, terrain, sample::compressTerrain(cells, kHostileTerrain));
}

void putObjects(std::vector<std::uint8_t>& image) {
    for (int stage = 0; stage < kDefaultSpriteLevelCount; ++stage)
        sample::writeSpritePointer(image, stage, kEmptyList);
    sample::writeStageSpriteList(image, kHostileStage, 0x3000, {{100, 150, 0x02, 1}, {200, 160, 0x04, 2}});

    // Every other stage of the banana and camera tables has an empty list.
    std::vector<sample::StageObjects> stages(kStageTableSize);
    stages[kHostileStage].bananas = {{64, 64, true, false, 1}, {128, 96, false, true, 1}};
    stages[kHostileStage].cameras = {{0, 0, 256, 224}};
    sample::writeBananaTable(image, kDefaultBananaLevels, stages);
    sample::writeCameraTable(image, kDefaultCameraLevels, stages);
    sample::writeBananaSet(image, kDefaultBananaSets, 1, 0x40, {"", {"##", "##", "##"}});
}

} // namespace

std::vector<std::uint8_t> hostileStageImage() {
    std::vector<std::uint8_t> image = titledImage();
    for (int stage = 0; stage < kStageTableSize; ++stage)
        sample::writeStageTableEntry(image, stage, kHeader);
    sample::writeStageHeader(image, kHeader, {1, kStageData, 0});
    sample::writeStageTerrain(image, kStageData, kHostileTerrain);
    putTerrain(image);
    putObjects(image);
    return image;
}

} // namespace vexa::test
