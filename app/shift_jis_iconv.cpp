// utf8FromShiftJis for the native build, and the iconv loop that the sample game's
// builder shares.
#include "app/iconv_text.h"
#include "app/shift_jis.h"

#include <cerrno>
#include <iconv.h>

namespace vexa {

std::string iconvText(std::string_view text, const char* to, const char* from) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    // iconv_open's failure value is (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) { // NOLINT(performance-no-int-to-ptr)
        for (const char c : text)
            out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        return out;
    }
    const bool utf8 = std::string_view(from) == "UTF-8";
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
            // One '?' for the character, and on past it.
            out += '?';
            do {
                ++src;
                --left;
            } while (utf8 && left > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
        }
    }
    iconv_close(cd);
    return out;
}

std::string utf8FromShiftJis(std::string_view text) {
    return iconvText(text, "UTF-8", "CP932");
}

} // namespace vexa
