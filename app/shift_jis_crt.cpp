// utf8FromShiftJis for the Windows build: the C runtime converts through a locale of
// code page 932, whatever the system's ANSI code page is.
#include "app/ini_file.h"
#include "app/shift_jis.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace vexa {

std::string utf8FromShiftJis(std::string_view text) {
    static const _locale_t cp932 = _create_locale(LC_ALL, ".932");
    std::u16string units;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const bool pair = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        const std::size_t length = pair && i + 1 < text.size() ? 2 : 1;
        wchar_t wide = 0;
        const int read = cp932 ? _mbtowc_l(&wide, text.data() + i, length, cp932) : -1;
        if (read > 0)
            units += static_cast<char16_t>(wide);
        else
            units += lead < 0x80 ? static_cast<char16_t>(lead) : u'?';
        i += read > 0 ? static_cast<std::size_t>(read) : 1;
    }
    return utf16ToUtf8(units);
}

} // namespace vexa
