// A memory drawing surface with one bitmap selected into it: the chip bitmap of a
// terrain, or the map view's off-screen buffer.
#pragma once

#include <windows.h>

namespace vexa {

class BitmapBuffer {
public:
    BitmapBuffer() = default;
    BitmapBuffer(const BitmapBuffer&) = delete;
    BitmapBuffer& operator=(const BitmapBuffer&) = delete;
    ~BitmapBuffer() { release(); }

    // A blank bitmap of the given size, compatible with `referenceDc`. On failure
    // nothing is owned.
    bool create(HDC referenceDc, int width, int height);
    // A bitmap file from disk. A file that cannot be loaded still leaves an owned
    // memory context behind (with no bitmap), so drawing from it stays harmless.
    void loadFile(HDC referenceDc, const wchar_t* path);
    void release();

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    bool owned = false;
};

} // namespace vexa
