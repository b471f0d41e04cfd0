#include "app/history_window_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "ui/dpi_win.h"
#include "ui/texts.h"

#include <algorithm>
#include <climits>
#include <string>

namespace vexa {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 360;
constexpr int kSmallest = 120;
constexpr int kLargest = 4096;
constexpr int kTextMargin = 4;

int lineHeight(UINT dpi) {
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, uiFontForDpi(dpi));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight + scaledForDpi(4, dpi);
}

} // namespace

bool registerHistoryClass(HINSTANCE instance) {
    return registerWindowClass(instance, kHistoryClassName, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

std::array<IntSetting, 5> HistoryWindow::settings() {
    return {{{kHistorySection, L"Show", 0, &wanted},
             {kHistorySection, L"Pos_X", ToolWindowPlace::kNoPosition, &place.x},
             {kHistorySection, L"Pos_Y", ToolWindowPlace::kNoPosition, &place.y},
             {kHistorySection, L"Width", kDefaultWidth, &place.width},
             {kHistorySection, L"Height", kDefaultHeight, &place.height}}};
}

bool HistoryWindow::create(HWND owner) {
    if (!registerHistoryClass(appInstance())) return false;
    appGlobals().config.load(settings());
    // By the main window's bottom right corner.
    const RECT start = place.start(kSmallest, kLargest, [owner](int width, int height) {
        RECT ownerRect{};
        if (owner) GetWindowRect(owner, &ownerRect);
        return POINT{std::max(0L, ownerRect.right - width - 24), std::max(0L, ownerRect.bottom - height - 48)};
    });
    place.placed = false;
    if (!CreateWindowExW(kExStyle, kHistoryClassName, text(IDS_HISTORY_TITLE), kStyle, start.left, start.top,
                         place.width, place.height, owner, nullptr, appInstance(), static_cast<MyWindow*>(this)))
        return false;
    place.placed = true;
    return true;
}

void HistoryWindow::show(bool shownNow) {
    wanted = shownNow;
    if (!hwnd) return;
    // The lines are brought up to date before the window shows them.
    refresh();
    ShowWindow(hwnd, shownNow ? SW_SHOWNOACTIVATE : SW_HIDE);
}

LRESULT HistoryWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate();
    case WM_DESTROY: onDestroy(); return 0;
    case WM_CLOSE: onClose(); return 0;
    case WM_SIZE: MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE); return 0;
    case WM_SETFOCUS: SetFocus(list); return 0;
    case WM_GETMINMAXINFO: reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {kSmallest, kSmallest}; return 0;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(lineHeight(dpi));
        return TRUE;
    case WM_DPICHANGED:
        dpi = HIWORD(wParam);
        takeSuggestedRect(window, lParam);
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(uiFontForDpi(dpi)), TRUE);
        SendMessageW(list, LB_SETITEMHEIGHT, 0, lineHeight(dpi));
        return 0;
    case WM_DRAWITEM: drawLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_HISTORY_LIST && HIWORD(wParam) == LBN_SELCHANGE) onPick();
        return 0;
    default: break;
    }
    return MyWindow::handleMessage(window, message, wParam, lParam);
}

LRESULT HistoryWindow::onCreate() {
    dpi = windowDpi(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", kListStyle, 0, 0, client.right, client.bottom, hwnd,
                           reinterpret_cast<HMENU>(IDC_HISTORY_LIST), appInstance(), nullptr);
    if (!list) return -1;
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(uiFontForDpi(dpi)), FALSE);
    shown = {};
    EnableWindow(list, FALSE);
    return 0;
}

void HistoryWindow::onDestroy() {
    place.keep(hwnd);
    appGlobals().config.save(settings());
    list = nullptr;
    hwnd = nullptr;
    shown = {};
}

void HistoryWindow::onClose() {
    show(false);
    if (onClosed) onClosed();
}

void HistoryWindow::applyLanguage() {
    if (hwnd) SetWindowTextW(hwnd, text(IDS_HISTORY_TITLE));
    refresh();
}

void HistoryWindow::refresh() {
    if (!list || !wanted) return;
    HistoryLines lines = historyLines(history, document.loaded);
    const std::size_t kept = linesKept(shown.lines, lines.lines);
    const std::size_t changed = (shown.lines.size() - kept) + (lines.lines.size() - kept);
    // One line added or taken away draws at once; more are drawn together at the end.
    const bool hold = changed > 1;
    if (hold) SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    if (kept == 0) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
    } else {
        for (std::size_t i = shown.lines.size(); i-- > kept;)
            SendMessageW(list, LB_DELETESTRING, i, 0);
    }
    for (std::size_t i = kept; i < lines.lines.size(); ++i) {
        const LRESULT index =
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lines.lines[i].text.c_str()));
        if (index >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), lines.lines[i].redo ? 1 : 0);
    }
    for (std::size_t i = 0; i < kept; ++i)
        if (shown.lines[i].redo != lines.lines[i].redo) setLineState(i, lines.lines[i].redo);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(lines.current), 0);
    EnableWindow(list, document.loaded);
    if (hold) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    shown = std::move(lines);
}

void HistoryWindow::setLineState(std::size_t index, bool redo) {
    SendMessageW(list, LB_SETITEMDATA, index, redo ? 1 : 0);
    RECT line{};
    if (SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&line)) != LB_ERR)
        InvalidateRect(list, &line, TRUE);
}

void HistoryWindow::onPick() {
    const LRESULT line = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (line >= 0 && line != shown.current && onJump) onJump(static_cast<std::size_t>(line));
    // A jump that did not happen (an object is being dragged) puts the selection back.
    refresh();
}

void HistoryWindow::drawLine(const DRAWITEMSTRUCT& item) const {
    // An empty list that has the focus asks for its focus mark alone.
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool greyed = item.itemData != 0 || (item.itemState & ODS_DISABLED) != 0;
    const int textColour = selected ? COLOR_HIGHLIGHTTEXT : greyed ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const LRESULT length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
    if (length > 0) {
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(
            0, SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data())))));
        const HGDIOBJ oldFont = SelectObject(item.hDC, uiFontForDpi(dpi));
        const int oldMode = SetBkMode(item.hDC, TRANSPARENT);
        const COLORREF oldColour = SetTextColor(item.hDC, GetSysColor(textColour));
        RECT place = item.rcItem;
        place.left += kTextMargin;
        DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &place,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SetTextColor(item.hDC, oldColour);
        SetBkMode(item.hDC, oldMode);
        SelectObject(item.hDC, oldFont);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

} // namespace vexa
