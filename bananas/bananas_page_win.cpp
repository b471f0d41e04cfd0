#include "bananas/bananas_page_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "stage/map_look.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr int kSetWindowFontHeight = 6;
constexpr int kSetNameChars = 128;
// Set numbers are one byte; a larger count would only offer numbers no banana can hold.
constexpr int kMaxSetCount = 256;
constexpr int kMarkSize = kObjectMarkSize;
constexpr int kSelectionMargin = 2;

constexpr int kPageControls[] = {
    IDC_BANANA_LIST,   IDC_BANANA_NUMBER_LABEL, IDC_BANANA_NUMBER, IDC_BANANA_X_LABEL,
    IDC_BANANA_X,      IDC_BANANA_Y_LABEL,      IDC_BANANA_Y,      IDC_BANANA_FRONT1,
    IDC_BANANA_FRONT2, IDC_BANANA_SET_LABEL,    IDC_BANANA_SET,    IDC_BANANA_SET_WINDOW,
    IDC_BANANA_APPLY,  IDC_BANANA_UP,           IDC_BANANA_DOWN,   IDC_BANANA_SORT,
};

constexpr int kSeveralFields[] = {IDC_BANANA_X, IDC_BANANA_Y, IDC_BANANA_SET, IDC_BANANA_FRONT1, IDC_BANANA_FRONT2};

constexpr ObjectPageLook kLook{ObjectKind::Banana,
                               L"ShowBananas",
                               IDM_VIEW_BANANAS,
                               IDC_BANANA_LIST,
                               kPageControls,
                               colourRef(kBananaColour),
                               colourRef(kBananaSelectionColour)};

std::wstring setName(const RomInfo& info, unsigned setNumber) {
    return nameText(info.bananaSetName(static_cast<int>(setNumber)), L"?", kSetNameChars);
}

} // namespace

std::wstring bananaSetNameText(const RomInfo& info, unsigned setNumber) {
    return setName(info, setNumber);
}

LevelBananasManager::LevelBananasManager(StageWindowHost& host) : ObjectPage(host, kLook), edits(host, *this) {}

LevelBananasManager::~LevelBananasManager() {
    if (setWindowFont) DeleteObject(setWindowFont);
}

bool LevelBananasManager::initialize() {
    if (!setWindowFont) setWindowFont = createLabelFont(kSetWindowFontHeight);
    return ObjectPage::initialize();
}

void LevelBananasManager::onInitPage() {
    clearExtendedStyle(hwnd, IDC_BANANA_NUMBER);
    fillSetCombo();
    if (!setWindowFont) setWindowFont = createLabelFont(kSetWindowFontHeight);
    setPreview.bind(GetDlgItem(hwnd, IDC_BANANA_SET_WINDOW), setWindowFont);
}

void LevelBananasManager::fillSetCombo() {
    HWND combo = GetDlgItem(hwnd, IDC_BANANA_SET);
    const RomInfo info = host.romInfo();
    const int count = std::clamp(info.bananaSetCount(), 0, kMaxSetCount);
    SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int n = 0; n < count; ++n) {
        const std::wstring label =
            bananaSetLabel(static_cast<std::uint8_t>(n), setName(info, static_cast<unsigned>(n)));
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(combo, nullptr, TRUE);
}

bool LevelBananasManager::onPageCommand(int id, int code) {
    switch (id) {
    case IDC_BANANA_APPLY:
        if (listSelections().size() > 1) return applySeveral(listSelections()), true;
        apply(listSelection());
        return true;
    case IDC_BANANA_UP: up(listSelection()); return true;
    case IDC_BANANA_DOWN: down(listSelection()); return true;
    case IDC_BANANA_SORT: sort(listSelection()); return true;
    case IDC_BANANA_SET:
        if (code == CBN_SELCHANGE) {
            const LRESULT chosen = SendDlgItemMessageW(hwnd, IDC_BANANA_SET, CB_GETCURSEL, 0, 0);
            if (chosen != CB_ERR) showSet(static_cast<unsigned>(chosen));
        }
        return true;
    default: return false;
    }
}

bool LevelBananasManager::anchorOf(int index, POINT& at) const {
    const BananaAllocData* banana = edits.itemAt(index);
    if (banana) at = {banana->x, banana->y};
    return banana != nullptr;
}

void LevelBananasManager::apply(int index) {
    edits.apply(index, readFields());
}

bool LevelBananasManager::nudge(int dx, int dy) {
    const BananaAllocData* banana = edits.itemAt(selectedIndex);
    if (!banana) return false;
    BananaAllocData moved{snapToTile(banana->x + dx), snapToTile(banana->y + dy)};
    maskBananaPosition(moved, host.openMapType());
    if (moved.x == banana->x && moved.y == banana->y) return true;
    // A drag starts from the banana's own values, whatever was typed into the fields.
    showItem(selectedIndex);
    setFieldInt(hwnd, IDC_BANANA_X, moved.x);
    setFieldInt(hwnd, IDC_BANANA_Y, moved.y);
    drop(true);
    return true;
}

HWND LevelBananasManager::firstField() const {
    return GetDlgItem(hwnd, IDC_BANANA_X);
}

BananaFields LevelBananasManager::readFields() const {
    BananaFields fields;
    fields.x = fieldInt(hwnd, IDC_BANANA_X);
    fields.y = fieldInt(hwnd, IDC_BANANA_Y);
    fields.front1 = isChecked(hwnd, IDC_BANANA_FRONT1);
    fields.front2 = isChecked(hwnd, IDC_BANANA_FRONT2);
    const LRESULT chosen = SendDlgItemMessageW(hwnd, IDC_BANANA_SET, CB_GETCURSEL, 0, 0);
    if (chosen != CB_ERR) fields.setNumber = static_cast<std::uint8_t>(chosen);
    return fields;
}

void LevelBananasManager::showSet(unsigned setNumber) {
    setPreview.show(host.romImage(), host.romInfo().bananaSets(), setNumber);
}

std::vector<std::wstring> LevelBananasManager::lineTexts(const RomInfo& info, int from, int to) const {
    return linesOf(edits.items(), from, to, [&](int index, const BananaAllocData& banana) {
        return bananaListLine(index, banana.setNumber, setName(info, banana.setNumber));
    });
}

void LevelBananasManager::loadStage(int stageNumber) {
    edits.load(stageNumber);
}

void LevelBananasManager::clearObjects() {
    edits.clearObjects();
}

void LevelBananasManager::clearPage() {
    SendMessageW(list(), LB_RESETCONTENT, 0, 0);
    for (const int id : {IDC_BANANA_NUMBER, IDC_BANANA_X, IDC_BANANA_Y})
        setFieldText(hwnd, id, L"");
    setChecked(hwnd, IDC_BANANA_FRONT1, false);
    setChecked(hwnd, IDC_BANANA_FRONT2, false);
    SendDlgItemMessageW(hwnd, IDC_BANANA_SET, CB_SETCURSEL, 0, 0);
    setPreview.clear();
}

void LevelBananasManager::showItem(int index) {
    const BananaAllocData* banana = edits.itemAt(index);
    if (!banana) return;
    setFieldInt(hwnd, IDC_BANANA_NUMBER, index);
    setFieldInt(hwnd, IDC_BANANA_X, banana->x);
    setFieldInt(hwnd, IDC_BANANA_Y, banana->y);
    // A set number beyond the combo's items leaves it without a selection (said
    // outright: not every combo box clears its selection for an index it lacks).
    const LRESULT items = SendDlgItemMessageW(hwnd, IDC_BANANA_SET, CB_GETCOUNT, 0, 0);
    const WPARAM item = banana->setNumber < items ? banana->setNumber : static_cast<WPARAM>(-1);
    SendDlgItemMessageW(hwnd, IDC_BANANA_SET, CB_SETCURSEL, item, 0);
    setChecked(hwnd, IDC_BANANA_FRONT1, banana->front1);
    setChecked(hwnd, IDC_BANANA_FRONT2, banana->front2);
    showSet(banana->setNumber);
}

void LevelBananasManager::showNumber(int index) {
    setFieldInt(hwnd, IDC_BANANA_NUMBER, index);
}

std::span<const int> LevelBananasManager::severalFields() const {
    return kSeveralFields;
}

void LevelBananasManager::showSeveral(const std::vector<int>& indices) {
    const BananaList& items = edits.items();
    const auto text = [](const std::optional<std::int32_t>& value) {
        return value ? std::to_wstring(*value) : std::wstring();
    };
    setFieldText(hwnd, IDC_BANANA_NUMBER, severalSelectedText(static_cast<int>(indices.size())));
    setFieldText(hwnd, IDC_BANANA_X, text(commonValue(items, indices, [](const BananaAllocData& b) { return b.x; })));
    setFieldText(hwnd, IDC_BANANA_Y, text(commonValue(items, indices, [](const BananaAllocData& b) { return b.y; })));
    const std::optional<unsigned> set =
        commonValue(items, indices, [](const BananaAllocData& b) { return unsigned{b.setNumber}; });
    const LRESULT sets = SendDlgItemMessageW(hwnd, IDC_BANANA_SET, CB_GETCOUNT, 0, 0);
    SendDlgItemMessageW(hwnd, IDC_BANANA_SET, CB_SETCURSEL,
                        set && *set < static_cast<unsigned>(sets) ? *set : static_cast<WPARAM>(-1), 0);
    if (set)
        showSet(*set);
    else
        setPreview.clear();
    setChecked(hwnd, IDC_BANANA_FRONT1,
               commonValue(items, indices, [](const BananaAllocData& b) { return b.front1; }).value_or(false));
    setChecked(hwnd, IDC_BANANA_FRONT2,
               commonValue(items, indices, [](const BananaAllocData& b) { return b.front2; }).value_or(false));
    keepSeveralShown();
}

void LevelBananasManager::applySeveral(const std::vector<int>& indices) {
    const BananaFields typed = readFields();
    std::vector<int> changed;
    std::vector<BananaFields> fields;
    const std::vector<BananaAllocData> bananas = entriesAt(edits.items(), indices);
    for (std::size_t i = 0; i < bananas.size(); ++i) {
        BananaFields merged = bananaFieldsOf(bananas[i]);
        if (changedSinceShown(IDC_BANANA_X)) merged.x = typed.x;
        if (changedSinceShown(IDC_BANANA_Y)) merged.y = typed.y;
        if (changedSinceShown(IDC_BANANA_SET) && typed.setNumber) merged.setNumber = typed.setNumber;
        if (changedSinceShown(IDC_BANANA_FRONT1)) merged.front1 = typed.front1;
        if (changedSinceShown(IDC_BANANA_FRONT2)) merged.front2 = typed.front2;
        BananaAllocData result = BananaEditTraits::fromFields(merged, bananas[i]);
        BananaEditTraits::mask(result, host.openMapType());
        if (result == bananas[i]) continue;
        changed.push_back(indices[i]);
        fields.push_back(merged);
    }
    host.editAsOneStep(ObjectKind::Banana, GroupEdit::Change, static_cast<int>(changed.size()), indices, indices, [&] {
        for (std::size_t i = 0; i < changed.size(); ++i)
            edits.apply(changed[i], fields[i]);
    });
}

int LevelBananasManager::pick(int x, int y) const {
    return shownOnMap ? pickBanana(edits.items(), x, y) : -1;
}

std::vector<int> LevelBananasManager::meeting(const RECT& box) const {
    if (!shownOnMap) return {};
    return bananasMeeting(edits.items(), {box.left, box.top, box.right, box.bottom});
}

GroupLimits LevelBananasManager::groupLimits() const {
    return bananaGroupLimits(entriesAt(edits.items(), marked()), host.openMapType());
}

void LevelBananasManager::moveMarked(GroupOffset offset) {
    const std::vector<int> indices = marked();
    const std::vector<BananaAllocData> bananas = entriesAt(edits.items(), indices);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        BananaFields moved = bananaFieldsOf(bananas[i]);
        moved.x += offset.dx;
        moved.y += offset.dy;
        edits.apply(indices[i], moved);
    }
}

bool LevelBananasManager::hoverTest(int x, int y) {
    if (!shownOnMap || pickBanana(edits.items(), x, y) < 0) return false;
    SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
    return true;
}

bool LevelBananasManager::hitTest(int x, int y) {
    selectOnly(shownOnMap ? pickBanana(edits.items(), x, y) : -1);
    const BananaAllocData* banana = edits.itemAt(selectedIndex);
    if (!banana) return false;
    selectLine(selectedIndex);
    showItem(selectedIndex);
    grab = {x - banana->x, y - banana->y};
    dragPosition = {banana->x, banana->y};
    draggingBanana = true;
    return true;
}

void LevelBananasManager::dragStep(int x, int y) {
    if (!edits.itemAt(selectedIndex)) return;
    // Held to what the entry can store, so the banana stops at the map type's limits
    // and the drop stores exactly what was shownOnMap.
    BananaAllocData dragged{snapToTile(x - grab.x), snapToTile(y - grab.y)};
    maskBananaPosition(dragged, host.openMapType());
    dragPosition = {dragged.x, dragged.y};
    setFieldInt(hwnd, IDC_BANANA_X, dragPosition.x);
    setFieldInt(hwnd, IDC_BANANA_Y, dragPosition.y);
}

void LevelBananasManager::drop(bool moved) {
    if (moved && edits.itemAt(selectedIndex)) apply(selectedIndex);
    draggingBanana = false;
}

void LevelBananasManager::cancelDrag() {
    draggingBanana = false;
    showItem(selectedIndex);
}

void LevelBananasManager::drawFirstPass(HDC target, const RECT& mapRect) {
    if (!shownOnMap) return;
    const LayerPass pass(target, drawing.labelFont, look.colour);
    int index = 0;
    for (const BananaAllocData& banana : edits.items()) {
        const bool marked = isMarked(index);
        // The dragged bananas are drawn by the second pass, where the drag has them.
        if (!(draggingBanana && index == selectedIndex) && !(groupDrag && marked))
            drawBanana(target, mapRect, index, banana.setNumber, banana.x, banana.y, marked);
        ++index;
    }
}

void LevelBananasManager::drawSecondPass(HDC target, const RECT& mapRect) {
    if (!shownOnMap || !(draggingBanana || groupDrag)) return;
    const LayerPass pass(target, drawing.labelFont, look.colour);
    if (groupDrag) {
        const std::vector<int>& indices = marked();
        const std::vector<BananaAllocData> bananas = entriesAt(edits.items(), indices);
        for (std::size_t i = 0; i < bananas.size(); ++i)
            drawBanana(target, mapRect, indices[i], bananas[i].setNumber, bananas[i].x + groupDrag->dx,
                       bananas[i].y + groupDrag->dy, true);
        return;
    }
    if (const BananaAllocData* banana = edits.itemAt(selectedIndex))
        drawBanana(target, mapRect, selectedIndex, banana->setNumber, dragPosition.x, dragPosition.y, true);
}

void LevelBananasManager::drawBanana(HDC dc, const RECT& mapRect, int index, std::uint8_t setNumber, int x, int y,
                                     bool selected) const {
    // Nothing of a banana reaches past its selection frame.
    const int margin = kSelectionMargin + 2;
    if (x + looked(kBananaBoxWidth) + margin < mapRect.left || x - margin > mapRect.right ||
        y + looked(kBananaBoxHeight) + margin < mapRect.top || y - margin > mapRect.bottom)
        return;
    const int left = x - mapRect.left;
    const int top = y - mapRect.top;
    SelectObject(dc, drawing.thinPen);
    SelectObject(dc, drawing.bodyBrush);
    Rectangle(dc, left, top, left + looked(kBananaBoxWidth), top + looked(kBananaBoxHeight));

    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, drawing.markBrush);
    const POINT mark[] = {{left, top}, {left + looked(kMarkSize), top}, {left, top + looked(kMarkSize)}};
    Polygon(dc, mark, 3);

    const std::wstring number = L"#" + std::to_wstring(index);
    TextOutW(dc, left + looked(3), top + looked(6), number.c_str(), static_cast<int>(number.size()));
    const std::wstring set = hexText2(setNumber);
    TextOutW(dc, left + looked(3), top + looked(19), set.c_str(), static_cast<int>(set.size()));

    if (selected) {
        SelectObject(dc, drawing.selectionPen);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, left - kSelectionMargin, top - kSelectionMargin,
                  left + looked(kBananaBoxWidth) + kSelectionMargin, top + looked(kBananaBoxHeight) + kSelectionMargin);
    }
}

} // namespace vexa
