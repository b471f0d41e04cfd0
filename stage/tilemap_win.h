// The open stage's terrain on screen: loads the cells and the chip bitmap at each
// stage load and draws the visible cells in the display mode of View > Map.
#pragma once

#include "stage/bitmap_buffer_win.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <utility>

namespace vexa {

inline constexpr int kTilemapHidden = 0;
inline constexpr int kTilemapGraphics = 1;
inline constexpr int kTilemapAttributes = 2;

// What the tile map needs from the stage editor that owns it. A getter left empty
// answers "none": an empty image, no window.
struct TilemapOwner {
    std::function<std::span<const std::uint8_t>()> image;
    std::function<HWND()> mainWindow; // owner of the message box; its menu holds View > Map
    std::function<HWND()> mapView;    // repainted when the display mode changes
};

class LevelTilemapManager {
public:
    LevelTilemapManager() = default;
    explicit LevelTilemapManager(TilemapOwner owner) : owner_(std::move(owner)) {}
    LevelTilemapManager(const LevelTilemapManager&) = delete;
    LevelTilemapManager& operator=(const LevelTilemapManager&) = delete;

    void attach(TilemapOwner owner) { owner_ = std::move(owner); }

    // Reads ShowTilemap and sets the View > Map checks. Always true.
    bool initialize();
    void loadTilemap(const StageHeader& stageHeader, HDC referenceDc);
    // viewRect is in map pixels; its top-left corner lands on (0, 0) of targetDc.
    void drawTilemap(const RECT& viewRect, HDC targetDc) const;
    // True for the View > Map commands and the mode cycle of the key m.
    bool handleCommand(int command);
    void updateMapMenu() const;
    void saveSettings() const;

    int widthTiles() const { return data_.widthTiles; }
    int heightTiles() const { return data_.heightTiles; }
    bool verticalLayout() const { return data_.verticalLayout; }
    std::uint16_t mapType() const { return data_.mapType; }
    bool loaded() const { return data_.loaded; }
    int displayMode() const { return displayMode_; }
    const TilemapData& data() const { return data_; }
    const BitmapBuffer& chipBitmap() const { return chipBitmap_; }

private:
    void drawCells(const RECT& viewRect, HDC targetDc) const;
    std::span<const std::uint8_t> image() const;
    HWND mainWindow() const;
    HWND mapView() const;

    TilemapData data_;
    int displayMode_ = kTilemapGraphics;
    BitmapBuffer chipBitmap_;
    TilemapOwner owner_;
};

} // namespace vexa
