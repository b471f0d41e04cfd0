// The settings files that describe the sample: rominfo.ini and sprites.ini, in
// Shift-JIS with Windows line ends, as the editor reads them.
#pragma once

#include "tools/sample_game/rom_tables.h"
#include "tools/sample_game/sample_plan.h"

#include <string>
#include <string_view>

namespace vexa::sample {

// UTF-8 to code page 932. Characters the code page lacks become '?'.
std::string toShiftJis(std::string_view utf8);

std::string makeRomInfoIni(const SamplePlan& plan, const TableLocations& at);
std::string makeSpritesIni();

} // namespace vexa::sample
