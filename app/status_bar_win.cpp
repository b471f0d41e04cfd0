#include "app/status_bar_win.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>

namespace vexa {

namespace {

// The widest pointer text, measured in the bar's font, sizes the first part.
constexpr const wchar_t* kWidestPointer = L"X 00000 Y 00000 | 0000, 0000 | セル 0000, 0000 タイル 0000";
constexpr int kTextPadding = 16;
constexpr int kRoomWidth = 115;
constexpr int kZoomWidth = 55;
constexpr COLORREF kFullColour = RGB(220, 0, 0);

} // namespace

bool MainStatusBar::create(HWND parent, bool shown) {
    hwnd = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | SBARS_SIZEGRIP | (shown ? WS_VISIBLE : 0), 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!hwnd) return false;
    visible = shown;
    layout();
    setRoom(std::nullopt);
    refreshZoom(100);
    return true;
}

void MainStatusBar::show(bool shown) {
    visible = shown;
    ShowWindow(hwnd, shown ? SW_SHOW : SW_HIDE);
}

int MainStatusBar::layout() {
    if (!hwnd || !visible) return 0;
    SendMessageW(hwnd, WM_SIZE, 0, 0);
    RECT client;
    GetClientRect(hwnd, &client);
    const int width = client.right;
    const int zoom = std::max(width - kZoomWidth, 0);
    const int room = std::max(zoom - kRoomWidth, 0);
    std::array<int, kPartCount> edges{std::min(pointerWidth(), room), room, zoom, -1};
    edges[kObjectPart] = std::max(edges[kObjectPart], edges[kPointerPart]);
    SendMessageW(hwnd, SB_SETPARTS, kPartCount, reinterpret_cast<LPARAM>(edges.data()));
    RECT bar;
    GetWindowRect(hwnd, &bar);
    return bar.bottom - bar.top;
}

int MainStatusBar::pointerWidth() const {
    HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, kWidestPointer, lstrlenW(kWidestPointer), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cx + kTextPadding;
}

void MainStatusBar::setText(Part part, const std::wstring& text) {
    SendMessageW(hwnd, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring MainStatusBar::text(Part part) const {
    if (part == kRoomPart) return roomText;
    const auto length = LOWORD(SendMessageW(hwnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(hwnd, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

void MainStatusBar::setPointer(const std::wstring& pointer, const std::wstring& object) {
    if (!hwnd) return;
    // Only changed texts are set: the pointer moves far more often than they change.
    if (text(kPointerPart) != pointer) setText(kPointerPart, pointer);
    if (text(kObjectPart) != object) setText(kObjectPart, object);
}

void MainStatusBar::setRoom(const std::optional<SpriteRoom>& newRoom) {
    if (!hwnd || newRoom == room) return;
    room = newRoom;
    roomText = room ? spriteRoomText(*room) : std::wstring();
    // An owner-drawn part is drawn by the parent from roomText: it is marked so once,
    // and then only repainted with the next paint (setting a text paints at once).
    if (!ownerDrawn) {
        SendMessageW(hwnd, SB_SETTEXTW, kRoomPart | SBT_OWNERDRAW, 0);
        ownerDrawn = true;
        return;
    }
    RECT part;
    if (SendMessageW(hwnd, SB_GETRECT, kRoomPart, reinterpret_cast<LPARAM>(&part))) InvalidateRect(hwnd, &part, TRUE);
}

bool MainStatusBar::onDrawItem(const DRAWITEMSTRUCT& item) const {
    if (item.CtlID != kControlId || item.itemID != kRoomPart) return false;
    RECT box = item.rcItem;
    box.left += 4;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, roomFull() ? kFullColour : GetSysColor(COLOR_BTNTEXT));
    DrawTextW(item.hDC, roomText.c_str(), static_cast<int>(roomText.size()), &box,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    return true;
}

void MainStatusBar::refreshZoom(int percent) {
    if (!hwnd) return;
    const std::wstring zoom = zoomText(percent);
    if (text(kZoomPart) != zoom) setText(kZoomPart, zoom);
}

} // namespace vexa
