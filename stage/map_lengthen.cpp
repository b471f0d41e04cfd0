// The exact-length encoder: the shortest encoding, with some of its commands written
// a few nibbles longer in other commands that stand for the same bytes.
#include "stage/map_compress.h"
#include "stage/map_decompress.h"
#include "stage/map_encoding.h"

#include <algorithm>

namespace vexa {

using namespace map_format;

namespace {

constexpr unsigned kLiteralsOverhead = kCommandNibbles[kLiterals];
// No step stands for more than kMaxLength bytes, and kLiterals of one byte each spell
// them in the most nibbles.
constexpr unsigned kMostExtra = kMaxLength * (kLiteralsOverhead + 2);

// Literal commands for `bytes` bytes that take 2 * `bytes` + `overhead` nibbles, or none
// when no mix of them does: kLiteral1 and kLiteral2 take one nibble over the bytes
// they spell, kLiterals two.
std::vector<MapStep> spelled(std::size_t bytes, unsigned overhead) {
    for (unsigned spans = 0; kLiteralsOverhead * spans <= overhead; ++spans) {
        const unsigned pieces = overhead - kLiteralsOverhead * spans; // of kLiteral1 and kLiteral2
        for (unsigned pairs = 0; pairs <= pieces; ++pairs) {
            const std::size_t pieceBytes = std::size_t{pieces} + pairs;
            if (pieceBytes > bytes) break;
            const std::size_t rest = bytes - pieceBytes; // for the kLiterals
            if (spans == 0 ? rest != 0 : rest < spans || rest > std::size_t{kMaxLiterals} * spans) continue;
            std::vector<MapStep> steps(pieces - pairs, MapStep{kLiteral1, 1, 0});
            steps.insert(steps.end(), pairs, MapStep{kLiteral2, 2, 0});
            for (unsigned r = 0; r < spans; ++r) {
                const std::size_t length = rest / spans + (r < rest % spans ? 1 : 0);
                steps.push_back({kLiterals, static_cast<std::uint8_t>(length), 0});
            }
            return steps;
        }
    }
    return {};
}

// `step` written `extra` nibbles longer, standing for the same bytes; none when no way
// is known.
std::vector<MapStep> lengthened(const MapStep& step, unsigned extra) {
    const unsigned nibbles = stepNibbles(step);
    const unsigned length = step.length;
    switch (step.code) {
    case kRun:
    case kRunA:
    case kRunB: {
        // A run less its last bytes, each the byte before again.
        auto shortened = [&](std::uint8_t code, unsigned repeats) {
            std::vector<MapStep> steps = {{code, static_cast<std::uint8_t>(length - repeats), step.arg}};
            steps.insert(steps.end(), repeats, MapStep{kRepeat1, 1, 0});
            return steps;
        };
        if (length >= kMinLength + extra) return shortened(step.code, extra);
        // A run of a dictionary byte can name its byte instead.
        const unsigned naming = kCommandNibbles[kRun] - nibbles;
        if (step.code != kRun && extra >= naming && length + naming >= kMinLength + extra) {
            return shortened(kRun, extra - naming);
        }
        break;
    }
    case kNearCopy:
    case kMidCopy:
    case kFarCopy: {
        // A far copy reaches any distance its length allows.
        if (extra == kCommandNibbles[kFarCopy] - nibbles) return {{kFarCopy, step.length, step.arg}};
        // A shorter copy and its last bytes spelled. A near copy's distance byte
        // counts from its length, which limits how short it can get.
        for (unsigned cut = 1; length >= kMinLength + cut && 2 * cut <= extra; ++cut) {
            if (step.code == kNearCopy && step.arg - (length - cut) > 0xFF) break;
            std::vector<MapStep> tail = spelled(cut, extra - 2 * cut);
            if (tail.empty()) continue;
            tail.insert(tail.begin(), {step.code, static_cast<std::uint8_t>(length - cut), step.arg});
            return tail;
        }
        break;
    }
    default: break;
    }
    // Any bytes can be spelled.
    if (nibbles + extra < 2 * length) return {};
    return spelled(length, nibbles + extra - 2 * length);
}

std::size_t blockLengthOf(std::size_t streamNibbles) {
    return kStreamOffset + (streamNibbles + kCommandNibbles[kLiterals] + 1) / 2;
}

// How much to lengthen each step for `fewest` or `fewest` + 1 nibbles more in all
// (empty when neither can be had): the sums that lengthening the steps up to each one
// can make, until one of the two is among them, then traced back.
std::vector<unsigned> chooseExtras(const std::vector<MapStep>& steps, unsigned fewest, unsigned most) {
    std::vector<std::vector<bool>> reachable = {std::vector<bool>(most + 1, false)};
    reachable[0][0] = true;
    std::vector<unsigned> extras(steps.size(), 0);
    for (std::size_t s = 0; s < steps.size(); ++s) {
        if (reachable[s][fewest] || reachable[s][most]) break;
        std::vector<bool> next = reachable[s];
        for (unsigned extra = 1; extra <= std::min(most, kMostExtra); ++extra) {
            if (lengthened(steps[s], extra).empty()) continue;
            for (unsigned sum = 0; sum + extra <= most; ++sum) {
                if (reachable[s][sum]) next[sum + extra] = true;
            }
        }
        reachable.push_back(std::move(next));
    }
    unsigned sum = reachable.back()[most] ? most : fewest;
    if (!reachable.back()[sum]) return {};
    for (std::size_t s = reachable.size() - 1; s-- > 0;) {
        if (reachable[s][sum]) continue;
        for (unsigned extra = 1; extra <= std::min(sum, kMostExtra); ++extra) {
            if (reachable[s][sum - extra] && !lengthened(steps[s], extra).empty()) {
                extras[s] = extra;
                sum -= extra;
                break;
            }
        }
    }
    return extras;
}

} // namespace

std::vector<std::uint8_t> compressMapDataToLength(std::span<const std::uint8_t> data, std::uint8_t headByte,
                                                  std::size_t blockLength) {
    if (data.size() > kMapDataMaxSize) return {};
    MapEncoding encoding = encodeMapData(data);
    std::size_t nibbles = 0;
    for (const MapStep& step : encoding.steps) {
        nibbles += stepNibbles(step);
    }
    const std::size_t shortest = blockLengthOf(nibbles);
    // Spelling every byte in kLiterals of its own takes four nibbles a byte, the most
    // any encoding can.
    if (blockLength < shortest || blockLength > shortest + 2 * data.size() + 1) return {};
    if (blockLength > shortest) {
        const std::size_t bytes = blockLength - shortest;
        // The stream with its end code fills whole bytes, but for the low half of the
        // last when its nibbles are odd: `bytes` more take 2 * `bytes` - 1 or
        // 2 * `bytes` nibbles more, or one more than that when that half is free.
        const bool halfFree = (nibbles + kCommandNibbles[kLiterals]) % 2 != 0;
        const auto fewest = static_cast<unsigned>(2 * bytes - (halfFree ? 0 : 1));
        const std::vector<unsigned> extras = chooseExtras(encoding.steps, fewest, fewest + 1);
        if (extras.empty()) return {};
        std::vector<MapStep> steps;
        for (std::size_t s = 0; s < encoding.steps.size(); ++s) {
            if (extras[s] == 0) {
                steps.push_back(encoding.steps[s]);
            } else {
                const std::vector<MapStep> longer = lengthened(encoding.steps[s], extras[s]);
                steps.insert(steps.end(), longer.begin(), longer.end());
            }
        }
        encoding.steps = std::move(steps);
    }

    std::vector<std::uint8_t> block = writeMapBlock(data, headByte, encoding);
    std::vector<std::uint8_t> decoded(kMapDataMaxSize);
    const MapDataDecoded check = decompressMapBlock(block, decoded);
    if (block.size() != blockLength || check.blockLength != blockLength ||
        check.size != static_cast<int>(data.size()) || !std::equal(data.begin(), data.end(), decoded.begin())) {
        return {};
    }
    return block;
}

} // namespace vexa
