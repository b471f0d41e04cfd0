#include "cameras/camera_edits.h"

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

} // namespace vexa
