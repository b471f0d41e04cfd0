// Camera lists in the ROM image: the 5-byte camera entry in each map type's layout
// and the per-stage lists found through the camera pointer table.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <optional>
#include <span>

#include "app/rom_settings.h"
#include "stage/object_list_table.h"

namespace vexa {

inline constexpr unsigned kCameraEntrySize = 5;

// Where a layout stores a size instead of a far edge, the stored value is the size in
// tiles less these; so such cameras are at least 16 tiles wide and 14 tiles high.
inline constexpr int kCameraWidthBias = 15;
inline constexpr int kCameraHeightBias = 13;

using CameraEntryBytes = std::array<std::uint8_t, kCameraEntrySize>;

struct CameraAllocData {
    std::int32_t left = 0; // pixels; right and bottom are exclusive
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool rightLink = false;
    bool rightLink2 = false;
    bool downLink = false;
    bool downLink2 = false;
    bool p1 = false;
    bool p2 = false;

    bool operator==(const CameraAllocData&) const = default;
};

using CameraList = std::list<CameraAllocData>;

struct LevelCamerasData {
    std::int32_t stageNumber = 0;
    CameraList cameras; // ROM order; the position is the camera's index
};

// A map type without a layout decodes the four link flags of byte 0 only (rectangle
// 0, 0, 0, 0, P1 and P2 clear) and has no encoding. Every layout uses all 40 bits, so
// encoding a decoded entry gives its bytes back.
CameraAllocData decodeCameraEntry(const CameraEntryBytes& bytes, std::uint16_t mapType);
std::optional<CameraEntryBytes> encodeCameraEntry(const CameraAllocData& camera, std::uint16_t mapType);

// Rounds the rectangle to tiles and holds each stored value to what its field can
// store, 0 up to the field's largest value (so a stored size below its bias rises to
// the minimum, and nothing wraps): the stored rectangle is exactly the one kept in
// memory. Other map types only round to tiles.
void maskCameraRectangle(CameraAllocData& camera, std::uint16_t mapType);

// One entry at a bank offset; its bytes wrap within the bank. An entry whose bytes
// would end past the image is not read (all fields 0) and not written (false);
// neither is an entry of a map type without a layout written.
CameraAllocData readCameraEntry(std::span<const std::uint8_t> image, unsigned bank, std::uint16_t offset,
                                std::uint16_t mapType);
bool writeCameraEntry(std::span<std::uint8_t> image, unsigned bank, std::uint16_t offset, const CameraAllocData& camera,
                      std::uint16_t mapType);

// `levelsLocation` is the [Cameras] Levels value as read from rominfo.ini.
StageSlots cameraSlots(std::span<const std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber);

// Replaces `data` with the stage's list: its number and every entry in ROM order.
void readStageCameras(std::span<const std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber,
                      std::uint16_t mapType, LevelCamerasData& data);

// Writes `camera` into slot `index` of the stage's list. False when the stage has no
// such slot or the entry could not be written.
bool writeCameraSlot(std::span<std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber, int index,
                     const CameraAllocData& camera, std::uint16_t mapType);

// Writes the list into slots 0, 1, 2 ... until the list or the slots end. Returns the
// number of entries written.
int writeCameraList(std::span<std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber,
                    const CameraList& cameras, std::uint16_t mapType);

} // namespace vexa
