// toShiftJis for the Windows build: MinGW has no iconv, and Windows converts to code
// page 932 itself whatever the ANSI code page is.
#include "tools/sample_game/sample_ini.h"

#include <windows.h>

#include <string>

namespace vexa::sample {

std::string toShiftJis(std::string_view utf8) {
    if (utf8.empty()) return {};
    // Broken UTF-8 comes back as U+FFFD, which code page 932 lacks.
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    // A character beyond the 16-bit range would otherwise become one '?' per half.
    std::wstring units;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const bool pair = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
        units += pair ? L'?' : wide[i];
        i += pair ? 1 : 0;
    }
    const int size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, units.data(), static_cast<int>(units.size()),
                                         nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, units.data(), static_cast<int>(units.size()), out.data(), size, "?",
                        nullptr);
    return out;
}

} // namespace vexa::sample
