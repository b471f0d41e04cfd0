// List operations shared by the sprite, banana and camera edits: indexed access,
// exchanging two entries, and the exchange sort that keeps track of one entry.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <list>
#include <utility>
#include <vector>

namespace vexa {

template <typename T> bool hasItem(const std::list<T>& list, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

// The entry at `index`; the caller has checked it with hasItem.
template <typename T> T& itemAt(std::list<T>& list, int index) {
    return *std::next(list.begin(), index);
}
template <typename T> const T& itemAt(const std::list<T>& list, int index) {
    return *std::next(list.begin(), index);
}

// Exchanges the values of the entries at a and b (both must exist).
template <typename T> void exchangeItems(std::list<T>& list, int a, int b) {
    std::swap(itemAt(list, a), itemAt(list, b));
}

// Sorts by exchanging: for each position p, every later entry that sorts before the
// entry at p is exchanged with it. This is not a stable sort, and the result for equal
// entries is part of the stored order users see, so it must stay this exact procedure.
// Entries are ordered by `key(entry)`, a std::int64_t. `tracked` follows the entry it
// names through every exchange (-1, or any number naming no entry, stays as it is). Returns the tracked entry's new
// position.
//
// The procedure makes a quadratic number of exchanges, so its result is computed
// instead of replayed. Position p ends with the first entry of the smallest key of
// what remains, and an entry of key K only ever moves while it is the first entry of
// key K or less: it is then carried to the next entry of a smaller key, past the other
// entries of key K on the way. Seen by one key K, with S standing for any entry of a
// smaller key, each S in turn either leaves from the front or is replaced by the front
// entry of key K. So the entries of key K end in the order of a queue that is rotated
// by one for each S and gets each entry of key K appended as it comes: the counts of
// smaller entries between them decide it, counted with a Fenwick tree.
template <typename T, typename Key> int exchangeSort(std::list<T>& list, int tracked, Key key) {
    const int n = static_cast<int>(list.size());
    std::vector<std::int64_t> keys;
    keys.reserve(list.size());
    for (const T& entry : list)
        keys.push_back(key(entry));
    std::vector<int> byKey(keys.size());
    for (int i = 0; i < n; ++i)
        byKey[i] = i;
    std::stable_sort(byKey.begin(), byKey.end(), [&](int a, int b) { return keys[a] < keys[b]; });

    std::vector<int> smaller(keys.size() + 1, 0); // Fenwick tree of the positions taken
    auto countBefore = [&](int end) {             // smaller entries in positions [0, end)
        int count = 0;
        for (; end > 0; end -= end & -end)
            count += smaller[end];
        return count;
    };
    std::vector<int> order; // the entries as they end, by their positions as given
    order.reserve(keys.size());
    std::vector<int> queue;
    for (int first = 0; first < n;) {
        int last = first;
        while (last < n && keys[byKey[last]] == keys[byKey[first]])
            ++last;
        queue.clear();
        int from = 0;
        auto rotate = [&](int count) {
            if (!queue.empty() && count % static_cast<int>(queue.size()) != 0)
                std::rotate(queue.begin(), queue.begin() + count % static_cast<int>(queue.size()), queue.end());
        };
        for (int i = first; i < last; ++i) {
            const int at = byKey[i];
            rotate(countBefore(at) - countBefore(from));
            queue.push_back(at);
            from = at + 1;
        }
        rotate(countBefore(n) - countBefore(from));
        order.insert(order.end(), queue.begin(), queue.end());
        for (int i = first; i < last; ++i)
            for (int at = byKey[i] + 1; at <= n; at += at & -at)
                ++smaller[at];
        first = last;
    }

    std::vector<T> entries;
    entries.reserve(list.size());
    for (T& entry : list)
        entries.push_back(std::move(entry));
    auto it = list.begin();
    int trackedAt = tracked; // one that names no entry is never exchanged
    for (int i = 0; i < n; ++i, ++it) {
        *it = std::move(entries[order[i]]);
        if (order[i] == tracked) trackedAt = i;
    }
    return trackedAt;
}

// The order of the object lists' Sort: by x, then by y.
inline std::int64_t positionSortKey(int x, int y) {
    return static_cast<std::int64_t>(x) * (std::int64_t{1} << 32) +
           (static_cast<std::int64_t>(y) - std::numeric_limits<std::int32_t>::min());
}

} // namespace vexa
