// The chip palette in the real editor: shown from the terrain page, a click makes the
// chip the word's at 100% and 50% keeping bits 10-13, the used chips alone with their
// tips, and its place, size, zoom and filter kept across a restart.
#include "terrain/terrain_fixture.h"

#include "app/ini_file.h"
#include "resources/resource_ids.h"

#include <map>
#include <ostream>

namespace vexa {
namespace {

using test::pumpMessages;

// The chip a word shows: row in bits 4-9, column in bits 0-3 and 14-15.
int chipOf(std::uint16_t word) {
    return (word >> 4 & 0x3F) * 64 + ((word & 0x0F) | (word >> 10 & 0x30));
}

class ChipPaletteTest : public test::TerrainTest {
protected:
    ChipPalette& palette() { return levels().chipPalette; }
    void showPalette() {
        enterTerrainMode();
        press(IDC_TERRAIN_PALETTE);
        ASSERT_TRUE(palette().isShown());
    }
    // A point inside the chip's cell, which must be in sight.
    POINT pointOfChip(int chip) {
        const std::optional<POINT> at = palette().clientOfChip(chip);
        RECT client{};
        GetClientRect(palette().hwnd, &client);
        const POINT inside{at ? at->x + 4 : -1, at ? at->y + 4 : -1};
        EXPECT_TRUE(PtInRect(&client, inside)) << "chip " << chip;
        return inside;
    }
    void clickChip(int chip) {
        const POINT at = pointOfChip(chip);
        SendMessageW(palette().hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageW(palette().hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        pumpMessages();
    }
};

struct PickCase {
    const char* name;
    bool zoomOut; // after scrolling four rows and 30 columns, Ctrl and the wheel towards the user
    int row;
    int column;
    std::uint16_t word; // from 2C00: bits 0-3 the column, 4-9 the row, 14-15 the column's sheet
};

void PrintTo(const PickCase& pick, std::ostream* out) {
    *out << pick.name;
}

class ChipPalettePickTest : public ChipPaletteTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(ChipPalettePickTest, AClickMakesTheChipTheWordsKeepingBits10To13) {
    const PickCase& pick = GetParam();
    showPalette();
    typeWord(L"2C00");
    if (pick.zoomOut) {
        for (const auto& [key, times] : {std::pair{VK_RIGHT, 30}, std::pair{VK_DOWN, 4}})
            for (int i = 0; i < times; ++i)
                SendMessageW(palette().hwnd, WM_KEYDOWN, key, 0);
        const POINT topLeft = pointOfChip(4 * 64 + 30);
        SendMessageW(palette().hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), 0);
        pumpMessages();
        EXPECT_EQ(palette().chipAtClient(topLeft), 4 * 64 + 30) << "the chip at the top left stays there";
    }
    EXPECT_EQ(palette().zoomPercent(), pick.zoomOut ? 50 : 100);
    clickChip(pick.row * 64 + pick.column);
    EXPECT_EQ(field(IDC_TERRAIN_WORD), hexText4(pick.word));
    EXPECT_EQ(levels().terrain.currentWord(), pick.word);
    EXPECT_EQ(palette().currentWord(), pick.word);
}

INSTANTIATE_TEST_SUITE_P(Zooms, ChipPalettePickTest,
                         ::testing::Values(PickCase{"At100", false, 2, 5, 0x2C25},
                                           PickCase{"At50", true, 5, 40, 0xAC58}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChipPaletteTest, UsedOnlyShowsTheBlocksChipsWithTheirCountsAndTheSettingsAreKept) {
    showPalette();
    SendDlgItemMessageW(palette().hwnd, IDC_CHIP_PALETTE_USED_ONLY, BM_CLICK, 0, 0);
    pumpMessages();
    ASSERT_TRUE(palette().usedOnly());
    std::map<int, int> used; // chip -> words of the block that show it
    for (const std::uint16_t word : opened.terrainWords)
        ++used[chipOf(word)];
    std::vector<int> chips;
    for (const auto& [chip, count] : used)
        chips.push_back(chip);
    EXPECT_EQ(palette().layout().chips, chips);
    ASSERT_GE(chips.size(), 2u);
    // The tip names the word a click makes and how many of the block's words show it.
    const int chip = chips[1];
    clickChip(chip);
    const std::uint16_t word = palette().currentWord();
    EXPECT_EQ(chipOf(word), chip);
    EXPECT_EQ(palette().tipTextAt(pointOfChip(chip)), hexText4(word) + L": " + std::to_wstring(used[chip]) + L" セル");

    SendMessageW(palette().hwnd, WM_KEYDOWN, VK_SUBTRACT, 0);
    MoveWindow(palette().hwnd, 120, 140, 400, 300, TRUE);
    pumpMessages();
    EXPECT_EQ(palette().zoomPercent(), 50);
    editor.stop();
    const std::pair<const wchar_t*, const wchar_t*> saved[] = {{L"Pos_X", L"120"}, {L"Pos_Y", L"140"},
                                                               {L"Width", L"400"}, {L"Height", L"300"},
                                                               {L"Zoom", L"50"},   {L"UsedOnly", L"1"}};
    for (const auto& [key, value] : saved)
        EXPECT_EQ(editor.config(L"ChipPalette", key), value) << key;
    ASSERT_TRUE(editor.start());
    EXPECT_EQ(palette().zoomPercent(), 50);
    EXPECT_TRUE(palette().usedOnly());
    EXPECT_EQ(IsDlgButtonChecked(palette().hwnd, IDC_CHIP_PALETTE_USED_ONLY), BST_CHECKED);
    RECT place{};
    GetWindowRect(palette().hwnd, &place);
    EXPECT_EQ(place.left, 120);
    EXPECT_EQ(place.top, 140);
    EXPECT_EQ(place.right - place.left, 400);
    EXPECT_EQ(place.bottom - place.top, 300);
}

} // namespace
} // namespace vexa
