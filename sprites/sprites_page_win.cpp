#include "sprites/sprites_page_win.h"

#include "app/message_win.h"
#include "app/project_manager_win.h"
#include "app/settings_win.h"
#include "resource_ids.h"
#include "sprites/sprite_select_dialog_win.h"
#include "stage/level_manager_win.h"
#include "stage/object_list_ops.h"

#include <string>

namespace vexa {

namespace {

constexpr const wchar_t* kMapViewSection = L"MapView";
constexpr const wchar_t* kShowSpritesKey = L"ShowSprites";
constexpr const wchar_t* kReadFailedMessage = L"スプライトデータの読み込みに失敗しました。";
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kLightRed = 0x8080FF;
constexpr COLORREF kBlack = 0x000000;
constexpr std::size_t kLineNameChars = 128;
constexpr std::size_t kDescriptionChars = 256;

// The controls that a ROM being open or closed enables or disables together.
constexpr int kPageControls[] = {
    IDC_SPRITE_LIST,    IDC_SPRITE_NUMBER,  IDC_SPRITE_PARAMETER,    IDC_SPRITE_X,
    IDC_SPRITE_Y,       IDC_SPRITE_TYPE,    IDC_SPRITE_DESCRIPTION,  IDC_SPRITE_TYPE_BROWSE,
    IDC_SPRITE_APPLY,   IDC_SPRITE_ADD,     IDC_SPRITE_DELETE,       IDC_SPRITE_UP,
    IDC_SPRITE_DOWN,    IDC_SPRITE_SORT,    IDC_SPRITE_NUMBER_LABEL, IDC_SPRITE_PARAMETER_LABEL,
    IDC_SPRITE_X_LABEL, IDC_SPRITE_Y_LABEL, IDC_SPRITE_TYPE_LABEL};

std::wstring typeName(unsigned type, std::size_t chars) {
    return nameText(romInfo().spriteTypeName(static_cast<int>(type)), L"?", chars);
}

} // namespace

LevelSpritesManager::~LevelSpritesManager() {
    deleteDrawingObjects();
}

void LevelSpritesManager::deleteDrawingObjects() {
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(framePen), static_cast<HGDIOBJ>(selectionPen), static_cast<HGDIOBJ>(bodyBrush),
          static_cast<HGDIOBJ>(markerBrush), static_cast<HGDIOBJ>(labelFont)})
        if (object) DeleteObject(object);
    framePen = selectionPen = nullptr;
    bodyBrush = markerBrush = nullptr;
    labelFont = nullptr;
}

bool LevelSpritesManager::initialize() {
    deleteDrawingObjects();
    framePen = CreatePen(PS_SOLID, 1, kRed);
    selectionPen = CreatePen(PS_SOLID, 3, kLightRed);
    bodyBrush = CreateSolidBrush(kBlack);
    markerBrush = CreateSolidBrush(kRed);
    labelFont = CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
    shown = appGlobals().config.readInt(kMapViewSection, kShowSpritesKey, 1) != 0;
    updateMenuCheck();
    return true;
}

void LevelSpritesManager::saveSettings() {
    appGlobals().config.writeInt(kMapViewSection, kShowSpritesKey, shown ? 1 : 0);
}

void LevelSpritesManager::updateMenuCheck() {
    CheckMenuItem(GetMenu(view->mainWindow()), IDM_VIEW_SPRITES, MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
}

void LevelSpritesManager::loadStage(int stageNumber) {
    data.stageNumber = stageNumber;
    setListRedraw(false);
    clearObjects();
    if (!loadStageSprites(romImage(), stageNumber, romInfo().spriteBank(), data, selectedIndex))
        vexa::showError(view->mainWindow(), kReadFailedMessage);
    addLines(0);
    setListRedraw(true);
}

void LevelSpritesManager::clearObjects() {
    data.sprites.clear();
    selectedIndex = -1;
    dragging = false;
    SendMessageW(control(IDC_SPRITE_LIST), LB_RESETCONTENT, 0, 0);
    for (int id = IDC_SPRITE_NUMBER; id <= IDC_SPRITE_DESCRIPTION; ++id)
        setFieldText(id, L"");
}

void LevelSpritesManager::enable(bool open) {
    for (const int id : kPageControls)
        EnableWindow(control(id), open);
}

bool LevelSpritesManager::toggleShown() {
    shown = !shown;
    updateMenuCheck();
    if (!shown) selectedIndex = -1;
    view->invalidateView();
    return true;
}

void LevelSpritesManager::onInitPage() {
    // The number field is read-only and drawn flat, without the sunken edge.
    const HWND number = control(IDC_SPRITE_NUMBER);
    SetWindowLongW(number, GWL_EXSTYLE, 0);
    SetWindowPos(number, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
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
    case IDC_SPRITE_LIST:
        if (code == LBN_SELCHANGE)
            onSelectionChanged();
        else if (code == LBN_DBLCLK)
            onDoubleClick();
        else
            return false;
        return true;
    default: return code == BN_CLICKED && runEdit(id);
    }
}

bool LevelSpritesManager::runEdit(int id) {
    const int index = listSelection();
    switch (id) {
    case IDC_SPRITE_APPLY: applySprite(*this, index); return true;
    case IDC_SPRITE_ADD: addSprite(*this, index); return true;
    case IDC_SPRITE_DELETE: deleteSprite(*this, index); return true;
    case IDC_SPRITE_UP: moveSpriteUp(*this, index); return true;
    case IDC_SPRITE_DOWN: moveSpriteDown(*this, index); return true;
    case IDC_SPRITE_SORT: sortSprites(*this, index); return true;
    default: return false;
    }
}

void LevelSpritesManager::onTypeChanged() {
    const std::uint32_t type = parseHexField(fieldText(IDC_SPRITE_TYPE)).value_or(0);
    setFieldText(IDC_SPRITE_DESCRIPTION, typeName(type, kDescriptionChars));
}

void LevelSpritesManager::chooseType() {
    const std::uint32_t type = parseHexField(fieldText(IDC_SPRITE_TYPE)).value_or(0);
    SpriteSelectDialog dialog;
    const INT_PTR chosen = dialog.runModal(view->mainWindow(), static_cast<LPARAM>(type));
    if (chosen != -1) setFieldText(IDC_SPRITE_TYPE, hexText4(static_cast<int>(chosen & 0xFFFF)));
}

void LevelSpritesManager::onSelectionChanged() {
    const int index = listSelection();
    if (hasItem(data.sprites, index)) showFields(itemAt(data.sprites, index), index);
    if (!shown) return;
    selectedIndex = index;
    view->clearSelectionsExcept(1);
    view->invalidateView();
}

void LevelSpritesManager::onDoubleClick() {
    const int index = listSelection();
    if (!hasItem(data.sprites, index)) return;
    const SpriteAllocData& sprite = itemAt(data.sprites, index);
    view->centerOn(sprite.x, sprite.y);
}

int LevelSpritesManager::listSelection() const {
    const LRESULT index = SendMessageW(control(IDC_SPRITE_LIST), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::wstring LevelSpritesManager::fieldText(int id) const {
    const HWND field = control(id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

void LevelSpritesManager::setListRedraw(bool on) {
    const HWND list = control(IDC_SPRITE_LIST);
    SendMessageW(list, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) InvalidateRect(list, nullptr, TRUE);
}

void LevelSpritesManager::addLines(int from) {
    const HWND list = control(IDC_SPRITE_LIST);
    if (!hasItem(data.sprites, from)) return;
    int index = from;
    for (auto it = std::next(data.sprites.begin(), from); it != data.sprites.end(); ++it, ++index) {
        const std::wstring line = spriteLineText(index, *it, typeName(it->type, kLineNameChars));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

// What the edits ask of the editor.

std::span<std::uint8_t> LevelSpritesManager::romImage() {
    return view->romImage();
}
int LevelSpritesManager::openStage() const {
    return view->stageNumber;
}

void LevelSpritesManager::switchToStage(int stage) {
    view->stageNumber = stage;
    view->loadCurrentStage();
}

void LevelSpritesManager::clearOtherSelections() {
    view->clearSelectionsExcept(1);
}
void LevelSpritesManager::showSpritePage() {
    view->showInspectorPage(0);
}

MapViewport LevelSpritesManager::visibleMap() const {
    return {view->hScroll.state.position, view->vScroll.state.position, view->hScroll.state.page,
            view->vScroll.state.page};
}

void LevelSpritesManager::centerMapOn(int x, int y) {
    view->centerOn(x, y);
}
void LevelSpritesManager::redrawMap() {
    view->invalidateView();
}

SpriteFieldTexts LevelSpritesManager::fieldTexts() const {
    return {fieldText(IDC_SPRITE_PARAMETER), fieldText(IDC_SPRITE_X), fieldText(IDC_SPRITE_Y),
            fieldText(IDC_SPRITE_TYPE)};
}

void LevelSpritesManager::showFields(const SpriteAllocData& sprite, int index) {
    setFieldText(IDC_SPRITE_NUMBER, std::to_wstring(index));
    setFieldText(IDC_SPRITE_PARAMETER, hexText4(sprite.parameter));
    setFieldText(IDC_SPRITE_X, std::to_wstring(sprite.x));
    setFieldText(IDC_SPRITE_Y, std::to_wstring(sprite.y));
    setFieldText(IDC_SPRITE_TYPE, hexText4(sprite.type));
    setFieldText(IDC_SPRITE_DESCRIPTION, typeName(sprite.type, kDescriptionChars));
}

void LevelSpritesManager::setNumberField(int index) {
    setFieldText(IDC_SPRITE_NUMBER, std::to_wstring(index));
}

void LevelSpritesManager::remakeLines(int from) {
    const HWND list = control(IDC_SPRITE_LIST);
    setListRedraw(false);
    if (from == 0) SendMessageW(list, LB_RESETCONTENT, 0, 0);
    while (SendMessageW(list, LB_GETCOUNT, 0, 0) > from)
        SendMessageW(list, LB_DELETESTRING, from, 0);
    addLines(from);
    setListRedraw(true);
}

void LevelSpritesManager::replaceLine(int index) {
    if (!hasItem(data.sprites, index)) return;
    const HWND list = control(IDC_SPRITE_LIST);
    const SpriteAllocData& sprite = itemAt(data.sprites, index);
    const std::wstring line = spriteLineText(index, sprite, typeName(sprite.type, kLineNameChars));
    setListRedraw(false);
    SendMessageW(list, LB_DELETESTRING, index, 0);
    SendMessageW(list, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(line.c_str()));
    setListRedraw(true);
}

void LevelSpritesManager::selectLine(int index) {
    const HWND list = control(IDC_SPRITE_LIST);
    const bool isLine = index >= 0 && index < SendMessageW(list, LB_GETCOUNT, 0, 0);
    SendMessageW(list, LB_SETCURSEL, isLine ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

void LevelSpritesManager::showError(const std::wstring& text) {
    vexa::showError(view->mainWindow(), text.c_str());
}

void LevelSpritesManager::pushRecord(std::unique_ptr<UndoMethod> record) {
    project->undoBuffer.push(std::move(record));
}

// The sprite layer of the map view.

bool LevelSpritesManager::hoverTest(int x, int y) {
    if (!shown || spriteIndexAt(data.sprites, x, y) < 0) return false;
    SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
    return true;
}

bool LevelSpritesManager::hitTest(int x, int y) {
    if (!shown) return false;
    selectedIndex = spriteIndexAt(data.sprites, x, y);
    if (selectedIndex < 0) return false;
    const SpriteAllocData& sprite = itemAt(data.sprites, selectedIndex);
    selectLine(selectedIndex);
    showFields(sprite, selectedIndex);
    grabX = x - sprite.x;
    grabY = y - sprite.y;
    dragging = true;
    dragX = sprite.x;
    dragY = sprite.y;
    return true;
}

void LevelSpritesManager::dragStep(int x, int y) {
    if (!hasItem(data.sprites, selectedIndex)) return;
    dragX = x - grabX;
    dragY = y - grabY;
    setFieldText(IDC_SPRITE_X, std::to_wstring(dragX));
    setFieldText(IDC_SPRITE_Y, std::to_wstring(dragY));
}

void LevelSpritesManager::drop(bool moved) {
    if (moved && hasItem(data.sprites, selectedIndex)) applySprite(*this, selectedIndex);
    dragging = false;
}

void LevelSpritesManager::cancelDrag() {
    dragging = false;
    if (hasItem(data.sprites, selectedIndex)) showFields(itemAt(data.sprites, selectedIndex), selectedIndex);
}

void LevelSpritesManager::drawFirstPass(HDC target, const RECT& mapRect) {
    if (!shown) return;
    int index = 0;
    for (const SpriteAllocData& sprite : data.sprites) {
        // The dragged sprite is drawn by the second pass, at the pointer.
        if (!(dragging && index == selectedIndex))
            drawSprite(target, sprite, index, {sprite.x - mapRect.left, sprite.y - mapRect.top},
                       index == selectedIndex);
        ++index;
    }
}

void LevelSpritesManager::drawSecondPass(HDC target, const RECT& mapRect) {
    if (!shown || !dragging || !hasItem(data.sprites, selectedIndex)) return;
    drawSprite(target, itemAt(data.sprites, selectedIndex), selectedIndex, {dragX - mapRect.left, dragY - mapRect.top},
               true);
}

void LevelSpritesManager::drawSprite(HDC target, const SpriteAllocData& sprite, int index, POINT at,
                                     bool framed) const {
    const int x = at.x;
    const int y = at.y;
    const int saved = SaveDC(target);
    SelectObject(target, labelFont);
    SetBkMode(target, TRANSPARENT);
    SetTextColor(target, kRed);

    SelectObject(target, framePen);
    SelectObject(target, bodyBrush);
    Rectangle(target, x - 16, y - 36, x + 16, y);
    SelectObject(target, GetStockObject(NULL_PEN));
    SelectObject(target, markerBrush);
    const POINT arrowHead[] = {{x - 6, y}, {x, y - 6}, {x + 6, y}};
    Polygon(target, arrowHead, 3);

    const std::wstring number = L"#" + std::to_wstring(index);
    const std::wstring type = hexText4(sprite.type);
    TextOutW(target, x - 13, y - 33, number.c_str(), static_cast<int>(number.size()));
    TextOutW(target, x - 13, y - 20, type.c_str(), static_cast<int>(type.size()));

    if (framed) {
        SelectObject(target, selectionPen);
        SelectObject(target, GetStockObject(NULL_BRUSH));
        Rectangle(target, x - 18, y - 38, x + 18, y + 2);
    }
    RestoreDC(target, saved);
}

} // namespace vexa
