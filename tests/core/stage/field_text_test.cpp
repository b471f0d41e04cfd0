#include "stage/field_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>

namespace vexa {
namespace {

// One text through the three rules. The sprite page's rules take any white space
// before the number, the banana and camera pages' only spaces and tabs; each holds a
// long number to its own ceiling.
TEST(FieldText, EachRuleReadsTheLeadingNumberItsOwnWay) {
    struct Case {
        const wchar_t* text;
        std::optional<std::uint32_t> hex;
        std::optional<std::int64_t> decimal;
        std::int32_t value;
    };
    const Case cases[] = {
        {L"\t17", 0x17u, 17, 17},
        {L"\r\n17", 0x17u, 17, 0},
        {L"0x", 0u, 0, 0},
        {L"-0x10", 0xFFFFFFF0u, 0, 0},
        {L"ff", 0xFFu, std::nullopt, 0},
        {L"2147483648", 0x47483648u, 2147483648LL, INT_MAX},
        {L"-2147483648", 0xB8B7C9B8u, -2147483648LL, INT_MIN},
        {L"4294967296", 0x94967296u, 0xFFFFFFFFLL, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(parseHexField(c.text), c.hex);
        EXPECT_EQ(parseDecimalField(c.text), c.decimal);
        EXPECT_EQ(decimalFieldValue(c.text), c.value);
    }
}

} // namespace
} // namespace vexa
