#include "stage/map_compress.h"

#include "stage/map_decompress.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <limits>

namespace vexa {

namespace {

enum Code : std::uint8_t {
    kLiterals = 0, // also the end code, with a count of 0
    kLiteral1 = 1,
    kLiteral2 = 2,
    kRun = 3,
    kRunA = 4,
    kRunB = 5,
    kPairP = 6,
    kByteC = 7,
    kByteD = 8,
    kShortCopy = 9,
    kNearCopy = 10,
    kMidCopy = 11,
    kFarCopy = 12,
    kRepeat1 = 13,
    kRepeat2 = 14,
    kPairW = 15,
};

constexpr std::size_t kDictionarySize = 38;
constexpr std::size_t kPairCount = 16;
constexpr unsigned kMinLength = 3; // a count nibble c stands for c + 3 bytes
constexpr unsigned kMaxLength = 18;
constexpr unsigned kMaxLiterals = 15;
constexpr std::size_t kMaxShortDistance = 17;
// Command 10 reaches length + 255 back; up to 258 any length from 3 on is allowed.
constexpr std::size_t kMaxNearDistance = 258;
constexpr std::size_t kMidDistanceBase = 0x103;
constexpr std::size_t kMaxMidDistance = kMidDistanceBase + 0xFFF;
constexpr std::size_t kMaxFarDistance = 0xFFFF;
constexpr unsigned kCopyClasses = 3; // near (10), mid (11), far (12)
constexpr std::array<unsigned, kCopyClasses> kCopyNibbles = {4, 5, 6};
constexpr std::array<std::size_t, kCopyClasses> kClassMaxDistance = {kMaxNearDistance, kMaxMidDistance,
                                                                     kMaxFarDistance};

constexpr unsigned kMaxHashBits = 15;
// Bounds the search in long runs of similar data; the nearest candidates come first.
constexpr unsigned kChainSteps = 128;
constexpr int kDictionaryRounds = 3;

// Parse costs order by stream length first, then by command count, which is what
// the decoder's speed depends on.
constexpr unsigned kCommandBits = 17;
using Cost = std::uint64_t;

using Dictionary = std::array<std::uint8_t, kDictionarySize>;

// Longest usable back-reference of each distance class at one position (length 0
// for none), and the nearest two-byte copy for command 9 (0 for none).
struct CopyOptions {
    std::array<std::uint8_t, kCopyClasses> length{};
    std::array<std::uint16_t, kCopyClasses> distance{};
    std::uint8_t shortDistance = 0;
};

struct Step {
    std::uint8_t code = 0;
    std::uint8_t length = 0;
    std::uint16_t arg = 0; // distance, fill byte or pair slot, by code
};

struct Parse {
    std::vector<Step> steps;
    Cost cost = std::numeric_limits<Cost>::max();
};

unsigned pairAt(std::span<const std::uint8_t> data, std::size_t i) {
    return data[i] | data[i + 1] << 8;
}

std::uint32_t hash3(const std::uint8_t* p, unsigned bits) {
    const std::uint32_t key = static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    return (key * 2654435761u) >> (32 - bits);
}

std::vector<CopyOptions> findCopies(std::span<const std::uint8_t> data) {
    const std::size_t n = data.size();
    std::vector<CopyOptions> options(n);
    // A table no larger than the data keeps small inputs cheap.
    const unsigned hashBits = std::clamp(static_cast<unsigned>(std::bit_width(n)), 8u, kMaxHashBits);
    std::vector<std::int32_t> head(std::size_t{1} << hashBits, -1);
    std::vector<std::int32_t> previous(n, -1);
    // How many equal bytes start at each position (at most kMaxLength), and end there
    // (at most 255): candidates inside runs of one byte match without comparing byte by
    // byte, and a walk through a run's positions can be taken in one stride.
    std::vector<std::uint8_t> runFrom(n);
    std::vector<std::uint8_t> runTo(n);
    for (std::size_t i = n; i-- > 0;) {
        const bool more = i + 1 < n && data[i + 1] == data[i];
        runFrom[i] = static_cast<std::uint8_t>(more ? std::min<unsigned>(runFrom[i + 1] + 1u, kMaxLength) : 1);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const bool more = i > 0 && data[i - 1] == data[i];
        runTo[i] = static_cast<std::uint8_t>(more ? std::min(runTo[i - 1] + 1u, 255u) : 1);
    }
    for (std::size_t i = 0; i < n; ++i) {
        CopyOptions& option = options[i];
        const std::size_t rest = n - i;
        if (rest >= 2) {
            for (std::size_t d = 2; d <= kMaxShortDistance && d <= i; ++d) {
                if (data[i - d] == data[i] && data[i - d + 1] == data[i + 1]) {
                    option.shortDistance = static_cast<std::uint8_t>(d);
                    break;
                }
            }
        }
        if (rest < kMinLength) continue;

        const std::size_t wanted = std::min<std::size_t>(rest, kMaxLength);
        const std::uint32_t h = hash3(&data[i], hashBits);
        unsigned fullClass = kCopyClasses; // cheapest class with a copy of the wanted length
        unsigned steps = 0;
        for (std::int32_t j = head[h]; j >= 0 && steps < kChainSteps; j = previous[j], ++steps) {
            const std::size_t distance = i - static_cast<std::size_t>(j);
            if (distance > kMaxFarDistance) break;
            // Candidates come nearest first, so a class never gets cheaper along the chain.
            const unsigned copyClass = distance <= kMaxNearDistance ? 0 : distance <= kMaxMidDistance ? 1 : 2;
            if (copyClass > fullClass) break;
            const std::size_t limit = std::min(wanted, distance);
            // Only a copy at least as long as the class's best can change it, and such a
            // copy matches at the best's last byte too.
            const std::size_t best = option.length[copyClass];
            if (best > limit || (best != 0 && data[j + best - 1] != data[i + best - 1])) continue;
            std::size_t length =
                data[j] == data[i] ? std::min<std::size_t>(std::min(runFrom[i], runFrom[j]), limit) : 0;
            while (length < limit && data[j + length] == data[i + length]) {
                ++length;
            }
            // Among equal lengths the farthest wins: the decoder then copies bytes it wrote
            // long before, not ones whose stores may still be in flight.
            if (length >= kMinLength && length >= option.length[copyClass]) {
                option.length[copyClass] = static_cast<std::uint8_t>(length);
                option.distance[copyClass] = static_cast<std::uint16_t>(distance);
                if (length == wanted) fullClass = std::min(fullClass, copyClass);
            }
            // A full copy from inside a run of the byte that also runs at i: the chain goes
            // on through the run's earlier positions one by one, each a full copy from one
            // byte farther, until the run, the steps or the class end. The walk would keep
            // the last of them; stride there.
            if (length == wanted && runFrom[i] >= wanted) {
                const std::size_t stride = std::min({std::size_t{runTo[j]} - 1, std::size_t{kChainSteps - 1 - steps},
                                                     kClassMaxDistance[copyClass] - distance});
                j -= static_cast<std::int32_t>(stride);
                steps += static_cast<unsigned>(stride);
                option.distance[copyClass] = static_cast<std::uint16_t>(distance + stride);
            }
        }
        previous[i] = head[h];
        head[h] = static_cast<std::int32_t>(i);
    }
    return options;
}

// Shortest stream for `data` under `dict`, by a backward pass over all positions:
// every output byte is known in advance, so each command's cost depends only on where
// it starts.
Parse parseData(std::span<const std::uint8_t> data, const std::vector<CopyOptions>& options, const Dictionary& dict) {
    const std::size_t n = data.size();
    std::vector<std::int8_t> pairSlot(0x10000, -1);
    for (int x = kPairCount - 1; x >= 0; --x) { // the lowest slot of a repeated pair wins
        pairSlot[dict[6 + 2 * x] | dict[7 + 2 * x] << 8] = static_cast<std::int8_t>(x);
    }
    const unsigned pairP = dict[4] | dict[5] << 8;

    std::vector<Cost> cost(n + 1);
    std::vector<Step> choice(n + 1);
    cost[n] = (Cost{2} << kCommandBits) + 1;
    unsigned run = 0;
    for (std::size_t i = n; i-- > 0;) {
        const std::size_t rest = n - i;
        const std::uint8_t byte = data[i];
        run = (rest > 1 && data[i + 1] == byte) ? std::min(run + 1, kMaxLength) : 1;

        Cost best = std::numeric_limits<Cost>::max();
        Step pick;
        auto consider = [&](unsigned nibbles, std::size_t length, std::uint8_t code, unsigned arg) {
            const Cost c = cost[i + length] + (Cost{nibbles} << kCommandBits) + 1;
            if (c < best) {
                best = c;
                pick = Step{code, static_cast<std::uint8_t>(length), static_cast<std::uint16_t>(arg)};
            }
        };

        consider(3, 1, kLiteral1, 0);
        if (byte == dict[2]) consider(1, 1, kByteC, 0);
        if (byte == dict[3]) consider(1, 1, kByteD, 0);
        if (i >= 1 && data[i - 1] == byte) consider(1, 1, kRepeat1, 0);
        if (rest >= 2) {
            const unsigned pair = pairAt(data, i);
            consider(5, 2, kLiteral2, 0);
            if (pair == pairP) consider(1, 2, kPairP, 0);
            if (pairSlot[pair] >= 0) consider(2, 2, kPairW, static_cast<unsigned>(pairSlot[pair]));
            if (i >= 2 && pairAt(data, i - 2) == pair) consider(1, 2, kRepeat2, 0);
            if (options[i].shortDistance) consider(2, 2, kShortCopy, options[i].shortDistance);
        }
        for (std::size_t count = 1; count <= std::min<std::size_t>(kMaxLiterals, rest); ++count) {
            consider(2 + 2 * static_cast<unsigned>(count), count, kLiterals, 0);
        }
        const std::uint8_t runCode = byte == dict[0] ? kRunA : byte == dict[1] ? kRunB : kRun;
        for (unsigned length = kMinLength; length <= run; ++length) {
            consider(runCode == kRun ? 4 : 2, length, runCode, byte);
        }
        for (unsigned k = 0; k < kCopyClasses; ++k) {
            for (unsigned length = kMinLength; length <= options[i].length[k]; ++length) {
                consider(kCopyNibbles[k], length, static_cast<std::uint8_t>(kNearCopy + k), options[i].distance[k]);
            }
        }
        cost[i] = best;
        choice[i] = pick;
    }

    Parse parse;
    parse.cost = cost[0];
    for (std::size_t i = 0; i < n; i += choice[i].length) {
        parse.steps.push_back(choice[i]);
    }
    return parse;
}

// How much each byte, run byte and byte pair would be worth in the dictionary. Pairs
// are listed once per occurrence and counted when the dictionary is made, which for
// small data is far cheaper than a table of all 65,536.
struct Scores {
    std::array<std::uint32_t, 0x100> runs{};
    std::array<std::uint32_t, 0x100> singles{};
    std::vector<std::uint16_t> pairs;
};

Scores scoreData(std::span<const std::uint8_t> data) {
    Scores scores;
    for (std::size_t i = 0; i < data.size();) {
        std::size_t end = i + 1;
        while (end < data.size() && data[end] == data[i]) {
            ++end;
        }
        if (end - i >= kMinLength) {
            scores.runs[data[i]] += static_cast<std::uint32_t>((end - i + kMaxLength - 1) / kMaxLength);
        }
        i = end;
    }
    for (std::size_t i = 0; i < data.size(); ++i) {
        ++scores.singles[data[i]];
        if (i + 1 < data.size()) scores.pairs.push_back(static_cast<std::uint16_t>(pairAt(data, i)));
    }
    return scores;
}

// Counts what a parse spent on plain bytes and runs: the dictionary entries that
// would have saved the most.
Scores scoreParse(std::span<const std::uint8_t> data, const Parse& parse) {
    Scores scores;
    std::size_t i = 0;
    for (const Step& step : parse.steps) {
        switch (step.code) {
        case kRun:
        case kRunA:
        case kRunB: ++scores.runs[data[i]]; break;
        case kLiteral1:
        case kByteC:
        case kByteD: ++scores.singles[data[i]]; break;
        case kLiteral2:
        case kPairP:
        case kPairW: scores.pairs.push_back(static_cast<std::uint16_t>(pairAt(data, i))); break;
        case kLiterals:
            for (std::size_t k = 0; k + 1 < step.length; k += 2) {
                scores.pairs.push_back(static_cast<std::uint16_t>(pairAt(data, i + k)));
            }
            break;
        default: break;
        }
        i += step.length;
    }
    return scores;
}

struct Scored {
    std::uint32_t score;
    unsigned value;
};

// The `count` best values, highest score first, lower value first among equals; when
// fewer were scored, unscored values fill up from 0.
std::vector<unsigned> bestValues(std::vector<Scored> scored, std::size_t count) {
    const auto end = scored.begin() + static_cast<std::ptrdiff_t>(std::min(count, scored.size()));
    std::partial_sort(scored.begin(), end, scored.end(), [](const Scored& a, const Scored& b) {
        return a.score != b.score ? a.score > b.score : a.value < b.value;
    });
    std::vector<unsigned> values;
    for (auto it = scored.begin(); it != end; ++it) {
        values.push_back(it->value);
    }
    for (unsigned v = 0; values.size() < count; ++v) {
        if (std::find(values.begin(), values.end(), v) == values.end()) values.push_back(v);
    }
    return values;
}

std::vector<unsigned> bestValues(std::span<const std::uint32_t, 0x100> scores, std::size_t count) {
    std::vector<Scored> scored;
    for (unsigned v = 0; v < scores.size(); ++v) {
        if (scores[v] != 0) scored.push_back({scores[v], v});
    }
    return bestValues(std::move(scored), count);
}

std::vector<unsigned> bestPairs(std::vector<std::uint16_t> pairs, std::size_t count) {
    std::vector<Scored> scored;
    if (pairs.size() > 0x4000) { // a table of all pairs is cheaper than sorting this many
        std::vector<std::uint32_t> counts(0x10000);
        for (std::uint16_t pair : pairs) {
            ++counts[pair];
        }
        for (unsigned v = 0; v < counts.size(); ++v) {
            if (counts[v] != 0) scored.push_back({counts[v], v});
        }
        return bestValues(std::move(scored), count);
    }
    std::sort(pairs.begin(), pairs.end());
    for (auto it = pairs.begin(); it != pairs.end();) {
        const auto next = std::upper_bound(it, pairs.end(), *it);
        scored.push_back({static_cast<std::uint32_t>(next - it), *it});
        it = next;
    }
    return bestValues(std::move(scored), count);
}

Dictionary makeDictionary(const Scores& scores) {
    Dictionary dict{};
    const auto runs = bestValues(scores.runs, 2);
    const auto singles = bestValues(scores.singles, 2);
    const auto pairs = bestPairs(scores.pairs, 1 + kPairCount);
    dict[0] = static_cast<std::uint8_t>(runs[0]);
    dict[1] = static_cast<std::uint8_t>(runs[1]);
    dict[2] = static_cast<std::uint8_t>(singles[0]);
    dict[3] = static_cast<std::uint8_t>(singles[1]);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        dict[4 + 2 * k] = static_cast<std::uint8_t>(pairs[k]);
        dict[5 + 2 * k] = static_cast<std::uint8_t>(pairs[k] >> 8);
    }
    return dict;
}

class NibbleWriter {
public:
    explicit NibbleWriter(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    void put(unsigned nibble) {
        if (high_) {
            bytes_.push_back(static_cast<std::uint8_t>(nibble << 4));
        } else {
            bytes_.back() |= static_cast<std::uint8_t>(nibble & 0xF);
        }
        high_ = !high_;
    }
    void putBits(unsigned value, unsigned nibbles) {
        while (nibbles-- > 0) {
            put((value >> (4 * nibbles)) & 0xF);
        }
    }
    void putByte(unsigned value) { putBits(value, 2); }

private:
    std::vector<std::uint8_t>& bytes_;
    bool high_ = true;
};

void writeStep(NibbleWriter& out, const Step& step, std::span<const std::uint8_t> at) {
    out.put(step.code);
    const unsigned count = step.length - kMinLength;
    switch (step.code) {
    case kLiterals:
        out.put(step.length);
        for (std::size_t k = 0; k < step.length; ++k) {
            out.putByte(at[k]);
        }
        break;
    case kLiteral1: out.putByte(at[0]); break;
    case kLiteral2:
        out.putByte(at[0]);
        out.putByte(at[1]);
        break;
    case kRun:
        out.put(count);
        out.putByte(step.arg);
        break;
    case kRunA:
    case kRunB: out.put(count); break;
    case kShortCopy: out.put(step.arg - 2); break;
    case kNearCopy:
        out.put(count);
        out.putByte(step.arg - step.length);
        break;
    case kMidCopy:
        out.put(count);
        out.putBits(step.arg - kMidDistanceBase, 3);
        break;
    case kFarCopy:
        out.put(count);
        out.putBits(step.arg, 4);
        break;
    case kPairW: out.put(step.arg); break;
    default: break; // codes 6, 7, 8, 13 and 14 have no operands
    }
}

} // namespace

std::vector<std::uint8_t> compressMapData(std::span<const std::uint8_t> data, std::uint8_t headByte) {
    if (data.size() > kMapDataMaxSize) return {};

    const std::vector<CopyOptions> options = findCopies(data);
    Dictionary dict = makeDictionary(scoreData(data));
    Dictionary bestDict = dict;
    Parse best;
    // Each round keeps the entries the previous parse used and swaps in the plain
    // bytes and pairs it had to spell out.
    for (int round = 0; round < kDictionaryRounds; ++round) {
        Parse parse = parseData(data, options, dict);
        const Dictionary next = round + 1 < kDictionaryRounds ? makeDictionary(scoreParse(data, parse)) : dict;
        if (parse.cost < best.cost) {
            best = std::move(parse);
            bestDict = dict;
        }
        dict = next;
    }

    std::vector<std::uint8_t> block;
    block.reserve(1 + kDictionarySize + data.size() + data.size() / 8 + 2);
    block.push_back(headByte);
    block.insert(block.end(), bestDict.begin(), bestDict.end());
    NibbleWriter out(block);
    std::size_t i = 0;
    for (const Step& step : best.steps) {
        writeStep(out, step, data.subspan(i));
        i += step.length;
    }
    out.put(kLiterals);
    out.put(0);
    return block;
}

} // namespace vexa
