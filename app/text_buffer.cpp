#include "app/text_buffer.h"

namespace vexa {

std::wstring cutToBuffer(std::wstring text, std::size_t bufferChars) {
    if (bufferChars == 0) return {};
    if (text.size() < bufferChars) return text;
    std::size_t length = bufferChars - 1;
    const auto last = length == 0 ? 0u : static_cast<unsigned>(text[length - 1]);
    if (last >= 0xD800 && last <= 0xDBFF) --length;
    text.resize(length);
    return text;
}

} // namespace vexa
