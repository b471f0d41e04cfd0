// The two sides every object kind's edits talk to: the stage editor around them (the
// host: the ROM image, the open stage, the map, the undo history, messages) and the
// kind's own page (its list lines, its fields and its mark on the map). The Win32
// side implements both; the core's tests put plain values in their place.
#pragma once

#include "app/rom_info.h"
#include "app/undo_buffer.h"
#include "stage/object_kind.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vexa {

class StageEditHost {
public:
    virtual ~StageEditHost() = default;

    virtual std::span<std::uint8_t> romImage() = 0;
    // The settings files as they are now: table locations are read anew at every use.
    virtual RomInfo romInfo() const = 0;
    virtual int openStageNumber() const = 0;
    virtual std::uint16_t openMapType() const = 0;
    // Makes the stage the open one and loads it whole, every object list included.
    virtual void openStage(int stageNumber) = 0;
    // Switches the inspector to `page` and clears the marks of the other pages' kinds.
    virtual void showPage(PageKind page) = 0;
    // Clears the map marks of the kinds of the pages other than `page`.
    virtual void clearOtherSelections(PageKind page) = 0;
    // Map positions in map pixels.
    virtual bool isInView(int x, int y) const = 0;
    virtual void centerOn(int x, int y) = 0;
    virtual void invalidateMap() = 0;
    // Reads the open stage's terrain from the image again and redraws the map, keeping
    // the scroll position (held to the map's extent).
    virtual void refreshTerrain() = 0;
    // The check mark of a menu item of the main window.
    virtual void setMenuCheck(int command, bool checked) = 0;
    virtual void pushUndo(std::unique_ptr<UndoMethod> record) = 0;
    // An error for the user: caption "エラー", warning icon.
    virtual void showError(const std::wstring& text) = 0;
};

// Before an undo or redo replays a record of `stage`: opens that stage unless it is the
// open one, then shows `page`. A record that changes the bytes of a stage that is not
// open changes them before this, so that the opening reads them.
void bringStageBack(StageEditHost& host, int stage, PageKind page);

// What the edits of one kind need of its page and its map layer. The page formats its
// lines and fields itself from the kind's list.
class ObjectEditPage {
public:
    virtual ~ObjectEditPage() = default;
    // Empties the list lines and the fields.
    virtual void clearPage() = 0;
    // The lines from `from` to the end show the entries from `from` on (one line per
    // entry); the lines before `from` stay as they are.
    virtual void rebuildLines(int from) = 0;
    virtual void setLine(int index) = 0;
    // An index that names no line leaves no line selected.
    virtual void selectLine(int index) = 0;
    // The entry in every field of the page; an index that names no entry changes nothing.
    virtual void showItem(int index) = 0;
    virtual void showNumber(int index) = 0;
    virtual bool layerShown() const = 0;
    // The entry marked on the map, -1 for none.
    virtual int mapSelection() const = 0;
    virtual void setMapSelection(int index) = 0;
};

} // namespace vexa
