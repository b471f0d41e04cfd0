#include "terrain/tool_cursors_win.h"

#include "stage/map_look.h"

#include <map>
#include <utility>

namespace vexa {

namespace {

// The signs are drawn on a 32 x 32 square, taken to the cursor's size at the display scale.
constexpr int kDesignSize = 32;
constexpr int kHot = 10;

// The sign of each tool in the lower right quarter, drawn in black on white with a
// white rim around every line, so that it shows on dark and light terrain alike.
void drawSign(HDC dc, TerrainToolKind tool, bool rim) {
    const int width = rim ? 3 : 1;
    HPEN pen = CreatePen(PS_SOLID, width, rim ? RGB(255, 255, 255) : RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    auto line = [dc](int x0, int y0, int x1, int y1) {
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
    };
    // The cross.
    line(kHot, 1, kHot, kHot - 2);
    line(kHot, kHot + 3, kHot, 2 * kHot);
    line(1, kHot, kHot - 2, kHot);
    line(kHot + 3, kHot, 2 * kHot, kHot);
    switch (tool) {
    case TerrainToolKind::Pen:
        line(18, 29, 29, 18);
        line(16, 31, 19, 28);
        break;
    case TerrainToolKind::Rectangle: Rectangle(dc, 17, 19, 30, 30); break;
    case TerrainToolKind::Fill:
        Rectangle(dc, 17, 19, 30, 30);
        for (int y = 21; y < 29; y += 2)
            line(19, y, 29, y);
        break;
    case TerrainToolKind::Select:
        for (int x = 17; x < 30; x += 4) {
            line(x, 19, x + 2, 19);
            line(x, 29, x + 2, 29);
        }
        for (int y = 19; y < 30; y += 4) {
            line(17, y, 17, y + 2);
            line(29, y, 29, y + 2);
        }
        break;
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

HCURSOR makeCursor(TerrainToolKind tool, int size) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);
    HCURSOR cursor = nullptr;
    if (dc && colour && mask) {
        const RECT all{0, 0, size, size};
        SetGraphicsMode(dc, GM_ADVANCED);
        const float scale = static_cast<float>(size) / kDesignSize;
        const XFORM toSize{scale, 0, 0, scale, 0, 0};
        // The mask: white keeps the screen, black takes the colour bitmap's pixel.
        HGDIOBJ old = SelectObject(dc, mask);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetWorldTransform(dc, &toSize);
        SetROP2(dc, R2_BLACK);
        drawSign(dc, tool, true);
        drawSign(dc, tool, false);
        SetROP2(dc, R2_COPYPEN);
        ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
        SelectObject(dc, colour);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SetWorldTransform(dc, &toSize);
        drawSign(dc, tool, true);
        drawSign(dc, tool, false);
        ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
        SelectObject(dc, old);
        const auto hot = static_cast<DWORD>(kHot * size / kDesignSize);
        ICONINFO info{FALSE, hot, hot, mask, colour};
        cursor = CreateIconIndirect(&info);
    }
    if (mask) DeleteObject(mask);
    if (colour) DeleteObject(colour);
    if (dc) DeleteDC(dc);
    return cursor;
}

} // namespace

HCURSOR terrainToolCursor(TerrainToolKind tool) {
    // Made at the first use at each size and kept for the program's life, as system
    // cursors are; the size follows the map's display scale.
    static std::map<std::pair<TerrainToolKind, int>, HCURSOR> cursors;
    const int size = looked(kDesignSize);
    HCURSOR& cursor = cursors[{tool, size}];
    if (!cursor) cursor = makeCursor(tool, size);
    return cursor ? cursor : LoadCursorW(nullptr, IDC_CROSS);
}

} // namespace vexa
