// toShiftJis for the native build, through iconv (MinGW has none: see shift_jis_win.cpp).
#include "app/iconv_text.h"
#include "tools/sample_game/sample_ini.h"

namespace vexa::sample {

std::string toShiftJis(std::string_view utf8) {
    return iconvText(utf8, "CP932//TRANSLIT", "UTF-8");
}

} // namespace vexa::sample
