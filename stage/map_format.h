// The layout of a compressed terrain map block, which the decoder and the encoder
// share. A block is a head byte (skipped), a 38-byte dictionary and a stream of
// commands in nibbles, high nibble first: a 4-bit code, then its operands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vexa {

// Most bytes one block can expand to.
inline constexpr std::size_t kMapDataMaxSize = 0x10000;

namespace map_format {

// The command codes, named for what they emit.
enum Command : std::uint8_t {
    kLiterals = 0,  // a count nibble, then that many bytes; with a count of 0 the end code
    kLiteral1 = 1,  // one byte
    kLiteral2 = 2,  // two bytes
    kRun = 3,       // length, then the byte to repeat
    kRunA = 4,      // length: a run of the dictionary's first run byte
    kRunB = 5,      // length: a run of its second
    kPairP = 6,     // the dictionary's single pair
    kByteC = 7,     // the dictionary's first single byte
    kByteD = 8,     // its second
    kShortCopy = 9, // the two bytes at a distance of kShortDistanceBase + nibble
    kNearCopy = 10, // length, then a byte: the distance less the length
    kMidCopy = 11,  // length, then 12 bits: the distance less kMidDistanceBase
    kFarCopy = 12,  // length, then 16 bits: the distance
    kRepeat1 = 13,  // the last byte again
    kRepeat2 = 14,  // the last two bytes again
    kPairW = 15,    // a nibble: one of the dictionary's table of pairs
};
inline constexpr unsigned kCommandCount = 16;

// Each command's size in nibbles, its code included; literals add two per byte.
inline constexpr std::array<unsigned, kCommandCount> kCommandNibbles = {2, 3, 5, 4, 2, 2, 1, 1, 1, 2, 4, 5, 6, 1, 1, 2};

inline constexpr std::size_t kDictionaryOffset = 1; // behind the head byte
inline constexpr std::size_t kDictionarySize = 38;
inline constexpr std::size_t kStreamOffset = kDictionaryOffset + kDictionarySize;

// Slots of the dictionary, counted from its first byte.
inline constexpr std::size_t kRunBytesSlot = 0;    // the fill bytes of kRunA and kRunB
inline constexpr std::size_t kSingleBytesSlot = 2; // the bytes of kByteC and kByteD
inline constexpr std::size_t kPairSlot = 4;        // the pair of kPairP, low byte first
inline constexpr std::size_t kPairTableSlot = 6;   // the pairs of kPairW, two bytes each
inline constexpr std::size_t kPairTableCount = 16;
static_assert(kPairTableSlot + 2 * kPairTableCount == kDictionarySize);

// A length nibble c stands for c + kMinLength bytes.
inline constexpr unsigned kMinLength = 3;
inline constexpr unsigned kMaxLength = kMinLength + 0xF;
inline constexpr unsigned kMaxLiterals = 0xF;

inline constexpr std::size_t kShortDistanceBase = 2;
inline constexpr std::size_t kMaxShortDistance = kShortDistanceBase + 0xF;
inline constexpr std::size_t kMidDistanceBase = 0x103;
inline constexpr std::size_t kMaxMidDistance = kMidDistanceBase + 0xFFF;
inline constexpr std::size_t kMaxFarDistance = 0xFFFF;

} // namespace map_format

} // namespace vexa
