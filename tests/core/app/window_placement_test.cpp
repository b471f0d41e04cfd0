#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <map>

namespace vexa {
namespace {

MainWindowPlacement readFrom(const std::map<std::wstring, std::int32_t>& config) {
    return readMainWindowPlacement([&](const wchar_t* key, std::int32_t defaultValue) {
        const auto it = config.find(key);
        return it == config.end() ? defaultValue : it->second;
    });
}

TEST(WindowPlacement, StoredPlacementIsUsedWithNegativeCoordinates) {
    const auto placement = readFrom({{L"Pos_X", -1200}, {L"Pos_Y", -8}, {L"Width", 800}, {L"Height", 600}});
    EXPECT_EQ(placement, (MainWindowPlacement{-1200, -8, 800, 600, false}));
}

TEST(WindowPlacement, MissingWidthAloneMakesEverythingDefault) {
    const auto placement = readFrom({{L"Pos_X", 10}, {L"Pos_Y", 20}, {L"Height", 600}, {L"Maximized", -5}});
    EXPECT_EQ(placement,
              (MainWindowPlacement{kDefaultPlacement, kDefaultPlacement, kDefaultPlacement, kDefaultPlacement, true}));
    EXPECT_EQ(readFrom({}), MainWindowPlacement{});
    EXPECT_EQ(readFrom({{L"Pos_X", 1}, {L"Pos_Y", 2}, {L"Width", 3}, {L"Height", INT32_MIN}}).x, kDefaultPlacement)
        << "a stored 0x80000000 counts as the default";
}

TEST(WindowPlacement, DestroyWritesTheRestoredRectangle) {
    using Writes = std::vector<std::pair<std::wstring, std::wstring>>;
    EXPECT_EQ(
        mainWindowPlacementValues({-1200, -8, -400, 592}, true),
        (Writes{
            {L"Pos_X", L"-1200"}, {L"Pos_Y", L"-8"}, {L"Width", L"800"}, {L"Height", L"600"}, {L"Maximized", L"1"}}));
    EXPECT_EQ(mainWindowPlacementValues({0, 0, 10, 10}, false).back().second, L"0");
}

} // namespace
} // namespace vexa
