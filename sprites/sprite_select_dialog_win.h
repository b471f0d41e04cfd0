// The sprite type dialog: every even sprite type with its name, one to choose.
#pragma once

#include "app/rom_data_base.h"
#include "ui/window_win.h"

namespace vexa {

// Names come from sprites.ini [SpriteName], keyed by the type as "%04X"; row i stands
// for type 2i. Run with runModal(owner, startType): the result is the chosen type, or
// -1 when the user cancels. OK with no row selected leaves the dialog open, since
// there is no type to give back.
class SpriteSelectDialog : public MyDialog, public RomData_Base {
public:
    const wchar_t* templateName() const override { return L"SPRITE_SELECT"; }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static void fillList(HWND window, LPARAM startType);
    static INT_PTR onCommand(HWND window, int id, int code);
};

} // namespace vexa
