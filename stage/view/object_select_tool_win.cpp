#include "stage/view/object_select_tool_win.h"

namespace vexa {

void ObjectSelectTool::press(MapButton button, const MapPointer& at) {
    if (button != MapButton::Left) return;
    context.captureMouse();
    drag.pressEmpty(at.view.x, at.view.y);
    for (const ObjectKind kind : kObjectKinds) {
        ObjectLayer& layer = context.layer(kind);
        if (layer.hitTest(at.map.x, at.map.y)) {
            context.clearSelectionsExcept(pageOf(kind));
            context.showInspectorPage(pageOf(kind));
            drag.pressObject(kind, layer.selectedIndex, at.view.x, at.view.y);
            break;
        }
    }
    if (!drag.heldKind()) context.clearSelections();
    context.invalidateView();
}

void ObjectSelectTool::move(const MapPointer& at) {
    if (drag.idle()) return;
    // The button went up where this window did not hear of it: nothing may follow the
    // pointer any longer, and the next click elsewhere goes where it was aimed.
    if (!(at.keys & MK_LBUTTON)) return cancel();
    if (!drag.moveTo(at.view.x, at.view.y)) return;
    if (const auto kind = drag.heldKind()) context.layer(*kind).dragStep(at.map.x, at.map.y);
    context.invalidateView();
}

void ObjectSelectTool::release(MapButton button, const MapPointer&) {
    if (button != MapButton::Left || drag.idle()) return;
    const auto kind = drag.heldKind();
    // The drop writes at the layer's selection. Should anything have moved that away
    // from the object grabbed, the drop would write the dragged place into another one.
    if (kind && context.layer(*kind).selectedIndex != drag.heldIndex()) return cancel();
    if (kind) context.layer(*kind).drop(drag.moved());
    drag.end();
    context.releaseMouse();
    context.invalidateView();
}

void ObjectSelectTool::cancel() {
    if (drag.idle()) return;
    if (const auto kind = drag.heldKind()) context.layer(*kind).cancelDrag();
    drag.end();
    context.releaseMouse();
    context.invalidateView();
}

bool ObjectSelectTool::hover(POINT at) {
    for (const ObjectKind kind : kObjectKinds)
        if (context.layer(kind).hoverTest(at.x, at.y)) return true;
    return false;
}

} // namespace vexa
