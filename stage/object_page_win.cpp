#include "stage/object_page_win.h"

#include "app/settings_win.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

namespace vexa {

namespace {

constexpr const wchar_t* kMapViewSection = L"MapView";
// Each line rewritten in place moves every line after it in the list's storage: past
// this many, making the lines again from the first changed one costs less.
constexpr std::size_t kLinesRewrittenInPlace = 16;
// The text storage reserved per line before a fill: a line is some thirty characters.
constexpr LPARAM kLineBytes = 64 * sizeof(wchar_t);

} // namespace

INT_PTR ObjectPage::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        enableTabTexture(window);
        onInitPage();
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id != look.listId) return onPageCommand(id, code) ? TRUE : FALSE;
        if (code == LBN_SELCHANGE) onListSelectionChange();
        if (code == LBN_DBLCLK) centreOnListSelection();
        return TRUE;
    }
    default: return FALSE;
    }
}

bool ObjectPage::initialize() {
    drawing.create(look.colour, look.selectionColour);
    appGlobals().config.load(settings());
    host.setMenuCheck(look.viewCommand, shownOnMap);
    return true;
}

void ObjectPage::lookChanged() {
    drawing.release();
    drawing.create(look.colour, look.selectionColour);
}

void ObjectPage::saveSettings() {
    appGlobals().config.save(settings());
}

std::array<IntSetting, 1> ObjectPage::settings() {
    return {{{kMapViewSection, look.shownKey, 1, &shownOnMap}}};
}

void ObjectPage::enable(bool open) {
    enableControls(hwnd, look.controls, open);
}

bool ObjectPage::toggleShown() {
    shownOnMap = !shownOnMap;
    host.setMenuCheck(look.viewCommand, shownOnMap);
    if (!shownOnMap) selectOnly(-1);
    host.invalidateMap();
    return true;
}

void ObjectPage::holdListRedraw(bool hold) {
    if (!hold && redrawHolds == 0) return;
    redrawHolds += hold ? 1 : -1;
    if (redrawHolds != (hold ? 1 : 0)) return;
    SendMessageW(list(), WM_SETREDRAW, hold ? FALSE : TRUE, 0);
    if (!hold) InvalidateRect(list(), nullptr, TRUE);
}

// Lines before `from` stay. An entry added or removed renumbers every line after it,
// so those are made again; a sort keeps the count and often most lines, so only the
// lines whose text changed are, or when many did, those from the first of them on.
void ObjectPage::rebuildLines(int from) {
    const HWND lines = list();
    const RedrawHold hold(*this);
    const int count = itemCount();
    const int shown = listLineCount(lines);
    from = std::clamp(from, 0, shown);
    const std::vector<std::wstring> texts = lineTexts(host.romInfo(), from, count);
    int first = from;
    if (count == shown) {
        const std::optional<int> changed = rewriteChangedLines(texts, from);
        if (!changed) return;
        first = *changed;
    }
    if (first == 0) {
        SendMessageW(lines, LB_RESETCONTENT, 0, 0);
    } else {
        // From the end, so that no line left in the list moves.
        for (int index = shown - 1; index >= first; --index)
            SendMessageW(lines, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    }
    if (count > first)
        SendMessageW(lines, LB_INITSTORAGE, static_cast<WPARAM>(count - first),
                     static_cast<LPARAM>(count - first) * kLineBytes);
    for (auto text = std::next(texts.begin(), first - from); text != texts.end(); ++text)
        SendMessageW(lines, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text->c_str()));
    widenListFor(lines, texts, from == 0);
}

std::optional<int> ObjectPage::rewriteChangedLines(const std::vector<std::wstring>& texts, int from) {
    const HWND lines = list();
    std::vector<int> changed;
    for (int index = from; index - from < static_cast<int>(texts.size()); ++index) {
        if (listLine(lines, index) == texts[static_cast<std::size_t>(index - from)]) continue;
        if (changed.size() == kLinesRewrittenInPlace) return changed.front();
        changed.push_back(index);
    }
    for (const int index : changed)
        replaceListLine(lines, index, texts[static_cast<std::size_t>(index - from)]);
    widenListFor(lines, texts, false);
    return std::nullopt;
}

void ObjectPage::setLine(int index) {
    const HWND lines = list();
    if (!hasItem(index) || index >= listLineCount(lines)) return;
    const std::vector<std::wstring> text = lineTexts(host.romInfo(), index, index + 1);
    if (text.empty() || listLine(lines, index) == text.front()) return;
    const RedrawHold hold(*this);
    replaceListLine(lines, index, text.front());
    widenListFor(lines, text, false);
}

void ObjectPage::selectLine(int index) {
    selectListLines(list(), {index});
}

void ObjectPage::showLines(const std::vector<int>& indices) {
    {
        const RedrawHold hold(*this);
        selectListLines(list(), indices);
    }
    if (indices.size() == 1) showItem(indices.front());
    if (indices.size() > 1) showSeveral(indices);
}

// The lines chosen in the list show their entry (or their count), and are marked on
// the map while the layer is shown: the list's selection is the map's.
void ObjectPage::onListSelectionChange() {
    std::vector<int> indices = listSelections();
    std::erase_if(indices, [this](int index) { return !hasItem(index); });
    if (indices.size() == 1) showItem(indices.front());
    if (indices.size() > 1) showSeveral(indices);
    if (!shownOnMap) return;
    setMarks(std::move(indices));
    host.clearOtherSelections(pageOf(look.kind));
    host.invalidateMap();
}

std::wstring ObjectPage::fieldState(int id) const {
    const HWND field = GetDlgItem(hwnd, id);
    wchar_t className[16] = {};
    GetClassNameW(field, className, 16);
    if (_wcsicmp(className, L"Button") == 0) return isChecked(hwnd, id) ? L"1" : L"0";
    if (_wcsicmp(className, L"ComboBox") == 0) return std::to_wstring(SendMessageW(field, CB_GETCURSEL, 0, 0));
    return fieldText(hwnd, id);
}

void ObjectPage::keepSeveralShown() {
    severalShown.clear();
    for (const int id : severalFields())
        severalShown.push_back(fieldState(id));
}

bool ObjectPage::changedSinceShown(int id) const {
    const std::span<const int> ids = severalFields();
    const auto at = std::find(ids.begin(), ids.end(), id);
    const auto place = static_cast<std::size_t>(at - ids.begin());
    return at != ids.end() && place < severalShown.size() && fieldState(id) != severalShown[place];
}

std::wstring severalSelectedText(int count) {
    return formatText(IDS_N_SELECTED, {std::to_wstring(count)});
}

void ObjectPage::centreOnListSelection() {
    POINT at;
    const std::vector<int> lines = listSelections();
    if (!lines.empty() && anchorOf(lines.front(), at)) host.centerOn(at.x, at.y);
}

} // namespace vexa
