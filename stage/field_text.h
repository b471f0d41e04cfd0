// How a page's number fields read their text. Each rule takes the number that leads
// the text and ignores whatever follows it, as the C library's readers do, so "12px"
// is 12. Which fields read by which rule:
//   sprite page       Parameter and Type: parseHexField; X and Y: parseDecimalField
//   banana page       X and Y: decimalFieldValue
//   camera page       Left, Top, Right and Bottom: decimalFieldValue
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vexa {

// Hexadecimal like "%x": blanks (space, tab, line ends, form feed), a sign, an
// optional "0x" or "0X", then hex digits. The value wraps at 32 bits and a minus
// negates it within them. Nothing when no digit leads; the "0" of "0x" counts as one.
std::optional<std::uint32_t> parseHexField(std::wstring_view text);

// Decimal like "%d": the same blanks, a sign, then decimal digits. However many digits
// are typed, the size is held to 0xFFFFFFFF: beyond the sprite positions either way.
// Nothing when no digit leads.
std::optional<std::int64_t> parseDecimalField(std::wstring_view text);

// Decimal as the banana and camera pages read it: spaces and tabs, a sign, then decimal
// digits; 0 when no digit leads, and held to the int range however many are typed.
std::int32_t decimalFieldValue(std::wstring_view text);

// A tile word, Parameter or Type as tools and text forms give it: one to four hexadecimal
// digits of either case and nothing else. Nothing for any other text.
std::optional<std::uint16_t> parseHexWord(std::wstring_view text);
std::optional<std::uint16_t> parseHexWord(std::string_view text);

} // namespace vexa
