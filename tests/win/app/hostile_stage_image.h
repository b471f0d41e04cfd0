// A small but complete ROM image for the hostile-input tests: stage 37 has a 10 x 8
// cell terrain of map type 0, two sprites, two bananas of set 1 and one camera, all
// where the rominfo.ini defaults look for them.
#pragma once

#include <cstdint>
#include <vector>

namespace vexa::test {

inline constexpr int kHostileStage = 37;
inline constexpr int kHostileMapWidth = 10;
inline constexpr int kHostileMapHeight = 8;
inline constexpr std::uint8_t kHostileTerrain = 0x2A; // its chip bitmap is [MapChip] 2A

std::vector<std::uint8_t> hostileStageImage();

} // namespace vexa::test
