// The Windows build's Shift-JIS conversion gives what the native one gives.
#include "tools/sample_game/sample_ini.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(SampleShiftJis, KeepsAsciiConvertsKanjiAndMarksEachMissingCharacterOnce) {
    const struct {
        const char* utf8;
        std::string shiftJis;
    } cases[] = {
        {"A=草 1", "A=\x91\x90 1"},
        {"ゴブリン", "\x83\x53\x83\x75\x83\x8A\x83\x93"},
        {"x\xF0\x9F\x98\x80y", "x?y"}, // an emoji: two UTF-16 units, one character
        {"x\xFFy", "x?y"},             // not UTF-8
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sample::toShiftJis(c.utf8), c.shiftJis) << c.utf8;
}

} // namespace
} // namespace vexa
