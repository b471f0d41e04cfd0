#include "stage/object_list_ops.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexa {
namespace {

struct Item {
    int x, y, tag;
};

bool byXThenY(const Item& a, const Item& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
}

std::vector<int> tags(const std::list<Item>& list) {
    std::vector<int> result;
    for (const auto& item : list)
        result.push_back(item.tag);
    return result;
}

TEST(ExchangeSort, SelectionFollowsItsEntry) {
    std::list<Item> list{{40, 10, 0}, {8, 30, 1}, {40, 2, 2}};
    std::vector<int> done;
    const int tracked = exchangeSort(list, 0, byXThenY, [&](int p) { done.push_back(p); });
    EXPECT_EQ(tags(list), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(tracked, 2);
    EXPECT_EQ(done, (std::vector<int>{0, 1, 2}));
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
