#include "cameras/camera_list.h"

#include <algorithm>

#include "app/rom_image.h"
#include "stage/object_layout.h"

namespace vexa {

namespace {

constexpr std::uint32_t lowBits(unsigned count) {
    return (1u << count) - 1u;
}

// `width` bits of a tile value, from its bit `valueShift` up, stored in entry byte
// `byte` from bit `shift` up.
struct BitPiece {
    unsigned byte;
    unsigned shift;
    unsigned width;
    unsigned valueShift;
};

// One tile value of an entry, split over at most two bytes.
struct TileField {
    BitPiece low;
    BitPiece high{0, 0, 0, 0};

    unsigned bits() const { return low.width + high.width; }

    std::uint32_t read(const CameraEntryBytes& bytes) const {
        std::uint32_t value = 0;
        for (const BitPiece& piece : {low, high})
            value |= ((bytes[piece.byte] >> piece.shift) & lowBits(piece.width)) << piece.valueShift;
        return value;
    }

    // Keeps only the field's bits of `value`: two's complement makes a negative size
    // wrap modulo the field, as the game stores it.
    void write(CameraEntryBytes& bytes, std::int32_t value) const {
        const auto raw = static_cast<std::uint32_t>(value);
        for (const BitPiece& piece : {low, high})
            bytes[piece.byte] |=
                static_cast<std::uint8_t>(((raw >> piece.valueShift) & lowBits(piece.width)) << piece.shift);
    }
};

struct CameraLayout {
    TileField left;
    TileField top;
    TileField right;  // the width less kCameraWidthBias where rightIsWidth
    TileField bottom; // the height less kCameraHeightBias where bottomIsHeight
    bool rightIsWidth;
    bool bottomIsHeight;
    unsigned flagByte; // P1 in bit 7, P2 in bit 6
};

// Byte 0 is the same in every layout: the link flags and the low four bits of L.
constexpr BitPiece kLeftLow{0, 4, 4, 0};
constexpr std::uint8_t kDownLinkBit = 0x01;
constexpr std::uint8_t kDownLink2Bit = 0x02;
constexpr std::uint8_t kRightLinkBit = 0x04;
constexpr std::uint8_t kRightLink2Bit = 0x08;
constexpr std::uint8_t kP2Bit = 0x40;
constexpr std::uint8_t kP1Bit = 0x80;

// Pieces are {byte, first bit in the byte, bit count, first bit of the value}.
constexpr CameraLayout kLayout0{.left = {kLeftLow, {1, 0, 7, 4}},
                                .top = {{1, 7, 1, 0}, {2, 0, 5, 1}},
                                .right = {{2, 5, 3, 0}, {3, 0, 8, 3}},
                                .bottom = {{4, 0, 6, 0}},
                                .rightIsWidth = false,
                                .bottomIsHeight = false,
                                .flagByte = 4};
constexpr CameraLayout kLayout1{.left = {kLeftLow, {1, 0, 6, 4}},
                                .top = {{1, 6, 2, 0}, {2, 0, 5, 2}},
                                .right = {{2, 5, 3, 0}, {3, 0, 7, 3}},
                                .bottom = {{3, 7, 1, 0}, {4, 0, 6, 1}},
                                .rightIsWidth = false,
                                .bottomIsHeight = false,
                                .flagByte = 4};
constexpr CameraLayout kLayout4{.left = {kLeftLow, {1, 0, 3, 4}},
                                .top = {{1, 3, 5, 0}, {2, 0, 5, 5}},
                                .right = {{2, 5, 3, 0}, {3, 0, 4, 3}},
                                .bottom = {{3, 4, 4, 0}, {4, 0, 6, 4}},
                                .rightIsWidth = false,
                                .bottomIsHeight = false,
                                .flagByte = 4};
constexpr CameraLayout kLayout679{.left = {kLeftLow, {1, 0, 5, 4}},
                                  .top = {{1, 5, 3, 0}, {2, 0, 6, 3}},
                                  .right = {{3, 0, 8, 0}},
                                  .bottom = {{4, 0, 8, 0}},
                                  .rightIsWidth = true,
                                  .bottomIsHeight = true,
                                  .flagByte = 2};
constexpr CameraLayout kLayout8{.left = {kLeftLow, {1, 0, 8, 4}},
                                .top = {{2, 0, 6, 0}},
                                .right = {{3, 0, 8, 0}, {4, 0, 2, 8}},
                                .bottom = {{4, 2, 6, 0}},
                                .rightIsWidth = true,
                                .bottomIsHeight = false,
                                .flagByte = 2};

const CameraLayout* cameraLayoutOf(std::uint16_t mapType) {
    switch (objectLayoutOf(mapType)) {
    case ObjectLayout::Type0: return &kLayout0;
    case ObjectLayout::Type1: return &kLayout1;
    case ObjectLayout::Type4: return &kLayout4;
    case ObjectLayout::Type679: return &kLayout679;
    case ObjectLayout::Type8: return &kLayout8;
    case ObjectLayout::None: break;
    }
    return nullptr;
}

// The rectangle in tiles; r and b are the last column and row inside it.
struct Tiles {
    std::int32_t l, t, r, b;
};

Tiles tilesOf(const CameraAllocData& camera) {
    return {camera.left >> 3, camera.top >> 3, (camera.right >> 3) - 1, (camera.bottom >> 3) - 1};
}

void setPixels(CameraAllocData& camera, const Tiles& tiles) {
    camera.left = tiles.l * 8;
    camera.top = tiles.t * 8;
    camera.right = tiles.r * 8 + 8;
    camera.bottom = tiles.b * 8 + 8;
}

} // namespace

CameraAllocData decodeCameraEntry(const CameraEntryBytes& bytes, std::uint16_t mapType) {
    CameraAllocData camera;
    camera.downLink = (bytes[0] & kDownLinkBit) != 0;
    camera.downLink2 = (bytes[0] & kDownLink2Bit) != 0;
    camera.rightLink = (bytes[0] & kRightLinkBit) != 0;
    camera.rightLink2 = (bytes[0] & kRightLink2Bit) != 0;
    const CameraLayout* layout = cameraLayoutOf(mapType);
    if (!layout) return camera;

    camera.p1 = (bytes[layout->flagByte] & kP1Bit) != 0;
    camera.p2 = (bytes[layout->flagByte] & kP2Bit) != 0;
    Tiles tiles;
    tiles.l = static_cast<std::int32_t>(layout->left.read(bytes));
    tiles.t = static_cast<std::int32_t>(layout->top.read(bytes));
    tiles.r = static_cast<std::int32_t>(layout->right.read(bytes));
    tiles.b = static_cast<std::int32_t>(layout->bottom.read(bytes));
    if (layout->rightIsWidth) tiles.r += tiles.l + kCameraWidthBias;
    if (layout->bottomIsHeight) tiles.b += tiles.t + kCameraHeightBias;
    setPixels(camera, tiles);
    return camera;
}

std::optional<CameraEntryBytes> encodeCameraEntry(const CameraAllocData& camera, std::uint16_t mapType) {
    const CameraLayout* layout = cameraLayoutOf(mapType);
    if (!layout) return std::nullopt;

    const Tiles tiles = tilesOf(camera);
    CameraEntryBytes bytes{};
    if (camera.downLink) bytes[0] |= kDownLinkBit;
    if (camera.downLink2) bytes[0] |= kDownLink2Bit;
    if (camera.rightLink) bytes[0] |= kRightLinkBit;
    if (camera.rightLink2) bytes[0] |= kRightLink2Bit;
    if (camera.p1) bytes[layout->flagByte] |= kP1Bit;
    if (camera.p2) bytes[layout->flagByte] |= kP2Bit;
    layout->left.write(bytes, tiles.l);
    layout->top.write(bytes, tiles.t);
    layout->right.write(bytes, layout->rightIsWidth ? tiles.r - tiles.l - kCameraWidthBias : tiles.r);
    layout->bottom.write(bytes, layout->bottomIsHeight ? tiles.b - tiles.t - kCameraHeightBias : tiles.b);
    return bytes;
}

void maskCameraRectangle(CameraAllocData& camera, std::uint16_t mapType) {
    Tiles tiles = tilesOf(camera);
    if (const CameraLayout* layout = cameraLayoutOf(mapType)) {
        // Each value is held to 0 .. the largest its field stores; nothing wraps. Sizes
        // are taken from the edges as typed, before the near edges are held.
        auto hold = [](std::int32_t value, const TileField& field) {
            return std::clamp(value, 0, static_cast<std::int32_t>(lowBits(field.bits())));
        };
        const std::int32_t width = hold(tiles.r - tiles.l - kCameraWidthBias, layout->right);
        const std::int32_t height = hold(tiles.b - tiles.t - kCameraHeightBias, layout->bottom);
        tiles.l = hold(tiles.l, layout->left);
        tiles.t = hold(tiles.t, layout->top);
        tiles.r = layout->rightIsWidth ? width + tiles.l + kCameraWidthBias : hold(tiles.r, layout->right);
        tiles.b = layout->bottomIsHeight ? height + tiles.t + kCameraHeightBias : hold(tiles.b, layout->bottom);
    }
    setPixels(camera, tiles);
}

CameraAllocData readCameraEntry(std::span<const std::uint8_t> image, unsigned bank, std::uint16_t offset,
                                std::uint16_t mapType) {
    if (!entryFitsImage(bank, offset, kCameraEntrySize)) return {};
    CameraEntryBytes bytes;
    for (unsigned i = 0; i < kCameraEntrySize; ++i)
        bytes[i] = romByte(image, bank, offset + i);
    return decodeCameraEntry(bytes, mapType);
}

bool writeCameraEntry(std::span<std::uint8_t> image, unsigned bank, std::uint16_t offset, const CameraAllocData& camera,
                      std::uint16_t mapType) {
    const auto bytes = encodeCameraEntry(camera, mapType);
    if (!bytes || !entryFitsImage(bank, offset, kCameraEntrySize)) return false;
    for (unsigned i = 0; i < kCameraEntrySize; ++i)
        setRomByte(image, bank, offset + i, (*bytes)[i]);
    return true;
}

StageSlots cameraSlots(std::span<const std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber) {
    return findStageSlots(image, romLocationOf(levelsLocation), stageNumber, kCameraEntrySize);
}

void readStageCameras(std::span<const std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber,
                      std::uint16_t mapType, LevelCamerasData& data) {
    data.stageNumber = stageNumber;
    readSlotList(cameraSlots(image, levelsLocation, stageNumber), data.cameras,
                 [&](unsigned bank, std::uint16_t offset) { return readCameraEntry(image, bank, offset, mapType); });
}

bool writeCameraSlot(std::span<std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber, int index,
                     const CameraAllocData& camera, std::uint16_t mapType) {
    const StageSlots slots = cameraSlots(image, levelsLocation, stageNumber);
    return slots.holdsSlot(index) && writeCameraEntry(image, slots.bank, slots.slotOffset(index), camera, mapType);
}

int writeCameraList(std::span<std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber,
                    const CameraList& cameras, std::uint16_t mapType) {
    return writeSlotList(cameraSlots(image, levelsLocation, stageNumber), cameras,
                         [&](unsigned bank, std::uint16_t offset, const CameraAllocData& camera) {
                             return writeCameraEntry(image, bank, offset, camera, mapType);
                         });
}

} // namespace vexa
