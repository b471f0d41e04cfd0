// The stage editor's host as the Win32 pages, dialogs and the tile map see it: the
// portable host, the window their dialogs belong to, and the program's folder that
// the chip bitmaps lie in. The map view's hub implements it.
#pragma once

#include "stage/object_kind.h"
#include "stage/stage_edit_host.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vexa {

class StageWindowHost : public StageEditHost {
public:
    // The owner of the dialogs the pages open.
    virtual HWND mainWindow() const = 0;
    // The folder of the program, ending with a backslash ("chips\" lies in it).
    virtual std::wstring programFolder() const = 0;
    // Runs `edits`, an edit of several objects of `kind`: the records they push become
    // one undo step named after `what` and `count`. After it is undone the objects
    // `marksAfterUndo` are marked, after it is redone `marksAfterRedo`.
    virtual void editAsOneStep(ObjectKind kind, GroupEdit what, int count, const std::vector<int>& marksAfterUndo,
                               const std::vector<int>& marksAfterRedo, const std::function<void()>& edits) = 0;
};

} // namespace vexa
