#include "terrain/terrain_fixture.h"

#include "app/rom_image.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "stage/map_keys_helpers.h"
#include "stage/map_zoom.h"
#include "tools/sample_game/sample_game.h"
#include "ui/clipboard_win.h"

#include <cstdio>

namespace vexa::test {

namespace {

// Built once: the game is the same every time and takes a while to draw.
const SampleGame& sampleGame() {
    static const SampleGame game = buildSampleGame();
    return game;
}

std::string withFreeSpace(std::string ini, const std::string& body) {
    const std::string heading = "[FreeSpace]\r\n";
    const std::size_t start = ini.find(heading) + heading.size();
    const std::size_t next = ini.find("\r\n[", start);
    return ini.replace(start, next == std::string::npos ? std::string::npos : next + 2 - start, body);
}

} // namespace

void TerrainTest::SetUp() {
    SampleGame game = sampleGame();
    if (!freeSpace().empty()) game.romInfoIni = withFreeSpace(game.romInfoIni, freeSpace());
    ASSERT_TRUE(writeSampleGame(game, editor.folder.path(), {}));
    romPath = editor.folder.file(L"sample.smc");
    ASSERT_TRUE(editor.start(L"\"" + romPath + L"\""));
    ASSERT_TRUE(editor.project->document.loaded);
    MoveWindow(editor.project->hwnd, 0, 0, 900, 700, TRUE);
    pumpMessages();
    ASSERT_EQ(levels().stageNumber, kSampleStage);
    opened = decoded(image(), kSampleStage);
    ASSERT_TRUE(opened.loaded);
    pointAt(std::nullopt);
}

std::wstring TerrainTest::field(int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(page(), id, text, 512);
    return text;
}

std::vector<std::wstring> TerrainTest::messages() {
    std::vector<std::wstring> texts;
    for (const SeenDialog& seen : editor.dialogs.seen())
        texts.push_back(seen.text);
    return texts;
}

void TerrainTest::enterTerrainMode() {
    editor.command(IDM_EDIT_TERRAIN);
    ASSERT_TRUE(levels().inTerrainMode());
}

void TerrainTest::press(int button) {
    SendDlgItemMessageW(page(), button, BM_CLICK, 0, 0);
    pumpMessages();
}

void TerrainTest::typeWord(const std::wstring& text) {
    const HWND word = GetDlgItem(page(), IDC_TERRAIN_WORD);
    SetFocus(word);
    SetWindowTextW(word, text.c_str());
    // Enter reaches the page as the message loop offers it every key.
    MSG enter{word, WM_KEYDOWN, VK_RETURN, 0};
    levels().isPageMessage(&enter);
    pumpMessages();
}

void TerrainTest::zoomTo(int command) {
    editor.command(command);
    levels().scrollTo({0, 0});
    pumpMessages();
}

POINT TerrainTest::clientOf(CellPoint cell) {
    const int zoom = levels().zoomPercent();
    const POINT scroll = levels().scrollPosition();
    return {static_cast<LONG>(mapToView(cell.column * kTileSize + kTileSize / 2, zoom)) - scroll.x,
            static_cast<LONG>(mapToView(cell.row * kTileSize + kTileSize / 2, zoom)) - scroll.y};
}

void TerrainTest::mouse(UINT message, CellPoint cell) {
    const WPARAM keys = message == WM_LBUTTONDOWN || message == WM_MOUSEMOVE ? MK_LBUTTON
                        : message == WM_RBUTTONDOWN                          ? MK_RBUTTON
                                                                             : 0;
    const POINT at = clientOf(cell);
    SendMessageW(mapView(), message, keys, MAKELPARAM(at.x, at.y));
    pumpMessages();
}

void TerrainTest::drag(CellPoint from, CellPoint to) {
    mouse(WM_LBUTTONDOWN, from);
    mouse(WM_MOUSEMOVE, to);
    mouse(WM_LBUTTONUP, to);
}

void TerrainTest::key(WPARAM code, int modifiers) {
    pressMapKey(mapView(), code, modifiers);
}

void TerrainTest::pointAt(std::optional<CellPoint> cell) {
    POINT at{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2};
    if (cell) {
        at = clientOf(*cell);
        ClientToScreen(mapView(), &at);
    }
    placePointer(at);
}

TilemapData TerrainTest::decoded(std::span<const std::uint8_t> bytes, int stage) {
    TilemapData map;
    loadTilemapData(bytes, readStageHeaderOfStage(bytes, stage), romInfo().mapTables(), map);
    return map;
}

TerrainCells TerrainTest::cellsOf(const TilemapData& map) {
    return copyCells(map, {0, 0, map.widthTiles - 1, map.heightTiles - 1});
}

TerrainCells TerrainTest::savedCells() {
    editor.command(IDM_FILE_SAVE);
    Bytes saved;
    RomLayout layout;
    EXPECT_EQ(decodeRomFile(readBytes(romPath), kDefaultCartName, saved, layout), RomFileStatus::Ok);
    return cellsOf(decoded(saved, kSampleStage));
}

std::uint16_t cellWord(const TerrainCells& cells, CellPoint at) {
    return cells.words[static_cast<std::size_t>(at.row * cells.width + at.column)];
}

void setCell(TerrainCells& cells, CellPoint at, std::uint16_t word) {
    cells.words[static_cast<std::size_t>(at.row * cells.width + at.column)] = word;
}

std::string differences(const TerrainCells& from, const TerrainCells& to) {
    if (from.width != to.width || from.height != to.height) return "the sections differ in size";
    std::string text;
    int count = 0;
    for (std::size_t i = 0; i < from.words.size(); ++i) {
        if (from.words[i] == to.words[i]) continue;
        if (++count > 8) return text + " ...";
        char line[48];
        std::snprintf(line, sizeof line, "(%d, %d) %04X -> %04X ", static_cast<int>(i) % from.width,
                      static_cast<int>(i) / from.width, from.words[i], to.words[i]);
        text += line;
    }
    return text;
}

void putText(const std::wstring& text) {
    vexa::putOnClipboard(nullptr, {}, text);
}

} // namespace vexa::test
