// A ROM image checked stage by stage for what the editor would stumble over: terrain
// that does not expand, sprite lists without a terminator or larger than their room,
// banana and camera lists running past the image, and objects placed off the map.
#pragma once

#include "app/rom_info.h"
#include "stage/view/stage_contents.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

enum class FindingKind {
    BananaTableOutsideImage,
    CameraTableOutsideImage,
    TerrainDoesNotExpand,
    SpriteListUnreadable,
    SpriteListPastRoom,
    BananaListPastImage,
    CameraListPastImage,
    SpriteOutsideMap,
    BananaOutsideMap,
    CameraOutsideMap,
};

// The name a finding's kind goes by in machine-readable output ("sprite-outside-map").
std::string_view findingKindName(FindingKind kind);

struct StageFinding {
    int stage = -1; // -1 for a finding about the whole image
    FindingKind kind = FindingKind::TerrainDoesNotExpand;
    int index = -1;      // the object's list position, -1 when the finding is about no one object
    std::string message; // one line, e.g. "stage 25: sprite 3 at (4100, 200) lies outside the map (4096 x 448)"
};

// Stage numbers run from 0 to the stage count less one; the count is held to 0 ...
// kMaxStageCount, as in the stage list.
int heldStageCount(int stageCount);

std::vector<StageFinding> validateStage(const StageContents& stage);
// Every stage of the image, in stage order, after the findings about the tables.
std::vector<StageFinding> validateRom(std::span<const std::uint8_t> image, const RomInfo& info);

} // namespace vexa
