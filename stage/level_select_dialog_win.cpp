#include "stage/level_select_dialog_win.h"

#include "app/settings_win.h"
#include "resource_ids.h"

#include <algorithm>
#include <string>

namespace vexa {

namespace {

constexpr std::size_t kNameChars = 64;
// The stage table holds one 16-bit word per stage in a single bank, so no more
// stages than this can be told apart. The cap also keeps a mistyped Count from
// freezing the dialog while it fills billions of lines.
constexpr int kMaxStageCount = 0x8000;

} // namespace

LevelSelectDialog::LevelSelectDialog() : ListPickDialog(IDC_LEVEL_LIST), info(romInfo()) {}

int LevelSelectDialog::lineCount() const {
    return std::min(info.stageCount(), kMaxStageCount);
}

std::wstring LevelSelectDialog::lineText(int stage) const {
    return hexText2(stage) + L": " + nameText(info.levelName(stage), L"?", kNameChars);
}

} // namespace vexa
