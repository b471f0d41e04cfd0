#include "terrain/tool_cursors_win.h"

#include <array>

namespace vexa {

namespace {

constexpr int kSize = 32;
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

HCURSOR makeCursor(TerrainToolKind tool) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, kSize, kSize);
    HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);
    HCURSOR cursor = nullptr;
    if (dc && colour && mask) {
        const RECT all{0, 0, kSize, kSize};
        // The mask: white keeps the screen, black takes the colour bitmap's pixel.
        HGDIOBJ old = SelectObject(dc, mask);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetROP2(dc, R2_BLACK);
        drawSign(dc, tool, true);
        drawSign(dc, tool, false);
        SetROP2(dc, R2_COPYPEN);
        SelectObject(dc, colour);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        drawSign(dc, tool, true);
        drawSign(dc, tool, false);
        SelectObject(dc, old);
        ICONINFO info{FALSE, kHot, kHot, mask, colour};
        cursor = CreateIconIndirect(&info);
    }
    if (mask) DeleteObject(mask);
    if (colour) DeleteObject(colour);
    if (dc) DeleteDC(dc);
    return cursor;
}

} // namespace

HCURSOR terrainToolCursor(TerrainToolKind tool) {
    // Made at the first use and kept for the program's life, as system cursors are.
    static std::array<HCURSOR, kTerrainToolCount> cursors{};
    HCURSOR& cursor = cursors[static_cast<std::size_t>(tool)];
    if (!cursor) cursor = makeCursor(tool);
    return cursor ? cursor : LoadCursorW(nullptr, IDC_CROSS);
}

} // namespace vexa
