#include "cameras/camera_edits.h"

#include "cameras/camera_handles.h"
#include "stage/map_look.h"

#include <algorithm>

namespace vexa {

template class ObjectListEditor<CameraEditTraits>;

CameraAllocData CameraEditTraits::fromFields(const CameraFields& fields, const CameraAllocData&) {
    return {fields.left,       fields.top,      fields.right,     fields.bottom, fields.rightLink,
            fields.rightLink2, fields.downLink, fields.downLink2, fields.p1,     fields.p2};
}

std::wstring cameraRectangleText(const CameraAllocData& camera) {
    return L"(" + std::to_wstring(camera.left) + L", " + std::to_wstring(camera.top) + L", " +
           std::to_wstring(camera.right) + L", " + std::to_wstring(camera.bottom) + L")";
}

std::wstring cameraListLine(int index, const CameraAllocData& camera) {
    return L"#" + std::to_wstring(index) + L": " + cameraRectangleText(camera);
}

std::vector<int> camerasMeeting(const CameraList& cameras, const MapBox& box) {
    return indicesMeeting(cameras, box, [](const CameraAllocData& camera) {
        return MapBox{camera.left, camera.top, camera.left + looked(kCameraLabelWidth),
                      camera.top + looked(kCameraLabelHeight)};
    });
}

GroupLimits cameraGroupLimits(const std::vector<CameraAllocData>& cameras, std::uint16_t mapType) {
    const auto storedMovedBy = [&](int dx, int dy) {
        return std::all_of(cameras.begin(), cameras.end(), [&](const CameraAllocData& camera) {
            CameraAllocData moved = cameraMovedBy(camera, dx, dy);
            const CameraAllocData shown = moved;
            maskCameraRectangle(moved, mapType);
            return moved == shown;
        });
    };
    return {acceptedOffsets(8, [&](int d) { return storedMovedBy(d, 0); }),
            acceptedOffsets(8, [&](int d) { return storedMovedBy(0, d); }), 8};
}

CameraAllocData cameraMovedBy(CameraAllocData camera, int dx, int dy) {
    camera.left += dx;
    camera.right += dx;
    camera.top += dy;
    camera.bottom += dy;
    return camera;
}

CameraFields cameraFieldsOf(const CameraAllocData& camera) {
    return {camera.left,       camera.top,      camera.right,     camera.bottom, camera.rightLink,
            camera.rightLink2, camera.downLink, camera.downLink2, camera.p1,     camera.p2};
}

} // namespace vexa
