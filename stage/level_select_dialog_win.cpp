#include "stage/level_select_dialog_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "stage/stage_table.h"

#include <algorithm>
#include <string>

namespace vexa {

namespace {

constexpr std::size_t kNameChars = 64;

} // namespace

LevelSelectDialog::LevelSelectDialog(const RomInfo& info) : ListPickDialog(IDC_LEVEL_LIST), info(info) {}

// The cap also keeps a mistyped Count from freezing the dialog while it fills
// billions of lines.
int LevelSelectDialog::lineCount() const {
    return std::min(info.stageCount(), kMaxStageCount);
}

std::wstring LevelSelectDialog::lineText(int stage) const {
    return hexText2(stage) + L": " + nameText(info.levelName(stage), L"?", kNameChars);
}

} // namespace vexa
