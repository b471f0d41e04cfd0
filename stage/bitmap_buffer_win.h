// A memory drawing surface with one bitmap selected into it: the chip bitmap of a
// terrain, or the map view's off-screen buffer.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vexa {

class BitmapBuffer {
public:
    BitmapBuffer() = default;
    BitmapBuffer(const BitmapBuffer&) = delete;
    BitmapBuffer& operator=(const BitmapBuffer&) = delete;
    ~BitmapBuffer() { release(); }

    // A blank 32-bit bitmap of the given size whose pixels can also be written
    // directly (pixelRowsOf). On failure nothing is owned.
    bool create(HDC referenceDc, int width, int height);
    // A bitmap file from disk, also kept as 32-bit pixels (top row first) for drawing
    // straight into a pixel buffer. A file that cannot be loaded still leaves an owned
    // memory context behind (with no bitmap), so drawing from it stays harmless.
    void loadFile(HDC referenceDc, const wchar_t* path);
    void release();

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    bool owned = false;
    std::vector<std::uint32_t> pixels; // a loaded file's, when it could be read
    SIZE pixelSize{};
};

// The pixels of the 32-bit DIB section selected into `dc`, row by row; nothing for
// any other bitmap. GDI's pending drawing into it is finished first.
struct PixelRows {
    std::uint32_t* first = nullptr; // the top row
    std::ptrdiff_t step = 0;        // from one row to the next below, in pixels
    int width = 0;
    int height = 0;
    std::uint32_t* row(int y) const { return first + step * y; }
};
std::optional<PixelRows> pixelRowsOf(HDC dc);

} // namespace vexa
