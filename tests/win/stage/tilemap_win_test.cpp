#include "stage/tilemap_win.h"

#include "app/message_win.h"
#include "app/rom_image.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "support/dialog_answerer.h"
#include "support/temp_folder.h"
#include "tools/sample_game/bmp_file.h"
#include "tools/sample_game/rom_blocks.h"
#include "ui/window_win.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace vexa {
namespace {

using test::DialogAnswerer;
using test::TempFolder;
using test::writeBytes;

constexpr std::uint8_t kTerrain = 0x2A; // its chip bitmap is named by key "2A"
constexpr unsigned kBlockBank = 0x05;
constexpr unsigned kDataOffset = 0x4000;
constexpr unsigned kBlockHead = 39;
constexpr std::uint8_t kRepeatLastByte = 0xD0; // fails as a block's first command: nothing to repeat

// The chip sheet holds 51 x 2 cells, enough for every chip the map below uses.
constexpr int kSheetColumns = 51;
constexpr int kSheetRows = 2;
constexpr COLORREF kUntouched = RGB(255, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

COLORREF chipColour(int column, int row) {
    return RGB(column * 5, row == 0 ? 40 : 200, 90 + column);
}

// A 3 x 2 map of map type 6, stored row by row; each tile names a different chip.
const std::vector<std::uint16_t> kTiles = {0xC012, 0x0001, 0x4000, 0x0010, 0x8003, 0x0013};
struct Chip {
    int column;
    int row;
};
const Chip kChips[] = {{50, 1}, {1, 0}, {16, 0}, {0, 1}, {35, 0}, {3, 1}};

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

// Each 32 x 32 cell in its chipColour (with `inverted`, in the inverse of it).
std::vector<std::uint8_t> chipSheetFile(bool inverted = false) {
    std::vector<sample::Rgb> colours;
    for (int row = 0; row < kSheetRows; ++row) {
        for (int column = 0; column < kSheetColumns; ++column) {
            const COLORREF colour = chipColour(column, row) ^ (inverted ? 0xFFFFFF : 0);
            colours.push_back({GetRValue(colour), GetGValue(colour), GetBValue(colour)});
        }
    }
    return sample::flatChipBitmap(kSheetColumns, kSheetRows, colours);
}

sample::TerrainPlacement terrainPlacement() {
    sample::TerrainPlacement terrain;
    terrain.number = kTerrain;
    terrain.recordOffset = 0x2000;
    terrain.dataBank = kBlockBank;
    terrain.dataOffset = kDataOffset;
    terrain.width = 3;
    terrain.height = 2;
    terrain.sections = {{0, 3, 0, 2, 6}};
    return terrain;
}

// The tile map's side of the stage editor, over the test's own windows: the image,
// the settings, the View > Map checks of the menu bar, messages and repaints.
class TilemapHost : public StageWindowHost {
public:
    std::span<std::uint8_t> romImage() override { return *image; }
    RomInfo romInfo() const override { return vexa::romInfo(); }
    int openStageNumber() const override { return 0; }
    std::uint16_t openMapType() const override { return 0; }
    void openStage(int) override {}
    void showPage(PageKind) override {}
    void clearOtherSelections(PageKind) override {}
    bool isInView(int, int) const override { return true; }
    void centerOn(int, int) override {}
    void invalidateMap() override { InvalidateRect(mapView, nullptr, TRUE); }
    void refreshTerrain() override {}
    void setMenuCheck(int command, bool checked) override {
        CheckMenuItem(GetMenu(owner), static_cast<UINT>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : 0));
    }
    void pushUndo(std::unique_ptr<UndoMethod>) override {}
    void showError(const std::wstring& text) override { vexa::showError(owner, text.c_str()); }
    HWND mainWindow() const override { return owner; }
    std::wstring programFolder() const override { return appGlobals().paths.programDirectory; }
    void editAsOneStep(ObjectKind, GroupEdit, int, const std::vector<int>&, const std::vector<int>&,
                       const std::function<void()>& edits) override {
        edits();
    }

    std::vector<std::uint8_t>* image = nullptr;
    HWND owner = nullptr;
    HWND mapView = nullptr;
};

class LevelTilemapTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kRomSize);
    StageHeader header{1, 0x1000, 0};
    HWND mainWindow = nullptr;
    HWND mapView = nullptr;
    HMENU menuBar = nullptr;
    HDC screen = nullptr;
    BitmapBuffer target;
    TilemapHost host;
    LevelTilemapManager tilemap;

    void SetUp() override {
        setAppInstance(GetModuleHandleW(nullptr));
        useSettingsPaths(settingsPathsFor(folder.file(L"x.exe")));
        CreateDirectoryW(folder.file(L"chips").c_str(), nullptr);
        writeBytes(folder.file(L"chips\\grass.bmp"), chipSheetFile());
        writeRominfo("[MapChip]\r\n2A=grass.bmp\r\n");

        sample::writeStageTerrain(image, header.stageDataAddress, kTerrain);
        sample::writeTerrain(image, terrainPlacement(), sample::compressTerrain(kTiles, kTerrain));

        mainWindow = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                     appInstance(), nullptr);
        SetMenu(mainWindow, menuBar = makeMenuBar());
        mapView = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, nullptr, nullptr,
                                  appInstance(), nullptr);
        host.image = &image;
        host.owner = mainWindow;
        host.mapView = mapView;
        tilemap.attach(&host);
        screen = GetDC(nullptr);
        ASSERT_TRUE(target.create(screen, 320, 320));
        SelectObject(target.dc, GetStockObject(NULL_PEN)); // as the map view draws
    }

    void TearDown() override {
        target.release();
        ReleaseDC(nullptr, screen);
        DestroyWindow(mapView);
        DestroyWindow(mainWindow);
    }

    static HMENU makeMenuBar() {
        HMENU map = CreatePopupMenu();
        AppendMenuW(map, MF_STRING, IDM_VIEW_MAP_HIDDEN, L"非表示(&H)");
        AppendMenuW(map, MF_STRING, IDM_VIEW_MAP_GRAPHICS, L"地形のグラフィック(&G)");
        AppendMenuW(map, MF_STRING, IDM_VIEW_MAP_ATTRIBUTES, L"地形のアクション属性(&A)");
        HMENU view = CreatePopupMenu();
        AppendMenuW(view, MF_POPUP, reinterpret_cast<UINT_PTR>(map), L"マップ(&M)");
        HMENU bar = CreateMenu();
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"表示(&V)");
        return bar;
    }

    void writeRominfo(std::string_view text) { writeBytes(folder.file(L"rominfo.ini"), bytesOf(text)); }

    void load() { tilemap.loadTilemap(header, screen); }

    void draw(LONG left, LONG top, LONG right, LONG bottom) {
        HBRUSH brush = CreateSolidBrush(kUntouched);
        const RECT all{0, 0, 320, 320};
        FillRect(target.dc, &all, brush);
        DeleteObject(brush);
        tilemap.drawTilemap(RECT{left, top, right, bottom}, target.dc);
    }

    COLORREF pixel(int x, int y) const { return GetPixel(target.dc, x, y); }

    bool checked(int command) const { return (GetMenuState(menuBar, command, MF_BYCOMMAND) & MF_CHECKED) != 0; }
};

TEST_F(LevelTilemapTest, GraphicsModeCopiesEachCellFromItsChip) {
    ASSERT_TRUE(tilemap.initialize());
    load();
    ASSERT_TRUE(tilemap.loaded());
    EXPECT_EQ(tilemap.widthTiles(), 3);
    EXPECT_EQ(tilemap.heightTiles(), 2);
    EXPECT_TRUE(tilemap.rowMajor());
    EXPECT_EQ(tilemap.mapType(), 6);
    ASSERT_NE(tilemap.chipBitmap().bitmap, nullptr) << "chip bitmap named by [MapChip] 2A";

    draw(0, 0, 96, 64);
    for (int cell = 0; cell < 6; ++cell) {
        const int x = (cell % 3) * kTileSize;
        const int y = (cell / 3) * kTileSize;
        const COLORREF expected = chipColour(kChips[cell].column, kChips[cell].row);
        EXPECT_EQ(pixel(x, y), expected) << "cell " << cell;
        EXPECT_EQ(pixel(x + 31, y + 31), expected) << "cell " << cell;
    }
    EXPECT_EQ(pixel(16, 16), chipColour(50, 1)) << "tile 0xC012 shows the chip at (1600, 32)";
    EXPECT_EQ(pixel(96, 10), kUntouched);
}

// Going back to a terrain draws from the bitmap already loaded, unless its file was
// written since; a target that is not a 32-bit pixel buffer gets the same cells.
TEST_F(LevelTilemapTest, ChipBitmapsAreKeptUntilTheirFileChanges) {
    const std::wstring grassFile = folder.file(L"chips\\grass.bmp");
    // The file's last-write time moved by `seconds` (0: set back to `time`).
    auto touch = [&](FILETIME& time, int seconds) {
        HANDLE file = CreateFileW(grassFile.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (seconds != 0) {
            GetFileTime(file, nullptr, nullptr, &time);
            reinterpret_cast<ULARGE_INTEGER&>(time).QuadPart += 10'000'000ULL * static_cast<unsigned>(seconds);
        }
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    };
    tilemap.initialize();
    load();
    const HBITMAP grass = tilemap.chipBitmap().bitmap;
    writeBytes(folder.file(L"chips\\other.bmp"), chipSheetFile(true));
    writeRominfo("[MapChip]\r\n2A=other.bmp\r\n");
    load();
    EXPECT_NE(tilemap.chipBitmap().bitmap, grass);
    writeRominfo("[MapChip]\r\n2A=grass.bmp\r\n");
    load();
    EXPECT_EQ(tilemap.chipBitmap().bitmap, grass) << "loaded before, file unchanged";

    // Written again within the resolution of its time: same size, same time.
    FILETIME written;
    touch(written, 1);
    load();
    writeBytes(grassFile, chipSheetFile(true));
    touch(written, 0);
    load();
    draw(0, 0, 96, 64);
    EXPECT_EQ(pixel(16, 16), chipColour(50, 1) ^ 0xFFFFFF) << "the content tells it from the picture in memory";

    writeBytes(grassFile, chipSheetFile());
    touch(written, 1);
    load();
    draw(0, 0, 96, 64);
    EXPECT_EQ(pixel(16, 16), chipColour(50, 1)) << "the file written since is loaded again";

    BitmapBuffer screenLike;
    screenLike.dc = CreateCompatibleDC(screen);
    screenLike.bitmap = CreateCompatibleBitmap(screen, 96, 64);
    screenLike.owned = true;
    SelectObject(screenLike.dc, screenLike.bitmap);
    tilemap.drawTilemap(RECT{0, 0, 96, 64}, screenLike.dc);
    EXPECT_EQ(GetPixel(screenLike.dc, 16, 16), chipColour(50, 1));
    EXPECT_EQ(GetPixel(screenLike.dc, 95, 63), pixel(95, 63));
}

TEST_F(LevelTilemapTest, CellsFollowTheRectangleOffsetAndStopOneCellBeyondIt) {
    tilemap.initialize();
    load();
    draw(40, 0, 100, 64);
    EXPECT_EQ(pixel(0, 5), chipColour(1, 0)) << "cell 1 drawn from x = -8";
    EXPECT_EQ(pixel(23, 5), chipColour(1, 0));
    EXPECT_EQ(pixel(24, 5), chipColour(16, 0));
    EXPECT_EQ(pixel(55, 5), chipColour(16, 0));
    EXPECT_EQ(pixel(56, 5), kUntouched) << "the map ends at x 96";

    draw(0, 40, 96, 64);
    EXPECT_EQ(pixel(5, 0), chipColour(0, 1)) << "row 1 drawn from y = -8";
    EXPECT_EQ(pixel(5, 23), chipColour(0, 1));
    EXPECT_EQ(pixel(5, 24), kUntouched);

    // One column and one row past the rectangle, no more.
    draw(0, 0, 10, 10);
    EXPECT_EQ(pixel(40, 5), chipColour(1, 0));
    EXPECT_EQ(pixel(5, 40), chipColour(0, 1));
    EXPECT_EQ(pixel(70, 5), kUntouched);
}

TEST_F(LevelTilemapTest, HiddenModeIsBlackWithinViewAndMapAttributeModeDrawsNothing) {
    tilemap.initialize();
    load();
    ASSERT_TRUE(tilemap.handleCommand(IDM_VIEW_MAP_HIDDEN));
    // The null pen leaves the rectangle's last column and row out.
    draw(0, 0, 61, 300);
    EXPECT_EQ(pixel(0, 0), kBlack);
    EXPECT_EQ(pixel(59, 62), kBlack);
    EXPECT_EQ(pixel(61, 10), kUntouched);
    EXPECT_EQ(pixel(10, 64), kUntouched);

    draw(10, 10, 300, 300);
    EXPECT_EQ(pixel(94, 62), kBlack);
    EXPECT_EQ(pixel(96, 10), kUntouched);

    ASSERT_TRUE(tilemap.handleCommand(IDM_VIEW_MAP_ATTRIBUTES));
    draw(0, 0, 96, 64);
    for (const POINT at : {POINT{0, 0}, POINT{16, 16}, POINT{80, 48}})
        EXPECT_EQ(pixel(at.x, at.y), kUntouched);
}

TEST_F(LevelTilemapTest, MenuChecksFollowTheModeAndTheKeyCycle) {
    tilemap.initialize();
    EXPECT_EQ(tilemap.displayMode(), kTilemapGraphics) << "ShowTilemap defaults to 1";
    EXPECT_FALSE(checked(IDM_VIEW_MAP_HIDDEN));
    EXPECT_TRUE(checked(IDM_VIEW_MAP_GRAPHICS));

    for (const int expected : {2, 0, 1}) {
        ValidateRect(mapView, nullptr);
        ASSERT_TRUE(tilemap.handleCommand(IDM_VIEW_MAP_CYCLE));
        EXPECT_EQ(tilemap.displayMode(), expected);
        EXPECT_EQ(checked(IDM_VIEW_MAP_HIDDEN), expected == 0);
        EXPECT_EQ(checked(IDM_VIEW_MAP_GRAPHICS), expected == 1);
        EXPECT_EQ(checked(IDM_VIEW_MAP_ATTRIBUTES), expected == 2);
        EXPECT_TRUE(GetUpdateRect(mapView, nullptr, FALSE)) << "map view invalidated";
    }
    EXPECT_FALSE(tilemap.handleCommand(IDM_VIEW_SPRITES));
    EXPECT_EQ(tilemap.displayMode(), 1);
}

TEST_F(LevelTilemapTest, ModeOutsideTheMenuChecksNothingAndDrawsNothing) {
    appGlobals().config.writeInt(L"MapView", L"ShowTilemap", 5);
    tilemap.initialize();
    EXPECT_EQ(tilemap.displayMode(), 5);
    for (const int command : {IDM_VIEW_MAP_HIDDEN, IDM_VIEW_MAP_GRAPHICS, IDM_VIEW_MAP_ATTRIBUTES})
        EXPECT_FALSE(checked(command));
    load();
    draw(0, 0, 96, 64);
    EXPECT_EQ(pixel(16, 16), kUntouched);

    EXPECT_TRUE(tilemap.handleCommand(IDM_VIEW_MAP_CYCLE));
    EXPECT_EQ(tilemap.displayMode(), 5) << "the key m leaves an unknown mode alone";
    EXPECT_TRUE(tilemap.handleCommand(IDM_VIEW_MAP_ATTRIBUTES));
    EXPECT_EQ(tilemap.displayMode(), 2);
    EXPECT_TRUE(checked(IDM_VIEW_MAP_ATTRIBUTES));
}

TEST_F(LevelTilemapTest, SaveWritesShowTilemapAsDecimal) {
    tilemap.initialize();
    tilemap.handleCommand(IDM_VIEW_MAP_HIDDEN);
    tilemap.handleCommand(IDM_VIEW_MAP_ATTRIBUTES);
    tilemap.saveSettings();
    EXPECT_EQ(appGlobals().config.readString(L"MapView", L"ShowTilemap", L"", 16), L"2");
}

TEST_F(LevelTilemapTest, FailedDecompressionTellsTheUserAndKeepsThePreviousCells) {
    tilemap.initialize();
    load();
    const std::vector<std::uint16_t> cells = tilemap.data().rawTiles;
    const HBITMAP chips = tilemap.chipBitmap().bitmap;

    setRomByte(image, kBlockBank, kDataOffset + kCompressedHeadSize + kBlockHead, kRepeatLastByte);
    DialogAnswerer answerer;
    answerer.answerNext(IDOK);
    load();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, L"エラー");
    EXPECT_EQ(answerer.seen()[0].text, L"マップデータの展開に失敗しました。");
    EXPECT_FALSE(tilemap.loaded());
    EXPECT_EQ(tilemap.data().rawTiles, cells);
    EXPECT_EQ(tilemap.chipBitmap().bitmap, chips);

    draw(0, 0, 300, 300);
    EXPECT_EQ(pixel(16, 16), kBlack) << "a map that failed to expand shows as a black area";
}

TEST_F(LevelTilemapTest, MissingChipBitmapDrawsNoChipGraphics) {
    for (const std::string_view rominfo : {"[MapChip]\r\n2A=nothing.bmp\r\n", "[MapChip]\r\n2B=grass.bmp\r\n"}) {
        writeRominfo(rominfo);
        tilemap.initialize();
        load();
        ASSERT_TRUE(tilemap.loaded());
        EXPECT_TRUE(tilemap.chipBitmap().owned);
        EXPECT_NE(tilemap.chipBitmap().dc, nullptr);
        EXPECT_EQ(tilemap.chipBitmap().bitmap, nullptr);
        draw(0, 0, 96, 64);
        EXPECT_NE(pixel(16, 16), chipColour(50, 1));
    }
}

TEST_F(LevelTilemapTest, StagesOfTypeFourAndFiveHaveNoMapArea) {
    tilemap.initialize();
    load();
    for (const std::uint16_t type : {4, 5}) {
        header.stageType = type;
        load();
        EXPECT_FALSE(tilemap.loaded());
        EXPECT_EQ(tilemap.widthTiles(), 0);
        EXPECT_EQ(tilemap.heightTiles(), 0);
        draw(0, 0, 300, 300);
        EXPECT_EQ(pixel(0, 0), kUntouched);
    }
}

TEST_F(LevelTilemapTest, TerrainWithoutDataShowsEightByEightBlackCells) {
    sample::TerrainPlacement noData = terrainPlacement();
    noData.dataOffset = 0;
    sample::writeTerrain(image, noData, {});
    tilemap.initialize();
    load();
    EXPECT_FALSE(tilemap.loaded());
    EXPECT_TRUE(tilemap.rowMajor());
    EXPECT_EQ(tilemap.widthTiles(), 8);
    EXPECT_EQ(tilemap.heightTiles(), 8);
    EXPECT_EQ(tilemap.chipBitmap().owned, false) << "no chip bitmap is loaded";
    draw(0, 0, 300, 300);
    EXPECT_EQ(pixel(254, 254), kBlack);
    EXPECT_EQ(pixel(256, 10), kUntouched);
    EXPECT_EQ(pixel(10, 256), kUntouched);
}

TEST(BitmapBuffer, FailedCreateOwnsNothing) {
    HDC screen = GetDC(nullptr);
    BitmapBuffer buffer;
    ASSERT_TRUE(buffer.create(screen, 40, 30));
    EXPECT_TRUE(buffer.owned);
    BITMAP info{};
    GetObjectW(buffer.bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmHeight, 30);

    EXPECT_FALSE(buffer.create(screen, 0x8000000, 1));
    EXPECT_FALSE(buffer.owned) << "the previous bitmap was released first";
    EXPECT_EQ(buffer.dc, nullptr);
    ReleaseDC(nullptr, screen);
}

TEST(BitmapBuffer, PixelRowsStartAtTheTopRowWhatEverTheClip) {
    HDC screen = GetDC(nullptr);
    BitmapBuffer buffer;
    ASSERT_TRUE(buffer.create(screen, 40, 30));
    IntersectClipRect(buffer.dc, 10, 10, 40, 30); // (0, 0) lies outside
    const auto rows = pixelRowsOf(buffer.dc);
    ASSERT_TRUE(rows);
    DIBSECTION section{};
    GetObjectW(buffer.bitmap, sizeof section, &section);
    EXPECT_EQ(rows->first, section.dsBm.bmBits);
    EXPECT_EQ(rows->step, 40);
    RECT clip;
    EXPECT_EQ(GetClipBox(buffer.dc, &clip), SIMPLEREGION);
    EXPECT_EQ(clip.left, 10) << "the caller's clip is kept";
    ReleaseDC(nullptr, screen);
}

TEST(BitmapBuffer, UnreadableFileLeavesAnEmptyOwnedContext) {
    TempFolder folder;
    writeBytes(folder.file(L"broken.bmp"), bytesOf("BM not a bitmap"));
    HDC screen = GetDC(nullptr);
    BitmapBuffer buffer;
    buffer.loadFile(screen, folder.file(L"broken.bmp").c_str());
    EXPECT_TRUE(buffer.owned);
    EXPECT_NE(buffer.dc, nullptr);
    EXPECT_EQ(buffer.bitmap, nullptr);
    buffer.release();
    EXPECT_FALSE(buffer.owned);
    EXPECT_EQ(buffer.dc, nullptr);
    ReleaseDC(nullptr, screen);
}

} // namespace
} // namespace vexa
