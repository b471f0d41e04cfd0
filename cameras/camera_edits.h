// The camera edits (apply, up, down, sort) with their undo records and the camera
// page's texts.
#pragma once

#include "cameras/camera_list.h"
#include "resources/text_ids.h"
#include "stage/group_move.h"
#include "stage/object_edits.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vexa {

// The camera page's fields as typed, in pixels.
struct CameraFields {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool rightLink = false;
    bool rightLink2 = false;
    bool downLink = false;
    bool downLink2 = false;
    bool p1 = false;
    bool p2 = false;
};

struct CameraEditTraits {
    using Item = CameraAllocData;
    using Data = LevelCamerasData;
    using Fields = CameraFields;

    static constexpr ObjectKind kKind = ObjectKind::Camera;
    static constexpr unsigned kApplyName = IDS_CAMERA_CHANGE;
    static constexpr unsigned kUpName = IDS_CAMERA_UP;
    static constexpr unsigned kDownName = IDS_CAMERA_DOWN;
    static constexpr unsigned kSortName = IDS_CAMERA_SORT;

    static std::uint32_t levels(const RomInfo& info) { return info.cameraLevels(); }
    static CameraList& items(LevelCamerasData& data) { return data.cameras; }
    static const CameraList& items(const LevelCamerasData& data) { return data.cameras; }
    static void read(std::span<const std::uint8_t> image, std::uint32_t levels, int stage, std::uint16_t mapType,
                     LevelCamerasData& data) {
        readStageCameras(image, levels, stage, mapType, data);
    }
    static StageSlots slots(std::span<const std::uint8_t> image, std::uint32_t levels, int stage) {
        return cameraSlots(image, levels, stage);
    }
    static bool writeSlot(std::span<std::uint8_t> image, std::uint32_t levels, int stage, int index,
                          const CameraAllocData& camera, std::uint16_t mapType) {
        return writeCameraSlot(image, levels, stage, index, camera, mapType);
    }
    static int writeList(std::span<std::uint8_t> image, std::uint32_t levels, int stage, const CameraList& cameras,
                         std::uint16_t mapType) {
        return writeCameraList(image, levels, stage, cameras, mapType);
    }
    static CameraAllocData fromFields(const CameraFields& fields, const CameraAllocData& current);
    static void mask(CameraAllocData& camera, std::uint16_t mapType) { maskCameraRectangle(camera, mapType); }
    static std::int64_t sortKey(const CameraAllocData& camera) { return positionSortKey(camera.left, camera.top); }
    static int anchorX(const CameraAllocData& camera) { return camera.left; }
    static int anchorY(const CameraAllocData& camera) { return camera.top; }
};

using CameraEditor = ObjectListEditor<CameraEditTraits>;
using LevelCameraApply_UndoMethod = ObjectApplyRecord<CameraEditTraits>;
using LevelCameraUpDown_UndoMethod = ObjectUpDownRecord<CameraEditTraits>;
using LevelCameraUp_UndoMethod = ObjectUpRecord<CameraEditTraits>;
using LevelCameraDown_UndoMethod = ObjectDownRecord<CameraEditTraits>;
using LevelCameraSort_UndoMethod = ObjectSortRecord<CameraEditTraits>;

extern template class ObjectListEditor<CameraEditTraits>;

// "(%d, %d, %d, %d)" of Left, Top, Right, Bottom.
std::wstring cameraRectangleText(const CameraAllocData& camera);
// "#%d: (%d, %d, %d, %d)".
std::wstring cameraListLine(int index, const CameraAllocData& camera);

// The cameras whose label (the box that moves them) meets `box`: a camera's rectangle
// covers much of the map, and a box drawn around a few sprites would catch it.
std::vector<int> camerasMeeting(const CameraList& cameras, const MapBox& box);
// The offsets, by the 8-pixel unit, that every one of `cameras` can be moved by whole
// and still be stored as shown on a map of `mapType`.
GroupLimits cameraGroupLimits(const std::vector<CameraAllocData>& cameras, std::uint16_t mapType);
// The page's fields as they show the camera.
CameraFields cameraFieldsOf(const CameraAllocData& camera);
// The camera moved whole by (dx, dy), its size kept.
CameraAllocData cameraMovedBy(CameraAllocData camera, int dx, int dy);

} // namespace vexa
