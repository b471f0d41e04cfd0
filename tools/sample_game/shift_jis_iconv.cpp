// toShiftJis for the native build, through iconv (MinGW has none: see shift_jis_win.cpp).
#include "tools/sample_game/sample_ini.h"

#include <cerrno>
#include <iconv.h>

namespace vexa::sample {

std::string toShiftJis(std::string_view utf8) {
    std::string out;
    iconv_t cd = iconv_open("CP932//TRANSLIT", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (const char c : utf8)
            out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        return out;
    }
    std::string in(utf8);
    char* src = in.data();
    std::size_t left = in.size();
    char buffer[256];
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t result = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A broken sequence: one '?' for the whole character.
            out += '?';
            do {
                ++src;
                --left;
            } while (left > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace vexa::sample
