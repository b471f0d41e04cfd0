#include "stage/map_decompress.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vexa {

using namespace map_format;

namespace {

// Bounds of one command, used to count how many can run unchecked: it emits at most
// kMaxLength bytes, advances the stream by at most 16 (kLiterals with 15 bytes), and
// in the fast variant stores up to 32 bytes and reads up to 18 from the byte of its
// first nibble.
constexpr std::size_t kMaxCommandOutput = kMaxLength;
constexpr std::size_t kMaxCommandInput = (kCommandNibbles[kLiterals] + 2 * kMaxLiterals) / 2;
constexpr std::size_t kWideStore = 32;
constexpr std::size_t kWideRead = 18;

constexpr int kContinue = -2;

std::uint64_t loadBigEndian64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    return v;
}

void storeBigEndian64(std::uint8_t* p, std::uint64_t v) {
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    std::memcpy(p, &v, sizeof v);
}

// Through a temporary, so that a wide copy whose surplus bytes overlap its source is
// still well defined; only the bytes below the distance count, and they are older.
template <std::size_t kSize> void copyThrough(std::uint8_t* dst, const std::uint8_t* src) {
    std::uint8_t tmp[kSize];
    std::memcpy(tmp, src, kSize);
    std::memcpy(dst, tmp, kSize);
}

// One call's state. The fast variant of each command skips the bounds checks and
// writes runs and copies 32 bytes wide (they end up overwritten); run() uses it only
// while the checks cannot fail, and finishes near either end with the exact variant.
struct Decoder {
    const std::uint8_t* data; // block start
    std::size_t size;         // readable bytes from the block start
    std::size_t pos;          // stream position in nibbles from the block start
    // 1 while pos is even, 16 while odd: a multiply aligns the window, which is
    // cheaper than a shift by a variable count.
    std::uint64_t parity;
    const std::uint8_t* dict;
    std::uint8_t* begin;
    std::uint8_t* end; // begin + kMapDataMaxSize
    std::uint8_t* dst;

    // The next 15 nibbles, the first in the top four bits. Bytes past the readable data
    // read as zero; run() fails the block once the position passes them.
    template <bool kFast> std::uint64_t window() const {
        const std::size_t at = pos >> 1;
        std::uint64_t v = 0;
        if (kFast || at + 8 <= size) {
            v = loadBigEndian64(data + at);
        } else {
            for (std::size_t i = 0; at + i < size && i < 8; ++i) {
                v |= std::uint64_t{data[at + i]} << (56 - 8 * i);
            }
        }
        return v * parity;
    }

    unsigned nibbleAt(std::size_t nibblePos) const {
        if (nibblePos / 2 >= size) return 0;
        return (data[nibblePos / 2] >> (nibblePos & 1 ? 0 : 4)) & 0xF;
    }

    template <unsigned kNibbles> void advance() {
        pos += kNibbles;
        if constexpr (kNibbles % 2 != 0) parity ^= 1 ^ 16;
    }

    bool reachesBefore(std::size_t distance) const { return static_cast<std::size_t>(dst - begin) < distance; }

    template <bool kFast> void fill(std::uint8_t value, std::size_t length) {
        std::memset(dst, value, kFast ? kWideStore : length);
        dst += length;
    }

    // Every accepted distance is at least the length: source and destination of the
    // meant bytes never overlap.
    template <bool kFast> void copyBack(std::size_t distance, std::size_t length) {
        const std::uint8_t* src = dst - distance;
        if constexpr (kFast) {
            copyThrough<16>(dst, src);
            copyThrough<16>(dst + 16, src + 16);
        } else {
            std::memcpy(dst, src, length);
        }
        dst += length;
    }

    void copyPair(const std::uint8_t* src) {
        copyThrough<2>(dst, src);
        dst += 2;
    }

    // kLiterals with `count` bytes; `w` is the command's window.
    template <bool kFast> void literals(std::uint64_t w, unsigned count) {
        const std::size_t first = pos + kCommandNibbles[kLiterals];
        if constexpr (kFast) {
            const std::uint8_t* src = data + (first >> 1);
            if (count <= 6) { // they are all in the window
                storeBigEndian64(dst, w << 8);
            } else if (first & 1) {
                storeBigEndian64(dst, loadBigEndian64(src) << 4 | src[8] >> 4);
                storeBigEndian64(dst + 8, loadBigEndian64(src + 8) << 4 | src[16] >> 4);
            } else {
                copyThrough<16>(dst, src);
            }
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                dst[i] = static_cast<std::uint8_t>(nibbleAt(first + 2 * i) << 4 | nibbleAt(first + 2 * i + 1));
            }
        }
        dst += count;
        pos = first + 2 * std::size_t{count}; // an even number of nibbles: the parity stays
    }

    // Runs one command: kContinue, or the result of the block (the length at the end
    // code, -1 on a failed check).
    template <bool kFast> int command() {
        const std::uint64_t w = window<kFast>();
        auto nibble = [w](unsigned k) { return static_cast<unsigned>(w >> (60 - 4 * k)) & 0xF; };
        auto byteAt = [w](unsigned k) { return static_cast<std::uint8_t>(w >> (56 - 4 * k)); };
        const std::size_t room = static_cast<std::size_t>(end - dst);
        auto fits = [room](std::size_t length) { return kFast || room >= length; };
        const unsigned code = static_cast<unsigned>(w >> 60);
        const unsigned length = nibble(1) + kMinLength; // for the commands with a count

        // Most commands of a tile map are near copies. A direct test ahead of the jump
        // table is predicted far better through long stretches of them.
        if (code == kNearCopy) [[likely]] {
            const std::size_t distance = byteAt(2) + length;
            if (!fits(length) || reachesBefore(distance)) return -1;
            copyBack<kFast>(distance, length);
            advance<kCommandNibbles[kNearCopy]>();
            return kContinue;
        }
        switch (code) {
        case kLiterals:
            if (nibble(1) == 0) { // the end code
                advance<kCommandNibbles[kLiterals]>();
                return pos <= 2 * size ? static_cast<int>(dst - begin) : -1;
            }
            if (!fits(nibble(1))) return -1;
            literals<kFast>(w, nibble(1));
            return kContinue;
        case kLiteral1:
            if (!fits(1)) return -1;
            *dst++ = byteAt(1);
            advance<kCommandNibbles[kLiteral1]>();
            return kContinue;
        case kLiteral2:
            if (!fits(2)) return -1;
            dst[0] = byteAt(1);
            dst[1] = byteAt(3);
            dst += 2;
            advance<kCommandNibbles[kLiteral2]>();
            return kContinue;
        case kRun:
            if (!fits(length)) return -1;
            fill<kFast>(byteAt(2), length);
            advance<kCommandNibbles[kRun]>();
            return kContinue;
        case kRunA:
        case kRunB:
            if (!fits(length)) return -1;
            fill<kFast>(dict[kRunBytesSlot + code - kRunA], length);
            advance<kCommandNibbles[kRunA]>();
            return kContinue;
        case kPairP:
            if (!fits(2)) return -1;
            copyPair(dict + kPairSlot);
            advance<kCommandNibbles[kPairP]>();
            return kContinue;
        case kByteC:
        case kByteD:
            if (!fits(1)) return -1;
            *dst++ = dict[kSingleBytesSlot + code - kByteC];
            advance<kCommandNibbles[kByteC]>();
            return kContinue;
        case kShortCopy: {
            const std::size_t distance = nibble(1) + kShortDistanceBase;
            if (!fits(2) || reachesBefore(distance)) return -1;
            copyPair(dst - distance);
            advance<kCommandNibbles[kShortCopy]>();
            return kContinue;
        }
        case kMidCopy: {
            const std::size_t distance = ((w >> 44) & 0xFFF) + kMidDistanceBase;
            if (!fits(length) || reachesBefore(distance)) return -1;
            copyBack<kFast>(distance, length);
            advance<kCommandNibbles[kMidCopy]>();
            return kContinue;
        }
        case kFarCopy: {
            const std::size_t distance = (w >> 40) & 0xFFFF;
            if (!fits(length) || reachesBefore(distance) || distance < length) return -1;
            copyBack<kFast>(distance, length);
            advance<kCommandNibbles[kFarCopy]>();
            return kContinue;
        }
        case kRepeat1:
            if (!fits(1) || reachesBefore(1)) return -1;
            dst[0] = dst[-1];
            dst += 1;
            advance<kCommandNibbles[kRepeat1]>();
            return kContinue;
        case kRepeat2:
            if (!fits(2) || reachesBefore(2)) return -1;
            copyPair(dst - 2);
            advance<kCommandNibbles[kRepeat2]>();
            return kContinue;
        case kPairW:
            if (!fits(2)) return -1;
            copyPair(dict + kPairTableSlot + 2 * nibble(1));
            advance<kCommandNibbles[kPairW]>();
            return kContinue;
        default: __builtin_unreachable(); // kNearCopy is handled above
        }
    }

    // How many commands can run in the fast variant from here: command k starts at
    // most k * kMaxCommandInput bytes further on in the stream and k * kMaxCommandOutput
    // bytes further on in the output, and must have kWideRead and kWideStore bytes there.
    std::size_t fastBudget() const {
        const std::size_t at = pos >> 1;
        const std::size_t room = static_cast<std::size_t>(end - dst);
        if (size < at + kWideRead || room < kWideStore) return 0;
        return std::min((size - at - kWideRead) / kMaxCommandInput, (room - kWideStore) / kMaxCommandOutput) + 1;
    }

    int run() {
        for (std::size_t budget; (budget = fastBudget()) != 0;) {
            do {
                const int result = command<true>();
                if (result != kContinue) return result;
            } while (--budget != 0);
        }
        for (;;) {
            const int result = command<false>();
            if (result != kContinue) return result;
            if (pos > 2 * size) return -1;
        }
    }
};

} // namespace

MapDataDecoded decompressMapBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> out) {
    if (out.size() < kMapDataMaxSize || block.size() < kStreamOffset) return {};

    std::uint8_t dict[kDictionarySize];
    std::memcpy(dict, block.data() + kDictionaryOffset, kDictionarySize);
    Decoder decoder{block.data(), block.size(), 2 * kStreamOffset, 1, dict, out.data(), out.data() + kMapDataMaxSize,
                    out.data()};
    const int size = decoder.run();
    if (size < 0) return {};
    // The stream stands behind the end code, whose last nibble may be a byte's high half.
    return {size, (decoder.pos + 1) / 2};
}

int decompressMapData(std::span<const std::uint8_t> block, std::span<std::uint8_t> out) {
    return decompressMapBlock(block, out).size;
}

} // namespace vexa
