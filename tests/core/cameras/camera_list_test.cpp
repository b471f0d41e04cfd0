#include "cameras/camera_list.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "app/rom_image.h"

namespace vexa {
namespace {

std::vector<std::uint8_t> blankImage() {
    return std::vector<std::uint8_t>(kRomSize, 0);
}

void putBytes(std::vector<std::uint8_t>& image, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        image[at++] = b;
}

void putTable(std::vector<std::uint8_t>& image, std::uint32_t location, std::initializer_list<std::uint16_t> words) {
    std::size_t at = location;
    for (std::uint16_t w : words) {
        image[at++] = static_cast<std::uint8_t>(w);
        image[at++] = static_cast<std::uint8_t>(w >> 8);
    }
}

CameraEntryBytes bytesAt(const std::vector<std::uint8_t>& image, std::size_t at) {
    return {image[at], image[at + 1], image[at + 2], image[at + 3], image[at + 4]};
}

// A camera given in tiles: l, t the first and r, b the last column and row inside.
CameraAllocData tiles(int l, int t, int r, int b) {
    return {l * 8, t * 8, r * 8 + 8, b * 8 + 8};
}

CameraAllocData withP1(CameraAllocData c) {
    c.p1 = true;
    return c;
}

CameraAllocData withP2(CameraAllocData c) {
    c.p2 = true;
    return c;
}

// Each field in turn at its largest value, the others at their least, and the bytes
// that the layout's table gives for it. Map types 7 and 9 share the layout of 6.
const struct FieldCase {
    std::uint16_t mapType;
    const char* what;
    CameraAllocData camera;
    CameraEntryBytes bytes;
} kFieldCases[] = {
    {0, "L", tiles(0x7FF, 0, 0, 0), {0xF0, 0x7F, 0, 0, 0}},
    {0, "T", tiles(0, 0x3F, 0, 0), {0, 0x80, 0x1F, 0, 0}},
    {0, "R", tiles(0, 0, 0x7FF, 0), {0, 0, 0xE0, 0xFF, 0}},
    {0, "B", tiles(0, 0, 0, 0x3F), {0, 0, 0, 0, 0x3F}},
    {0, "P1", withP1(tiles(0, 0, 0, 0)), {0, 0, 0, 0, 0x80}},
    {0, "P2", withP2(tiles(0, 0, 0, 0)), {0, 0, 0, 0, 0x40}},
    {1, "L", tiles(0x3FF, 0, 0, 0), {0xF0, 0x3F, 0, 0, 0}},
    {1, "T", tiles(0, 0x7F, 0, 0), {0, 0xC0, 0x1F, 0, 0}},
    {1, "R", tiles(0, 0, 0x3FF, 0), {0, 0, 0xE0, 0x7F, 0}},
    {1, "B", tiles(0, 0, 0, 0x7F), {0, 0, 0, 0x80, 0x3F}},
    {1, "P1", withP1(tiles(0, 0, 0, 0)), {0, 0, 0, 0, 0x80}},
    {1, "P2", withP2(tiles(0, 0, 0, 0)), {0, 0, 0, 0, 0x40}},
    {4, "L", tiles(0x7F, 0, 0, 0), {0xF0, 0x07, 0, 0, 0}},
    {4, "T", tiles(0, 0x3FF, 0, 0), {0, 0xF8, 0x1F, 0, 0}},
    {4, "R", tiles(0, 0, 0x7F, 0), {0, 0, 0xE0, 0x0F, 0}},
    {4, "B", tiles(0, 0, 0, 0x3FF), {0, 0, 0, 0xF0, 0x3F}},
    {4, "P1", withP1(tiles(0, 0, 0, 0)), {0, 0, 0, 0, 0x80}},
    {4, "P2", withP2(tiles(0, 0, 0, 0)), {0, 0, 0, 0, 0x40}},
    {6, "L", tiles(0x1FF, 0, 0x1FF + 15, 13), {0xF0, 0x1F, 0, 0, 0}},
    {6, "T", tiles(0, 0x1FF, 15, 0x1FF + 13), {0, 0xE0, 0x3F, 0, 0}},
    {6, "width", tiles(0, 0, 15 + 0xFF, 13), {0, 0, 0, 0xFF, 0}},
    {6, "height", tiles(0, 0, 15, 13 + 0xFF), {0, 0, 0, 0, 0xFF}},
    {6, "P1", withP1(tiles(0, 0, 15, 13)), {0, 0, 0x80, 0, 0}},
    {6, "P2", withP2(tiles(0, 0, 15, 13)), {0, 0, 0x40, 0, 0}},
    {8, "L", tiles(0xFFF, 0, 0xFFF + 15, 0), {0xF0, 0xFF, 0, 0, 0}},
    {8, "T", tiles(0, 0x3F, 15, 0), {0, 0, 0x3F, 0, 0}},
    {8, "width", tiles(0, 0, 15 + 0x3FF, 0), {0, 0, 0, 0xFF, 0x03}},
    {8, "B", tiles(0, 0, 15, 0x3F), {0, 0, 0, 0, 0xFC}},
    {8, "P1", withP1(tiles(0, 0, 15, 0)), {0, 0, 0x80, 0, 0}},
    {8, "P2", withP2(tiles(0, 0, 15, 0)), {0, 0, 0x40, 0, 0}},
};

constexpr std::uint16_t kMapTypesWithLayout[] = {0, 1, 4, 6, 7, 8, 9};
constexpr std::uint16_t kMapTypesWithoutLayout[] = {2, 3, 5, 10, 0x100, 0xFFFF};

TEST(CameraEntry, EachMapTypeStoresEveryFieldInItsOwnBits) {
    for (const FieldCase& field : kFieldCases) {
        SCOPED_TRACE(testing::Message() << "map type " << field.mapType << " field " << field.what);
        EXPECT_EQ(encodeCameraEntry(field.camera, field.mapType), field.bytes);
        EXPECT_EQ(decodeCameraEntry(field.bytes, field.mapType), field.camera);
        if (field.mapType == 6) {
            EXPECT_EQ(encodeCameraEntry(field.camera, 7), field.bytes);
            EXPECT_EQ(encodeCameraEntry(field.camera, 9), field.bytes);
        }
    }
}

TEST(CameraEntry, LinkFlagsSitInTheLowBitsOfByteZeroInEveryLayout) {
    for (std::uint16_t mapType : kMapTypesWithLayout) {
        SCOPED_TRACE(mapType);
        CameraAllocData camera = tiles(0, 0, 40, 40);
        camera.downLink = true;
        EXPECT_EQ((*encodeCameraEntry(camera, mapType))[0], 0x01);
        camera.downLink2 = true;
        EXPECT_EQ((*encodeCameraEntry(camera, mapType))[0], 0x03);
        camera.rightLink = true;
        EXPECT_EQ((*encodeCameraEntry(camera, mapType))[0], 0x07);
        camera.rightLink2 = true;
        camera.downLink = camera.downLink2 = camera.rightLink = false;
        EXPECT_EQ((*encodeCameraEntry(camera, mapType))[0], 0x08);
    }
}

TEST(CameraEntry, EncodingADecodedEntryGivesEveryByteBack) {
    std::uint32_t seed = 12345;
    for (std::uint16_t mapType : kMapTypesWithLayout) {
        for (int n = 0; n < 2000; ++n) {
            CameraEntryBytes bytes;
            for (auto& b : bytes) {
                seed = seed * 1103515245u + 12345u;
                b = static_cast<std::uint8_t>(seed >> 16);
            }
            ASSERT_EQ(encodeCameraEntry(decodeCameraEntry(bytes, mapType), mapType), bytes) << "map type " << mapType;
        }
    }
}

TEST(CameraEntry, DecodeOfEncodeGivesTheValueBackAtEveryExtreme) {
    // Largest tile values per layout; a far edge stored as a size is given by that size.
    const struct {
        std::uint16_t mapType;
        int maxL, maxT, maxR, maxB;
        bool rightIsWidth, bottomIsHeight;
    } layouts[] = {
        {0, 0x7FF, 0x3F, 0x7FF, 0x3F, false, false}, {1, 0x3FF, 0x7F, 0x3FF, 0x7F, false, false},
        {4, 0x7F, 0x3FF, 0x7F, 0x3FF, false, false}, {6, 0x1FF, 0x1FF, 0xFF, 0xFF, true, true},
        {7, 0x1FF, 0x1FF, 0xFF, 0xFF, true, true},   {9, 0x1FF, 0x1FF, 0xFF, 0xFF, true, true},
        {8, 0xFFF, 0x3F, 0x3FF, 0x3F, true, false},
    };
    for (const auto& layout : layouts) {
        for (int l : {0, 1, layout.maxL}) {
            for (int t : {0, 1, layout.maxT}) {
                for (int r : {0, 1, layout.maxR}) {
                    for (int b : {0, 1, layout.maxB}) {
                        for (int flags = 0; flags < 64; flags += 21) {
                            CameraAllocData camera = tiles(l, t, layout.rightIsWidth ? l + 15 + r : r,
                                                           layout.bottomIsHeight ? t + 13 + b : b);
                            camera.rightLink = flags & 1;
                            camera.rightLink2 = flags & 2;
                            camera.downLink = flags & 4;
                            camera.downLink2 = flags & 8;
                            camera.p1 = flags & 16;
                            camera.p2 = flags & 32;
                            const auto bytes = encodeCameraEntry(camera, layout.mapType);
                            ASSERT_TRUE(bytes);
                            EXPECT_EQ(decodeCameraEntry(*bytes, layout.mapType), camera)
                                << "map type " << layout.mapType << " tiles " << l << ", " << t << ", " << r << ", "
                                << b << " flags " << flags;
                        }
                    }
                }
            }
        }
    }
}

TEST(CameraEntry, MapTypeWithoutLayoutDecodesOnlyTheLinkFlagsAndIsNeverWritten) {
    auto image = blankImage();
    putBytes(image, 0x200000, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    CameraAllocData linksOnly;
    linksOnly.rightLink = linksOnly.rightLink2 = linksOnly.downLink = linksOnly.downLink2 = true;
    for (std::uint16_t mapType : kMapTypesWithoutLayout) {
        SCOPED_TRACE(mapType);
        EXPECT_EQ(readCameraEntry(image, 0x20, 0, mapType), linksOnly);
        EXPECT_FALSE(encodeCameraEntry(tiles(1, 2, 30, 20), mapType));
        EXPECT_FALSE(writeCameraEntry(image, 0x20, 0, tiles(1, 2, 30, 20), mapType));
        EXPECT_EQ(bytesAt(image, 0x200000), (CameraEntryBytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

        CameraAllocData typed{13, 21, 100, 61};
        maskCameraRectangle(typed, mapType);
        EXPECT_EQ(typed, (CameraAllocData{8, 16, 96, 56}));
    }
}

TEST(CameraMask, SizeLayoutRaisesANarrowCameraTo16TilesWide) {
    EXPECT_EQ(decodeCameraEntry({0, 0, 0, 0, 0}, 6), (CameraAllocData{0, 0, 128, 112}));
    CameraAllocData typed{0, 0, 64, 112};
    maskCameraRectangle(typed, 6);
    EXPECT_EQ(typed.right, 128);

    CameraAllocData backwards{800, 0, 100, 400};
    maskCameraRectangle(backwards, 6);
    EXPECT_EQ(backwards.left, 800);
    EXPECT_EQ(backwards.right, 928);
}

TEST(CameraMask, CornerLayoutRoundsTheRightEdgeDownToATile) {
    CameraAllocData typed{0, 0, 100, 224};
    maskCameraRectangle(typed, 0);
    EXPECT_EQ(typed.right, 96);
}

TEST(CameraMask, Layout8HoldsA1040TileWideCameraToItsWidestSize) {
    CameraAllocData typed = tiles(0, 0, 1039, 10);
    maskCameraRectangle(typed, 8);
    EXPECT_EQ(typed, tiles(0, 0, 1023 + 15, 10));
}

TEST(CameraMask, SizeIsTakenBeforeTheLeftEdgeIsHeld) {
    CameraAllocData typed = tiles(0x203, 0x205, 0x203 + 20, 0x205 + 30);
    maskCameraRectangle(typed, 9);
    EXPECT_EQ(typed, tiles(0x1FF, 0x1FF, 0x1FF + 20, 0x1FF + 30));
    CameraAllocData pastLeft = tiles(-3, -1, -3 + 20, -1 + 30);
    maskCameraRectangle(pastLeft, 9);
    EXPECT_EQ(pastLeft, tiles(0, 0, 20, 30)) << "a moved camera keeps its size at the edge";
}

TEST(CameraMask, EachMapTypeHoldsEdgesFromZeroToWhatItsFieldsHold) {
    const struct {
        std::uint16_t mapType;
        CameraAllocData high; // every value typed far too large
    } cases[] = {
        {0, {16376, 504, 16384, 512}}, {1, {8184, 1016, 8192, 1024}}, {4, {1016, 8184, 1024, 8192}},
        {6, {4088, 4088, 6256, 6240}}, {7, {4088, 4088, 6256, 6240}}, {9, {4088, 4088, 6256, 6240}},
        {8, {32760, 504, 41072, 512}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mapType);
        CameraAllocData low{-8, -8, -64, -64};
        maskCameraRectangle(low, c.mapType);
        EXPECT_EQ(low.left, 0);
        EXPECT_EQ(low.top, 0);
        EXPECT_GE(low.right, 8) << "a far edge stops at its first tile";
        EXPECT_GE(low.bottom, 8);
        CameraAllocData high{100000, 100000, 400000, 400000};
        maskCameraRectangle(high, c.mapType);
        EXPECT_EQ(high, c.high);
        // A held rectangle is exactly what the entry stores.
        for (const CameraAllocData& camera : {low, high}) {
            const auto bytes = encodeCameraEntry(camera, c.mapType);
            ASSERT_TRUE(bytes);
            EXPECT_EQ(decodeCameraEntry(*bytes, c.mapType), camera);
        }
    }
}

TEST(CameraList, StageListIsFoundThroughTheDefaultTable) {
    auto image = blankImage();
    putTable(image, 0x3DC20C, {0x0006, 0x0006, 0x0011});
    // Stage 1: 11 bytes, two whole cameras.
    putBytes(image, 0x3DC212, {0x05, 0x00, 0xE0, 0x03, 0x1B, 0x00, 0x00, 0x00, 0x00, 0x00});

    LevelCamerasData data;
    readStageCameras(image, kDefaultCameraLevels, 0, 0, data);
    EXPECT_TRUE(data.cameras.empty());

    readStageCameras(image, kDefaultCameraLevels, 1, 0, data);
    EXPECT_EQ(data.stageNumber, 1);
    ASSERT_EQ(data.cameras.size(), 2u);
    EXPECT_EQ(data.cameras.front(), (CameraAllocData{0, 0, 256, 224, true, false, true}));
    EXPECT_EQ(data.cameras.back(), tiles(0, 0, 0, 0));
}

TEST(CameraList, EntryAtTheBankEndWrapsWithinTheBank) {
    auto image = blankImage();
    putTable(image, 0x10FFF0, {0x000D, 0x0012}); // one camera at 0xFFFD
    putBytes(image, 0x10FFFD, {0x05, 0x00, 0xE0});
    putBytes(image, 0x100000, {0x03, 0x1B});
    putBytes(image, 0x110000, {0xEE, 0xEE});

    LevelCamerasData data;
    readStageCameras(image, 0x10FFF0, 0, 0, data);
    ASSERT_EQ(data.cameras.size(), 1u);
    EXPECT_EQ(data.cameras.front(), (CameraAllocData{0, 0, 256, 224, true, false, true}));

    ASSERT_TRUE(writeCameraSlot(image, 0x10FFF0, 0, 0, tiles(1, 2, 0x7FF, 0x3F), 0));
    EXPECT_EQ(image[0x10FFFD], 0x10);
    EXPECT_EQ(image[0x10FFFE], 0x00);
    EXPECT_EQ(image[0x10FFFF], 0xE1);
    EXPECT_EQ(image[0x100000], 0xFF);
    EXPECT_EQ(image[0x100001], 0x3F);
    EXPECT_EQ(image[0x110000], 0xEE);
    EXPECT_EQ(image[0x110001], 0xEE);
}

TEST(CameraList, EntryThatWouldPassTheImageEndIsNeitherReadNorWritten) {
    auto image = blankImage();
    putTable(image, 0x3FFFF0, {0x000C, 0x0016}); // cameras at 0xFFFC and, wrapped, 0x0001
    putBytes(image, 0x3FFFFC, {0x05, 0x00, 0xE0, 0x03});
    putBytes(image, 0x3F0000, {0x1B, 0x05, 0x00, 0xE0, 0x03, 0x1B});

    LevelCamerasData data;
    readStageCameras(image, 0x3FFFF0, 0, 0, data);
    ASSERT_EQ(data.cameras.size(), 2u);
    EXPECT_EQ(data.cameras.front(), CameraAllocData{});
    EXPECT_EQ(data.cameras.back(), (CameraAllocData{0, 0, 256, 224, true, false, true}));

    EXPECT_FALSE(writeCameraSlot(image, 0x3FFFF0, 0, 0, tiles(1, 1, 1, 1), 0));
    EXPECT_EQ(bytesAt(image, 0x3FFFFB), (CameraEntryBytes{0x00, 0x05, 0x00, 0xE0, 0x03}));
    EXPECT_EQ(image[0x3F0000], 0x1B);
    EXPECT_EQ(writeCameraList(image, 0x3FFFF0, 0, {tiles(1, 1, 1, 1), tiles(0, 0, 0, 0)}, 0), 1);
    EXPECT_EQ(bytesAt(image, 0x3F0001), (CameraEntryBytes{0, 0, 0, 0, 0}));
}

TEST(CameraList, WriteListStopsAtTheSlotCount) {
    auto image = blankImage();
    putTable(image, 0x120000, {0x0004, 0x000E});
    putBytes(image, 0x12000E, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
    const CameraList cameras{tiles(1, 0, 0, 0), tiles(2, 0, 0, 0), tiles(3, 0, 0, 0)};
    EXPECT_EQ(writeCameraList(image, 0x120000, 0, cameras, 0), 2);
    EXPECT_EQ(bytesAt(image, 0x120004), (CameraEntryBytes{0x10, 0, 0, 0, 0}));
    EXPECT_EQ(bytesAt(image, 0x120009), (CameraEntryBytes{0x20, 0, 0, 0, 0}));
    EXPECT_EQ(bytesAt(image, 0x12000E), (CameraEntryBytes{0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));

    EXPECT_FALSE(writeCameraSlot(image, 0x120000, 0, 2, tiles(3, 0, 0, 0), 0));
    EXPECT_EQ(bytesAt(image, 0x12000E), (CameraEntryBytes{0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}

} // namespace
} // namespace vexa
