// Display scale: the dots per inch of the monitor a window is on (96 at 100%), and
// sizes given for 100% taken to it. The program is per-monitor aware: a window
// moved to a monitor of another scale hears WM_DPICHANGED with the new one.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace vexa {

inline constexpr UINT kBaseDpi = 96;

// The window's scale where the system tells it per window, else the screen's.
UINT windowDpi(HWND window);

// A length in pixels at 100% taken to `dpi`.
inline int scaledForDpi(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

// The system's font for messages and dialogs at `dpi`, made once for each scale asked
// for and kept for the program's life (as the stock fonts are).
HFONT uiFontForDpi(UINT dpi);

// Moves a window to the rectangle WM_DPICHANGED suggests (its lParam).
void takeSuggestedRect(HWND window, LPARAM suggested);

} // namespace vexa
