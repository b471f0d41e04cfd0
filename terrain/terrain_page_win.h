// The inspector's terrain page, "地形": the current tile word with its chip drawn at
// twice its size, the map's four tools, the chip palette's button and what the open
// stage's terrain block is (or why it cannot be edited). While it is the inspector's
// page the map view is in terrain mode.
#pragma once

#include "app/setting_binding.h"
#include "resources/text_ids.h"
#include "stage/bitmap_buffer_win.h"
#include "terrain/terrain_editor.h"
#include "ui/texts.h"
#include "ui/window_win.h"

#include <array>
#include <cstdint>
#include <functional>

namespace vexa {

class TerrainPage : public MyDialog, public TabPage {
public:
    explicit TerrainPage(TerrainEditor& editor) : editor(editor) {}

    const wchar_t* templateName() const override { return L"TERRAIN_EDIT"; }
    const wchar_t* pageCaption() const override { return text(IDS_PAGE_TERRAIN); }
    bool createPage(HWND parent) override { return createModeless(parent); }
    void relabelPage(Language language) override { relabel(language); }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // config.ini [Terrain] Tool, 0 to 3.
    void loadSettings();
    void saveSettings();

    // The open terrain as the editor reads it now: the text, the controls enabled
    // where the block can be edited, the chip from `chips` (kept until the next call).
    void showTerrain(const BitmapBuffer* chips);
    // With no ROM open every control is disabled.
    void enable(bool open);
    void showWord(std::uint16_t word);

    TerrainToolKind tool() const { return static_cast<TerrainToolKind>(toolSetting); }
    // Checks the tool's button and tells onToolChosen.
    void chooseTool(TerrainToolKind kind);

    std::function<void(TerrainToolKind)> onToolChosen;
    std::function<void()> onShowPalette;

private:
    void onInit();
    bool onCommand(int id, int code);
    void takeTypedWord();
    void drawChip(const DRAWITEMSTRUCT& item) const;
    void updateEnabled();
    std::array<IntSetting, 1> settings();

    TerrainEditor& editor;
    const BitmapBuffer* chips = nullptr;
    int toolSetting = 0;
    bool open = false;
};

} // namespace vexa
