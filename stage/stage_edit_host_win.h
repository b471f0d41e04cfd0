// The stage editor's host as the Win32 pages, dialogs and the tile map see it: the
// portable host, the window their dialogs belong to, and the program's folder that
// the chip bitmaps lie in. The map view's hub implements it.
#pragma once

#include "stage/stage_edit_host.h"

#include <windows.h>

#include <string>

namespace vexa {

class StageWindowHost : public StageEditHost {
public:
    // The owner of the dialogs the pages open.
    virtual HWND mainWindow() const = 0;
    // The folder of the program, ending with a backslash ("chips\" lies in it).
    virtual std::wstring programFolder() const = 0;
};

} // namespace vexa
