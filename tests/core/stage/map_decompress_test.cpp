#include "stage/map_decompress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Dictionary = std::array<std::uint8_t, 38>;

constexpr std::uint8_t kUntouched = 0xEE;

// The dictionary of the worked example: A=00 B=FF C=01 D=02 P=10 20 W0=11 22.
Dictionary exampleDictionary() {
    return {0x00, 0xFF, 0x01, 0x02, 0x10, 0x20, 0x11, 0x22};
}

// A=AA B=BB C=C1 D=D2 P=E4 E5, and Wk=8k 9k, so that every source is recognisable.
Dictionary markedDictionary() {
    Dictionary d{0xAA, 0xBB, 0xC1, 0xD2, 0xE4, 0xE5};
    for (int k = 0; k < 16; ++k) {
        d[6 + 2 * k] = static_cast<std::uint8_t>(0x80 + k);
        d[7 + 2 * k] = static_cast<std::uint8_t>(0x90 + k);
    }
    return d;
}

// A block from hex nibbles (spaces ignored), padded with a zero nibble to whole bytes.
Bytes block(std::string_view nibbles, const Dictionary& dict = markedDictionary(), std::uint8_t head = 0) {
    Bytes bytes{head};
    bytes.insert(bytes.end(), dict.begin(), dict.end());
    bool high = true;
    for (char c : nibbles) {
        if (c == ' ') continue;
        const auto v = static_cast<std::uint8_t>(std::stoi(std::string(1, c), nullptr, 16));
        if (high)
            bytes.push_back(static_cast<std::uint8_t>(v << 4));
        else
            bytes.back() |= v;
        high = !high;
    }
    return bytes;
}

// Nibbles that emit `count` bytes of A (runs of command 4, then single bytes of C).
std::string output(std::size_t count) {
    std::string s;
    for (; count >= 18; count -= 18)
        s += "4F ";
    if (count >= 3) return s + "4" + "0123456789ABCDEF"[count - 3] + " ";
    return s + std::string(count, '7') + " ";
}

struct Decoded {
    int result;
    Bytes out;
};

// Decodes into a buffer with a guard area past 64 KiB, which must stay untouched.
Decoded decode(std::span<const std::uint8_t> data) {
    Decoded d{0, Bytes(kMapDataMaxSize + 64, kUntouched)};
    d.result = decompressMapData(data, d.out);
    EXPECT_TRUE(std::all_of(d.out.begin() + kMapDataMaxSize, d.out.end(), [](auto b) { return b == kUntouched; }));
    return d;
}

Bytes written(const Decoded& d) {
    return d.result < 0 ? Bytes{} : Bytes(d.out.begin(), d.out.begin() + d.result);
}

const Bytes kExampleOutput = {0x12, 0x34, 0x12, 0x34, 0x56, 0x56, 0x56, 0x56, 0x34, 0x56, 0x56, 0x10, 0x20, 0x9A, 0xBC};

TEST(MapDecompress, WorkedExampleGivesFifteenBytes) {
    const Decoded d = decode(block("21 23 4E 31 56 A0 02 60 29 AB C0 00", exampleDictionary()));
    EXPECT_EQ(d.result, 15);
    EXPECT_EQ(written(d), kExampleOutput);
}

TEST(MapDecompress, WorkedExampleShiftedByHalfAByteDecodesTheSame) {
    Bytes expected{0x01};
    expected.insert(expected.end(), kExampleOutput.begin(), kExampleOutput.end());
    const Decoded d = decode(block("7 21 23 4E 31 56 A0 02 60 29 AB C0 00", exampleDictionary()));
    EXPECT_EQ(written(d), expected);
}

TEST(MapDecompress, HeadByteIsIgnored) {
    for (int head : {0x00, 0x5A, 0xFF}) {
        const auto data =
            block("21 23 4E 31 56 A0 02 60 29 AB C0 00", exampleDictionary(), static_cast<std::uint8_t>(head));
        EXPECT_EQ(written(decode(data)), kExampleOutput);
    }
}

TEST(MapDecompress, EndCodeFirstReturnsZeroAndWritesNothing) {
    const Decoded d = decode(block("00"));
    EXPECT_EQ(d.result, 0);
    EXPECT_TRUE(std::all_of(d.out.begin(), d.out.end(), [](auto b) { return b == kUntouched; }));
}

TEST(MapDecompress, EndCodeAtHalfByteIgnoresTheLastNibble) {
    const Decoded d = decode(block("7 00 F"));
    EXPECT_EQ(written(d), (Bytes{0xC1}));
}

// One command each (after a helper literal or two), with the bytes it emits; every
// back-reference stays within the case's own output.
struct Case {
    std::string_view nibbles;
    Bytes expected;
};

std::vector<Case> commandCases() {
    return {
        {"0 3 11 22 33", {0x11, 0x22, 0x33}},
        {"0 F 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE",
         {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}},
        {"1 5A", {0x5A}},
        {"2 5A C3", {0x5A, 0xC3}},
        {"3 0 77", Bytes(3, 0x77)},
        {"3 F 77", Bytes(18, 0x77)},
        {"4 2", Bytes(5, 0xAA)},
        {"5 F", Bytes(18, 0xBB)},
        {"6", {0xE4, 0xE5}},
        {"7 8", {0xC1, 0xD2}},
        {"2 12 34 1 56 9 1", {0x12, 0x34, 0x56, 0x12, 0x34}},
        {"2 12 34 9 0", {0x12, 0x34, 0x12, 0x34}}, // distance 2: the same as command 14
        {"2 12 34 E", {0x12, 0x34, 0x12, 0x34}},
        {"2 12 34 1 56 A 0 00", {0x12, 0x34, 0x56, 0x12, 0x34, 0x56}}, // bb = 0: adjacent
        {"2 12 34 2 56 78 A 0 01", {0x12, 0x34, 0x56, 0x78, 0x12, 0x34, 0x56}},
        {"2 12 34 1 56 C 0 0003", {0x12, 0x34, 0x56, 0x12, 0x34, 0x56}},
        {"1 5A D", {0x5A, 0x5A}},
        {"F 0 F F", {0x80, 0x90, 0x8F, 0x9F}},
    };
}

TEST(MapDecompress, EveryCommandEmitsItsBytesInBothAlignments) {
    for (const Case& c : commandCases()) {
        for (bool shifted : {false, true}) {
            SCOPED_TRACE(std::string(c.nibbles) + (shifted ? " after one nibble" : ""));
            Bytes expected = c.expected;
            if (shifted) expected.insert(expected.begin(), 0xC1);
            const Decoded d = decode(block((shifted ? "7 " : "") + std::string(c.nibbles) + " 00"));
            EXPECT_EQ(d.result, static_cast<int>(expected.size()));
            EXPECT_EQ(written(d), expected);
        }
    }
}

// Long enough that most commands take the unchecked path, with each command in both
// alignments and at many output positions.
TEST(MapDecompress, LongStreamsDecodeLikeShortOnes) {
    std::string nibbles;
    Bytes expected;
    for (int round = 0; round < 40; ++round) {
        for (const Case& c : commandCases()) {
            nibbles += std::string(c.nibbles) + " ";
            expected.insert(expected.end(), c.expected.begin(), c.expected.end());
            if ((round + expected.size()) % 3 == 0) {
                nibbles += "8 ";
                expected.push_back(0xD2);
            }
        }
    }
    const Decoded d = decode(block(nibbles + "00"));
    EXPECT_EQ(d.result, static_cast<int>(expected.size()));
    EXPECT_EQ(written(d), expected);
}

TEST(MapDecompress, MidCopyReachesExactly259Back) {
    const Decoded d = decode(block("1 5A " + output(258) + "B 0 000 00"));
    ASSERT_EQ(d.result, 262);
    EXPECT_EQ(d.out[259], 0x5A);
    EXPECT_EQ(d.out[260], 0xAA);
    EXPECT_EQ(decode(block(output(258) + "B 0 000 00")).result, -1);
}

TEST(MapDecompress, BackReferencesBeforeTheStartFail) {
    for (std::string_view nibbles : {"D", "1 5A E", "2 12 34 9 1", "1 5A A 0 00", "2 12 34 C 0 0003"}) {
        SCOPED_TRACE(nibbles);
        EXPECT_EQ(decode(block(std::string(nibbles) + " 00")).result, -1);
    }
}

TEST(MapDecompress, FarCopyShorterThanItsLengthFailsEvenWithEnoughOutput) {
    EXPECT_EQ(decode(block(output(100) + "C 1 0003 00")).result, -1);
    EXPECT_EQ(decode(block(output(100) + "C 0 0003 00")).result, 103);
}

TEST(MapDecompress, FarCopyBeyondTheStartFailsDeepInALongStream) {
    EXPECT_EQ(decode(block(output(5000) + "C F FFFF " + output(5000) + "00")).result, -1);
    EXPECT_EQ(decode(block(output(5000) + "C F 1388 " + output(5000) + "00")).result, 10018);
}

// Each command, emitting `length` bytes, after output that leaves one byte too few
// and after output that leaves just enough.
TEST(MapDecompress, EveryCommandFailsWhenItWouldPass65536Bytes) {
    const std::vector<std::pair<std::string_view, std::size_t>> commands = {
        {"0 3 11 22 33", 3}, {"1 5A", 1},     {"2 12 34", 2},   {"3 F 77", 18}, {"4 F", 18},
        {"5 0", 3},          {"6", 2},        {"7", 1},         {"8", 1},       {"9 0", 2},
        {"A F 00", 18},      {"B F 000", 18}, {"C F 0012", 18}, {"D", 1},       {"E", 2},
        {"F 3", 2},
    };
    for (const auto& [nibbles, length] : commands) {
        SCOPED_TRACE(nibbles);
        // Data goes on past the end code, as in a ROM, so the fast path runs up to the end of the output.
        const std::string command = std::string(nibbles) + " 00" + std::string(80, 'F');
        const Decoded full = decode(block(output(kMapDataMaxSize - length) + command));
        EXPECT_EQ(full.result, 65536);
        EXPECT_EQ(decode(block(output(kMapDataMaxSize - length + 1) + command)).result, -1);
    }
}

TEST(MapDecompress, ReadsNoFurtherThanTheGivenData) {
    const Bytes example = block("21 23 4E 31 56 A0 02 60 29 AB C0 00", exampleDictionary());
    // The end code's second nibble is the high nibble of the last readable byte.
    EXPECT_EQ(decode(example).result, 15);
    EXPECT_EQ(decode(std::span(example).first(example.size() - 1)).result, -1);
    EXPECT_EQ(decode(std::span(example).first(38)).result, -1);

    // Long streams run through the unchecked fast path first; cut anywhere, they fail.
    // The longest commands come last, literals in both alignments.
    std::string nibbles = "1 5A " + output(3000) + "A F 12 B 3 456 ";
    for (int i = 0; i < 8; ++i)
        nibbles += "0 F 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE 7 ";
    const Bytes longBlock = block(nibbles + "00");
    ASSERT_EQ(decode(longBlock).result, 1 + 3000 + 18 + 6 + 8 * 16);
    for (std::size_t cut = 39; cut < longBlock.size(); ++cut) {
        const Bytes exact(longBlock.begin(), longBlock.begin() + static_cast<std::ptrdiff_t>(cut)); // for ASan
        ASSERT_EQ(decode(exact).result, -1) << cut;
    }
}

TEST(MapDecompress, BlockLengthStopsAtTheEndCode) {
    const struct {
        std::string nibbles;
        std::size_t junk; // bytes of 0xFF behind the block
        int size;
        std::size_t length;
    } cases[] = {
        {"00", 0, 0, 40},
        {"00", 8, 0, 40},
        {"7 00 F", 8, 1, 41},                                // the end code ends in the high half of its last byte
        {"21 23 4E 31 56 A0 02 60 29 AB C0 00", 20, 15, 51}, // and so does this one
        {"7 21 23 4E 31 56 A0 02 60 29 AB C0 00", 20, 16, 51},
        {"7 7 21 23 4E 31 56 A0 02 60 29 AB C0 00", 20, 17, 52},
        {output(5000) + "00", 40, 5000, 318}, // through the unchecked fast path
        {"D 00", 8, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nibbles.substr(0, 40));
        Bytes data = block(c.nibbles);
        data.insert(data.end(), c.junk, 0xFF);
        Bytes out(kMapDataMaxSize);
        const MapDataDecoded decoded = decompressMapBlock(data, out);
        EXPECT_EQ(decoded.size, c.size);
        EXPECT_EQ(decoded.blockLength, c.length);
        EXPECT_EQ(decompressMapData(data, out), c.size);
    }
}

TEST(MapDecompress, RefusesAnOutputBufferBelow64KiB) {
    Bytes out(kMapDataMaxSize - 1);
    EXPECT_EQ(decompressMapData(block("00"), out), -1);
}

} // namespace
} // namespace vexa
