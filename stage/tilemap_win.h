// The open stage's terrain on screen: loads the cells and the chip bitmap at each
// stage load and draws the visible cells in the display mode of View > Map.
#pragma once

#include "app/file_stamp.h"
#include "app/setting_binding.h"
#include "stage/bitmap_buffer_win.h"
#include "stage/stage_edit_host_win.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <list>
#include <span>
#include <string>

namespace vexa {

inline constexpr int kTilemapHidden = 0;
inline constexpr int kTilemapGraphics = 1;
inline constexpr int kTilemapAttributes = 2;

class LevelTilemapManager {
public:
    LevelTilemapManager() = default;
    LevelTilemapManager(const LevelTilemapManager&) = delete;
    LevelTilemapManager& operator=(const LevelTilemapManager&) = delete;

    // The stage editor: the image, the View > Map checks, messages and repaints.
    void attach(StageWindowHost* host) { host_ = host; }

    // Reads ShowTilemap and sets the View > Map checks. Always true.
    bool initialize();
    void loadTilemap(const StageHeader& stageHeader, HDC referenceDc);
    // viewRect is in map pixels; its top-left corner lands on (0, 0) of targetDc.
    void drawTilemap(const RECT& viewRect, HDC targetDc) const;
    // True for the View > Map commands and the mode cycle of the key m.
    bool handleCommand(int command);
    void updateMapMenu() const;
    void saveSettings();

    int widthTiles() const { return data_.widthTiles; }
    int heightTiles() const { return data_.heightTiles; }
    bool rowMajor() const { return data_.rowMajor; }
    std::uint16_t mapType() const { return data_.mapType; }
    bool loaded() const { return data_.loaded; }
    int displayMode() const { return displayMode_; }
    const TilemapData& data() const { return data_; }
    // The cells as shown, for the terrain editing that paints them during a stroke.
    TilemapData& shownCells() { return data_; }
    const BitmapBuffer& chipBitmap() const { return chips_.empty() ? noChips_ : chips_.front().bitmap; }

private:
    void drawCells(const RECT& viewRect, HDC targetDc) const;
    std::array<IntSetting, 1> settings();

    TilemapData data_;
    int displayMode_ = kTilemapGraphics;
    // The chip bitmaps of the last few terrains shown, the current one first, each with
    // the path it was loaded from and what its file held then: going back to a stage
    // draws from memory unless the file changed.
    struct ChipBitmap {
        std::wstring path;
        FileStamp file;
        BitmapBuffer bitmap;
    };
    static constexpr std::size_t kCachedChipBitmaps = 4;
    void showChipBitmap(HDC referenceDc, const std::wstring& path);
    std::list<ChipBitmap> chips_;
    BitmapBuffer noChips_;
    StageWindowHost* host_ = nullptr;
};

} // namespace vexa
