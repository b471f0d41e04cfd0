// The map encoder's match search: the back-references each position of the data can
// be expressed with.
#pragma once

#include "stage/map_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

// The copy commands by distance class, cheapest first: kNearCopy, kMidCopy, kFarCopy.
inline constexpr unsigned kCopyClasses = 3;

// What one position of the data can be copied from. A class's length is its longest
// copy, kept only when longer than every cheaper class's (0 for none): the parse
// would never pick a dearer command for a length a cheaper one covers.
struct CopyOptions {
    std::array<std::uint8_t, kCopyClasses> length{};
    std::uint8_t shortDistance = 0; // the nearest two-byte copy for kShortCopy, 0 for none
};

// The sources of a position are the nearest earlier positions whose first kMinLength
// bytes hash alike, at most kCopySources of them.
inline constexpr std::uint32_t kCopySources = 128;

// Searches one data at a time and keeps its tables for the next, so that encoding a
// block after every edit allocates nothing new.
class CopySearch {
public:
    // Indexes `data`, which must stay unchanged while the search is used, and gives
    // the options of each of its bytes.
    const std::vector<CopyOptions>& search(std::span<const std::uint8_t> data);

    // The distance to write for a copy of class `copyClass` at `position`, whose
    // options name that class: among the sources of the class's length the farthest,
    // so that the decoder copies bytes it wrote long before, not ones whose stores
    // may still be in flight.
    std::uint16_t distance(std::size_t position, unsigned copyClass) const;

private:
    // The bytes behind the hashed ones as loaded words, zeros past the data: enough
    // to tell whether a source is longer than the best so far without reading the data.
    struct Followers {
        std::uint64_t first; // the eight bytes behind the hashed ones
        std::uint64_t next;  // the eight after them
    };

    // A position being searched and the longest copy found so far in one class.
    struct Probe {
        std::size_t position;
        unsigned wanted; // the most a copy can take from here
        Followers own;
        unsigned best;
        std::size_t source; // of the best; the data size for none
    };

    // What the search of one position tells the next one down, class by class: no
    // copy from a source at or after position `covered` is more than a byte longer
    // than `bound` (or kMinLength - 1 if that is more), and `source` - 1 is worth
    // trying first.
    struct Hint {
        std::array<unsigned, kCopyClasses> bound{};
        std::array<std::size_t, kCopyClasses> source{};
        std::size_t covered = 0;
    };

    // The entries of one hash, from `start` to the next group's. By class, the lowest
    // entry within the class's distance of the position being searched, which only
    // moves down as the search does, and the position of the entry below it.
    struct Group {
        std::uint32_t start = 0;
        std::array<std::uint32_t, kCopyClasses> reach{};
        std::array<std::uint16_t, kCopyClasses> reachPosition{};
    };

    static Followers longerMask(unsigned length);
    static unsigned sharedFollowers(Followers a, Followers b);

    void index(std::span<const std::uint8_t> data);
    void findShortCopies();
    void searchPosition(std::size_t i, Hint& hint);
    bool sameStart(std::size_t position, std::size_t source) const;
    void consider(Probe& probe, std::uint32_t entry) const;
    bool nextLonger(const Probe& probe, Followers mask, std::uint32_t bottom, std::uint32_t& top) const;
    void scan(Probe& probe, std::uint32_t bottom, std::uint32_t top, unsigned bound) const;
    std::uint32_t lowestSource(std::size_t position) const;

    std::span<const std::uint8_t> data_;
    unsigned hashBits_ = 0;
    // The positions with kMinLength bytes from them, grouped by the hash of those bytes
    // and ascending within a group, with their followers: a position's sources are the
    // entries just below its own.
    std::vector<Group> groups_; // by hash, and one past the last
    std::vector<std::uint16_t> positions_;
    std::vector<std::uint64_t> firstEight_;
    std::vector<std::uint64_t> nextEight_;
    std::vector<std::uint32_t> slot_; // each position's entry
    std::vector<std::uint32_t> lastPair_;
    std::vector<CopyOptions> options_;
};

} // namespace vexa
