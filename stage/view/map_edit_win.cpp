#include "stage/view/map_edit_win.h"

#include "resources/resource_ids.h"
#include "stage/object_list_ops.h"
#include "stage/view/level_manager_win.h"
#include "stage/view/stage_owner_win.h"
#include "stage/view/status_text.h"

#include <cstring>
#include <list>
#include <vector>

namespace vexa {

namespace {

// One unit of a kind's position: sprites are placed by the pixel, bananas and cameras
// by the 8-pixel unit their drags snap to.
int unitOf(ObjectKind kind) {
    return kind == ObjectKind::Sprite ? 1 : 8;
}

HGLOBAL globalCopy(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* target = block ? GlobalLock(block) : nullptr;
    if (!target) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    return block;
}

// Ownership of each block passes to the clipboard once SetClipboardData takes it.
void putBlock(UINT format, HGLOBAL block) {
    if (block && !SetClipboardData(format, block)) GlobalFree(block);
}

bool putOnClipboard(HWND owner, const MapObjectClip& object) {
    const std::vector<std::uint8_t> bytes = encodeMapObject(object);
    const std::wstring text = mapObjectText(object);
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    putBlock(MapEditCommands::clipboardFormat(), globalCopy(bytes.data(), bytes.size()));
    putBlock(CF_UNICODETEXT, globalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
    CloseClipboard();
    return true;
}

template <typename T> const T* findItem(const std::list<T>& list, int index) {
    return hasItem(list, index) ? &itemAt(list, index) : nullptr;
}

void beep() {
    mapEditBeep();
}

} // namespace

UINT MapEditCommands::clipboardFormat() {
    static const UINT format = RegisterClipboardFormatW(kClipboardFormatName);
    return format;
}

bool MapEditCommands::onKeyDown(WPARAM key) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (ctrl == shift) return !ctrl && key == VK_DELETE && handleCommand(IDM_EDIT_DELETE);
    if (ctrl) return (key == 'C' && handleCommand(IDM_EDIT_COPY)) || (key == 'V' && handleCommand(IDM_EDIT_PASTE));
    switch (key) {
    case VK_LEFT: nudge(-1, 0); return true;
    case VK_RIGHT: nudge(1, 0); return true;
    case VK_UP: nudge(0, -1); return true;
    case VK_DOWN: nudge(0, 1); return true;
    default: return false;
    }
}

bool MapEditCommands::handleCommand(int command) {
    // The keys reach here with no ROM open too; a closed image keeps its bytes, and an
    // edit made into it would come back as an undo step over the next file opened.
    const bool open = view.owner->romDocument().loaded;
    switch (command) {
    case IDM_EDIT_COPY:
        if (open) copy();
        return true;
    case IDM_EDIT_PASTE:
        if (editable()) paste();
        return true;
    case IDM_EDIT_DELETE:
        if (editable()) deleteSelection();
        return true;
    default: return false;
    }
}

void MapEditCommands::updateEditMenu(HMENU menu) const {
    const bool open = view.owner->romDocument().loaded;
    const auto enable = [menu](int id, bool on) {
        EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_EDIT_COPY, open && canCopy());
    enable(IDM_EDIT_PASTE, editable() && canPaste());
    enable(IDM_EDIT_DELETE, editable() && canDelete());
}

bool MapEditCommands::editable() const {
    return view.owner->romDocument().loaded && !view.isDragging();
}

std::optional<MapEditCommands::Selection> MapEditCommands::selection() const {
    if (const SpriteAllocData* sprite = findItem(view.sprites.sprites().sprites, view.sprites.selectedIndex))
        return Selection{ObjectKind::Sprite, *sprite};
    if (const BananaAllocData* banana = view.bananas.editor().itemAt(view.bananas.selectedIndex))
        return Selection{ObjectKind::Banana, *banana};
    if (const CameraAllocData* camera = view.cameras.editor().itemAt(view.cameras.selectedIndex))
        return Selection{ObjectKind::Camera, *camera};
    return std::nullopt;
}

std::optional<MapObjectClip> MapEditCommands::clipboardObject() const {
    if (!IsClipboardFormatAvailable(clipboardFormat()) || !OpenClipboard(view.hwnd)) return std::nullopt;
    std::optional<MapObjectClip> object;
    if (HANDLE block = GetClipboardData(clipboardFormat())) {
        if (const void* data = GlobalLock(block)) {
            object = decodeMapObject({static_cast<const std::uint8_t*>(data), GlobalSize(block)});
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return object;
}

bool MapEditCommands::canPaste() const {
    const std::optional<MapObjectClip> object = clipboardObject();
    if (!object) return false;
    if (std::holds_alternative<BananaAllocData>(*object))
        return view.bananas.editor().itemAt(view.bananas.selectedIndex) != nullptr;
    if (std::holds_alternative<CameraAllocData>(*object))
        return view.cameras.editor().itemAt(view.cameras.selectedIndex) != nullptr;
    return !spriteRoomOf(view.sprites.sprites()).full;
}

bool MapEditCommands::canDelete() const {
    const std::optional<Selection> selected = selection();
    return selected && selected->kind == ObjectKind::Sprite && view.sprites.sprites().readable;
}

void MapEditCommands::copy() {
    const std::optional<Selection> selected = selection();
    if (!selected || !putOnClipboard(view.hwnd, selected->object)) beep();
}

void MapEditCommands::paste() {
    const std::optional<MapObjectClip> object = clipboardObject();
    if (!object) return beep();
    if (const auto* sprite = std::get_if<SpriteAllocData>(&*object)) {
        // A sprite's position is the point it stands on, so no snapping: a drag moves
        // it by the pixel too.
        const POINT at = pastePoint();
        SpriteAllocData placed = *sprite;
        placed.x = at.x;
        placed.y = at.y;
        return view.sprites.addSprite(placed);
    }
    const auto* banana = std::get_if<BananaAllocData>(&*object);
    if (!(banana ? pasteBanana(*banana) : pasteCamera(std::get<CameraAllocData>(*object)))) beep();
}

bool MapEditCommands::pasteBanana(const BananaAllocData& copied) {
    const BananaAllocData* target = view.bananas.editor().itemAt(view.bananas.selectedIndex);
    if (!target) return false;
    const std::optional<BananaFields> fields =
        bananaPasteFields(*target, copied, view.host.romInfo().bananaSetCount(), view.host.openMapType());
    return fields && view.bananas.pasteValues(*fields);
}

bool MapEditCommands::pasteCamera(const CameraAllocData& copied) {
    const CameraAllocData* target = view.cameras.editor().itemAt(view.cameras.selectedIndex);
    if (!target) return false;
    const std::optional<CameraFields> fields = cameraPasteFields(*target, copied, view.host.openMapType());
    return fields && view.cameras.pasteValues(*fields);
}

POINT MapEditCommands::pastePoint() const {
    RECT client;
    GetClientRect(view.hwnd, &client);
    POINT cursor;
    if (GetCursorPos(&cursor) && WindowFromPoint(cursor) == view.hwnd) {
        ScreenToClient(view.hwnd, &cursor);
        if (PtInRect(&client, cursor)) return view.mapPoint(cursor.x, cursor.y);
    }
    return view.mapPoint(client.right / 2, client.bottom / 2);
}

void MapEditCommands::deleteSelection() {
    const std::optional<Selection> selected = selection();
    if (!selected) return;
    // Bananas and cameras sit in fixed slots of the stage: there is no entry to remove.
    if (selected->kind != ObjectKind::Sprite) return beep();
    view.sprites.deleteSelected();
}

void MapEditCommands::nudge(int dx, int dy) {
    const std::optional<Selection> selected = selection();
    if (!selected || !editable()) return;
    const int unit = unitOf(selected->kind);
    switch (selected->kind) {
    case ObjectKind::Sprite: view.sprites.nudge(dx * unit, dy * unit); break;
    case ObjectKind::Banana: view.bananas.nudge(dx * unit, dy * unit); break;
    case ObjectKind::Camera: view.cameras.nudge(dx * unit, dy * unit); break;
    }
}

void MapEditCommands::onDoubleClick() {
    const std::optional<Selection> selected = selection();
    if (!selected) return;
    HWND field = nullptr;
    switch (selected->kind) {
    case ObjectKind::Sprite: field = view.sprites.firstField(); break;
    case ObjectKind::Banana: field = view.bananas.firstField(); break;
    case ObjectKind::Camera: field = view.cameras.firstField(); break;
    }
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

void MapEditCommands::pointerMoved(int x, int y) {
    pointer = POINT{x, y};
    // Asked again at every move: a request made while the pointer is not yet over the
    // view (it moves through the display) is not kept everywhere.
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, view.hwnd, 0};
    TrackMouseEvent(&leave);
    refreshPointer();
}

void MapEditCommands::pointerLeft() {
    pointer.reset();
    view.owner->showPointerStatus(L"", L"");
}

void MapEditCommands::refreshPointer() {
    if (!pointer) return;
    const POINT at = view.mapPoint(pointer->x, pointer->y);
    view.owner->showPointerStatus(pointerStatusText(view.tilemap.data(), at.x, at.y), objectTextAt(at));
}

std::wstring MapEditCommands::objectTextAt(POINT at) const {
    if (view.sprites.isShown()) {
        const SpriteList& sprites = view.sprites.sprites().sprites;
        const int index = spriteIndexAt(sprites, at.x, at.y);
        if (const SpriteAllocData* sprite = findItem(sprites, index))
            return spriteStatusText(index, *sprite, spriteTypeLabel(view.host.romInfo(), sprite->type));
    }
    if (view.bananas.isShown()) {
        const int index = pickBanana(view.bananas.editor().items(), at.x, at.y);
        if (const BananaAllocData* banana = view.bananas.editor().itemAt(index))
            return bananaStatusText(index, *banana);
    }
    if (view.cameras.isShown()) {
        const int index = pickCamera(view.cameras.editor().items(), at.x, at.y).index;
        if (const CameraAllocData* camera = view.cameras.editor().itemAt(index))
            return cameraStatusText(index, *camera);
    }
    return {};
}

void MapEditCommands::refreshRoom() {
    const bool open = view.owner->romDocument().loaded;
    view.owner->showStageStatus(open ? std::optional(spriteRoomOf(view.sprites.sprites())) : std::nullopt,
                                view.zoomPercent());
}

} // namespace vexa
