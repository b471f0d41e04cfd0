#include "stage/map_copy_search.h"

#include <algorithm>
#include <bit>

namespace vexa {

using namespace map_format;

namespace {

// kNearCopy reaches length + 255 back; up to here any length from kMinLength on is allowed.
constexpr std::size_t kMaxNearDistance = 0xFF + kMinLength;
constexpr std::array<std::size_t, kCopyClasses> kClassMaxDistance = {kMaxNearDistance, kMaxMidDistance,
                                                                     kMaxFarDistance};

constexpr unsigned kMaxHashBits = 15;
// Bounds the search in long runs of similar data; the nearest candidates come first.
constexpr unsigned kChainSteps = 128;

std::uint32_t hash3(const std::uint8_t* p, unsigned bits) {
    const std::uint32_t key = static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    return (key * 2654435761u) >> (32 - bits);
}

} // namespace

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
            for (std::size_t d = kShortDistanceBase; d <= kMaxShortDistance && d <= i; ++d) {
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

} // namespace vexa
