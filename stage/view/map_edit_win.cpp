#include "stage/view/map_edit_win.h"

#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "stage/object_list_ops.h"
#include "stage/view/level_manager_win.h"
#include "stage/view/stage_owner_win.h"
#include "stage/view/status_text.h"
#include "ui/clipboard_win.h"
#include "ui/texts.h"

#include <algorithm>
#include <list>
#include <vector>

namespace vexa {

namespace {

// One unit of a kind's position: sprites are placed by the pixel, bananas and cameras
// by the 8-pixel unit their drags snap to.
int unitOf(ObjectKind kind) {
    return kind == ObjectKind::Sprite ? 1 : 8;
}

bool putObjectsOnClipboard(HWND owner, const std::vector<MapObjectClip>& objects) {
    const std::vector<std::uint8_t> bytes = encodeMapObjects(objects);
    const ClipboardForm forms[] = {{MapEditCommands::clipboardFormat(), bytes}};
    return putOnClipboard(owner, forms, mapObjectsText(objects));
}

template <typename T> std::vector<T> objectsOfKind(const std::vector<MapObjectClip>& objects) {
    std::vector<T> found;
    for (const MapObjectClip& object : objects)
        if (const T* item = std::get_if<T>(&object)) found.push_back(*item);
    return found;
}

std::wstring noRoomText(int pasted, const SpriteRoom& room) {
    return formatText(IDS_PASTE_NO_ROOM,
                      {std::to_wstring(pasted), std::to_wstring(std::max(room.limit - room.count, 0))});
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
    if (ctrl == shift) {
        if (ctrl) return false;
        if (key == VK_ESCAPE) return clearSelection();
        return key == VK_DELETE && handleCommand(IDM_EDIT_DELETE);
    }
    if (ctrl)
        return (key == 'C' && handleCommand(IDM_EDIT_COPY)) || (key == 'V' && handleCommand(IDM_EDIT_PASTE)) ||
               (key == 'A' && handleCommand(IDM_EDIT_SELECT_ALL));
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
    if (view.inTerrainMode()) return handleTerrainCommand(command);
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
    case IDM_EDIT_SELECT_ALL:
        if (editable() && !view.selectAll()) beep();
        return true;
    default: return false;
    }
}

bool MapEditCommands::clearSelection() {
    if (view.inTerrainMode()) return false;
    if (view.isDragging()) {
        view.objectTool.cancel();
        return true;
    }
    if (view.objectTool.markedTotal() == 0) return false;
    view.clearSelections();
    view.invalidateView();
    return true;
}

void MapEditCommands::updateEditMenu(HMENU menu) const {
    const bool open = view.owner->romDocument().loaded;
    const auto enable = [menu](int id, bool on) {
        EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    if (view.inTerrainMode()) {
        const bool selected = view.terrainTool.selection.has_value();
        const bool writable = editable() && view.terrain.editable();
        enable(IDM_EDIT_COPY, open && selected);
        enable(IDM_EDIT_PASTE, writable && view.terrainTool.canPaste());
        enable(IDM_EDIT_DELETE, writable && selected);
        enable(IDM_EDIT_SELECT_ALL, false);
        return;
    }
    const int page = view.inspector.shownPage();
    const bool objectPage = page >= 0 && page < tabIndexOf(PageKind::Terrain);
    enable(IDM_EDIT_SELECT_ALL,
           editable() && objectPage && view.layer(kObjectKinds[static_cast<std::size_t>(page)]).objectCount() > 0);
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

std::vector<MapEditCommands::Selection> MapEditCommands::selectedObjects() const {
    std::vector<Selection> objects;
    const auto add = [&](ObjectKind kind, const auto& items) {
        for (const auto& item : entriesAt(items, view.layer(kind).marked()))
            objects.push_back({kind, item});
    };
    add(ObjectKind::Sprite, view.sprites.sprites().sprites);
    add(ObjectKind::Banana, view.bananas.editor().items());
    add(ObjectKind::Camera, view.cameras.editor().items());
    return objects;
}

std::optional<std::vector<MapObjectClip>> MapEditCommands::clipboardObjects() const {
    const std::optional<std::vector<std::uint8_t>> bytes = clipboardBytes(view.hwnd, clipboardFormat());
    if (!bytes) return std::nullopt;
    return decodeMapObjects(*bytes);
}

bool MapEditCommands::canPaste() const {
    const std::optional<std::vector<MapObjectClip>> objects = clipboardObjects();
    if (!objects) return false;
    if (objects->size() > 1) {
        const bool bananaTarget = view.bananas.editor().itemAt(view.bananas.selectedIndex) != nullptr;
        const bool cameraTarget = view.cameras.editor().itemAt(view.cameras.selectedIndex) != nullptr;
        return !objectsOfKind<SpriteAllocData>(*objects).empty() ||
               (objectsOfKind<BananaAllocData>(*objects).size() == 1 && bananaTarget) ||
               (objectsOfKind<CameraAllocData>(*objects).size() == 1 && cameraTarget);
    }
    const MapObjectClip* object = &objects->front();
    if (std::holds_alternative<BananaAllocData>(*object))
        return view.bananas.editor().itemAt(view.bananas.selectedIndex) != nullptr;
    if (std::holds_alternative<CameraAllocData>(*object))
        return view.cameras.editor().itemAt(view.cameras.selectedIndex) != nullptr;
    return !spriteRoomOf(view.sprites.sprites()).full;
}

bool MapEditCommands::canDelete() const {
    if (view.objectTool.markedTotal() > 1)
        return view.bananas.markCount() == 0 && view.cameras.markCount() == 0 && view.sprites.sprites().readable;
    const std::optional<Selection> selected = selection();
    return selected && selected->kind == ObjectKind::Sprite && view.sprites.sprites().readable;
}

void MapEditCommands::copy() {
    std::vector<MapObjectClip> objects;
    for (const Selection& selected : selectedObjects())
        objects.push_back(selected.object);
    if (objects.empty() || !putObjectsOnClipboard(view.hwnd, objects)) beep();
}

void MapEditCommands::paste() {
    const std::optional<std::vector<MapObjectClip>> objects = clipboardObjects();
    if (!objects) return beep();
    if (objects->size() > 1) {
        // The banana and the camera are typed into the selected ones first: the pasted
        // sprites end up the selection.
        const std::vector<BananaAllocData> bananas = objectsOfKind<BananaAllocData>(*objects);
        const std::vector<CameraAllocData> cameras = objectsOfKind<CameraAllocData>(*objects);
        bool pasted = bananas.size() == 1 && pasteBanana(bananas.front());
        pasted = (cameras.size() == 1 && pasteCamera(cameras.front())) || pasted;
        pasted = pasteSprites(objectsOfKind<SpriteAllocData>(*objects)) || pasted;
        if (!pasted) beep();
        return;
    }
    const MapObjectClip* object = &objects->front();
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

bool MapEditCommands::pasteSprites(const std::vector<SpriteAllocData>& copied) {
    if (copied.empty()) return false;
    const LevelSpritesData& data = view.sprites.sprites();
    if (!data.readable) {
        view.host.showError(text(IDS_SPRITE_LIST_UNREADABLE));
        return true;
    }
    const SpriteRoom room = spriteRoomOf(data);
    const int count = static_cast<int>(copied.size());
    if (room.count + count > room.limit) {
        view.host.showError(noRoomText(count, room));
        return true;
    }
    // The copy's top left goes to the pointer, held so that every sprite stays storable.
    int left = copied.front().x;
    int top = copied.front().y;
    for (const SpriteAllocData& sprite : copied) {
        left = std::min(left, sprite.x);
        top = std::min(top, sprite.y);
    }
    const POINT at = pastePoint();
    const GroupOffset by = groupOffset(spriteGroupLimits(copied), at.x - left, at.y - top);
    std::vector<SpriteAllocData> placed = copied;
    for (SpriteAllocData& sprite : placed) {
        sprite.x += by.dx;
        sprite.y += by.dy;
    }
    view.sprites.addSprites(placed);
    return true;
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

bool MapEditCommands::handleTerrainCommand(int command) {
    const bool open = view.owner->romDocument().loaded;
    TerrainTool& tool = view.terrainTool;
    switch (command) {
    case IDM_EDIT_COPY:
        if (open && !tool.copy(view.hwnd)) beep();
        return true;
    case IDM_EDIT_PASTE:
        if (editable() && !tool.paste(view.hwnd, pasteCell())) beep();
        return true;
    case IDM_EDIT_DELETE:
        if (editable() && !tool.fillSelection()) beep();
        return true;
    case IDM_EDIT_SELECT_ALL: beep(); return true;
    default: return false;
    }
}

CellPoint MapEditCommands::pasteCell() const {
    const TilemapData& map = view.tilemap.data();
    if (const std::optional<POINT> at = pointerOverView())
        if (const std::optional<CellPoint> cell = cellAt(map, at->x, at->y, false)) return *cell;
    const POINT corner = view.mapPoint(0, 0);
    return cellAt(map, corner.x, corner.y, true).value_or(CellPoint{});
}

std::optional<POINT> MapEditCommands::pointerOverView() const {
    RECT client;
    GetClientRect(view.hwnd, &client);
    POINT cursor;
    if (GetCursorPos(&cursor) && WindowFromPoint(cursor) == view.hwnd) {
        ScreenToClient(view.hwnd, &cursor);
        if (PtInRect(&client, cursor)) return view.mapPoint(cursor.x, cursor.y);
    }
    return std::nullopt;
}

POINT MapEditCommands::pastePoint() const {
    if (const std::optional<POINT> at = pointerOverView()) return *at;
    RECT client;
    GetClientRect(view.hwnd, &client);
    return view.mapPoint(client.right / 2, client.bottom / 2);
}

void MapEditCommands::deleteSelection() {
    if (view.objectTool.markedTotal() > 1) {
        // Bananas and cameras sit in fixed slots of the stage: a selection holding any
        // deletes nothing.
        if (view.bananas.markCount() > 0 || view.cameras.markCount() > 0) return beep();
        return view.sprites.deleteSprites(view.sprites.marked());
    }
    const std::optional<Selection> selected = selection();
    if (!selected) return;
    // Bananas and cameras sit in fixed slots of the stage: there is no entry to remove.
    if (selected->kind != ObjectKind::Sprite) return beep();
    view.sprites.deleteSelected();
}

void MapEditCommands::nudge(int dx, int dy) {
    if (!editable()) return;
    if (view.objectTool.markedTotal() > 1) {
        // By one step of the group's grid, stopping at the edges as a drag does.
        const GroupLimits limits = view.objectTool.selectionLimits();
        const GroupOffset by = groupOffset(limits, dx * limits.unit, dy * limits.unit);
        if (!by.moves()) return;
        view.recordAsOneStep(GroupEdit::Move, [&] {
            for (const ObjectKind kind : kObjectKinds)
                if (view.layer(kind).markCount() > 0) view.layer(kind).moveMarked(by);
        });
        return;
    }
    const std::optional<Selection> selected = selection();
    if (!selected) return;
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
    view.owner->showPointerStatus(L"", selectionStatus());
}

void MapEditCommands::refreshPointer() {
    if (!pointer) {
        // Several objects selected are named while the pointer is away too.
        if (view.objectTool.markedTotal() > 1) view.owner->showPointerStatus(L"", selectionStatus());
        return;
    }
    const POINT at = view.mapPoint(pointer->x, pointer->y);
    std::wstring where = pointerStatusText(view.tilemap.data(), at.x, at.y);
    if (view.inTerrainMode() && !where.empty()) where += std::wstring(L" | ") + terrainToolName(view.terrainTool.kind);
    std::wstring object = objectTextAt(at);
    if (object.empty()) object = selectionStatus();
    view.owner->showPointerStatus(where, object);
}

std::wstring MapEditCommands::selectionStatus() const {
    if (view.objectTool.markedTotal() < 2) return {};
    return selectionText(countsOf(view.marks()));
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
