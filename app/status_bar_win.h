// The main window's status bar: the pointer's place on the map, the object under it,
// the open stage's sprite room (owner-drawn, red when full) and the map's zoom.
#pragma once

#include "stage/status_text.h"

#include <windows.h>

#include <optional>
#include <string>

namespace vexa {

class MainStatusBar {
public:
    enum Part { kPointerPart, kObjectPart, kRoomPart, kZoomPart, kPartCount };
    static constexpr int kControlId = 0x5B00;

    bool create(HWND parent, bool shown);
    void show(bool shown);
    bool isShown() const { return visible; }
    // Lays the bar along the parent's bottom; returns the height it takes (0 hidden).
    int layout();

    void setPointer(const std::wstring& pointer, const std::wstring& object);
    // Nothing while no stage is open.
    void setRoom(const std::optional<SpriteRoom>& room);
    // The map view's zoom, in percent.
    void refreshZoom(int percent);
    // WM_DRAWITEM of the parent; true when it was the room part.
    bool onDrawItem(const DRAWITEMSTRUCT& item) const;

    std::wstring text(Part part) const;
    bool roomFull() const { return room && room->full; }

    HWND hwnd = nullptr;

private:
    int pointerWidth() const;
    void setText(Part part, const std::wstring& text);

    bool visible = true;
    std::optional<SpriteRoom> room;
    std::wstring roomText;
    bool ownerDrawn = false;
};

} // namespace vexa
