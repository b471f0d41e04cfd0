// utf8FromShiftJis for the native build.
#include "app/shift_jis.h"

#include <cerrno>
#include <iconv.h>

namespace vexa {

std::string utf8FromShiftJis(std::string_view text) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    // iconv_open's failure value is (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) { // NOLINT(performance-no-int-to-ptr)
        for (const char c : text)
            out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        return out;
    }
    std::string in(text);
    char* src = in.data();
    std::size_t left = in.size();
    char buffer[256];
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t result = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // Not a character of the code page (or cut short): one '?', and on past it.
            out += '?';
            ++src;
            --left;
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace vexa
