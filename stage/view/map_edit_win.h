// Editing the map's objects from the keyboard and the clipboard (Delete, Ctrl+C,
// Ctrl+V, Shift+arrows, the Edit menu's three items), the double click that takes the
// user into the inspector, and the status bar's view of the map. Every change goes
// through the page of the object's kind, so it is the same edit, with the same undo
// step, as the page's own buttons or a drag on the map make.
#pragma once

#include "stage/object_kind.h"
#include "stage/view/map_clipboard.h"
#include "terrain/terrain_cells.h"

#include <windows.h>

#include <optional>

namespace vexa {

class LevelManager;

// The sound of an edit key or command that finds nothing to do. It is the system's
// beep; tests put a listener of their own in its place.
inline void (*mapEditBeep)() = [] { MessageBeep(MB_OK); };

class MapEditCommands {
public:
    explicit MapEditCommands(LevelManager& view) : view(view) {}
    MapEditCommands(const MapEditCommands&) = delete;
    MapEditCommands& operator=(const MapEditCommands&) = delete;

    // The registered name of the clipboard format that holds encodeMapObject's bytes.
    static constexpr const wchar_t* kClipboardFormatName = L"VexaEditor.MapObject";
    static UINT clipboardFormat();

    // WM_KEYDOWN of the map view; true when the key was one of these edits.
    bool onKeyDown(WPARAM key);
    // The Edit menu's Copy, Paste, Delete and Select All; true when `command` is one of them.
    bool handleCommand(int command);
    // Enables each of the three items when it would do something now.
    void updateEditMenu(HMENU menu) const;
    // After the click's selection: the keyboard goes to the selected object's first field.
    void onDoubleClick();

    // The status bar: the pointer at client (x, y) of the map view, the pointer gone
    // from it, and the sprite room. What lies under a pointer that stays put changes
    // with every edit, scroll and zoom: refreshPointer tells it again.
    void pointerMoved(int x, int y);
    void pointerLeft();
    void refreshPointer();
    void refreshRoom();

    bool canCopy() const { return !selectedObjects().empty(); }
    bool canPaste() const;
    bool canDelete() const;

private:
    struct Selection {
        ObjectKind kind;
        MapObjectClip object;
    };
    std::optional<Selection> selection() const;
    // Every marked object, kind by kind in the kinds' order.
    std::vector<Selection> selectedObjects() const;
    std::optional<std::vector<MapObjectClip>> clipboardObjects() const;
    // Where a pasted sprite goes: the pointer while it is over the map view, else the
    // view's centre, in map pixels.
    POINT pastePoint() const;
    // Where pasted terrain cells go: the cell under the pointer while it is over the
    // map's cells, else the cell at the view's top left.
    CellPoint pasteCell() const;
    // The pointer in map pixels while it is over the view.
    std::optional<POINT> pointerOverView() const;
    // Copy, Paste and Delete in terrain mode: the selected cells.
    bool handleTerrainCommand(int command);
    std::wstring objectTextAt(POINT at) const;
    // "選択: スプライト 3, バナナ 2" while several objects are selected, else nothing.
    std::wstring selectionStatus() const;

    // While a drag holds an object, nothing may change the lists under it.
    bool editable() const;
    void copy();
    void paste();
    bool pasteBanana(const BananaAllocData& copied);
    bool pasteCamera(const CameraAllocData& copied);
    // The sprites of a copy of several objects at the pointer, their offsets to one
    // another kept, as one step; false when nothing was pasted.
    bool pasteSprites(const std::vector<SpriteAllocData>& copied);
    void deleteSelection();
    void nudge(int dx, int dy);
    // Escape: the selection is let go. False when nothing was selected.
    bool clearSelection();

    LevelManager& view;
    // The pointer's last client point while it is over the view.
    std::optional<POINT> pointer;
};

} // namespace vexa
