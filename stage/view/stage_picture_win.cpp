#include "stage/view/stage_picture_win.h"

namespace vexa {

std::optional<RgbaImage> drawWholeStage(LevelManager& levels) {
    const int width = levels.widthTiles * kTileSize;
    const int height = levels.heightTiles * kTileSize;
    if (width <= 0 || height <= 0) return std::nullopt;

    // A top-down 32-bit DIB section: its pixels can be read straight after drawing.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(levels.hwnd);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(levels.hwnd, screen);
    if (!bitmap || !dc || !bits) {
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
        return std::nullopt;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    levels.drawMap(dc, RECT{0, 0, width, height});
    GdiFlush();

    RgbaImage image;
    image.width = width;
    image.height = height;
    image.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = bgra[i + 2];
        image.rgba[i + 1] = bgra[i + 1];
        image.rgba[i + 2] = bgra[i];
        image.rgba[i + 3] = 0xFF;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return image;
}

} // namespace vexa
