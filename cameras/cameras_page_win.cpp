#include "cameras/cameras_page_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "stage/map_look.h"

#include <algorithm>
#include <array>

namespace vexa {

namespace {

constexpr int kPageControls[] = {
    IDC_CAMERA_LIST,         IDC_CAMERA_NUMBER_LABEL, IDC_CAMERA_NUMBER, IDC_CAMERA_RIGHT_LINK2, IDC_CAMERA_RIGHT_LINK,
    IDC_CAMERA_DOWN_LINK2,   IDC_CAMERA_DOWN_LINK,    IDC_CAMERA_P1,     IDC_CAMERA_P2,          IDC_CAMERA_LEFT_LABEL,
    IDC_CAMERA_LEFT,         IDC_CAMERA_TOP_LABEL,    IDC_CAMERA_TOP,    IDC_CAMERA_RIGHT_LABEL, IDC_CAMERA_RIGHT,
    IDC_CAMERA_BOTTOM_LABEL, IDC_CAMERA_BOTTOM,       IDC_CAMERA_APPLY,  IDC_CAMERA_UP,          IDC_CAMERA_DOWN,
    IDC_CAMERA_SORT,
};

constexpr int kEdgeFields[] = {IDC_CAMERA_LEFT, IDC_CAMERA_TOP, IDC_CAMERA_RIGHT, IDC_CAMERA_BOTTOM};
constexpr int kFlagFields[] = {IDC_CAMERA_RIGHT_LINK, IDC_CAMERA_RIGHT_LINK2, IDC_CAMERA_DOWN_LINK,
                               IDC_CAMERA_DOWN_LINK2, IDC_CAMERA_P1,          IDC_CAMERA_P2};
constexpr int kSeveralFields[] = {
    IDC_CAMERA_LEFT,        IDC_CAMERA_TOP,       IDC_CAMERA_RIGHT,      IDC_CAMERA_BOTTOM, IDC_CAMERA_RIGHT_LINK,
    IDC_CAMERA_RIGHT_LINK2, IDC_CAMERA_DOWN_LINK, IDC_CAMERA_DOWN_LINK2, IDC_CAMERA_P1,     IDC_CAMERA_P2};

// The camera's fields in the order of kEdgeFields, then of kFlagFields.
std::array<std::int32_t*, 4> edgesOf(CameraFields& f) {
    return {&f.left, &f.top, &f.right, &f.bottom};
}
std::array<bool*, 6> flagsOf(CameraFields& f) {
    return {&f.rightLink, &f.rightLink2, &f.downLink, &f.downLink2, &f.p1, &f.p2};
}

constexpr ObjectPageLook kLook{ObjectKind::Camera,
                               L"ShowCameras",
                               IDM_VIEW_CAMERAS,
                               IDC_CAMERA_LIST,
                               kPageControls,
                               colourRef(kCameraColour),
                               colourRef(kCameraSelectionColour)};

LPCWSTR cursorName(CameraCursor cursor) {
    switch (cursor) {
    case CameraCursor::SizeNwSe: return IDC_SIZENWSE;
    case CameraCursor::SizeNeSw: return IDC_SIZENESW;
    case CameraCursor::SizeWestEast: return IDC_SIZEWE;
    case CameraCursor::SizeNorthSouth: return IDC_SIZENS;
    case CameraCursor::SizeAll: return IDC_SIZEALL;
    case CameraCursor::None: break;
    }
    return nullptr;
}

void fillTriangle(HDC dc, POINT a, POINT b, POINT c) {
    const POINT points[] = {a, b, c};
    Polygon(dc, points, 3);
}

} // namespace

LevelCamerasManager::LevelCamerasManager(StageWindowHost& host) : ObjectPage(host, kLook), edits(host, *this) {}

void LevelCamerasManager::onInitPage() {
    clearExtendedStyle(hwnd, IDC_CAMERA_NUMBER);
}

bool LevelCamerasManager::onPageCommand(int id, int /*code*/) {
    switch (id) {
    case IDC_CAMERA_APPLY:
        if (listSelections().size() > 1) return applySeveral(listSelections()), true;
        apply(listSelection());
        return true;
    case IDC_CAMERA_UP: up(listSelection()); return true;
    case IDC_CAMERA_DOWN: down(listSelection()); return true;
    case IDC_CAMERA_SORT: sort(listSelection()); return true;
    default: return false;
    }
}

bool LevelCamerasManager::anchorOf(int index, POINT& at) const {
    const CameraAllocData* camera = edits.itemAt(index);
    if (camera) at = {camera->left, camera->top};
    return camera != nullptr;
}

std::vector<std::wstring> LevelCamerasManager::lineTexts(const RomInfo& /*info*/, int from, int to) const {
    return linesOf(edits.items(), from, to, cameraListLine);
}

void LevelCamerasManager::apply(int index) {
    edits.apply(index, readFields());
}

bool LevelCamerasManager::nudge(int dx, int dy) {
    const CameraAllocData* camera = edits.itemAt(selectedIndex);
    if (!camera) return false;
    CameraGrab label;
    label.mode = CameraDragMode::Move;
    label.startX = camera->left;
    label.startY = camera->top;
    label.width = camera->right - camera->left;
    label.height = camera->bottom - camera->top;
    const CameraAllocData moved = heldDraggedCamera(*camera, label, snapToTile(camera->left + dx),
                                                    snapToTile(camera->top + dy), host.openMapType());
    if (moved == *camera) return true;
    // A drag starts from the camera's own values, whatever was typed into the fields.
    showItem(selectedIndex);
    setFieldInt(hwnd, IDC_CAMERA_LEFT, moved.left);
    setFieldInt(hwnd, IDC_CAMERA_TOP, moved.top);
    setFieldInt(hwnd, IDC_CAMERA_RIGHT, moved.right);
    setFieldInt(hwnd, IDC_CAMERA_BOTTOM, moved.bottom);
    grab = label;
    drop(true);
    return true;
}

HWND LevelCamerasManager::firstField() const {
    return GetDlgItem(hwnd, IDC_CAMERA_LEFT);
}

CameraFields LevelCamerasManager::readFields() const {
    CameraFields fields;
    fields.left = fieldInt(hwnd, IDC_CAMERA_LEFT);
    fields.top = fieldInt(hwnd, IDC_CAMERA_TOP);
    fields.right = fieldInt(hwnd, IDC_CAMERA_RIGHT);
    fields.bottom = fieldInt(hwnd, IDC_CAMERA_BOTTOM);
    fields.rightLink = isChecked(hwnd, IDC_CAMERA_RIGHT_LINK);
    fields.rightLink2 = isChecked(hwnd, IDC_CAMERA_RIGHT_LINK2);
    fields.downLink = isChecked(hwnd, IDC_CAMERA_DOWN_LINK);
    fields.downLink2 = isChecked(hwnd, IDC_CAMERA_DOWN_LINK2);
    fields.p1 = isChecked(hwnd, IDC_CAMERA_P1);
    fields.p2 = isChecked(hwnd, IDC_CAMERA_P2);
    return fields;
}

void LevelCamerasManager::loadStage(int stageNumber) {
    edits.load(stageNumber);
}

void LevelCamerasManager::clearObjects() {
    edits.clearObjects();
}

void LevelCamerasManager::clearPage() {
    SendMessageW(list(), LB_RESETCONTENT, 0, 0);
    for (const int id : {IDC_CAMERA_NUMBER, IDC_CAMERA_LEFT, IDC_CAMERA_TOP, IDC_CAMERA_RIGHT, IDC_CAMERA_BOTTOM})
        setFieldText(hwnd, id, L"");
    for (const int id : {IDC_CAMERA_RIGHT_LINK2, IDC_CAMERA_RIGHT_LINK, IDC_CAMERA_DOWN_LINK2, IDC_CAMERA_DOWN_LINK,
                         IDC_CAMERA_P1, IDC_CAMERA_P2})
        setChecked(hwnd, id, false);
}

void LevelCamerasManager::showItem(int index) {
    const CameraAllocData* camera = edits.itemAt(index);
    if (!camera) return;
    setFieldInt(hwnd, IDC_CAMERA_NUMBER, index);
    setChecked(hwnd, IDC_CAMERA_RIGHT_LINK2, camera->rightLink2);
    setChecked(hwnd, IDC_CAMERA_RIGHT_LINK, camera->rightLink);
    setChecked(hwnd, IDC_CAMERA_DOWN_LINK2, camera->downLink2);
    setChecked(hwnd, IDC_CAMERA_DOWN_LINK, camera->downLink);
    setChecked(hwnd, IDC_CAMERA_P1, camera->p1);
    setChecked(hwnd, IDC_CAMERA_P2, camera->p2);
    setFieldInt(hwnd, IDC_CAMERA_LEFT, camera->left);
    setFieldInt(hwnd, IDC_CAMERA_TOP, camera->top);
    setFieldInt(hwnd, IDC_CAMERA_RIGHT, camera->right);
    setFieldInt(hwnd, IDC_CAMERA_BOTTOM, camera->bottom);
}

void LevelCamerasManager::showNumber(int index) {
    setFieldInt(hwnd, IDC_CAMERA_NUMBER, index);
}

std::span<const int> LevelCamerasManager::severalFields() const {
    return kSeveralFields;
}

void LevelCamerasManager::showSeveral(const std::vector<int>& indices) {
    const CameraList& items = edits.items();
    setFieldText(hwnd, IDC_CAMERA_NUMBER, severalSelectedText(static_cast<int>(indices.size())));
    for (std::size_t field = 0; field < std::size(kEdgeFields); ++field) {
        const std::optional<std::int32_t> edge = commonValue(items, indices, [&](const CameraAllocData& camera) {
            CameraFields fields = cameraFieldsOf(camera);
            return *edgesOf(fields)[field];
        });
        setFieldText(hwnd, kEdgeFields[field], edge ? std::to_wstring(*edge) : std::wstring());
    }
    for (std::size_t field = 0; field < std::size(kFlagFields); ++field) {
        const std::optional<bool> flag = commonValue(items, indices, [&](const CameraAllocData& camera) {
            CameraFields fields = cameraFieldsOf(camera);
            return *flagsOf(fields)[field];
        });
        setChecked(hwnd, kFlagFields[field], flag.value_or(false));
    }
    keepSeveralShown();
}

void LevelCamerasManager::applySeveral(const std::vector<int>& indices) {
    CameraFields typed = readFields();
    std::vector<int> changed;
    std::vector<CameraFields> fields;
    const std::vector<CameraAllocData> cameras = entriesAt(edits.items(), indices);
    for (std::size_t i = 0; i < cameras.size(); ++i) {
        CameraFields merged = cameraFieldsOf(cameras[i]);
        for (std::size_t field = 0; field < std::size(kEdgeFields); ++field)
            if (changedSinceShown(kEdgeFields[field])) *edgesOf(merged)[field] = *edgesOf(typed)[field];
        for (std::size_t field = 0; field < std::size(kFlagFields); ++field)
            if (changedSinceShown(kFlagFields[field])) *flagsOf(merged)[field] = *flagsOf(typed)[field];
        CameraAllocData result = CameraEditTraits::fromFields(merged, cameras[i]);
        CameraEditTraits::mask(result, host.openMapType());
        if (result == cameras[i]) continue;
        changed.push_back(indices[i]);
        fields.push_back(merged);
    }
    host.editAsOneStep(ObjectKind::Camera, GroupEdit::Change, static_cast<int>(changed.size()), indices, indices, [&] {
        for (std::size_t i = 0; i < changed.size(); ++i)
            edits.apply(changed[i], fields[i]);
    });
}

int LevelCamerasManager::pick(int x, int y) const {
    return shownOnMap ? pickCamera(edits.items(), x, y).index : -1;
}

std::vector<int> LevelCamerasManager::meeting(const RECT& box) const {
    if (!shownOnMap) return {};
    return camerasMeeting(edits.items(), {box.left, box.top, box.right, box.bottom});
}

GroupLimits LevelCamerasManager::groupLimits() const {
    return cameraGroupLimits(entriesAt(edits.items(), marked()), host.openMapType());
}

void LevelCamerasManager::moveMarked(GroupOffset offset) {
    const std::vector<int> indices = marked();
    const std::vector<CameraAllocData> cameras = entriesAt(edits.items(), indices);
    for (std::size_t i = 0; i < indices.size(); ++i)
        edits.apply(indices[i], cameraFieldsOf(cameraMovedBy(cameras[i], offset.dx, offset.dy)));
}

bool LevelCamerasManager::hoverTest(int x, int y) {
    if (!shownOnMap) return false;
    const CameraPick pick = pickCamera(edits.items(), x, y);
    const LPCWSTR cursor = cursorName(cursorFor(pick.grab.mode));
    if (!cursor) return false;
    SetCursor(LoadCursorW(nullptr, cursor));
    return true;
}

bool LevelCamerasManager::hitTest(int x, int y) {
    const CameraPick pick = shownOnMap ? pickCamera(edits.items(), x, y) : CameraPick{};
    selectOnly(pick.index);
    grab = pick.grab;
    if (pick.index < 0) return false;
    dragPosition = {grab.startX, grab.startY};
    selectLine(pick.index);
    showItem(pick.index);
    return true;
}

void LevelCamerasManager::dragStep(int x, int y) {
    const CameraAllocData* camera = edits.itemAt(selectedIndex);
    if (!camera || grab.mode == CameraDragMode::None) return;
    dragPosition = {snapToTile(x - grab.grabX), snapToTile(y - grab.grabY)};
    const CameraAllocData dragged = draggedRectangle(*camera);
    const CameraEdges edges = edgesMovedBy(grab.mode);
    if (edges.left) setFieldInt(hwnd, IDC_CAMERA_LEFT, dragged.left);
    if (edges.top) setFieldInt(hwnd, IDC_CAMERA_TOP, dragged.top);
    if (edges.right) setFieldInt(hwnd, IDC_CAMERA_RIGHT, dragged.right);
    if (edges.bottom) setFieldInt(hwnd, IDC_CAMERA_BOTTOM, dragged.bottom);
}

void LevelCamerasManager::drop(bool moved) {
    // Applying takes the fields the drag filled in, so the rectangle is masked exactly as if typed.
    if (moved && grab.mode != CameraDragMode::None && edits.itemAt(selectedIndex)) apply(selectedIndex);
    grab = CameraGrab{};
}

void LevelCamerasManager::cancelDrag() {
    grab = CameraGrab{};
    showItem(selectedIndex);
}

void LevelCamerasManager::drawFirstPass(HDC target, const RECT& mapRect) {
    if (!shownOnMap) return;
    const bool dragging = grab.mode != CameraDragMode::None;
    const LayerPass pass(target, drawing.labelFont, look.colour);
    int index = 0;
    for (const CameraAllocData& camera : edits.items()) {
        const bool marked = isMarked(index);
        // The dragged cameras are drawn by the second pass, where the drag has them.
        if (!(dragging && index == selectedIndex) && !(groupDrag && marked))
            drawCamera(target, mapRect, index, camera, marked);
        ++index;
    }
}

void LevelCamerasManager::drawSecondPass(HDC target, const RECT& mapRect) {
    if (!shownOnMap || (grab.mode == CameraDragMode::None && !groupDrag)) return;
    const LayerPass pass(target, drawing.labelFont, look.colour);
    if (groupDrag) {
        const std::vector<int>& indices = marked();
        const std::vector<CameraAllocData> cameras = entriesAt(edits.items(), indices);
        for (std::size_t i = 0; i < cameras.size(); ++i)
            drawCamera(target, mapRect, indices[i], cameraMovedBy(cameras[i], groupDrag->dx, groupDrag->dy), true);
        return;
    }
    if (const CameraAllocData* camera = edits.itemAt(selectedIndex))
        drawCamera(target, mapRect, selectedIndex, draggedRectangle(*camera), true);
}

CameraAllocData LevelCamerasManager::draggedRectangle(const CameraAllocData& camera) const {
    return heldDraggedCamera(camera, grab, dragPosition.x, dragPosition.y, host.openMapType());
}

void LevelCamerasManager::drawCamera(HDC dc, const RECT& mapRect, int index, const CameraAllocData& camera,
                                     bool selected) const {
    const CameraBox box = cameraDrawnBox(camera);
    if (box.right < mapRect.left || box.left > mapRect.right || box.bottom < mapRect.top || box.top > mapRect.bottom)
        return;
    const int l = camera.left - mapRect.left;
    const int t = camera.top - mapRect.top;
    const int r = camera.right - mapRect.left;
    const int b = camera.bottom - mapRect.top;
    if (selected) {
        SelectObject(dc, drawing.selectionPen);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, l + 2, t + 2, r - 2, b - 2);
        Rectangle(dc, l + 2, t + 2, l + looked(kCameraLabelWidth) - 2, t + looked(kCameraLabelHeight) - 2);
    }
    SelectObject(dc, drawing.thinPen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, l, t, r, b);

    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, drawing.markBrush);
    const auto onView = [&](ArrowPoint p) { return POINT{p.x - mapRect.left, p.y - mapRect.top}; };
    for (const LinkArrow& arrow : cameraLinkArrows(camera))
        fillTriangle(dc, onView(arrow[0]), onView(arrow[1]), onView(arrow[2]));

    SelectObject(dc, drawing.thinPen);
    SelectObject(dc, drawing.bodyBrush);
    Rectangle(dc, l, t, l + looked(kCameraLabelWidth), t + looked(kCameraLabelHeight));
    const std::wstring label = L"#" + std::to_wstring(index);
    TextOutW(dc, l + looked(3), t + looked(3), label.c_str(), static_cast<int>(label.size()));
}

} // namespace vexa
