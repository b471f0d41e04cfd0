#include "app/hostile_stage_image.h"

#include "app/rom_image.h"
#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"
#include "stage/map_compress.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "support/editor_session.h"

#include <windows.h>

#include <cstring>

namespace vexa::test {

namespace {

constexpr unsigned kHeader = 0x1000;
constexpr unsigned kStageData = 0x1100;
constexpr unsigned kInfoOffset = 0x2000;
constexpr unsigned kBlockBank = 0x05;
constexpr unsigned kBlockOffset = 0x4000;
constexpr unsigned kSpriteList = 0x3000;
constexpr std::uint16_t kBananaListAt = 0x400; // relative to the banana table
constexpr std::uint16_t kCameraListAt = 0x400; // relative to the camera table

void putWords(std::vector<std::uint8_t>& image, unsigned bank, unsigned offset, std::initializer_list<unsigned> words) {
    for (unsigned word : words) {
        setRomWord(image, bank, offset, static_cast<std::uint16_t>(word));
        offset += 2;
    }
}

void putTerrain(std::vector<std::uint8_t>& image) {
    const auto tableBank = static_cast<unsigned>(kDefaultMapInfoBank);
    const auto table = static_cast<unsigned>(kDefaultMapABInfo);
    setRomWord(image, tableBank, table + 4 * kHostileTerrain, kInfoOffset);
    putWords(image, tableBank, kInfoOffset, {kBlockOffset, 0});
    setRomByte(image, tableBank, kInfoOffset + 2, 0xC0 | kBlockBank);
    putWords(image, tableBank, kInfoOffset + 5, {kHostileMapWidth * 32, kHostileMapHeight * 32});
    putWords(image, tableBank, kInfoOffset + 9, {0, kHostileMapWidth * 32, 0, kHostileMapHeight * 32, 0});
    std::vector<std::uint8_t> tiles;
    for (int cell = 0; cell < kHostileMapWidth * kHostileMapHeight; ++cell)
        tiles.insert(tiles.end(), {static_cast<std::uint8_t>(cell % 3), 0});
    const auto block = compressMapData(tiles);
    std::memcpy(&image[imageOffset(kBlockBank, kBlockOffset + 9)], block.data(), block.size());
}

void putObjects(std::vector<std::uint8_t>& image) {
    for (int stage = 0; stage < kDefaultSpriteLevelCount; ++stage)
        setRomWord(image, kSpriteBank, 2 * static_cast<unsigned>(stage), 0x8000);
    setRomWord(image, kSpriteBank, 2 * kHostileStage, kSpriteList);
    writeSpriteList(image, {{100, 150, 0x02, 1}, {200, 160, 0x04, 2}}, kSpriteList, 0x100);

    // Every stage up to 37 starts its banana list at the same place; 38 and later two
    // entries further, so stage 37 has two and every other stage none.
    const RomLocation bananas = romLocationOf(kDefaultBananaLevels);
    for (int stage = 0; stage < 256; ++stage)
        setRomWord(image, bananas.bank, bananas.offset + 2u * stage, kBananaListAt + (stage > kHostileStage ? 8 : 0));
    writeBananaList(image, kDefaultBananaLevels, kHostileStage, {{64, 64, true, false, 1}, {128, 96, false, true, 1}},
                    0);
    const RomLocation sets = romLocationOf(kDefaultBananaSets);
    setRomWord(image, sets.bank, sets.offset + 2, 0x40);
    putWords(image, sets.bank, sets.offset + 0x40, {0x0302, 0x3F});

    const RomLocation cameras = romLocationOf(kDefaultCameraLevels);
    for (int stage = 0; stage < 256; ++stage)
        setRomWord(image, cameras.bank, cameras.offset + 2u * stage, kCameraListAt + (stage > kHostileStage ? 5 : 0));
    writeCameraList(image, kDefaultCameraLevels, kHostileStage, {{0, 0, 256, 224}}, 0);
}

} // namespace

std::vector<std::uint8_t> hostileStageImage() {
    std::vector<std::uint8_t> image = titledImage();
    for (int stage = 0; stage < 256; ++stage)
        setRomWord(image, kStageBank, 2 * static_cast<unsigned>(stage), kHeader);
    putWords(image, kStageBank, kHeader, {1});
    setRomWord(image, kStageBank, kHeader + 3, kStageData);
    setRomByte(image, kStageBank, kStageData + 8, kHostileTerrain);
    putTerrain(image);
    putObjects(image);
    return image;
}

std::vector<std::uint8_t> plainBitmapFile(int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER head{};
    BITMAPINFOHEADER info{};
    head.bfType = 0x4D42;
    head.bfOffBits = sizeof head + sizeof info;
    head.bfSize = head.bfOffBits + static_cast<DWORD>(rowBytes * height);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<std::uint8_t> file(head.bfSize, 0x80);
    std::memcpy(file.data(), &head, sizeof head);
    std::memcpy(file.data() + sizeof head, &info, sizeof info);
    return file;
}

} // namespace vexa::test
