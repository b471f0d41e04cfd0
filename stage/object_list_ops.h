// List operations shared by the sprite, banana and camera edits: indexed access,
// exchanging two entries, and the exchange sort that keeps track of one entry.
#pragma once

#include <cstddef>
#include <iterator>
#include <list>
#include <utility>

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

// Sorts by exchanging: for each position p, every later entry that `less` puts before
// the entry at p is exchanged with it. This is not a stable sort, and the result for
// equal entries is part of the stored order users see, so it must stay this exact
// procedure. `tracked` follows the entry it names through every exchange (-1 stays
// -1); `positionDone(p)` is called once position p holds its final entry. Returns
// the tracked entry's new position.
template <typename T, typename Less, typename Done>
int exchangeSort(std::list<T>& list, int tracked, Less less, Done positionDone) {
    int p = 0;
    for (auto first = list.begin(); first != list.end(); ++first, ++p) {
        int q = p + 1;
        for (auto later = std::next(first); later != list.end(); ++later, ++q) {
            if (!less(*later, *first)) continue;
            std::swap(*first, *later);
            if (tracked == p)
                tracked = q;
            else if (tracked == q)
                tracked = p;
        }
        positionDone(p);
    }
    return tracked;
}

template <typename T, typename Less> int exchangeSort(std::list<T>& list, int tracked, Less less) {
    return exchangeSort(list, tracked, less, [](int) {});
}

} // namespace vexa
