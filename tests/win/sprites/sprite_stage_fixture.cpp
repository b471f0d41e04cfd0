#include "sprite_stage_fixture.h"

#include "app/rom_image.h"
#include "resources/resource_ids.h"
#include "stage/view/level_manager_win.h"
#include "tools/sample_game/bmp_file.h"
#include "tools/sample_game/rom_blocks.h"

namespace vexa::test {

namespace {

constexpr std::uint8_t kTerrain = 0x2A;
constexpr unsigned kHeader = 0x1000;
constexpr std::uint16_t kStageData = 0x1100;
constexpr std::uint16_t kRowMajorMapType = 6;
constexpr unsigned kEmptyList = 0x8000;

sample::Rgb rgb(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

// Sky over three rows of ground, row by row.
std::vector<std::uint16_t> groundCells() {
    std::vector<std::uint16_t> cells;
    for (int row = 0; row < kMapHeightTiles; ++row)
        cells.insert(cells.end(), kMapWidthTiles, row >= 9 ? 1 : 0);
    return cells;
}

Bytes testImage() {
    Bytes image = titledImage();
    for (int stage = 0; stage < kDefaultSpriteLevelCount; ++stage) {
        sample::writeStageTableEntry(image, stage, kHeader);
        sample::writeSpritePointer(image, stage, kEmptyList);
    }
    sample::writeStageHeader(image, kHeader, {1, kStageData, 0});
    sample::writeStageTerrain(image, kStageData, kTerrain);
    sample::TerrainPlacement terrain;
    terrain.number = kTerrain;
    terrain.recordOffset = 0x2000;
    terrain.dataBank = 0x05;
    terrain.dataOffset = 0x4000;
    terrain.width = kMapWidthTiles;
    terrain.height = kMapHeightTiles;
    terrain.sections = {{0, kMapWidthTiles, 0, kMapHeightTiles, kRowMajorMapType}};
    sample::writeTerrain(image, terrain, sample::compressTerrain(groundCells(), kTerrain));

    sample::writeStageSpriteList(image, 37, kStage37List, {stage37Sprites().begin(), stage37Sprites().end()});
    sample::writeStageSpriteList(image, 38, kStage38List, {{40, 120, 0x02, 0x10}, {80, 140, 0x04, 0x11}});
    sample::writeStageSpriteList(image, 39, kStage39List, {{10, 100, 0x02, 1}, {50, 100, 0x02, 2}, {90, 100, 0x02, 3}});
    // Stage 40's list bounds stage 39's to 34 bytes: one more sprite.
    sample::writeStageSpriteList(image, 40, kStage39List + 34, {});
    return image;
}

} // namespace

const std::vector<SpriteAllocData>& stage37Sprites() {
    static const std::vector<SpriteAllocData> sprites{
        {100, 200, 0x12, 0x0001}, {300, 250, 0x02, 0x0002}, {310, 240, 0x04, 0x0003}, {1200, 300, 0x06, 0x0004}};
    return sprites;
}

void SpriteStageTest::SetUp() {
    CreateDirectoryW(editor.folder.file(L"chips").c_str(), nullptr);
    // Two chips side by side: sky, then ground.
    const sample::Rgb chips[] = {rgb(kSkyColour), rgb(kGroundColour)};
    writeBytes(editor.folder.file(L"chips\\grass.bmp"), sample::flatChipBitmap(2, 1, chips));
    editor.writeSetting(L"rominfo.ini", "[MapChip]\r\n2A=grass.bmp\r\n");
    editor.writeSetting(L"sprites.ini",
                        "\xEF\xBB\xBF[SpriteName]\r\n0002=ゴブリン\r\n0004=スライム\r\n0006=コウモリ\r\n"
                        "0012=ペンギン\r\n");
    const std::wstring path = editor.writeRom(L"sprites.smc", testImage());
    ASSERT_TRUE(editor.start(L"\"" + path + L"\""));
    ASSERT_TRUE(editor.project->document.loaded);
    MoveWindow(editor.project->hwnd, 300, 0, 660, 480, TRUE);
    pumpMessages();
    ASSERT_EQ(levels().stageNumber, 37);
}

Bytes SpriteStageTest::bytes(unsigned offset, std::size_t count) {
    Bytes out;
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(romByte(image(), kSpriteBank, offset + static_cast<unsigned>(i)));
    return out;
}

std::vector<SpriteAllocData> SpriteStageTest::spriteList() {
    return {sprites().sprites().sprites.begin(), sprites().sprites().sprites.end()};
}

SpriteList SpriteStageTest::storedList(int stage) {
    SpriteList stored;
    readSpriteList(image(), spriteListStart(image(), stage), stored);
    return stored;
}

void SpriteStageTest::selectLine(int index) {
    const HWND list = GetDlgItem(page(), IDC_SPRITE_LIST);
    selectListLines(list, {index});
    SendMessageW(page(), WM_COMMAND, MAKEWPARAM(IDC_SPRITE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    pumpMessages();
}

void SpriteStageTest::doubleClickLine(int index) {
    selectLine(index);
    const HWND list = GetDlgItem(page(), IDC_SPRITE_LIST);
    SendMessageW(page(), WM_COMMAND, MAKEWPARAM(IDC_SPRITE_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    pumpMessages();
}

void SpriteStageTest::press(int id) {
    SendMessageW(page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page(), id)));
    pumpMessages();
}

void SpriteStageTest::type(int id, const std::wstring& text) {
    SetDlgItemTextW(page(), id, text.c_str());
    pumpMessages();
}

void SpriteStageTest::typeSprite(const wchar_t* parameter, const wchar_t* x, const wchar_t* y, const wchar_t* t) {
    type(IDC_SPRITE_PARAMETER, parameter);
    type(IDC_SPRITE_X, x);
    type(IDC_SPRITE_Y, y);
    type(IDC_SPRITE_TYPE, t);
}

std::wstring SpriteStageTest::field(int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(page(), id, text, 512);
    return text;
}

std::vector<std::wstring> SpriteStageTest::lines() {
    const HWND list = GetDlgItem(page(), IDC_SPRITE_LIST);
    std::vector<std::wstring> all;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        all.push_back(listBoxText(list, i));
    return all;
}

int SpriteStageTest::lineSelection() {
    return listSelection(GetDlgItem(page(), IDC_SPRITE_LIST));
}

void SpriteStageTest::openStage(int stage) {
    levels().stageNumber = stage;
    levels().loadCurrentStage();
    pumpMessages();
}

void SpriteStageTest::mouse(UINT message, int x, int y) {
    SendMessageW(mapView(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    pumpMessages();
}

void SpriteStageTest::click(int x, int y) {
    mouse(WM_LBUTTONDOWN, x, y);
    mouse(WM_LBUTTONUP, x, y);
}

void SpriteStageTest::drag(POINT from, POINT to) {
    mouse(WM_LBUTTONDOWN, from.x, from.y);
    mouse(WM_MOUSEMOVE, (from.x + to.x) / 2, (from.y + to.y) / 2);
    mouse(WM_MOUSEMOVE, to.x, to.y);
    mouse(WM_LBUTTONUP, to.x, to.y);
}

} // namespace vexa::test
