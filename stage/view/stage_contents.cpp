#include "stage/view/stage_contents.h"

namespace vexa {

StageContents loadStageContents(std::span<const std::uint8_t> image, const RomInfo& info, int stageNumber) {
    StageContents stage;
    stage.stageNumber = stageNumber;
    stage.header = readStageHeaderOfStage(image, stageNumber);

    int selection = -1;
    loadStageSprites(image, stageNumber, info.spriteBank(), stage.sprites, selection);
    stage.spriteListStart = spriteListStart(image, stageNumber);

    stage.terrainOutcome = loadTilemapData(image, stage.header, info.mapTables(), stage.terrain);

    const std::uint16_t mapType = stage.terrain.mapType;
    stage.bananaSlots = bananaSlots(image, info.bananaLevels(), stageNumber);
    readStageBananas(image, info.bananaLevels(), stageNumber, mapType, stage.bananas);
    stage.cameraSlots = cameraSlots(image, info.cameraLevels(), stageNumber);
    readStageCameras(image, info.cameraLevels(), stageNumber, mapType, stage.cameras);
    return stage;
}

} // namespace vexa
