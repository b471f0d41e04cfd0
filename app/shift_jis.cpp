#include "app/shift_jis.h"

#include <algorithm>

namespace vexa {

std::string utf8Name(const IniName& name) {
    if (!name.value) return {};
    const std::string& text = *name.value;
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return name.encoding == IniEncoding::Utf8 || ascii ? text : utf8FromShiftJis(text);
}

} // namespace vexa
