// What the banana and camera pages share on the Win32 side: the drawing objects of a
// map layer in its colour, and reading and writing the page's fields.
#pragma once

#include "stage/map_look.h"

#include <windows.h>

#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace vexa {

constexpr COLORREF colourRef(MapColour colour) {
    return RGB(colour.r, colour.g, colour.b);
}

// A ring `width` pixels wide just inside `outer`, filled with `brush`: the frames the
// map and the chip palette draw around cells.
void fillFrame(HDC dc, const RECT& outer, HBRUSH brush, int width);

// Lines a map pixel thick at 100% and above, thicker below, so that they survive the
// shrinking to the view.
int mapLineWidth(int zoom);
// A frame `width` pixels wide inside `frame`, drawn in `colour` with a black line
// inside it that shows it on light cells.
void drawMarkFrame(HDC target, const RECT& frame, COLORREF colour, int width);

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

// What every object of a layer draws with, set once for a pass over the layer: the
// label font and transparent label text in the layer's colour. The context's state is
// restored when the pass ends; each object selects its own pens and brushes.
class LayerPass {
public:
    LayerPass(HDC dc, HFONT labelFont, COLORREF colour) : dc(dc), saved(SaveDC(dc)) {
        SelectObject(dc, labelFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colour);
    }
    ~LayerPass() { RestoreDC(dc, saved); }
    LayerPass(const LayerPass&) = delete;
    LayerPass& operator=(const LayerPass&) = delete;

private:
    HDC dc;
    int saved;
};

std::wstring fieldText(HWND page, int id);
std::int32_t fieldInt(HWND page, int id);
// Sets the field's text unless it shows that text already.
void setFieldText(HWND page, int id, const std::wstring& text);
void setFieldInt(HWND page, int id, int value);
bool isChecked(HWND page, int id);
void setChecked(HWND page, int id, bool checked);
void enableControls(HWND page, std::span<const int> ids, bool enabled);
// The index is drawn without the field's sunken edge.
void clearExtendedStyle(HWND page, int id);

// The lines of entries [from, to) of an object list, made in one walk: the lists are
// linked, so reaching each entry by its index would walk the list once per line.
template <typename List, typename LineOf>
std::vector<std::wstring> linesOf(const List& items, int from, int to, LineOf lineOf) {
    std::vector<std::wstring> lines;
    if (from < 0 || from >= to || from >= static_cast<int>(items.size())) return lines;
    lines.reserve(static_cast<std::size_t>(to - from));
    int index = from;
    for (auto it = std::next(items.begin(), from); it != items.end() && index < to; ++it, ++index)
        lines.push_back(lineOf(index, *it));
    return lines;
}

// List box lines by index.
int listLineCount(HWND list);
std::wstring listLine(HWND list, int index);
void replaceListLine(HWND list, int index, const std::wstring& text);
// Lets the list scroll sideways as far as the widest of `texts` needs (and as any line
// shown before needed, unless `restart`), so that a long line can be read whole.
void widenListFor(HWND list, const std::vector<std::wstring>& texts, bool restart);
// The selected lines, in order; a list of many selections may hold several.
std::vector<int> listSelections(HWND list);
// The one selected line; -1 while none or several are selected.
int listSelection(HWND list);
// Exactly `lines` selected (one at most in a list of one selection), the first of them
// scrolled into view.
void selectListLines(HWND list, const std::vector<int>& lines);

} // namespace vexa
