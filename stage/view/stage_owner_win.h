// What the stage editor needs of the window that owns it: the open document, the
// undo history, the main window (the owner of dialogs and holder of the menu) and the
// status bar's parts that follow the map. The main window implements it.
#pragma once

#include "app/rom_document.h"
#include "app/undo_buffer.h"
#include "stage/view/status_text.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace vexa {

class StageOwner {
public:
    virtual HWND mainWindow() const = 0;
    virtual RomDocument& romDocument() = 0;
    virtual void pushUndo(std::unique_ptr<UndoMethod> record) = 0;
    // The undo history itself, for the edits of several objects that gather their
    // records into one step.
    virtual UndoBuffer& undoHistory() = 0;
    // The status bar's pointer and object parts ("" and "" when the pointer left).
    virtual void showPointerStatus(const std::wstring& pointer, const std::wstring& object) = 0;
    // The status bar's room part (nothing while no stage is open) and zoom part.
    virtual void showStageStatus(const std::optional<SpriteRoom>& room, int zoomPercent) = 0;

protected:
    ~StageOwner() = default;
};

} // namespace vexa
