#include "stage/view/object_select_tool_win.h"

#include "stage/object_page_tools_win.h"

namespace vexa {

namespace {

constexpr COLORREF kBoxColour = RGB(255, 255, 255);

} // namespace

int ObjectSelectTool::markedTotal() const {
    int total = 0;
    for (const ObjectKind kind : kObjectKinds)
        total += context.layer(kind).markCount();
    return total;
}

GroupLimits ObjectSelectTool::selectionLimits() const {
    GroupLimits all;
    for (const ObjectKind kind : kObjectKinds) {
        const ObjectLayer& layer = context.layer(kind);
        if (layer.markCount() > 0) all = bothAllow(all, layer.groupLimits());
    }
    return all;
}

std::optional<RECT> ObjectSelectTool::selectionBox() const {
    if (drag.idle() || hold != Hold::Box || !drag.moved()) return std::nullopt;
    const MapBox box = MapBox::spanning(pressedAt.x, pressedAt.y, pointerAt.x, pointerAt.y);
    return RECT{box.left, box.top, box.right, box.bottom};
}

void ObjectSelectTool::press(MapButton button, const MapPointer& at) {
    if (button != MapButton::Left) return;
    const bool ctrl = (at.keys & MK_CONTROL) != 0;
    const bool shift = (at.keys & MK_SHIFT) != 0;
    pressedAt = pointerAt = at.map;
    bool onObject = false;
    for (const ObjectKind kind : kObjectKinds) {
        ObjectLayer& layer = context.layer(kind);
        const int index = layer.pick(at.map.x, at.map.y);
        if (index < 0) continue;
        if (ctrl) {
            layer.toggleMark(index);
            layer.showMarks();
            context.showInspectorPage(pageOf(kind));
            context.invalidateView();
            return;
        }
        if (layer.isMarked(index) && markedTotal() > 1) return pressGroup(kind, index, at);
        onObject = true;
        break;
    }
    context.captureMouse();
    hold = Hold::Object;
    drag.pressEmpty(at.view.x, at.view.y);
    // A press on the empty map leaves the selection to the box.
    for (const ObjectKind kind : kObjectKinds) {
        ObjectLayer& layer = context.layer(kind);
        if (onObject && layer.hitTest(at.map.x, at.map.y)) {
            context.clearSelectionsExcept(pageOf(kind));
            context.showInspectorPage(pageOf(kind));
            drag.pressObject(kind, layer.selectedIndex, at.view.x, at.view.y);
            break;
        }
    }
    if (!drag.heldKind()) {
        hold = Hold::Box;
        boxAdds = shift || ctrl;
        if (!boxAdds) context.clearSelections();
    }
    context.invalidateView();
}

void ObjectSelectTool::pressGroup(ObjectKind kind, int index, const MapPointer& at) {
    context.captureMouse();
    hold = Hold::Group;
    limits = selectionLimits();
    offset = {};
    drag.pressObject(kind, index, at.view.x, at.view.y);
    context.showInspectorPage(pageOf(kind));
    context.invalidateView();
}

void ObjectSelectTool::move(const MapPointer& at) {
    if (drag.idle()) return;
    // The button went up where this window did not hear of it: nothing may follow the
    // pointer any longer, and the next click elsewhere goes where it was aimed.
    if (!(at.keys & MK_LBUTTON)) return cancel();
    pointerAt = at.map;
    if (!drag.moveTo(at.view.x, at.view.y)) return;
    switch (hold) {
    case Hold::Object:
        if (const auto kind = drag.heldKind()) context.layer(*kind).dragStep(at.map.x, at.map.y);
        break;
    case Hold::Group:
        offset = groupOffset(limits, at.map.x - pressedAt.x, at.map.y - pressedAt.y);
        showGroupDrag(offset);
        break;
    case Hold::Box: break;
    }
    context.invalidateView();
}

void ObjectSelectTool::release(MapButton button, const MapPointer& at) {
    if (button != MapButton::Left || drag.idle()) return;
    pointerAt = at.map;
    const auto kind = drag.heldKind();
    switch (hold) {
    case Hold::Object:
        // The drop writes at the layer's selection. Should anything have moved that away
        // from the object grabbed, the drop would write the dragged place into another one.
        if (kind && context.layer(*kind).selectedIndex != drag.heldIndex()) return cancel();
        if (kind) context.layer(*kind).drop(drag.moved());
        break;
    case Hold::Group:
        showGroupDrag(std::nullopt);
        if (!drag.moved() && kind) {
            // A click on one of the selection selects it alone.
            ObjectLayer& layer = context.layer(*kind);
            context.clearSelectionsExcept(pageOf(*kind));
            if (layer.hitTest(pressedAt.x, pressedAt.y)) layer.drop(false);
        } else if (offset.moves()) {
            const GroupOffset by = offset;
            context.recordAsOneStep(GroupEdit::Move, [&] {
                for (const ObjectKind each : kObjectKinds)
                    if (context.layer(each).markCount() > 0) context.layer(each).moveMarked(by);
            });
        }
        break;
    case Hold::Box:
        if (drag.moved()) selectBox();
        break;
    }
    endPress();
}

void ObjectSelectTool::selectBox() {
    const std::optional<RECT> box = selectionBox();
    if (!box) return;
    std::optional<ObjectKind> first;
    for (const ObjectKind kind : kObjectKinds) {
        ObjectLayer& layer = context.layer(kind);
        const std::vector<int> met = layer.meeting(*box);
        if (boxAdds)
            layer.addMarks(met);
        else
            layer.setMarks(met);
        layer.showMarks();
        if (!met.empty() && !first) first = kind;
    }
    if (first) context.showInspectorPage(pageOf(*first));
}

void ObjectSelectTool::showGroupDrag(std::optional<GroupOffset> by) {
    for (const ObjectKind kind : kObjectKinds) {
        ObjectLayer& layer = context.layer(kind);
        layer.groupDrag = layer.markCount() > 0 ? by : std::nullopt;
    }
}

void ObjectSelectTool::cancel() {
    if (drag.idle()) return;
    if (hold == Hold::Object)
        if (const auto kind = drag.heldKind()) context.layer(*kind).cancelDrag();
    if (hold == Hold::Group) showGroupDrag(std::nullopt);
    endPress();
}

void ObjectSelectTool::endPress() {
    drag.end();
    context.releaseMouse();
    context.invalidateView();
}

bool ObjectSelectTool::hover(POINT at) {
    for (const ObjectKind kind : kObjectKinds)
        if (context.layer(kind).hoverTest(at.x, at.y)) return true;
    return false;
}

void ObjectSelectTool::overlay(HDC target, const RECT& mapRect) {
    const std::optional<RECT> box = selectionBox();
    if (!box) return;
    const RECT shown{box->left - mapRect.left, box->top - mapRect.top, box->right - mapRect.left,
                     box->bottom - mapRect.top};
    drawMarkFrame(target, shown, kBoxColour, mapLineWidth(context.mapZoom()));
}

} // namespace vexa
