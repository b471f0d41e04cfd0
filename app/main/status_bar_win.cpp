#include "app/main/status_bar_win.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>

namespace vexa {

namespace {

// The widest texts, measured in the bar's font, size the pointer and room parts; the
// room part also has space for its full icon.
constexpr int kTextPadding = 16;
constexpr int kZoomWidth = 55;

} // namespace

bool MainStatusBar::create(HWND parent, bool shown) {
    hwnd = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | SBARS_SIZEGRIP | (shown ? WS_VISIBLE : 0), 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!hwnd) return false;
    // A shared icon: the system owns it, nothing destroys it.
    fullIcon = static_cast<HICON>(LoadImageW(nullptr, IDI_ERROR, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
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
    const int room = std::max(zoom - textWidth(vexa::text(IDS_WIDEST_ROOM)) - GetSystemMetrics(SM_CXSMICON), 0);
    std::array<int, kPartCount> edges{std::min(textWidth(vexa::text(IDS_WIDEST_POINTER)), room), room, zoom, -1};
    edges[kObjectPart] = std::max(edges[kObjectPart], edges[kPointerPart]);
    SendMessageW(hwnd, SB_SETPARTS, kPartCount, reinterpret_cast<LPARAM>(edges.data()));
    RECT bar;
    GetWindowRect(hwnd, &bar);
    return bar.bottom - bar.top;
}

int MainStatusBar::textWidth(const wchar_t* text) const {
    HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cx + kTextPadding;
}

void MainStatusBar::setText(Part part, const std::wstring& text) {
    if (this->text(part) != text)
        SendMessageW(hwnd, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring MainStatusBar::text(Part part) const {
    const auto length = LOWORD(SendMessageW(hwnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(hwnd, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

void MainStatusBar::setPointer(const std::wstring& pointer, const std::wstring& object) {
    if (!hwnd) return;
    setText(kPointerPart, pointer);
    setText(kObjectPart, object);
}

void MainStatusBar::setRoom(const std::optional<SpriteRoom>& newRoom) {
    if (!hwnd || newRoom == room) return;
    const bool wasFull = roomFull();
    room = newRoom;
    setText(kRoomPart, room ? spriteRoomText(*room) : std::wstring());
    if (roomFull() != wasFull)
        SendMessageW(hwnd, SB_SETICON, kRoomPart, reinterpret_cast<LPARAM>(roomFull() ? fullIcon : nullptr));
}

void MainStatusBar::refreshZoom(int percent) {
    if (!hwnd) return;
    setText(kZoomPart, zoomText(percent));
}

} // namespace vexa
