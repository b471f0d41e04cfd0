// The chip palette, "チップ一覧": a floating window, owned by the main window, that
// shows the open terrain's chip bitmap as its 64 x 64 chips. A click makes the clicked
// chip the current word's; the chips the block uses are marked, and "使用中のみ(&U)"
// shows only those. Closing it hides it.
#pragma once

#include "app/setting_binding.h"
#include "stage/bitmap_buffer_win.h"
#include "terrain/chip_palette_layout.h"
#include "ui/scroll_bars_win.h"
#include "ui/window_win.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexa {

inline constexpr const wchar_t* kChipPaletteClassName = L"vexa_chippalette";

bool registerChipPaletteClass(HINSTANCE instance);

class ChipPalette : public MyWindow, public WindowWithBothScrollBars {
public:
    // The user clicked a chip: the word it makes of the current one. The owner makes it
    // current and tells the palette back through setCurrentWord.
    std::function<void(std::uint16_t word)> onPick;

    // Creates the window hidden, placed and sized as it was left.
    bool create(HWND owner);
    // Shows the window as it was and brings it to the front.
    void show();
    // Gives the window and its check box the texts of the language chosen now.
    void applyLanguage();
    bool isShown() const { return hwnd && IsWindowVisible(hwnd); }

    // The open terrain: its chip bitmap (null or empty draws gray chips), which must
    // live until the next call, and every word of its block.
    void setTerrain(const BitmapBuffer* chips, std::span<const std::uint16_t> blockWords);
    void setCurrentWord(std::uint16_t word);
    std::uint16_t currentWord() const { return word; }

    int zoomPercent() const { return zoom; }
    void setZoom(int percent);
    bool usedOnly() const { return onlyUsed; }
    void setUsedOnly(bool only);

    // The chip under a client point, and the tooltip shown there ("0C12: 37 セル").
    std::optional<int> chipAtClient(POINT client) const;
    std::wstring tipTextAt(POINT client) const;
    // The client point of the top left pixel of a chip's cell, when the chip is shown.
    std::optional<POINT> clientOfChip(int index) const;
    const PaletteLayout& layout() const { return shownLayout; }

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void scrolled(ScrollAxis axis, int position, int page, int oldPosition, int oldPage) override;

private:
    LRESULT onCreate();
    void onDestroy();
    void onSize();
    void onPaint();
    void onClick(int x, int y);
    void onMouseMove(int x, int y);
    void onWheel(WPARAM wParam, LPARAM lParam);
    bool onKey(WPARAM key);
    LRESULT onNotify(LPARAM lParam);
    void arrange();
    void paintContent(HDC target, SIZE size) const;
    int stripHeight() const;
    // The check box above the chips, at the window's scale.
    void placeUsedBox();
    int cellPixels() const { return zoom == 50 ? 16 : 32; }
    POINT contentOf(POINT client) const;
    std::array<IntSetting, 6> settings();

    const BitmapBuffer* chips = nullptr;
    std::vector<int> usage = std::vector<int>(kChipCount, 0);
    PaletteLayout shownLayout;
    std::uint16_t word = 0;
    int zoom = 100;
    bool onlyUsed = false;
    HWND usedBox = nullptr;
    // The scale of the monitor the window is on.
    UINT dpi = 96;
    HWND tip = nullptr;
    std::optional<int> tipChip;
    BitmapBuffer buffer;
    SIZE bufferSize{};
    WheelNotches scrollWheel;
    WheelNotches zoomWheel;
    ToolWindowPlace place;
};

} // namespace vexa
