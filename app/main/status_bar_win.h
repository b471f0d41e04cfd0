// The main window's status bar: the pointer's place on the map, the object under it,
// the open stage's sprite room (with the error icon when full) and the map's zoom.
// Every part holds its text, as SB_GETTEXT reads it.
#pragma once

#include "stage/view/status_text.h"

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

    std::wstring text(Part part) const;
    bool roomFull() const { return room && room->full; }

    HWND hwnd = nullptr;

private:
    // In the bar's font, with the padding of a part.
    int textWidth(const wchar_t* text) const;
    // Sets the part's text unless it shows that text already: setting one paints it at
    // once, and the pointer moves far more often than the texts change.
    void setText(Part part, const std::wstring& text);

    bool visible = true;
    std::optional<SpriteRoom> room;
    HICON fullIcon = nullptr;
};

} // namespace vexa
