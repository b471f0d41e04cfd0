#include "stage/map_copy_search.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vexa {

using namespace map_format;

namespace {

// kNearCopy reaches length + 255 back; up to here any length from kMinLength on is allowed.
constexpr std::size_t kMaxNearDistance = 0xFF + kMinLength;
constexpr std::array<std::size_t, kCopyClasses> kClassMaxDistance = {kMaxNearDistance, kMaxMidDistance,
                                                                     kMaxFarDistance};

constexpr unsigned kMaxHashBits = 15;
constexpr std::size_t kWordBytes = sizeof(std::uint64_t);

std::uint32_t hash3(const std::uint8_t* p, unsigned bits) {
    const std::uint32_t key = static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    return (key * 2654435761u) >> (32 - bits);
}

std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Up to eight bytes from `p` as load64 would read them, zeros past `end`.
std::uint64_t load64Within(const std::uint8_t* p, const std::uint8_t* end) {
    std::uint8_t bytes[kWordBytes] = {};
    if (p < end) std::memcpy(bytes, p, std::min<std::size_t>(kWordBytes, static_cast<std::size_t>(end - p)));
    return load64(bytes);
}

// How many bytes in memory order two loaded words share, given that they differ.
unsigned equalBytes(std::uint64_t difference) {
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<unsigned>(std::countr_zero(difference)) / 8;
    } else {
        return static_cast<unsigned>(std::countl_zero(difference)) / 8;
    }
}

// The bits of the first `count` bytes in memory order of a loaded word.
std::uint64_t firstBytesMask(std::size_t count) {
    if (count >= kWordBytes) return ~std::uint64_t{0};
    const std::uint64_t low = (std::uint64_t{1} << (8 * count)) - 1;
    if constexpr (std::endian::native == std::endian::little) {
        return low;
    } else {
        return ~(~std::uint64_t{0} >> (8 * count));
    }
}

} // namespace

// The follower bits a source must share to be longer than `length`.
CopySearch::Followers CopySearch::longerMask(unsigned length) {
    static_assert(kMaxLength - kMinLength <= 2 * kWordBytes);
    const std::size_t count = length + 1 - kMinLength;
    return {firstBytesMask(count), count > kWordBytes ? firstBytesMask(count - kWordBytes) : 0};
}

// Bytes shared from the starts of two positions whose first kMinLength agree, at
// least as many as a copy can take if all their followers do.
unsigned CopySearch::sharedFollowers(Followers a, Followers b) {
    if (const std::uint64_t d = a.first ^ b.first) return kMinLength + equalBytes(d);
    if (const std::uint64_t d = a.next ^ b.next) return kMinLength + kWordBytes + equalBytes(d);
    return kMaxLength;
}

void CopySearch::index(std::span<const std::uint8_t> data) {
    // A table no larger than the data keeps small inputs cheap.
    hashBits_ = std::clamp(static_cast<unsigned>(std::bit_width(data.size())), 8u, kMaxHashBits);
    const std::size_t groups = std::size_t{1} << hashBits_;
    const std::size_t count = data.size() - (kMinLength - 1);
    // A counting sort by hash; each group fills from its end down.
    groups_.assign(groups + 1, Group{});
    for (std::size_t i = 0; i < count; ++i) {
        ++groups_[hash3(&data[i], hashBits_) + 1].start;
    }
    for (std::size_t h = 1; h <= groups; ++h) {
        groups_[h].start += groups_[h - 1].start;
    }
    for (std::size_t h = 0; h < groups; ++h) {
        groups_[h].reach.fill(groups_[h + 1].start);
    }
    positions_.resize(count);
    firstEight_.resize(count);
    nextEight_.resize(count);
    slot_.resize(count);
    const std::uint8_t* end = data.data() + data.size();
    for (std::size_t i = count; i-- > 0;) {
        const std::uint32_t at = --groups_[hash3(&data[i], hashBits_)].reach[0];
        positions_[at] = static_cast<std::uint16_t>(i);
        firstEight_[at] = load64Within(&data[i] + kMinLength, end);
        nextEight_[at] = load64Within(&data[i] + kMinLength + kWordBytes, end);
        slot_[i] = at;
    }
    // Every reach starts above the group, as if at a position past the data.
    for (std::size_t h = 0; h < groups; ++h) {
        Group& group = groups_[h];
        group.reach.fill(groups_[h + 1].start);
        group.reachPosition.fill(group.reach[0] > group.start ? positions_[group.reach[0] - 1] : 0);
    }
}

void CopySearch::findShortCopies() {
    // Position + 1 of each byte pair's latest occurrence at least kShortDistanceBase back.
    lastPair_.assign(0x10000, 0);
    auto pairAt = [this](std::size_t i) { return data_[i] | data_[i + 1] << 8; };
    for (std::size_t i = kShortDistanceBase; i + 1 < data_.size(); ++i) {
        lastPair_[pairAt(i - kShortDistanceBase)] = static_cast<std::uint32_t>(i - 1);
        const std::uint32_t seen = lastPair_[pairAt(i)];
        if (seen != 0 && i + 1 - seen <= kMaxShortDistance) {
            options_[i].shortDistance = static_cast<std::uint8_t>(i + 1 - seen);
        }
    }
}

std::uint32_t CopySearch::lowestSource(std::size_t position) const {
    const std::uint32_t slot = slot_[position];
    const std::uint32_t first = groups_[hash3(&data_[position], hashBits_)].start;
    return slot - std::min(slot - first, kCopySources);
}

bool CopySearch::sameStart(std::size_t position, std::size_t source) const {
    return std::memcmp(&data_[position], &data_[source], kMinLength) == 0;
}

// Takes the source of `entry` as the best if it is longer, unless another start
// only hashed alike.
void CopySearch::consider(Probe& probe, std::uint32_t entry) const {
    const std::size_t source = positions_[entry];
    if (!sameStart(probe.position, source)) return;
    const unsigned overlap = static_cast<unsigned>(std::min<std::size_t>(probe.position - source, kMaxLength));
    const unsigned length =
        std::min({sharedFollowers(probe.own, {firstEight_[entry], nextEight_[entry]}), probe.wanted, overlap});
    if (length > probe.best) {
        probe.best = length;
        probe.source = source;
    }
}

// Moves `top` down to the nearest of the entries [bottom, top) whose followers agree
// with the probe's under `mask`; false when none does.
bool CopySearch::nextLonger(const Probe& probe, Followers mask, std::uint32_t bottom, std::uint32_t& top) const {
    const std::uint64_t* first = firstEight_.data();
    const std::uint64_t* next = nextEight_.data();
    for (std::uint32_t e = top; e-- > bottom;) {
        if (((first[e] ^ probe.own.first) & mask.first) == 0 && ((next[e] ^ probe.own.next) & mask.next) == 0) {
            top = e;
            return true;
        }
    }
    return false;
}

// The entries [bottom, top), nearest first, until the best reaches `bound`.
void CopySearch::scan(Probe& probe, std::uint32_t bottom, std::uint32_t top, unsigned bound) const {
    while (probe.best < bound && nextLonger(probe, longerMask(probe.best), bottom, top)) {
        consider(probe, top);
    }
}

// A copy from j at one position is a copy from j + 1, a byte shorter, at the next.
// Searching down, the position above so bounds each class's longest copy, but for
// the sources it could not look at (it had its kCopySources nearest in a busier
// group); and the byte before its best source is most often the best source here.
void CopySearch::searchPosition(std::size_t i, Hint& hint) {
    const std::size_t n = data_.size();
    Group& group = groups_[hash3(&data_[i], hashBits_)];
    const std::uint32_t slot = slot_[i];
    const std::uint32_t low = slot - std::min(slot - group.start, kCopySources);
    std::uint32_t covered = low; // the first entry the position above could look at
    while (covered < slot && positions_[covered] < hint.covered) {
        ++covered;
    }
    hint.covered = low > group.start ? positions_[low] - 1u : 0;
    Probe probe{i,
                static_cast<unsigned>(std::min<std::size_t>(n - i, kMaxLength)),
                {firstEight_[slot], nextEight_[slot]},
                0,
                n};
    CopyOptions& option = options_[i];
    // The sources come nearest first, so the classes come in turn.
    std::uint32_t top = slot;
    unsigned floor = kMinLength;
    for (unsigned k = 0; k < kCopyClasses; ++k) {
        const unsigned bound = std::min(probe.wanted, std::max(hint.bound[k], kMinLength - 1) + 1);
        const std::size_t above = hint.source[k];
        hint.bound[k] = probe.wanted;
        hint.source[k] = n;
        if (floor > probe.wanted) continue;
        while (group.reach[k] > group.start && group.reachPosition[k] + kClassMaxDistance[k] >= i) {
            --group.reach[k];
            group.reachPosition[k] = group.reach[k] > group.start ? positions_[group.reach[k] - 1] : 0;
        }
        const std::uint32_t bottom = std::max(low, group.reach[k]);
        probe.best = floor - 1;
        probe.source = n;
        if (above < n && above > 0) {
            const std::uint32_t entry = slot_[above - 1];
            if (entry >= bottom && entry < top) consider(probe, entry);
        }
        const std::uint32_t split = std::clamp(covered, bottom, top);
        scan(probe, split, top, bound);
        scan(probe, bottom, split, probe.wanted);
        top = bottom;
        hint.bound[k] = probe.best;
        if (probe.best < floor) continue;
        hint.source[k] = probe.source;
        option.length[k] = static_cast<std::uint8_t>(probe.best);
        floor = probe.best + 1;
    }
}

const std::vector<CopyOptions>& CopySearch::search(std::span<const std::uint8_t> data) {
    data_ = data;
    const std::size_t n = data.size();
    options_.assign(n, CopyOptions{});
    if (n < kMinLength) return options_; // not even a two-byte copy has a source
    index(data);
    findShortCopies();
    Hint hint; // from the position with too few bytes for a copy
    hint.source.fill(n);
    for (std::size_t i = n - (kMinLength - 1); i-- > 0;) {
        searchPosition(i, hint);
    }
    return options_;
}

std::uint16_t CopySearch::distance(std::size_t position, unsigned copyClass) const {
    const std::uint32_t slot = slot_[position];
    const unsigned length = options_[position].length[copyClass];
    const std::size_t nearest = copyClass == 0 ? length : kClassMaxDistance[copyClass - 1] + 1;
    // A probe that takes any source of the class's length as longer.
    Probe probe{position, length, {firstEight_[slot], nextEight_[slot]}, length - 1, data_.size()};
    std::size_t farthest = 0;
    for (std::uint32_t e = slot, low = lowestSource(position); e-- > low;) {
        const std::size_t distance = position - positions_[e];
        if (distance > kClassMaxDistance[copyClass]) break;
        if (distance < nearest) continue;
        consider(probe, e);
        if (probe.best == length) farthest = distance;
        probe.best = length - 1;
    }
    return static_cast<std::uint16_t>(farthest);
}

} // namespace vexa
