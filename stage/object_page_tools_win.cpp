#include "stage/object_page_tools_win.h"

#include "stage/map_look.h"
#include <algorithm>

#include "stage/field_text.h"

namespace vexa {

void fillFrame(HDC dc, const RECT& outer, HBRUSH brush, int width) {
    const RECT bars[] = {{outer.left, outer.top, outer.right, outer.top + width},
                         {outer.left, outer.bottom - width, outer.right, outer.bottom},
                         {outer.left, outer.top, outer.left + width, outer.bottom},
                         {outer.right - width, outer.top, outer.right, outer.bottom}};
    for (const RECT& bar : bars)
        FillRect(dc, &bar, brush);
}

int mapLineWidth(int zoom) {
    return std::max(1, 100 / std::max(zoom, 1));
}

void drawMarkFrame(HDC target, const RECT& frame, COLORREF colour, int width) {
    HBRUSH brush = CreateSolidBrush(colour);
    fillFrame(target, frame, brush, width);
    DeleteObject(brush);
    const RECT inside{frame.left + width, frame.top + width, frame.right - width, frame.bottom - width};
    fillFrame(target, inside, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), width);
}

HFONT createLabelFont(int height) {
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
}

void LayerDrawingObjects::create(COLORREF colour, COLORREF selection) {
    if (!thinPen) thinPen = CreatePen(PS_SOLID, 1, colour);
    if (!selectionPen) selectionPen = CreatePen(PS_SOLID, looked(3), selection);
    if (!bodyBrush) bodyBrush = CreateSolidBrush(colourRef(kObjectBodyColour));
    if (!markBrush) markBrush = CreateSolidBrush(colour);
    if (!labelFont) labelFont = createLabelFont(looked(12));
}

void LayerDrawingObjects::release() {
    for (HGDIOBJ* object : {reinterpret_cast<HGDIOBJ*>(&thinPen), reinterpret_cast<HGDIOBJ*>(&selectionPen),
                            reinterpret_cast<HGDIOBJ*>(&bodyBrush), reinterpret_cast<HGDIOBJ*>(&markBrush),
                            reinterpret_cast<HGDIOBJ*>(&labelFont)}) {
        if (*object) DeleteObject(*object);
        *object = nullptr;
    }
}

std::wstring fieldText(HWND page, int id) {
    HWND control = GetDlgItem(page, id);
    const int length = control ? GetWindowTextLengthW(control) : 0;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    if (control) GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::int32_t fieldInt(HWND page, int id) {
    return decimalFieldValue(fieldText(page, id));
}

void setFieldText(HWND page, int id, const std::wstring& text) {
    // Setting a field repaints it even when the text stays: a stage switch would
    // repaint every field of the page.
    if (fieldText(page, id) != text) SetDlgItemTextW(page, id, text.c_str());
}

void setFieldInt(HWND page, int id, int value) {
    setFieldText(page, id, std::to_wstring(value));
}

bool isChecked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void setChecked(HWND page, int id, bool checked) {
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void enableControls(HWND page, std::span<const int> ids, bool enabled) {
    for (const int id : ids)
        if (HWND control = GetDlgItem(page, id)) EnableWindow(control, enabled);
}

void clearExtendedStyle(HWND page, int id) {
    HWND control = GetDlgItem(page, id);
    if (!control) return;
    SetWindowLongW(control, GWL_EXSTYLE, 0);
    SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

int listLineCount(HWND list) {
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::wstring listLine(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

// A list box has no message that rewrites a line. The new text goes in before the old
// line goes out: a list one line short could scroll back to its top.
void replaceListLine(HWND list, int index, const std::wstring& text) {
    if (SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())) < 0)
        return;
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index) + 1, 0);
}

std::vector<int> listSelections(HWND list) {
    const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    if (count == LB_ERR) {
        // A list of one selection.
        const LRESULT selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
        return selection == LB_ERR ? std::vector<int>{} : std::vector<int>{static_cast<int>(selection)};
    }
    std::vector<int> lines(static_cast<std::size_t>(std::max<LRESULT>(count, 0)));
    if (lines.empty()) return lines;
    const LRESULT got =
        SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(lines.size()), reinterpret_cast<LPARAM>(lines.data()));
    lines.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, count)));
    return lines;
}

int listSelection(HWND list) {
    const std::vector<int> lines = listSelections(list);
    return lines.size() == 1 ? lines.front() : -1;
}

void selectListLines(HWND list, const std::vector<int>& lines) {
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (SendMessageW(list, LB_GETSELCOUNT, 0, 0) == LB_ERR) {
        const bool isLine = lines.size() == 1 && lines.front() >= 0 && lines.front() < count;
        SendMessageW(list, LB_SETCURSEL, isLine ? static_cast<WPARAM>(lines.front()) : static_cast<WPARAM>(-1), 0);
        return;
    }
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (const int line : lines)
        if (line >= 0 && line < count) SendMessageW(list, LB_SETSEL, TRUE, line);
    // The caret, and with it the scroll position, goes to the first of them.
    if (!lines.empty() && lines.front() >= 0 && lines.front() < count)
        SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(lines.front()), FALSE);
}

void widenListFor(HWND list, const std::vector<std::wstring>& texts, bool restart) {
    HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    int widest = restart ? 0 : static_cast<int>(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0));
    for (const std::wstring& text : texts) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        // The list draws a line two pixels in from its edge and leaves as many after it.
        widest = std::max(widest, static_cast<int>(size.cx) + 6);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
}

} // namespace vexa
