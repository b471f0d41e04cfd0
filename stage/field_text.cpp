#include "stage/field_text.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>

namespace vexa {

namespace {

// What may stand before a number's sign.
enum class Blanks {
    SpaceAndTab,
    WhiteSpace, // space, tab, line feed, vertical tab, form feed, carriage return
};

bool isBlank(wchar_t c, Blanks blanks) {
    if (blanks == Blanks::SpaceAndTab) return c == L' ' || c == L'\t';
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Skips leading blanks and a sign; returns whether the sign was a minus.
bool skipBlanksAndSign(std::wstring_view text, std::size_t& at, Blanks blanks) {
    while (at < text.size() && isBlank(text[at], blanks))
        ++at;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) return text[at++] == L'-';
    return false;
}

// The decimal number that leads the text, its size held to `ceiling` digit by digit
// so that a long run of digits cannot overflow.
std::optional<std::int64_t> leadingDecimal(std::wstring_view text, Blanks blanks, std::int64_t ceiling) {
    std::size_t at = 0;
    const bool negative = skipBlanksAndSign(text, at, blanks);
    bool digits = false;
    std::int64_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        value = std::min(value * 10 + (text[at] - L'0'), ceiling);
        digits = true;
    }
    if (!digits) return std::nullopt;
    return negative ? -value : value;
}

} // namespace

std::optional<std::uint32_t> parseHexField(std::wstring_view text) {
    std::size_t at = 0;
    const bool negative = skipBlanksAndSign(text, at, Blanks::WhiteSpace);
    bool digits = false;
    if (at + 1 < text.size() && text[at] == L'0' && (text[at + 1] == L'x' || text[at + 1] == L'X')) {
        at += 2;
        digits = true; // the "0" of the prefix
    }
    std::uint32_t value = 0;
    for (; at < text.size() && hexDigit(text[at]) >= 0; ++at) {
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[at]));
        digits = true;
    }
    if (!digits) return std::nullopt;
    return negative ? 0u - value : value;
}

std::optional<std::uint16_t> parseHexWord(std::wstring_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    unsigned value = 0;
    for (const wchar_t c : text) {
        const int digit = hexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<std::uint16_t>(value);
}

std::optional<std::uint16_t> parseHexWord(std::string_view text) {
    std::wstring wide;
    for (const char c : text)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return parseHexWord(std::wstring_view(wide));
}

std::optional<std::int64_t> parseDecimalField(std::wstring_view text) {
    return leadingDecimal(text, Blanks::WhiteSpace, 0xFFFFFFFFLL);
}

std::int32_t decimalFieldValue(std::wstring_view text) {
    // One past the int maximum, so that the minimum survives the sign.
    constexpr std::int64_t kCeiling = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    const std::int64_t value = leadingDecimal(text, Blanks::SpaceAndTab, kCeiling).value_or(0);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace vexa
