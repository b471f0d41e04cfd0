#include "terrain/chip_palette_win.h"

#include "app/ini_file.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "stage/map_info.h"
#include "stage/object_page_tools_win.h"
#include "ui/dpi_win.h"
#include "ui/texts.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>

namespace vexa {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
constexpr int kDefaultWidth = 560;
constexpr int kDefaultHeight = 480;
constexpr int kSmallest = 160;
constexpr COLORREF kGridColour = RGB(208, 208, 208);
constexpr COLORREF kEmptyChipColour = RGB(236, 236, 236);
constexpr COLORREF kUsedColour = RGB(0, 200, 60);
constexpr COLORREF kCurrentColour = RGB(255, 0, 0);

void fillRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const RECT r{left, top, right, bottom};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

} // namespace

bool registerChipPaletteClass(HINSTANCE instance) {
    return registerWindowClass(instance, kChipPaletteClassName, CS_DBLCLKS,
                               reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

std::array<IntSetting, 6> ChipPalette::settings() {
    return {{{L"ChipPalette", L"Pos_X", ToolWindowPlace::kNoPosition, &place.x},
             {L"ChipPalette", L"Pos_Y", ToolWindowPlace::kNoPosition, &place.y},
             {L"ChipPalette", L"Width", kDefaultWidth, &place.width},
             {L"ChipPalette", L"Height", kDefaultHeight, &place.height},
             {L"ChipPalette", L"Zoom", 100, &zoom},
             {L"ChipPalette", L"UsedOnly", 0, &onlyUsed}}};
}

bool ChipPalette::create(HWND owner) {
    if (!registerChipPaletteClass(appInstance())) return false;
    appGlobals().config.load(settings());
    if (zoom != 50) zoom = 100;
    const RECT start = place.start(kSmallest, 4096, [owner](int width, int) {
        RECT ownerRect{};
        if (owner) GetWindowRect(owner, &ownerRect);
        return POINT{std::max(0L, ownerRect.right - width - 24), ownerRect.top + 96};
    });
    if (!CreateWindowExW(kExStyle, kChipPaletteClassName, text(IDS_PALETTE_TITLE), kStyle, start.left, start.top,
                         place.width, place.height, owner, nullptr, appInstance(), static_cast<MyWindow*>(this)))
        return false;
    place.placed = true;
    return true;
}

void ChipPalette::show() {
    if (!hwnd) return;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
}

LRESULT ChipPalette::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate();
    case WM_DESTROY: onDestroy(); return 0;
    case WM_CLOSE: ShowWindow(window, SW_HIDE); return 0;
    case WM_SIZE: onSize(); return 0;
    case WM_DPICHANGED:
        dpi = HIWORD(wParam);
        takeSuggestedRect(window, lParam);
        placeUsedBox();
        arrange();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETMINMAXINFO: reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {kSmallest, kSmallest}; return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: onPaint(); return 0;
    case WM_HSCROLL: hScroll.onScroll(wParam); return 0;
    case WM_VSCROLL: vScroll.onScroll(wParam); return 0;
    case WM_LBUTTONDOWN: onClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEMOVE: onMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEWHEEL: onWheel(wParam, lParam); return 0;
    case WM_KEYDOWN:
        if (onKey(wParam)) return 0;
        break;
    case WM_SYSCHAR:
        if (wParam == L'u' || wParam == L'U') {
            setUsedOnly(!onlyUsed);
            return 0;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CHIP_PALETTE_USED_ONLY && HIWORD(wParam) == BN_CLICKED) {
            setUsedOnly(Button_GetCheck(usedBox) == BST_CHECKED);
            // The keys + and - are the palette's, not the check box's.
            SetFocus(window);
        }
        return 0;
    case WM_NOTIFY: return onNotify(lParam);
    default: break;
    }
    return MyWindow::handleMessage(window, message, wParam, lParam);
}

void ChipPalette::applyLanguage() {
    if (!hwnd) return;
    SetWindowTextW(hwnd, text(IDS_PALETTE_TITLE));
    SetWindowTextW(usedBox, text(IDS_PALETTE_USED_ONLY));
}

LRESULT ChipPalette::onCreate() {
    dpi = windowDpi(hwnd);
    usedBox = CreateWindowExW(0, L"BUTTON", text(IDS_PALETTE_USED_ONLY),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 6, 4, 200, 20, hwnd,
                              reinterpret_cast<HMENU>(IDC_CHIP_PALETTE_USED_ONLY), appInstance(), nullptr);
    if (!usedBox) return -1;
    placeUsedBox();
    Button_SetCheck(usedBox, onlyUsed ? BST_CHECKED : BST_UNCHECKED);
    // One tool over the whole window whose text is asked for as the pointer moves.
    tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                          hwnd, nullptr, appInstance(), nullptr);
    if (tip) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    for (ScrollBar* bar : {&hScroll, &vScroll})
        bar->setAll(0, 1, 0);
    arrange();
    return 0;
}

void ChipPalette::onDestroy() {
    place.keep(hwnd);
    appGlobals().config.save(settings());
    buffer.release();
}

int ChipPalette::stripHeight() const {
    return scaledForDpi(28, dpi);
}

void ChipPalette::placeUsedBox() {
    SendMessageW(usedBox, WM_SETFONT, reinterpret_cast<WPARAM>(uiFontForDpi(dpi)), TRUE);
    MoveWindow(usedBox, scaledForDpi(6, dpi), scaledForDpi(4, dpi), scaledForDpi(200, dpi), scaledForDpi(20, dpi),
               TRUE);
}

POINT ChipPalette::contentOf(POINT client) const {
    return {client.x + hScroll.state.position, client.y - stripHeight() + vScroll.state.position};
}

// The layout for the zoom, the check box and the width, and the scroll bars for it.
void ChipPalette::arrange() {
    if (!hwnd) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    shownLayout = paletteLayout(cellPixels(), onlyUsed, usage, client.right);
    const int pageHeight = std::max(1, static_cast<int>(client.bottom) - stripHeight());
    hScroll.setAll(shownLayout.width() - 1, client.right, hScroll.state.position);
    vScroll.setAll(shownLayout.height() - 1, pageHeight, vScroll.state.position);
    hScroll.setPositionInRange(hScroll.state.position);
    vScroll.setPositionInRange(vScroll.state.position);
    hScroll.state.lineStep = shownLayout.pitch;
    vScroll.state.lineStep = shownLayout.pitch;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void ChipPalette::onSize() {
    arrange();
}

void ChipPalette::scrolled(ScrollAxis, int, int, int, int) {
    InvalidateRect(hwnd, nullptr, FALSE);
}

void ChipPalette::setTerrain(const BitmapBuffer* shown, std::span<const std::uint16_t> blockWords) {
    chips = shown;
    usage = chipUsage(blockWords);
    tipChip.reset();
    arrange();
}

void ChipPalette::setCurrentWord(std::uint16_t current) {
    word = current;
    if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
}

void ChipPalette::setZoom(int percent) {
    const int next = percent == 50 ? 50 : 100;
    if (next == zoom) return;
    // The chip at the view's top left stays there. A pitch is a cell and its grid line,
    // which keeps its one pixel at either zoom: scaling the position by the zoom alone
    // would drift by a pixel per chip.
    const int oldPitch = cellPixels() + 1;
    const int oldZoom = zoom;
    zoom = next;
    const int newPitch = cellPixels() + 1;
    const auto kept = [&](int position) {
        return position / oldPitch * newPitch + position % oldPitch * next / oldZoom;
    };
    const int keptX = kept(hScroll.state.position);
    const int keptY = kept(vScroll.state.position);
    arrange();
    hScroll.setPositionInRange(keptX);
    vScroll.setPositionInRange(keptY);
}

void ChipPalette::setUsedOnly(bool only) {
    onlyUsed = only;
    if (usedBox) Button_SetCheck(usedBox, only ? BST_CHECKED : BST_UNCHECKED);
    hScroll.setPosition(0);
    vScroll.setPosition(0);
    arrange();
}

std::optional<int> ChipPalette::chipAtClient(POINT client) const {
    if (client.y < stripHeight()) return std::nullopt;
    const POINT at = contentOf(client);
    return shownLayout.chipAt(at.x, at.y);
}

std::optional<POINT> ChipPalette::clientOfChip(int index) const {
    const auto cell = shownLayout.cellOf(index);
    if (!cell) return std::nullopt;
    return POINT{cell->first - hScroll.state.position, cell->second + stripHeight() - vScroll.state.position};
}

std::wstring ChipPalette::tipTextAt(POINT client) const {
    const std::optional<int> chip = chipAtClient(client);
    if (!chip) return {};
    const int count = usage[static_cast<std::size_t>(*chip)];
    std::wstring text = hexText4(chipWordFor(*chip, word));
    if (count > 0) text += formatText(IDS_PALETTE_TIP_CELLS, {std::to_wstring(count)});
    return text;
}

void ChipPalette::onClick(int clientX, int clientY) {
    SetFocus(hwnd);
    if (const std::optional<int> chip = chipAtClient({clientX, clientY}); chip && onPick)
        onPick(chipWordFor(*chip, word));
}

void ChipPalette::onMouseMove(int clientX, int clientY) {
    const std::optional<int> chip = chipAtClient({clientX, clientY});
    if (chip == tipChip || !tip) return;
    tipChip = chip;
    // The tip asks for its text again for the chip now under the pointer.
    SendMessageW(tip, TTM_POP, 0, 0);
    SendMessageW(tip, TTM_UPDATE, 0, 0);
}

LRESULT ChipPalette::onNotify(LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom != tip || header->code != TTN_GETDISPINFOW) return 0;
    static std::wstring text; // the tip reads it after this returns
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(hwnd, &cursor);
    text = tipTextAt(cursor);
    reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = text.data();
    return 0;
}

void ChipPalette::onWheel(WPARAM wParam, LPARAM) {
    const WORD keys = GET_KEYSTATE_WPARAM(wParam);
    const bool zooming = (keys & MK_CONTROL) != 0;
    (zooming ? scrollWheel : zoomWheel).reset();
    const int notches = (zooming ? zoomWheel : scrollWheel).add(GET_WHEEL_DELTA_WPARAM(wParam));
    if (notches == 0) return;
    if (zooming) return setZoom(notches > 0 ? 100 : 50);
    ScrollBar& bar = (keys & MK_SHIFT) ? hScroll : vScroll;
    bar.scrollBy(-notches * 3 * bar.state.lineStep);
}

bool ChipPalette::onKey(WPARAM key) {
    switch (key) {
    case VK_ADD:
    case VK_OEM_PLUS: setZoom(100); return true;
    case VK_SUBTRACT:
    case VK_OEM_MINUS: setZoom(50); return true;
    case VK_UP: vScroll.scrollBy(-shownLayout.pitch); return true;
    case VK_DOWN: vScroll.scrollBy(shownLayout.pitch); return true;
    case VK_LEFT: hScroll.scrollBy(-shownLayout.pitch); return true;
    case VK_RIGHT: hScroll.scrollBy(shownLayout.pitch); return true;
    default: return false;
    }
}

void ChipPalette::onPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    fillRect(dc, 0, 0, client.right, stripHeight(), GetSysColor(COLOR_BTNFACE));
    const SIZE size{client.right, std::max(0L, client.bottom - stripHeight())};
    if (size.cx > 0 && size.cy > 0) {
        if (bufferSize.cx < size.cx || bufferSize.cy < size.cy) {
            buffer.release();
            bufferSize = buffer.create(dc, size.cx, size.cy) ? size : SIZE{};
        }
        if (buffer.dc) {
            paintContent(buffer.dc, size);
            BitBlt(dc, 0, stripHeight(), size.cx, size.cy, buffer.dc, 0, 0, SRCCOPY);
        } else {
            paintContent(dc, size);
        }
    }
    EndPaint(hwnd, &ps);
}

// The cells in view with their grid, the used marks and the current chip's frame.
void ChipPalette::paintContent(HDC target, SIZE size) const {
    const int left = hScroll.state.position;
    const int top = vScroll.state.position;
    fillRect(target, 0, 0, size.cx, size.cy, GetSysColor(COLOR_APPWORKSPACE));
    fillRect(target, 0, 0, std::min<int>(size.cx, shownLayout.width() - left),
             std::min<int>(size.cy, shownLayout.height() - top), kGridColour);
    const int pitch = shownLayout.pitch;
    const int cell = cellPixels();
    const bool drawable = chips && chips->dc && !chips->pixels.empty();
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    const int current = chipIndexOf(word);
    const int firstRow = std::max(0, (top - 1) / pitch);
    const int lastRow = std::min(shownLayout.rows - 1, (top + static_cast<int>(size.cy)) / pitch);
    const int firstColumn = std::max(0, (left - 1) / pitch);
    const int lastColumn = std::min(shownLayout.columns - 1, (left + static_cast<int>(size.cx)) / pitch);
    const int mark = std::max(4, cell / 4);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const std::size_t place = static_cast<std::size_t>(row) * static_cast<std::size_t>(shownLayout.columns) +
                                      static_cast<std::size_t>(column);
            if (place >= shownLayout.chips.size()) break;
            const int chip = shownLayout.chips[place];
            const int cx = 1 + column * pitch - left;
            const int cy = 1 + row * pitch - top;
            const int sx = (chip % kChipSheetCells) * kTileSize;
            const int sy = (chip / kChipSheetCells) * kTileSize;
            // Chips past the bitmap's edge are drawn empty, as the map draws them.
            const bool inBitmap =
                drawable && sx + kTileSize <= chips->pixelSize.cx && sy + kTileSize <= chips->pixelSize.cy;
            if (!inBitmap)
                fillRect(target, cx, cy, cx + cell, cy + cell, kEmptyChipColour);
            else if (cell == kTileSize)
                BitBlt(target, cx, cy, cell, cell, chips->dc, sx, sy, SRCCOPY);
            else
                StretchBlt(target, cx, cy, cell, cell, chips->dc, sx, sy, kTileSize, kTileSize, SRCCOPY);
            if (usage[static_cast<std::size_t>(chip)] > 0) {
                // A corner triangle: the chip itself stays in sight.
                const POINT corner[] = {{cx + cell - mark, cy}, {cx + cell, cy}, {cx + cell, cy + mark}};
                HBRUSH brush = CreateSolidBrush(kUsedColour);
                HGDIOBJ oldBrush = SelectObject(target, brush);
                HGDIOBJ oldPen = SelectObject(target, GetStockObject(NULL_PEN));
                Polygon(target, corner, 3);
                SelectObject(target, oldPen);
                SelectObject(target, oldBrush);
                DeleteObject(brush);
            }
            if (chip == current) {
                // Two pixels over the grid line around the cell and its own edge.
                HBRUSH frame = CreateSolidBrush(kCurrentColour);
                fillFrame(target, {cx - 1, cy - 1, cx + cell + 1, cy + cell + 1}, frame, 2);
                DeleteObject(frame);
            }
        }
    }
}

} // namespace vexa
