#include "sprites/sprites_page_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "sprites/sprite_select_dialog_win.h"
#include "stage/field_text.h"
#include "stage/map_look.h"
#include "stage/object_list_ops.h"
#include "ui/texts.h"

#include <algorithm>
#include <string>

namespace vexa {

namespace {

constexpr std::size_t kLineNameChars = 128;
constexpr std::size_t kDescriptionChars = 256;

// The controls that a ROM being open or closed enables or disables together.
constexpr int kPageControls[] = {
    IDC_SPRITE_LIST,    IDC_SPRITE_NUMBER,  IDC_SPRITE_PARAMETER,    IDC_SPRITE_X,
    IDC_SPRITE_Y,       IDC_SPRITE_TYPE,    IDC_SPRITE_DESCRIPTION,  IDC_SPRITE_TYPE_BROWSE,
    IDC_SPRITE_APPLY,   IDC_SPRITE_ADD,     IDC_SPRITE_DELETE,       IDC_SPRITE_UP,
    IDC_SPRITE_DOWN,    IDC_SPRITE_SORT,    IDC_SPRITE_NUMBER_LABEL, IDC_SPRITE_PARAMETER_LABEL,
    IDC_SPRITE_X_LABEL, IDC_SPRITE_Y_LABEL, IDC_SPRITE_TYPE_LABEL};

constexpr ObjectPageLook kLook{ObjectKind::Sprite,
                               L"ShowSprites",
                               IDM_VIEW_SPRITES,
                               IDC_SPRITE_LIST,
                               kPageControls,
                               colourRef(kSpriteColour),
                               colourRef(kSpriteSelectionColour)};

constexpr int kSeveralFields[] = {IDC_SPRITE_PARAMETER, IDC_SPRITE_X, IDC_SPRITE_Y, IDC_SPRITE_TYPE};

std::wstring typeName(const RomInfo& info, unsigned type, std::size_t chars) {
    return nameText(info.spriteTypeName(static_cast<int>(type)), L"?", chars);
}

} // namespace

std::wstring spriteTypeLabel(const RomInfo& info, unsigned type) {
    return typeName(info, type, kLineNameChars);
}

LevelSpritesManager::LevelSpritesManager(StageWindowHost& host) : ObjectPage(host, kLook), edits(host, *this) {}

void LevelSpritesManager::loadStage(int stageNumber) {
    dragging = false;
    edits.load(stageNumber);
}

void LevelSpritesManager::clearObjects() {
    dragging = false;
    edits.clearObjects();
}

void LevelSpritesManager::clearPage() {
    SendMessageW(list(), LB_RESETCONTENT, 0, 0);
    for (int id = IDC_SPRITE_NUMBER; id <= IDC_SPRITE_DESCRIPTION; ++id)
        setFieldText(id, L"");
}

void LevelSpritesManager::onInitPage() {
    clearExtendedStyle(hwnd, IDC_SPRITE_NUMBER);
}

bool LevelSpritesManager::onPageCommand(int id, int code) {
    switch (id) {
    case IDC_SPRITE_TYPE:
        if (code != EN_CHANGE) return false;
        onTypeChanged();
        return true;
    case IDC_SPRITE_TYPE_BROWSE:
        if (code != BN_CLICKED) return false;
        chooseType();
        return true;
    default: return code == BN_CLICKED && runEdit(id);
    }
}

bool LevelSpritesManager::runEdit(int id) {
    const int index = listSelection();
    const std::vector<int> lines = listSelections();
    switch (id) {
    case IDC_SPRITE_APPLY:
        if (lines.size() > 1) return applySeveral(lines), true;
        edits.apply(index, fieldTexts());
        return true;
    case IDC_SPRITE_ADD: edits.add(index, fieldTexts()); return true;
    case IDC_SPRITE_DELETE:
        if (lines.size() > 1) return deleteSprites(lines), true;
        edits.remove(index);
        return true;
    case IDC_SPRITE_UP: edits.up(index); return true;
    case IDC_SPRITE_DOWN: edits.down(index); return true;
    case IDC_SPRITE_SORT: edits.sort(index); return true;
    default: return false;
    }
}

void LevelSpritesManager::onTypeChanged() {
    const std::uint32_t type = parseHexField(fieldText(IDC_SPRITE_TYPE)).value_or(0);
    setFieldText(IDC_SPRITE_DESCRIPTION, typeName(host.romInfo(), type, kDescriptionChars));
}

void LevelSpritesManager::chooseType() {
    const std::uint32_t type = parseHexField(fieldText(IDC_SPRITE_TYPE)).value_or(0);
    SpriteSelectDialog dialog(host.romInfo());
    const INT_PTR chosen = dialog.runModal(host.mainWindow(), static_cast<LPARAM>(type));
    if (chosen != -1) setFieldText(IDC_SPRITE_TYPE, hexText4(static_cast<int>(chosen & 0xFFFF)));
}

std::vector<std::wstring> LevelSpritesManager::lineTexts(const RomInfo& info, int from, int to) const {
    return linesOf(edits.items(), from, to, [&](int index, const SpriteAllocData& sprite) {
        return spriteLineText(index, sprite, typeName(info, sprite.type, kLineNameChars));
    });
}

bool LevelSpritesManager::anchorOf(int index, POINT& at) const {
    const SpriteAllocData* sprite = edits.itemAt(index);
    if (sprite) at = {sprite->x, sprite->y};
    return sprite != nullptr;
}

SpriteFieldTexts LevelSpritesManager::fieldTexts() const {
    return {fieldText(IDC_SPRITE_PARAMETER), fieldText(IDC_SPRITE_X), fieldText(IDC_SPRITE_Y),
            fieldText(IDC_SPRITE_TYPE)};
}

void LevelSpritesManager::showItem(int index) {
    const SpriteAllocData* sprite = edits.itemAt(index);
    if (!sprite) return;
    setFieldText(IDC_SPRITE_NUMBER, std::to_wstring(index));
    setFieldText(IDC_SPRITE_PARAMETER, hexText4(sprite->parameter));
    setFieldText(IDC_SPRITE_X, std::to_wstring(sprite->x));
    setFieldText(IDC_SPRITE_Y, std::to_wstring(sprite->y));
    setFieldText(IDC_SPRITE_TYPE, hexText4(sprite->type));
    setFieldText(IDC_SPRITE_DESCRIPTION, typeName(host.romInfo(), sprite->type, kDescriptionChars));
}

void LevelSpritesManager::showNumber(int index) {
    setFieldText(IDC_SPRITE_NUMBER, std::to_wstring(index));
}

std::span<const int> LevelSpritesManager::severalFields() const {
    return kSeveralFields;
}

void LevelSpritesManager::showSeveral(const std::vector<int>& indices) {
    const SpriteList& items = edits.items();
    const auto common = [&](auto get) { return commonValue(items, indices, get).value_or(L""); };
    setFieldText(IDC_SPRITE_NUMBER, severalSelectedText(static_cast<int>(indices.size())));
    setFieldText(IDC_SPRITE_PARAMETER, common([](const SpriteAllocData& s) { return hexText4(s.parameter); }));
    setFieldText(IDC_SPRITE_X, common([](const SpriteAllocData& s) { return std::to_wstring(s.x); }));
    setFieldText(IDC_SPRITE_Y, common([](const SpriteAllocData& s) { return std::to_wstring(s.y); }));
    const std::optional<unsigned> type =
        commonValue(items, indices, [](const SpriteAllocData& s) { return unsigned{s.type}; });
    setFieldText(IDC_SPRITE_TYPE, type ? hexText4(static_cast<int>(*type)) : L"");
    setFieldText(IDC_SPRITE_DESCRIPTION, type ? typeName(host.romInfo(), *type, kDescriptionChars) : L"");
    keepSeveralShown();
}

void LevelSpritesManager::applySeveral(const std::vector<int>& indices) {
    if (!edits.data().readable) return host.showError(text(IDS_SPRITE_LIST_UNREADABLE));
    const SpriteFieldTexts typed = fieldTexts();
    const auto over = [&](int id, const std::wstring& now, const std::wstring& own) {
        return changedSinceShown(id) ? now : own;
    };
    // Only the sprites the fields change, each with its own values where the user left them.
    std::vector<int> changed;
    std::vector<SpriteFieldTexts> texts;
    const std::vector<SpriteAllocData> sprites = entriesAt(edits.items(), indices);
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        const SpriteFieldTexts own = spriteFieldTexts(sprites[i]);
        const SpriteFieldTexts merged{over(IDC_SPRITE_PARAMETER, typed.parameter, own.parameter),
                                      over(IDC_SPRITE_X, typed.x, own.x), over(IDC_SPRITE_Y, typed.y, own.y),
                                      over(IDC_SPRITE_TYPE, typed.type, own.type)};
        // Told once, before anything is written.
        if (spriteFromFields(merged).parameter == 0) return host.showError(text(IDS_ZERO_PARAMETER));
        if (spriteFromFields(merged) == sprites[i]) continue;
        changed.push_back(indices[i]);
        texts.push_back(merged);
    }
    host.editAsOneStep(ObjectKind::Sprite, GroupEdit::Change, static_cast<int>(changed.size()), indices, indices, [&] {
        for (std::size_t i = 0; i < changed.size(); ++i)
            edits.apply(changed[i], texts[i]);
    });
}

void LevelSpritesManager::deleteSprites(const std::vector<int>& indices) {
    if (!edits.data().readable) return host.showError(text(IDS_SPRITE_LIST_UNREADABLE));
    host.editAsOneStep(ObjectKind::Sprite, GroupEdit::Delete, static_cast<int>(indices.size()), indices, {}, [&] {
        // From the last, so that each index still names its sprite.
        for (auto index = indices.rbegin(); index != indices.rend(); ++index)
            edits.remove(*index);
    });
}

void LevelSpritesManager::addSprites(const std::vector<SpriteAllocData>& added) {
    const int first = hasItem(listSelection()) ? listSelection() : edits.count();
    std::vector<int> indices;
    for (int i = 0; i < static_cast<int>(added.size()); ++i)
        indices.push_back(first + i);
    host.editAsOneStep(ObjectKind::Sprite, GroupEdit::Add, static_cast<int>(added.size()), {}, indices, [&] {
        for (std::size_t i = 0; i < added.size(); ++i)
            edits.add(indices[i], spriteFieldTexts(added[i]));
    });
}

HWND LevelSpritesManager::firstField() const {
    return GetDlgItem(hwnd, IDC_SPRITE_PARAMETER);
}

void LevelSpritesManager::addSprite(const SpriteAllocData& sprite) {
    edits.add(listSelection(), spriteFieldTexts(sprite));
}

bool LevelSpritesManager::nudge(int dx, int dy) {
    const SpriteAllocData* sprite = edits.itemAt(selectedIndex);
    if (!sprite) return false;
    const int x = std::clamp(sprite->x + dx, kSpriteMinPosition, kSpriteMaxPosition);
    const int y = std::clamp(sprite->y + dy, kSpriteMinPosition, kSpriteMaxPosition);
    if (x == sprite->x && y == sprite->y) return true;
    // A drag starts from the sprite's own values, whatever was typed into the fields.
    showItem(selectedIndex);
    setFieldText(IDC_SPRITE_X, std::to_wstring(x));
    setFieldText(IDC_SPRITE_Y, std::to_wstring(y));
    drop(true);
    return true;
}

// The sprite layer of the map view.

bool LevelSpritesManager::hoverTest(int x, int y) {
    if (!shownOnMap || spriteIndexAt(edits.items(), x, y) < 0) return false;
    SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
    return true;
}

int LevelSpritesManager::pick(int x, int y) const {
    return shownOnMap ? spriteIndexAt(edits.items(), x, y) : -1;
}

std::vector<int> LevelSpritesManager::meeting(const RECT& box) const {
    if (!shownOnMap) return {};
    return spritesMeeting(edits.items(), {box.left, box.top, box.right, box.bottom});
}

GroupLimits LevelSpritesManager::groupLimits() const {
    return spriteGroupLimits(entriesAt(edits.items(), marked()));
}

void LevelSpritesManager::moveMarked(GroupOffset offset) {
    const std::vector<int> indices = marked();
    const std::vector<SpriteAllocData> sprites = entriesAt(edits.items(), indices);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        SpriteAllocData moved = sprites[i];
        moved.x += offset.dx;
        moved.y += offset.dy;
        edits.apply(indices[i], spriteFieldTexts(moved));
    }
}

bool LevelSpritesManager::hitTest(int x, int y) {
    if (!shownOnMap) return false;
    selectOnly(spriteIndexAt(edits.items(), x, y));
    const SpriteAllocData* sprite = edits.itemAt(selectedIndex);
    if (!sprite) return false;
    selectLine(selectedIndex);
    showItem(selectedIndex);
    grabX = x - sprite->x;
    grabY = y - sprite->y;
    dragging = true;
    dragX = sprite->x;
    dragY = sprite->y;
    return true;
}

void LevelSpritesManager::dragStep(int x, int y) {
    if (!edits.itemAt(selectedIndex)) return;
    dragX = x - grabX;
    dragY = y - grabY;
    setFieldText(IDC_SPRITE_X, std::to_wstring(dragX));
    setFieldText(IDC_SPRITE_Y, std::to_wstring(dragY));
}

void LevelSpritesManager::drop(bool moved) {
    if (moved && edits.itemAt(selectedIndex)) edits.apply(selectedIndex, fieldTexts());
    dragging = false;
}

void LevelSpritesManager::cancelDrag() {
    dragging = false;
    showItem(selectedIndex);
}

void LevelSpritesManager::drawFirstPass(HDC target, const RECT& mapRect) {
    if (!shownOnMap) return;
    // Nothing of a sprite reaches past its selection frame (x - 18 to x + 18) but its
    // labels, which are at most six characters from x - 13.
    constexpr RECT kReach{-20, -40, 40, 4};
    const LayerPass pass(target, drawing.labelFont, look.colour);
    int index = 0;
    for (const SpriteAllocData& sprite : edits.items()) {
        const bool outside = sprite.x + kReach.right < mapRect.left || sprite.x + kReach.left > mapRect.right ||
                             sprite.y + kReach.bottom < mapRect.top || sprite.y + kReach.top > mapRect.bottom;
        const bool marked = isMarked(index);
        // The dragged sprites are drawn by the second pass, where the drag has them.
        const bool held = (dragging && index == selectedIndex) || (groupDrag && marked);
        if (!outside && !held)
            drawSprite(target, sprite, index, {sprite.x - mapRect.left, sprite.y - mapRect.top}, marked);
        ++index;
    }
}

void LevelSpritesManager::drawSecondPass(HDC target, const RECT& mapRect) {
    if (!shownOnMap) return;
    const LayerPass pass(target, drawing.labelFont, look.colour);
    if (groupDrag) {
        const std::vector<int>& indices = marked();
        const std::vector<SpriteAllocData> sprites = entriesAt(edits.items(), indices);
        for (std::size_t i = 0; i < sprites.size(); ++i)
            drawSprite(target, sprites[i], indices[i],
                       {sprites[i].x + groupDrag->dx - mapRect.left, sprites[i].y + groupDrag->dy - mapRect.top}, true);
        return;
    }
    const SpriteAllocData* sprite = edits.itemAt(selectedIndex);
    if (dragging && sprite)
        drawSprite(target, *sprite, selectedIndex, {dragX - mapRect.left, dragY - mapRect.top}, true);
}

void LevelSpritesManager::drawSprite(HDC target, const SpriteAllocData& sprite, int index, POINT at,
                                     bool framed) const {
    const int x = at.x;
    const int y = at.y;
    SelectObject(target, drawing.thinPen);
    SelectObject(target, drawing.bodyBrush);
    Rectangle(target, x - looked(kSpriteBoxHalfWidth), y - looked(kSpriteBoxHeight), x + looked(kSpriteBoxHalfWidth),
              y);
    SelectObject(target, GetStockObject(NULL_PEN));
    SelectObject(target, drawing.markBrush);
    const POINT arrowHead[] = {
        {x - looked(kObjectMarkSize), y}, {x, y - looked(kObjectMarkSize)}, {x + looked(kObjectMarkSize), y}};
    Polygon(target, arrowHead, 3);

    const std::wstring number = L"#" + std::to_wstring(index);
    const std::wstring type = hexText4(sprite.type);
    TextOutW(target, x - looked(13), y - looked(33), number.c_str(), static_cast<int>(number.size()));
    TextOutW(target, x - looked(13), y - looked(20), type.c_str(), static_cast<int>(type.size()));

    if (framed) {
        SelectObject(target, drawing.selectionPen);
        SelectObject(target, GetStockObject(NULL_BRUSH));
        Rectangle(target, x - looked(kSpriteBoxHalfWidth) - 2, y - looked(kSpriteBoxHeight) - 2,
                  x + looked(kSpriteBoxHalfWidth) + 2, y + 2);
    }
}

} // namespace vexa
