// What the banana and camera pages share on the Win32 side: the drawing objects of a
// map layer in its colour, and reading and writing the page's fields.
#pragma once

#include "stage/map_look.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

namespace vexa {

constexpr COLORREF colourRef(MapColour colour) {
    return RGB(colour.r, colour.g, colour.b);
}

// Height 12 for the labels on the map; the banana set preview uses height 6.
HFONT createLabelFont(int height);

struct LayerDrawingObjects {
    LayerDrawingObjects() = default;
    LayerDrawingObjects(const LayerDrawingObjects&) = delete;
    LayerDrawingObjects& operator=(const LayerDrawingObjects&) = delete;
    ~LayerDrawingObjects() { release(); }

    // Thin pen and mark brush in `colour`, the 3-pixel selection pen in `selection`,
    // a black body brush and the label font. Objects already made are kept.
    void create(COLORREF colour, COLORREF selection);
    void release();

    HPEN thinPen = nullptr;
    HPEN selectionPen = nullptr;
    HBRUSH bodyBrush = nullptr;
    HBRUSH markBrush = nullptr;
    HFONT labelFont = nullptr;
};

std::wstring fieldText(HWND page, int id);
std::int32_t fieldInt(HWND page, int id);
void setFieldInt(HWND page, int id, int value);
bool isChecked(HWND page, int id);
void setChecked(HWND page, int id, bool checked);
void enableControls(HWND page, std::span<const int> ids, bool enabled);
// The index is drawn without the field's sunken edge.
void clearExtendedStyle(HWND page, int id);

// List box lines by index.
void replaceListLine(HWND list, int index, const std::wstring& text);
int listSelection(HWND list);

} // namespace vexa
