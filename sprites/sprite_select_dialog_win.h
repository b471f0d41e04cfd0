// The sprite type dialog: every even sprite type with its name, one to choose.
#pragma once

#include "app/rom_data_base.h"
#include "app/rom_info.h"
#include "ui/list_pick_dialog_win.h"

namespace vexa {

// Names come from sprites.ini [SpriteName], keyed by the type as "%04X"; row i stands
// for type 2i. Run with runModal(owner, startType): the result is the chosen type, or
// -1 when the user cancels. OK with no row selected leaves the dialog open, since
// there is no type to give back.
class SpriteSelectDialog : public ListPickDialog, public RomData_Base {
public:
    explicit SpriteSelectDialog(const RomInfo& info);
    const wchar_t* templateName() const override { return L"SPRITE_SELECT"; }

private:
    int lineCount() const override;
    std::wstring lineText(int line) const override;
    int initialLine(LPARAM initParam) const override;
    std::optional<INT_PTR> result(int line) const override;

    // The names as the settings files give them when the dialog opens.
    RomInfo info;
};

} // namespace vexa
