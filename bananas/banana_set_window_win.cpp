#include "bananas/banana_set_window_win.h"

#include "bananas/banana_edits.h"

namespace vexa {

void BananaSetWindow::bind(HWND control, HFONT font) {
    hwnd = control;
    if (font) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    clear();
}

void BananaSetWindow::show(std::span<const std::uint8_t> image, std::uint32_t setsLocation, unsigned setNumber) {
    set = decodeBananaSet(image, setsLocation, setNumber);
    if (hwnd) SetWindowTextW(hwnd, bananaSetText(set).c_str());
}

void BananaSetWindow::clear() {
    set = BananaSet{};
    if (hwnd) SetWindowTextW(hwnd, L"");
}

} // namespace vexa
