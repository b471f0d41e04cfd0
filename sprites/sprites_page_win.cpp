#include "sprites/sprites_page_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "sprites/sprite_select_dialog_win.h"
#include "stage/field_text.h"
#include "stage/object_list_ops.h"

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
    switch (id) {
    case IDC_SPRITE_APPLY: edits.apply(index, fieldTexts()); return true;
    case IDC_SPRITE_ADD: edits.add(index, fieldTexts()); return true;
    case IDC_SPRITE_DELETE: edits.remove(index); return true;
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

HWND LevelSpritesManager::firstField() const {
    return GetDlgItem(hwnd, IDC_SPRITE_PARAMETER);
}

void LevelSpritesManager::addSprite(const SpriteAllocData& sprite) {
    edits.add(listSelection(), {hexText4(sprite.parameter), std::to_wstring(sprite.x), std::to_wstring(sprite.y),
                                hexText4(sprite.type)});
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

bool LevelSpritesManager::hitTest(int x, int y) {
    if (!shownOnMap) return false;
    selectedIndex = spriteIndexAt(edits.items(), x, y);
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
        // The dragged sprite is drawn by the second pass, at the pointer.
        if (!outside && !(dragging && index == selectedIndex))
            drawSprite(target, sprite, index, {sprite.x - mapRect.left, sprite.y - mapRect.top},
                       index == selectedIndex);
        ++index;
    }
}

void LevelSpritesManager::drawSecondPass(HDC target, const RECT& mapRect) {
    const SpriteAllocData* sprite = edits.itemAt(selectedIndex);
    if (!shownOnMap || !dragging || !sprite) return;
    const LayerPass pass(target, drawing.labelFont, look.colour);
    drawSprite(target, *sprite, selectedIndex, {dragX - mapRect.left, dragY - mapRect.top}, true);
}

void LevelSpritesManager::drawSprite(HDC target, const SpriteAllocData& sprite, int index, POINT at,
                                     bool framed) const {
    const int x = at.x;
    const int y = at.y;
    SelectObject(target, drawing.thinPen);
    SelectObject(target, drawing.bodyBrush);
    Rectangle(target, x - kSpriteBoxHalfWidth, y - kSpriteBoxHeight, x + kSpriteBoxHalfWidth, y);
    SelectObject(target, GetStockObject(NULL_PEN));
    SelectObject(target, drawing.markBrush);
    const POINT arrowHead[] = {{x - kObjectMarkSize, y}, {x, y - kObjectMarkSize}, {x + kObjectMarkSize, y}};
    Polygon(target, arrowHead, 3);

    const std::wstring number = L"#" + std::to_wstring(index);
    const std::wstring type = hexText4(sprite.type);
    TextOutW(target, x - 13, y - 33, number.c_str(), static_cast<int>(number.size()));
    TextOutW(target, x - 13, y - 20, type.c_str(), static_cast<int>(type.size()));

    if (framed) {
        SelectObject(target, drawing.selectionPen);
        SelectObject(target, GetStockObject(NULL_BRUSH));
        Rectangle(target, x - 18, y - 38, x + 18, y + 2);
    }
}

} // namespace vexa
