#include "sprites/sprite_select_dialog_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace vexa {

namespace {

// Types are 16-bit and even, so 0x8000 rows name every one; the cap also keeps a
// mistyped Count from freezing the dialog while it fills billions of rows.
constexpr int kMaxTypeRows = 0x8000;
constexpr std::size_t kNameChars = 256;

} // namespace

SpriteSelectDialog::SpriteSelectDialog(const RomInfo& info) : ListPickDialog(IDC_SPRITE_SELECT_LIST), info(info) {}

int SpriteSelectDialog::lineCount() const {
    return std::min(info.spriteTypeCount(), kMaxTypeRows);
}

std::wstring SpriteSelectDialog::lineText(int row) const {
    const int type = 2 * row;
    return hexText4(type) + L": " + nameText(info.spriteTypeName(type), L"?", kNameChars);
}

// A start type whose half is not a row selects nothing.
int SpriteSelectDialog::initialLine(LPARAM startType) const {
    const auto row = static_cast<std::uint64_t>(startType) >> 1;
    return row < static_cast<std::uint64_t>(std::max(lineCount(), 0)) ? static_cast<int>(row) : -1;
}

std::optional<INT_PTR> SpriteSelectDialog::result(int row) const {
    if (row < 0) return std::nullopt;
    return static_cast<INT_PTR>(row) * 2;
}

} // namespace vexa
