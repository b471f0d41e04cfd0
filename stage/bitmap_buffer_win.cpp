#include "stage/bitmap_buffer_win.h"

namespace vexa {

bool BitmapBuffer::create(HDC referenceDc, int width, int height) {
    release();
    HDC memoryDc = CreateCompatibleDC(referenceDc);
    if (!memoryDc) return false;
    // Compatible with the reference, not with the new memory context, which would
    // give a monochrome bitmap.
    HBITMAP created = CreateCompatibleBitmap(referenceDc, width, height);
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

void BitmapBuffer::loadFile(HDC referenceDc, const wchar_t* path) {
    release();
    HDC memoryDc = CreateCompatibleDC(referenceDc);
    if (!memoryDc) return;
    auto* loaded = static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (loaded) SelectObject(memoryDc, loaded);
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
}

} // namespace vexa
