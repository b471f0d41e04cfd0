#include "stage/object_list_ops.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace vexa {
namespace {

struct Item {
    int x, y, tag;
};

std::int64_t byXThenY(const Item& item) {
    return positionSortKey(item.x, item.y);
}

// The procedure as stated, entry by entry over a list: what the fast one must match.
int referenceExchangeSort(std::list<Item>& list, int tracked) {
    int p = 0;
    for (auto first = list.begin(); first != list.end(); ++first, ++p) {
        int q = p + 1;
        for (auto later = std::next(first); later != list.end(); ++later, ++q) {
            if (!(byXThenY(*later) < byXThenY(*first))) continue;
            std::swap(*first, *later);
            if (tracked == p)
                tracked = q;
            else if (tracked == q)
                tracked = p;
        }
    }
    return tracked;
}

std::vector<int> tags(const std::list<Item>& list) {
    std::vector<int> result;
    for (const auto& item : list)
        result.push_back(item.tag);
    return result;
}

TEST(ExchangeSort, SelectionFollowsItsEntry) {
    std::list<Item> list{{40, 10, 0}, {8, 30, 1}, {40, 2, 2}};
    const int tracked = exchangeSort(list, 0, byXThenY);
    EXPECT_EQ(tags(list), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(tracked, 2);
}

// Lists of every shape the fast search and its plain fallback meet: random with many
// equal keys, already sorted, reversed (past the exchange budget), all equal, negative
// coordinates; each with the selection at its start, middle and end.
TEST(ExchangeSort, MatchesTheProcedureEntryForEntry) {
    std::uint32_t seed = 7;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, static_cast<int>(seed >> 16); };
    const std::vector<std::function<Item(int, int)>> shapes{
        [&](int, int) {
            return Item{next() % 8, next() % 4, 0};
        },
        [&](int i, int) {
            return Item{i / 3, i % 3, 0};
        },
        [&](int i, int n) {
            return Item{n - i, next() % 2, 0};
        },
        [&](int, int) {
            return Item{5, 5, 0};
        },
        [&](int, int) {
            return Item{next() % 200 - 100, -(next() % 50), 0};
        },
    };
    for (const int n : {0, 1, 2, 17, 3000}) {
        for (std::size_t shape = 0; shape < shapes.size(); ++shape) {
            std::list<Item> list;
            for (int i = 0; i < n; ++i) {
                list.push_back(shapes[shape](i, n));
                list.back().tag = i;
            }
            for (const int tracked : {-1, 0, n / 2, n - 1}) {
                std::list<Item> fast = list;
                std::list<Item> expected = list;
                const int expectedTracked = referenceExchangeSort(expected, tracked);
                EXPECT_EQ(exchangeSort(fast, tracked, byXThenY), expectedTracked) << n << " shape " << shape;
                EXPECT_EQ(tags(fast), tags(expected)) << n << " shape " << shape;
            }
        }
    }
}

TEST(ExchangeSort, EqualEntriesEndInTheProceduresOrderNotStableOrder) {
    // (X 5), (X 5'), (X 1) ends as (X 1), (X 5'), (X 5).
    std::list<Item> list{{5, 0, 0}, {5, 0, 1}, {1, 0, 2}};
    EXPECT_EQ(exchangeSort(list, -1, byXThenY), -1);
    EXPECT_EQ(tags(list), (std::vector<int>{2, 1, 0}));
}

TEST(ListItems, IndexedAccessAndExchange) {
    std::list<Item> list{{1, 0, 0}, {2, 0, 1}, {3, 0, 2}};
    EXPECT_TRUE(hasItem(list, 2));
    EXPECT_FALSE(hasItem(list, 3));
    EXPECT_FALSE(hasItem(list, -1));
    exchangeItems(list, 0, 2);
    EXPECT_EQ(tags(list), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(itemAt(list, 1).x, 2);
}

} // namespace
} // namespace vexa
