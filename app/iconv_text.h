// Text from one character set to another through iconv, for the native build's
// conversions (MinGW has no iconv: the Windows build converts otherwise).
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// A sequence that does not convert becomes one '?' (a broken UTF-8 character whole);
// without the conversion at all every byte past ASCII becomes '?'.
std::string iconvText(std::string_view text, const char* to, const char* from);

} // namespace vexa
