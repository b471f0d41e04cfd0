// The stage selection dialog: every stage by number and name, one to choose.
#pragma once

#include "app/rom_data_base.h"
#include "app/rom_info.h"
#include "ui/list_pick_dialog_win.h"

namespace vexa {

// Stage names come from rominfo.ini [LevelName], keyed by the stage number as "%02X".
// Run with runModal(owner, initialStage): the result is the chosen stage number, or
// -1 when nothing was chosen.
class LevelSelectDialog : public ListPickDialog, public RomData_Base {
public:
    explicit LevelSelectDialog(const RomInfo& info);
    const wchar_t* templateName() const override { return L"LEVEL_SELECT"; }

private:
    int lineCount() const override;
    std::wstring lineText(int line) const override;
    int initialLine(LPARAM initParam) const override { return static_cast<int>(initParam); }
    std::optional<INT_PTR> result(int line) const override { return line; }

    // The names as the settings files give them when the dialog opens.
    RomInfo info;
};

} // namespace vexa
