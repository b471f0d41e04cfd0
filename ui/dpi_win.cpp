#include "ui/dpi_win.h"

#include <map>

namespace vexa {

namespace {

// Functions of newer systems, looked up once: Windows 7 has neither.
template <typename Function> Function systemFunction(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

UINT screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : static_cast<int>(kBaseDpi);
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

} // namespace

UINT windowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = systemFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window)
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    return screenDpi();
}

HFONT uiFontForDpi(UINT dpi) {
    static std::map<UINT, HFONT> fonts;
    if (const auto found = fonts.find(dpi); found != fonts.end()) return found->second;
    using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto parametersForDpi = systemFunction<ParametersForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    HFONT font = nullptr;
    if (parametersForDpi && parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        font = CreateFontIndirectW(&metrics.lfMessageFont);
    } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        // The metrics are the system's scale: taken to the one asked for.
        metrics.lfMessageFont.lfHeight =
            MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(screenDpi()));
        font = CreateFontIndirectW(&metrics.lfMessageFont);
    }
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return fonts[dpi] = font;
}

void takeSuggestedRect(HWND window, LPARAM suggested) {
    const auto* rect = reinterpret_cast<const RECT*>(suggested);
    if (!rect) return;
    SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace vexa
