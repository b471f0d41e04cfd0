#include "stage/view/stage_validate.h"

#include "app/rom_image.h"

#include <algorithm>
#include <cstdio>

namespace vexa {

namespace {

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string bankAddress(unsigned bank, unsigned offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%02X:%04X", bank, offset & 0xFFFFu);
    return text;
}

class Findings {
public:
    Findings(std::vector<StageFinding>& list, int stage) : list_(list), stage_(stage) {}

    void add(FindingKind kind, int index, const std::string& text) {
        const std::string prefix = stage_ >= 0 ? "stage " + std::to_string(stage_) + ": " : std::string();
        list_.push_back({stage_, kind, index, prefix + text});
    }

private:
    std::vector<StageFinding>& list_;
    int stage_;
};

std::string mapSize(const StageContents& stage) {
    return "(" + std::to_string(stage.mapWidth()) + " x " + std::to_string(stage.mapHeight()) + ")";
}

std::string at(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

void checkTerrain(const StageContents& stage, Findings& findings) {
    if (stage.terrainOutcome != TilemapLoadOutcome::DecompressionFailed) return;
    findings.add(FindingKind::TerrainDoesNotExpand, -1,
                 "terrain " + hex(stage.terrain.terrainNumber, 2) + " does not expand (its map data is broken)");
}

void checkSpriteList(const StageContents& stage, Findings& findings) {
    const LevelSpritesData& sprites = stage.sprites;
    const std::string where = bankAddress(kSpriteBank, stage.spriteListStart);
    if (!sprites.readable) {
        findings.add(FindingKind::SpriteListUnreadable, -1,
                     "sprite list at " + where + " has no terminator within one pass over its bank");
    } else if (sprites.listBytes > sprites.capacity) {
        findings.add(FindingKind::SpriteListPastRoom, -1,
                     "sprite list at " + where + " takes " + std::to_string(sprites.listBytes) +
                         " bytes but has room for " + std::to_string(std::max(sprites.capacity, 0)));
    }
}

void checkSlots(const StageSlots& slots, FindingKind kind, const char* what, Findings& findings) {
    // Slot offsets wrap within the bank, so only the image's last bank can hold a list
    // that runs past its end, and slots behind the wrap fit again: each is looked at.
    int first = 0;
    while (first < slots.count && slots.holdsSlot(first))
        ++first;
    if (first == slots.count) return;
    findings.add(kind, first,
                 std::string(what) + " list at " + bankAddress(slots.bank, slots.start) + " (" +
                     std::to_string(slots.count) + " entries) runs past the end of the image from entry " +
                     std::to_string(first));
}

bool insideMap(const StageContents& stage, int x, int y) {
    return x >= 0 && y >= 0 && x < stage.mapWidth() && y < stage.mapHeight();
}

void checkObjectsInMap(const StageContents& stage, Findings& findings) {
    int index = 0;
    for (const SpriteAllocData& sprite : stage.sprites.sprites) {
        // A sprite stands on its position: the bottom edge of the map still holds it.
        if (!insideMap(stage, sprite.x, sprite.y - 1))
            findings.add(FindingKind::SpriteOutsideMap, index,
                         "sprite " + std::to_string(index) + " at " + at(sprite.x, sprite.y) +
                             " lies outside the map " + mapSize(stage));
        ++index;
    }
    index = 0;
    for (const BananaAllocData& banana : stage.bananas.bananas) {
        if (!insideMap(stage, banana.x, banana.y))
            findings.add(FindingKind::BananaOutsideMap, index,
                         "banana " + std::to_string(index) + " at " + at(banana.x, banana.y) +
                             " lies outside the map " + mapSize(stage));
        ++index;
    }
    index = 0;
    for (const CameraAllocData& camera : stage.cameras.cameras) {
        // Right and bottom are exclusive: a camera may end on the map's far edges.
        const int left = std::min(camera.left, camera.right);
        const int top = std::min(camera.top, camera.bottom);
        const int right = std::max(camera.left, camera.right);
        const int bottom = std::max(camera.top, camera.bottom);
        if (left < 0 || top < 0 || right > stage.mapWidth() || bottom > stage.mapHeight())
            findings.add(FindingKind::CameraOutsideMap, index,
                         "camera " + std::to_string(index) + " " + at(camera.left, camera.top) + "-" +
                             at(camera.right, camera.bottom) + " lies outside the map " + mapSize(stage));
        ++index;
    }
}

void checkTable(std::uint32_t location, FindingKind kind, const char* key, Findings& findings) {
    const RomLocation table = romLocationOf(location);
    if (isImageBank(table.bank)) return;
    findings.add(kind, -1,
                 std::string(key) + " = " + hex(location, 6) + " names bank " + hex(table.bank, 2) +
                     ", outside the image: no stage has such objects");
}

} // namespace

std::string_view findingKindName(FindingKind kind) {
    switch (kind) {
    case FindingKind::BananaTableOutsideImage: return "banana-table-outside-image";
    case FindingKind::CameraTableOutsideImage: return "camera-table-outside-image";
    case FindingKind::TerrainDoesNotExpand: return "terrain-does-not-expand";
    case FindingKind::SpriteListUnreadable: return "sprite-list-unreadable";
    case FindingKind::SpriteListPastRoom: return "sprite-list-past-room";
    case FindingKind::BananaListPastImage: return "banana-list-past-image";
    case FindingKind::CameraListPastImage: return "camera-list-past-image";
    case FindingKind::SpriteOutsideMap: return "sprite-outside-map";
    case FindingKind::BananaOutsideMap: return "banana-outside-map";
    case FindingKind::CameraOutsideMap: return "camera-outside-map";
    }
    return "unknown";
}

int heldStageCount(int stageCount) {
    return std::clamp(stageCount, 0, kMaxStageCount);
}

std::vector<StageFinding> validateStage(const StageContents& stage) {
    std::vector<StageFinding> list;
    Findings findings(list, stage.stageNumber);
    checkTerrain(stage, findings);
    checkSpriteList(stage, findings);
    checkSlots(stage.bananaSlots, FindingKind::BananaListPastImage, "banana", findings);
    checkSlots(stage.cameraSlots, FindingKind::CameraListPastImage, "camera", findings);
    checkObjectsInMap(stage, findings);
    return list;
}

std::vector<StageFinding> validateRom(std::span<const std::uint8_t> image, const RomInfo& info) {
    std::vector<StageFinding> list;
    Findings tables(list, -1);
    checkTable(info.bananaLevels(), FindingKind::BananaTableOutsideImage, "[Bananas] Levels", tables);
    checkTable(info.cameraLevels(), FindingKind::CameraTableOutsideImage, "[Cameras] Levels", tables);
    const int count = heldStageCount(info.stageCount());
    for (int stage = 0; stage < count; ++stage) {
        std::vector<StageFinding> found = validateStage(loadStageContents(image, info, stage));
        list.insert(list.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    }
    return list;
}

} // namespace vexa
