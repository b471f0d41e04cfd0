#include "stage/map_compress.h"

#include "stage/map_copy_search.h"
#include "stage/map_format.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

namespace vexa {

using namespace map_format;

namespace {

constexpr int kDictionaryRounds = 3;

// Parse costs order by stream length first, then by command count, which is what
// the decoder's speed depends on.
constexpr unsigned kCommandBits = 17;
using Cost = std::uint64_t;

using Dictionary = std::array<std::uint8_t, kDictionarySize>;

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

// Shortest stream for `data` under `dict`, by a backward pass over all positions:
// every output byte is known in advance, so each command's cost depends only on where
// it starts.
Parse parseData(std::span<const std::uint8_t> data, const std::vector<CopyOptions>& options, const Dictionary& dict) {
    const std::size_t n = data.size();
    std::vector<std::int8_t> pairSlot(0x10000, -1);
    for (int x = static_cast<int>(kPairTableCount) - 1; x >= 0; --x) { // the lowest slot of a repeated pair wins
        pairSlot[pairAt(dict, kPairTableSlot + 2 * static_cast<std::size_t>(x))] = static_cast<std::int8_t>(x);
    }
    const unsigned pairP = pairAt(dict, kPairSlot);
    const std::uint8_t runA = dict[kRunBytesSlot];
    const std::uint8_t runB = dict[kRunBytesSlot + 1];
    const std::uint8_t byteC = dict[kSingleBytesSlot];
    const std::uint8_t byteD = dict[kSingleBytesSlot + 1];

    std::vector<Cost> cost(n + 1);
    std::vector<Step> choice(n + 1);
    cost[n] = (Cost{kCommandNibbles[kLiterals]} << kCommandBits) + 1; // the end code
    unsigned run = 0;
    for (std::size_t i = n; i-- > 0;) {
        const std::size_t rest = n - i;
        const std::uint8_t byte = data[i];
        run = (rest > 1 && data[i + 1] == byte) ? std::min(run + 1, kMaxLength) : 1;

        Cost best = std::numeric_limits<Cost>::max();
        Step pick;
        auto consider = [&](std::size_t length, std::uint8_t code, unsigned arg) {
            const unsigned nibbles =
                kCommandNibbles[code] + (code == kLiterals ? 2 * static_cast<unsigned>(length) : 0);
            const Cost c = cost[i + length] + (Cost{nibbles} << kCommandBits) + 1;
            if (c < best) {
                best = c;
                pick = Step{code, static_cast<std::uint8_t>(length), static_cast<std::uint16_t>(arg)};
            }
        };

        consider(1, kLiteral1, 0);
        if (byte == byteC) consider(1, kByteC, 0);
        if (byte == byteD) consider(1, kByteD, 0);
        if (i >= 1 && data[i - 1] == byte) consider(1, kRepeat1, 0);
        if (rest >= 2) {
            const unsigned pair = pairAt(data, i);
            consider(2, kLiteral2, 0);
            if (pair == pairP) consider(2, kPairP, 0);
            if (pairSlot[pair] >= 0) consider(2, kPairW, static_cast<unsigned>(pairSlot[pair]));
            if (i >= 2 && pairAt(data, i - 2) == pair) consider(2, kRepeat2, 0);
            if (options[i].shortDistance) consider(2, kShortCopy, options[i].shortDistance);
        }
        for (std::size_t count = 1; count <= std::min<std::size_t>(kMaxLiterals, rest); ++count) {
            consider(count, kLiterals, 0);
        }
        const std::uint8_t runCode = byte == runA ? kRunA : byte == runB ? kRunB : kRun;
        for (unsigned length = kMinLength; length <= run; ++length) {
            consider(length, runCode, byte);
        }
        for (unsigned k = 0; k < kCopyClasses; ++k) {
            for (unsigned length = kMinLength; length <= options[i].length[k]; ++length) {
                consider(length, static_cast<std::uint8_t>(kNearCopy + k), options[i].distance[k]);
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
    const auto pairs = bestPairs(scores.pairs, 1 + kPairTableCount);
    for (std::size_t k = 0; k < 2; ++k) {
        dict[kRunBytesSlot + k] = static_cast<std::uint8_t>(runs[k]);
        dict[kSingleBytesSlot + k] = static_cast<std::uint8_t>(singles[k]);
    }
    // The most frequent pair goes to kPairP, the next ones to the table.
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const std::size_t slot = k == 0 ? kPairSlot : kPairTableSlot + 2 * (k - 1);
        dict[slot] = static_cast<std::uint8_t>(pairs[k]);
        dict[slot + 1] = static_cast<std::uint8_t>(pairs[k] >> 8);
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
    case kShortCopy: out.put(step.arg - kShortDistanceBase); break;
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
    default: break; // kPairP, kByteC, kByteD, kRepeat1 and kRepeat2 have no operands
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
    block.reserve(kStreamOffset + data.size() + data.size() / 8 + 2);
    block.push_back(headByte);
    block.insert(block.end(), bestDict.begin(), bestDict.end());
    NibbleWriter out(block);
    std::size_t i = 0;
    for (const Step& step : best.steps) {
        writeStep(out, step, data.subspan(i));
        i += step.length;
    }
    out.put(kLiterals); // the end code: no literals
    out.put(0);
    return block;
}

} // namespace vexa
