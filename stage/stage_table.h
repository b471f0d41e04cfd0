// The stage table in bank 0x3D and the stage headers it points to.
#pragma once

#include <cstdint>
#include <span>

namespace vexa {

inline constexpr unsigned kStageBank = 0x3D;
// The stage table holds one 16-bit word per stage in a single bank, so no more
// stages than this can be told apart.
inline constexpr int kMaxStageCount = 0x8000;

struct StageHeader {
    std::uint16_t stageType = 0;
    std::uint16_t stageDataAddress = 0; // offset in bank 0x3D of the stage's data block
    std::uint8_t sectionIndex = 0;      // section record of the terrain the stage shows
};

// Stage types 4 and 5 have no terrain map at all.
constexpr bool isStageWithoutTilemap(std::uint16_t stageType) {
    return stageType == 4 || stageType == 5;
}

// Reads the header at `headerOffset` in bank 0x3D; every field offset wraps within
// the bank. Returns the header's length: 8 for stage type 2, 6 for any other type.
int readStageHeader(std::span<const std::uint8_t> image, unsigned headerOffset, StageHeader& header);

// The stage table entry of a stage: the offset of its header in bank 0x3D. The
// number is not checked against the stage count; any number, negative ones too,
// names some entry of the bank.
std::uint16_t stageHeaderOffset(std::span<const std::uint8_t> image, int stageNumber);

// The header of a stage, found through the stage table.
StageHeader readStageHeaderOfStage(std::span<const std::uint8_t> image, int stageNumber);

} // namespace vexa
