// The stage selection dialog: every stage by number and name, one to choose.
#pragma once

#include "app/rom_data_base.h"
#include "ui/window_win.h"

namespace vexa {

// Stage names come from rominfo.ini [LevelName], keyed by the stage number as "%02X".
// Run with runModal(owner, initialStage): the result is the chosen stage number, or
// -1 when nothing was chosen.
class LevelSelectDialog : public MyDialog, public RomData_Base {
public:
    const wchar_t* templateName() const override { return L"LEVEL_SELECT"; }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static void fillList(HWND window, int initialStage);
    static INT_PTR onCommand(HWND window, int id, int code);
};

} // namespace vexa
