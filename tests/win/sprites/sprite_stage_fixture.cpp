#include "sprite_stage_fixture.h"

#include "app/rom_image.h"
#include "resource_ids.h"
#include "stage/level_manager_win.h"

#include <algorithm>
#include <cstring>

namespace vexa::test {

namespace {

constexpr std::uint8_t kTerrain = 0x2A;
constexpr unsigned kHeader = 0x1000;
constexpr unsigned kStageData = 0x1100;
constexpr unsigned kInfoBank = 0x37;
constexpr unsigned kTerrainTable = 45083; // [Maps] MapABInfo default
constexpr unsigned kInfoOffset = 0x2000;
constexpr unsigned kBlockBank = 0x05;
constexpr unsigned kBlockOffset = 0x4000;
constexpr unsigned kBlockHead = 39;
constexpr std::uint16_t kRowMajorMapType = 6;
constexpr unsigned kEmptyList = 0x8000;

void put(Bytes& image, unsigned bank, unsigned offset, const Bytes& bytes) {
    for (const std::uint8_t byte : bytes)
        setRomByte(image, bank, offset++, byte);
}

// Literal runs of at most 15 bytes after the block head, then the end code.
Bytes compressedTiles() {
    Bytes raw;
    for (int row = 0; row < kMapHeightTiles; ++row)
        for (int column = 0; column < kMapWidthTiles; ++column)
            raw.insert(raw.end(), {row >= 9 ? Bytes::value_type(1) : Bytes::value_type(0), 0});
    Bytes block(kBlockHead, 0);
    for (std::size_t at = 0; at < raw.size(); at += 15) {
        const std::size_t count = std::min<std::size_t>(15, raw.size() - at);
        block.push_back(static_cast<std::uint8_t>(count));
        block.insert(block.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                     raw.begin() + static_cast<std::ptrdiff_t>(at + count));
    }
    block.push_back(0x00);
    return block;
}

// Two 32 x 32 chips side by side: sky, then ground.
Bytes chipSheet() {
    const int width = 64;
    const int height = 32;
    const int rowBytes = width * 3;
    BITMAPFILEHEADER head{};
    BITMAPINFOHEADER info{};
    head.bfType = 0x4D42;
    head.bfOffBits = sizeof head + sizeof info;
    head.bfSize = head.bfOffBits + rowBytes * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    Bytes file(head.bfSize, 0);
    std::memcpy(file.data(), &head, sizeof head);
    std::memcpy(file.data() + sizeof head, &info, sizeof info);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = x < 32 ? kSkyColour : kGroundColour;
            std::uint8_t* pixel = file.data() + head.bfOffBits + y * rowBytes + x * 3;
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
        }
    }
    return file;
}

void storeList(Bytes& image, int stage, unsigned start, const SpriteList& sprites) {
    setRomWord(image, kSpriteBank, 2 * static_cast<unsigned>(stage), static_cast<std::uint16_t>(start));
    writeSpriteList(image, sprites, start, 0x1000);
}

Bytes testImage() {
    Bytes image = titledImage();
    for (int stage = 0; stage < kDefaultSpriteLevelCount; ++stage) {
        setRomWord(image, kStageBank, 2 * static_cast<unsigned>(stage), kHeader);
        setRomWord(image, kSpriteBank, 2 * static_cast<unsigned>(stage), kEmptyList);
    }
    setRomWord(image, kStageBank, kHeader, 1);
    setRomWord(image, kStageBank, kHeader + 3, kStageData);
    setRomByte(image, kStageBank, kStageData + 8, kTerrain);

    setRomWord(image, kInfoBank, kTerrainTable + 4 * kTerrain, kInfoOffset);
    setRomWord(image, kInfoBank, kInfoOffset, kBlockOffset);
    setRomByte(image, kInfoBank, kInfoOffset + 2, 0xC5); // bank 0x05 through its upper mirror
    setRomWord(image, kInfoBank, kInfoOffset + 5, kMapWidthTiles * 32);
    setRomWord(image, kInfoBank, kInfoOffset + 7, kMapHeightTiles * 32);
    unsigned record = kInfoOffset + 9;
    for (const unsigned value : {0u, kMapWidthTiles * 32u, 0u, kMapHeightTiles * 32u, unsigned{kRowMajorMapType}}) {
        setRomWord(image, kInfoBank, record, static_cast<std::uint16_t>(value));
        record += 2;
    }
    put(image, kBlockBank, kBlockOffset + 9, compressedTiles());

    storeList(image, 37, kStage37List, SpriteList(stage37Sprites().begin(), stage37Sprites().end()));
    storeList(image, 38, kStage38List, {{40, 120, 0x02, 0x10}, {80, 140, 0x04, 0x11}});
    storeList(image, 39, kStage39List, {{10, 100, 0x02, 1}, {50, 100, 0x02, 2}, {90, 100, 0x02, 3}});
    // Stage 40's list bounds stage 39's to 34 bytes: one more sprite.
    storeList(image, 40, kStage39List + 34, {});
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
    writeBytes(editor.folder.file(L"chips\\grass.bmp"), chipSheet());
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
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
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
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        all.push_back(text);
    }
    return all;
}

int SpriteStageTest::lineSelection() {
    return static_cast<int>(SendDlgItemMessageW(page(), IDC_SPRITE_LIST, LB_GETCURSEL, 0, 0));
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
