#include "app/huge_lists_image.h"

#include "app/hostile_stage_image.h"
#include "tools/sample_game/rom_blocks.h"

namespace vexa::test {

namespace {

constexpr std::uint32_t kBananaTable = 0x100000;
constexpr std::uint32_t kCameraTable = 0x110000;

} // namespace

std::vector<std::uint8_t> hugeListsImage() {
    auto image = hostileStageImage();
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };

    SpriteList sprites;
    for (int i = 0; i < kHugeSprites; ++i)
        sprites.push_back({static_cast<int>(next() % 4000), static_cast<int>(next() % 250), 2, 1});
    for (int stage = 0; stage < kDefaultSpriteLevelCount; ++stage)
        sample::writeSpritePointer(image, stage, kHugeSpriteListStart);
    sample::writeStageSpriteList(image, kHostileStage, kHugeSpriteListStart, sprites);

    std::vector<sample::StageObjects> stages(kHugeTableStages);
    BananaList& bananas = stages[kHostileStage].bananas;
    for (int i = 0; i < kHugeBananas; ++i)
        bananas.push_back({static_cast<int>(next() % 2000 * 8), static_cast<int>(next() % 100 * 8), false, false, 1});
    CameraList& cameras = stages[kHostileStage].cameras;
    for (int i = 0; i < kHugeCameras; ++i) {
        const int left = static_cast<int>(next() % 2000 * 8);
        const int top = static_cast<int>(next() % 60 * 8);
        cameras.push_back({left, top, left + 256, top + 8});
    }
    sample::writeBananaTable(image, kBananaTable, stages);
    sample::writeCameraTable(image, kCameraTable, stages);
    return image;
}

} // namespace vexa::test
