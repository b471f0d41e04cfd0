// Text as it fits a fixed buffer of characters, the way the platform's formatters and
// profile readers fill one.
#pragma once

#include <cstddef>
#include <string>

namespace vexa {

// `text` cut to at most bufferChars - 1 characters (the buffer's last one holds the
// end), never between the two halves of a surrogate pair: wchar_t is UTF-16 on
// Windows, and half a pair would show as a broken character. A buffer of 0 holds
// nothing.
std::wstring cutToBuffer(std::wstring text, std::size_t bufferChars);

} // namespace vexa
