#include "stage/inspector_win.h"

#include "app/settings_win.h"
#include "ui/dpi_win.h"

#include <commctrl.h>

#include <array>
#include <climits>

namespace vexa {

namespace {

constexpr DWORD kInspectorStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU; // 0x82C80000
constexpr DWORD kInspectorExStyle = WS_EX_TOOLWINDOW;
constexpr DWORD kTabStyle = WS_CHILD | WS_VISIBLE | TCS_FOCUSNEVER; // 0x50008000
constexpr std::size_t kCaptionChars = 64;
// What a missing position key reads as; it never names a real position.
constexpr int kNoPosition = INT_MIN;

// Where the inspector was left: [Inspector] Pos_X and Pos_Y.
std::array<IntSetting, 2> positionSettings(int& x, int& y) {
    return {{{L"Inspector", L"Pos_X", kNoPosition, &x}, {L"Inspector", L"Pos_Y", kNoPosition, &y}}};
}

HWND pageWindow(const TabPage* page) {
    return page ? page->hwnd : nullptr;
}

} // namespace

bool registerInspectorClass(HINSTANCE instance) {
    return registerWindowClass(instance, kInspectorClassName, CS_VREDRAW | CS_HREDRAW | CS_NOCLOSE,
                               reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

bool LevelEditInspector::create(std::span<TabPage* const> pages, HWND ownerWindow) {
    owner = ownerWindow;
    return create(pages);
}

bool LevelEditInspector::create(std::span<TabPage* const> pages) {
    const HINSTANCE instance = appInstance();
    placed = false;
    if (!CreateWindowExW(kInspectorExStyle, kInspectorClassName, L"", kInspectorStyle, 0, 0, 0, 0, owner, nullptr,
                         instance, static_cast<MyWindow*>(this)))
        return false;
    tabControl = CreateWindowExW(0, WC_TABCONTROLW, L"", kTabStyle, 0, 0, 0, 0, hwnd, nullptr, instance, nullptr);
    if (!tabControl) {
        DestroyWindow(hwnd);
        return false;
    }
    SendMessageW(tabControl, WM_SETFONT, reinterpret_cast<WPARAM>(uiFontForDpi(windowDpi(hwnd))), FALSE);
    addPages(pages);
    const SIZE tabSize = fitPagesToFirst();
    showPage(0);
    placeWindow(tabSize);
    return true;
}

void LevelEditInspector::showCaption(int index, UINT message) {
    wchar_t caption[kCaptionChars] = {};
    if (const wchar_t* text = pages[index]->pageCaption()) lstrcpynW(caption, text, kCaptionChars);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    SendMessageW(tabControl, message, index, reinterpret_cast<LPARAM>(&item));
}

void LevelEditInspector::addPages(std::span<TabPage* const> given) {
    pageCount = static_cast<int>(given.size());
    pages.assign(given.begin(), given.end());
    for (int i = 0; i < pageCount; ++i) {
        if (!pages[i]) continue;
        pages[i]->createPage(tabControl);
        showCaption(i, TCM_INSERTITEMW);
    }
}

// Every page gets the first page's size, and the tab control the size whose display
// area holds it. Returns the tab control's size.
SIZE LevelEditInspector::fitPagesToFirst() {
    RECT first{};
    GetWindowRect(pageWindow(pages.empty() ? nullptr : pages.front()), &first);
    const int w = first.right - first.left;
    const int h = first.bottom - first.top;
    RECT r{0, 0, w, h};
    SendMessageW(tabControl, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    for (TabPage* page : pages)
        if (pageWindow(page)) MoveWindow(page->hwnd, -r.left, -r.top, w, h, FALSE);
    const SIZE tabSize{r.right - r.left, r.bottom - r.top};
    MoveWindow(tabControl, 0, 0, tabSize.cx, tabSize.cy, FALSE);
    return tabSize;
}

SIZE LevelEditInspector::frameFor(SIZE clientSize) const {
    RECT frame{0, 0, clientSize.cx, clientSize.cy};
    AdjustWindowRectEx(&frame, kInspectorStyle, FALSE, kInspectorExStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void LevelEditInspector::placeWindow(SIZE clientSize) {
    int x = 0;
    int y = 0;
    appGlobals().config.load(positionSettings(x, y));
    if (x == kNoPosition || y == kNoPosition) x = y = 0;
    const SIZE frame = frameFor(clientSize);
    MoveWindow(hwnd, x, y, frame.cx, frame.cy, FALSE);
    placed = true;
    ShowWindow(hwnd, SW_SHOWNORMAL);
}

void LevelEditInspector::applyLanguage(Language language) {
    if (!hwnd) return;
    for (int i = 0; i < pageCount; ++i) {
        if (!pages[i]) continue;
        pages[i]->relabelPage(language);
        showCaption(i, TCM_SETITEMW);
    }
    fitToPages();
}

void LevelEditInspector::fitToPages() {
    const SIZE frame = frameFor(fitPagesToFirst());
    SetWindowPos(hwnd, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void LevelEditInspector::showPage(int index) {
    for (int i = 0; i < pageCount; ++i)
        if (pageWindow(pages[i])) ShowWindow(pages[i]->hwnd, i == index ? SW_SHOW : SW_HIDE);
    shown = index;
    if (onPageShown) onPageShown(index);
}

void LevelEditInspector::savePosition(HWND window) {
    if (!placed) return;
    RECT rect{};
    GetWindowRect(window, &rect);
    int x = rect.left;
    int y = rect.top;
    appGlobals().config.save(positionSettings(x, y));
}

LRESULT LevelEditInspector::onActivate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    constexpr UINT kRaiseOnly = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
    if (owner) SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, kRaiseOnly);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT LevelEditInspector::onNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != tabControl || header->code != TCN_SELCHANGE)
        return DefWindowProcW(window, message, wParam, lParam);
    showPage(static_cast<int>(SendMessageW(tabControl, TCM_GETCURSEL, 0, 0)));
    return 0;
}

LRESULT LevelEditInspector::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return 0;
    case WM_DESTROY: savePosition(window); return 0;
    case WM_ACTIVATE: return onActivate(window, message, wParam, lParam);
    case WM_NOTIFY: return onNotify(window, message, wParam, lParam);
    case WM_DPICHANGED:
        // The pages are dialogs, which the system lays out again at the new scale.
        takeSuggestedRect(window, lParam);
        SendMessageW(tabControl, WM_SETFONT, reinterpret_cast<WPARAM>(uiFontForDpi(HIWORD(wParam))), TRUE);
        fitToPages();
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace vexa
