#include "stage/map_compress.h"

#include "stage/map_copy_search.h"
#include "stage/map_encoding.h"
#include "stage/map_format.h"

#include <algorithm>
#include <array>
#include <bit>
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

struct Parse {
    std::vector<MapStep> steps;
    Cost cost = std::numeric_limits<Cost>::max();
};

unsigned pairAt(std::span<const std::uint8_t> data, std::size_t i) {
    return data[i] | data[i + 1] << 8;
}

// The parse's tables, kept between calls.
struct ParseTables {
    std::vector<Cost> cost;
    std::vector<MapStep> choice;
    std::vector<std::int8_t> pairSlot;
};

// The cheapest of a run of ends, for the commands whose price does not depend on
// where they end: for each end the least (price, end) over the 1, 2, 4 and 8 ends
// from it, of which two cover any run of up to 16 ends. The parse moves down one end
// at a time and looks at most kMaxLength ends ahead, so a ring holds all it needs.
class EndMinima {
public:
    EndMinima() {
        for (auto& level : levels_) {
            level.fill(std::numeric_limits<Cost>::max());
        }
    }

    void add(std::size_t end, Cost price) {
        Cost least = price << kEndBits | end;
        levels_[0][end % kRing] = least;
        for (std::size_t l = 1; l < kLevels; ++l) {
            least = std::min(least, levels_[l - 1][(end + (std::size_t{1} << (l - 1))) % kRing]);
            levels_[l][end % kRing] = least;
        }
    }

    // The cheapest end in [first, last], the nearest among equals.
    std::size_t cheapest(std::size_t first, std::size_t last) const {
        const auto l = std::min<std::size_t>(std::bit_width(last + 1 - first) - 1, kLevels - 1);
        const Cost least = std::min(levels_[l][first % kRing], levels_[l][(last + 1 - (std::size_t{1} << l)) % kRing]);
        return static_cast<std::size_t>(least & ((Cost{1} << kEndBits) - 1));
    }

private:
    // The end goes below its price. Ends run to kMapDataMaxSize and prices stay under
    // 2^40, so that the two fit one word.
    static constexpr unsigned kEndBits = 17;
    static constexpr std::size_t kLevels = 4;
    static constexpr std::size_t kRing = 32;
    static_assert(kMapDataMaxSize < std::size_t{1} << kEndBits);
    static_assert(kMaxLength - kMinLength + 1 <= std::size_t{1} << kLevels && kMaxLength < kRing);

    std::array<std::array<Cost, kRing>, kLevels> levels_;
};

// A command with what the stream costs from its start on.
struct Option {
    Cost cost = std::numeric_limits<Cost>::max();
    MapStep step;
};

// Among equally cheap options the one considered first wins.
Option cheaper(const Option& first, const Option& second) {
    return second.cost < first.cost ? second : first;
}

// Shortest stream for `data` under `dict`, by a backward pass over all positions:
// every output byte is known in advance, so each command's cost depends only on where
// it starts. Copies carry their class in `arg` until their distance is looked up.
Parse parseData(std::span<const std::uint8_t> data, const std::vector<CopyOptions>& options, const MapDictionary& dict,
                ParseTables& tables) {
    const std::size_t n = data.size();
    std::vector<std::int8_t>& pairSlot = tables.pairSlot;
    pairSlot.assign(0x10000, -1);
    for (int x = static_cast<int>(kPairTableCount) - 1; x >= 0; --x) { // the lowest slot of a repeated pair wins
        pairSlot[pairAt(dict, kPairTableSlot + 2 * static_cast<std::size_t>(x))] = static_cast<std::int8_t>(x);
    }
    const unsigned pairP = pairAt(dict, kPairSlot);
    const std::uint8_t runA = dict[kRunBytesSlot];
    const std::uint8_t runB = dict[kRunBytesSlot + 1];
    const std::uint8_t byteC = dict[kSingleBytesSlot];
    const std::uint8_t byteD = dict[kSingleBytesSlot + 1];

    std::vector<Cost>& cost = tables.cost;
    std::vector<MapStep>& choice = tables.choice;
    cost.resize(n + 1);
    choice.resize(n + 1);
    cost[n] = (Cost{kCommandNibbles[kLiterals]} << kCommandBits) + 1; // the end code
    // Ends priced by the cost from them, and for kLiterals also by two nibbles for each
    // byte before them, which ranks ends for any one start as their commands would.
    EndMinima ends;
    EndMinima literalEnds;
    auto addEnd = [&](std::size_t end) {
        ends.add(end, cost[end]);
        literalEnds.add(end, cost[end] + (Cost{2 * end} << kCommandBits));
    };
    addEnd(n);
    unsigned run = 0;
    for (std::size_t i = n; i-- > 0;) {
        const std::size_t rest = n - i;
        const std::uint8_t byte = data[i];
        run = (rest > 1 && data[i + 1] == byte) ? std::min(run + 1, kMaxLength) : 1;

        auto option = [&](std::uint8_t code, std::size_t length, unsigned arg = 0) {
            const MapStep step{code, static_cast<std::uint8_t>(length), static_cast<std::uint16_t>(arg)};
            return Option{cost[i + length] + (Cost{stepNibbles(step)} << kCommandBits) + 1, step};
        };
        // Among equally cheap commands the first in this order wins: one byte, two
        // bytes, kLiterals, a run, the copies by class. Of the commands for one or
        // two bytes only the cheapest that applies can win: a dictionary byte or a
        // repeated one costs one nibble, kLiteral1 three.
        const bool repeat1 = i >= 1 && data[i - 1] == byte;
        Option best = option(byte == byteC ? kByteC : byte == byteD ? kByteD : repeat1 ? kRepeat1 : kLiteral1, 1);
        if (rest >= 2) {
            // kPairP and kRepeat2 cost one nibble, kPairW and kShortCopy two, kLiteral2 five.
            const unsigned pair = pairAt(data, i);
            const std::int8_t slot = pairSlot[pair];
            const unsigned shortDistance = options[i].shortDistance;
            if (pair == pairP) {
                best = cheaper(best, option(kPairP, 2));
            } else if (i >= 2 && pairAt(data, i - 2) == pair) {
                best = cheaper(best, option(kRepeat2, 2));
            } else if (slot >= 0) {
                best = cheaper(best, option(kPairW, 2, static_cast<unsigned>(slot)));
            } else {
                best = cheaper(best, shortDistance ? option(kShortCopy, 2, shortDistance) : option(kLiteral2, 2));
            }
        }
        // kLiteral1 and kLiteral2 spell one or two bytes cheaper than kLiterals does.
        if (rest >= kMinLength) {
            const std::size_t last = i + std::min<std::size_t>(kMaxLiterals, rest);
            best = cheaper(best, option(kLiterals, literalEnds.cheapest(i + kMinLength, last) - i));
        }
        if (run >= kMinLength) {
            const std::uint8_t runCode = byte == runA ? kRunA : byte == runB ? kRunB : kRun;
            best = cheaper(best, option(runCode, ends.cheapest(i + kMinLength, i + run) - i, byte));
        }
        std::size_t shorter = kMinLength - 1; // longest copy of the cheaper classes
        for (unsigned k = 0; k < kCopyClasses; ++k) {
            const std::size_t length = options[i].length[k];
            if (length == 0) continue;
            const std::size_t end = ends.cheapest(i + shorter + 1, i + length);
            best = cheaper(best, option(static_cast<std::uint8_t>(kNearCopy + k), end - i, k));
            shorter = length;
        }
        cost[i] = best.cost;
        choice[i] = best.step;
        addEnd(i);
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
    for (const MapStep& step : parse.steps) {
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

MapDictionary makeDictionary(const Scores& scores) {
    MapDictionary dict{};
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

} // namespace

MapEncoding encodeMapData(std::span<const std::uint8_t> data) {
    thread_local CopySearch search;
    thread_local ParseTables tables;
    const std::vector<CopyOptions>& options = search.search(data);
    MapDictionary dict = makeDictionary(scoreData(data));
    MapEncoding best{dict, {}};
    Cost bestCost = std::numeric_limits<Cost>::max();
    // Each round keeps the entries the previous parse used and swaps in the plain
    // bytes and pairs it had to spell out; a dictionary that stays the same would
    // only parse the same again.
    for (int round = 0; round < kDictionaryRounds; ++round) {
        Parse parse = parseData(data, options, dict, tables);
        const MapDictionary next = round + 1 < kDictionaryRounds ? makeDictionary(scoreParse(data, parse)) : dict;
        if (parse.cost < bestCost) {
            bestCost = parse.cost;
            best = {dict, std::move(parse.steps)};
        }
        if (next == dict) break;
        dict = next;
    }
    std::size_t i = 0;
    for (MapStep& step : best.steps) {
        if (step.code >= kNearCopy && step.code <= kFarCopy) step.arg = search.distance(i, step.arg);
        i += step.length;
    }
    return best;
}

std::vector<std::uint8_t> compressMapData(std::span<const std::uint8_t> data, std::uint8_t headByte) {
    if (data.size() > kMapDataMaxSize) return {};
    return writeMapBlock(data, headByte, encodeMapData(data));
}

} // namespace vexa
