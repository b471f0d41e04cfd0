// Names from Shift-JIS settings files (code page 932) as UTF-8, for what the tools
// write: JSON, Tiled maps. Two sources implement the conversion: iconv natively
// (shift_jis_iconv.cpp) and the C runtime's code page 932 locale in the Windows
// build (shift_jis_crt.cpp), which has no iconv; neither needs a window.
#pragma once

#include "app/rom_info.h"

#include <string>
#include <string_view>

namespace vexa {

// A byte sequence that is no Shift-JIS character becomes one '?'.
std::string utf8FromShiftJis(std::string_view text);

// The name as UTF-8 whatever its file's encoding; empty when the key is missing.
std::string utf8Name(const IniName& name);

} // namespace vexa
