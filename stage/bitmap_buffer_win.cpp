#include "stage/bitmap_buffer_win.h"

namespace vexa {

namespace {

// The bitmap's pixels as 32-bit values, top row first (it must not be selected into
// any context yet); empty when it cannot be read.
std::vector<std::uint32_t> readPixels(HDC referenceDc, HBITMAP bitmap, SIZE& size) {
    BITMAP b{};
    if (!GetObjectW(bitmap, sizeof b, &b) || b.bmWidth <= 0 || b.bmHeight <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, b.bmWidth, -b.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(b.bmWidth) * static_cast<std::size_t>(b.bmHeight));
    if (GetDIBits(referenceDc, bitmap, 0, static_cast<UINT>(b.bmHeight), pixels.data(), &info, DIB_RGB_COLORS) !=
        b.bmHeight)
        return {};
    size = {b.bmWidth, b.bmHeight};
    return pixels;
}

// A negative height in the header says the top row comes first, but not every system
// keeps that sign: a positive one is checked by drawing pixel (0, 0) and looking at the
// first pixel in memory. The drawing must reach (0, 0), whatever clip the caller set.
bool firstStoredRowIsBottom(HDC dc, const std::uint8_t* base) {
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    const bool clipped = clip && GetClipRgn(dc, clip) == 1;
    SelectClipRgn(dc, nullptr);
    const COLORREF topLeft = GetPixel(dc, 0, 0);
    const std::uint32_t stored = *reinterpret_cast<const std::uint32_t*>(base);
    SetPixelV(dc, 0, 0, topLeft ^ 0xFFFFFF);
    GdiFlush();
    const bool bottom = *reinterpret_cast<const std::uint32_t*>(base) == stored;
    SetPixelV(dc, 0, 0, topLeft);
    SelectClipRgn(dc, clipped ? clip : nullptr);
    if (clip) DeleteObject(clip);
    return bottom;
}

} // namespace

bool BitmapBuffer::create(HDC referenceDc, int width, int height) {
    release();
    HDC memoryDc = CreateCompatibleDC(referenceDc);
    if (!memoryDc) return false;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    HBITMAP created = CreateDIBSection(referenceDc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!created) {
        DeleteDC(memoryDc);
        return false;
    }
    SelectObject(memoryDc, created);
    dc = memoryDc;
    bitmap = created;
    owned = true;
    return true;
}

std::optional<PixelRows> pixelRowsOf(HDC dc) {
    DIBSECTION section{};
    const auto bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != sizeof section) return std::nullopt;
    const BITMAP& b = section.dsBm;
    if (!b.bmBits || b.bmBitsPixel != 32 || section.dsBmih.biCompression != BI_RGB) return std::nullopt;
    auto* base = static_cast<std::uint8_t*>(b.bmBits);
    const std::ptrdiff_t stride = b.bmWidthBytes;
    const bool bottomUp = b.bmHeight > 1 && section.dsBmih.biHeight > 0 && firstStoredRowIsBottom(dc, base);
    PixelRows rows;
    rows.width = b.bmWidth;
    rows.height = b.bmHeight;
    rows.first = reinterpret_cast<std::uint32_t*>(bottomUp ? base + stride * (b.bmHeight - 1) : base);
    rows.step = (bottomUp ? -stride : stride) / 4;
    GdiFlush(); // GDI's drawing into it is done before anyone writes directly
    return rows;
}

void BitmapBuffer::loadFile(HDC referenceDc, const wchar_t* path) {
    release();
    HDC memoryDc = CreateCompatibleDC(referenceDc);
    if (!memoryDc) return;
    auto* loaded = static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (loaded) {
        pixels = readPixels(referenceDc, loaded, pixelSize);
        SelectObject(memoryDc, loaded);
    }
    dc = memoryDc;
    bitmap = loaded;
    owned = true;
}

void BitmapBuffer::release() {
    if (!owned) return;
    // Deleting the context first frees the bitmap from its selection.
    DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
    dc = nullptr;
    bitmap = nullptr;
    owned = false;
    pixels.clear();
    pixelSize = {};
}

} // namespace vexa
