#include "app/restore_points.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

constexpr LocalTime kNoon{2026, 12, 8, 12, 0, 5};

TEST(RestorePoints, NamesReadBackAndNothingElseCounts) {
    EXPECT_EQ(restorePointFolder(L"C:\\roms\\game.smc"), L"C:\\roms\\game.smc.backups");
    EXPECT_EQ(restorePointName(L"game", kNoon), L"game-20261208-120005.smc");
    EXPECT_EQ(restorePointName(L"game", kNoon, 3), L"game-20261208-120005-3.smc");
    for (int sequence : {1, 2, 17}) {
        const auto name = parseRestorePointName(L"ゲーム-1", restorePointName(L"ゲーム-1", kNoon, sequence));
        ASSERT_TRUE(name) << sequence;
        EXPECT_EQ(name->time, kNoon);
        EXPECT_EQ(name->sequence, sequence);
    }
    // The file system ignores case: the ROM may be opened as "GAME.smc" today.
    for (const wchar_t* other : {L"game-20261208-120005.SMC", L"GAME-20261208-120005.smc", L"gAmE-20261208-120005.smc"})
        EXPECT_TRUE(parseRestorePointName(L"Game", other)) << other;
    for (const wchar_t* other :
         {L"game.smc", L"game-20261208-120005.bak", L"game2-20261208-120005.smc", L"gam-20261208-120005.smc",
          L"game-2026128-120005.smc", L"game-20261208-12005x.smc", L"game_20261208-120005.smc",
          L"game-20261208-120005-1.smc", L"game-20261208-120005-02.smc", L"game-20261208-120005-.smc",
          L"game-20261208-120005-9999999.smc", L"notes.txt"})
        EXPECT_FALSE(parseRestorePointName(L"game", other)) << other;
}

std::vector<std::wstring> namesNewestFirst(std::span<const FolderFile> files) {
    std::vector<std::wstring> order;
    for (const RestorePointFile& file : restorePointsNewestFirst(L"game", files))
        order.push_back(file.fileName);
    return order;
}

TEST(RestorePoints, NewestFirstAndOnlyOwnNamesArePruned) {
    // Of the same write time (copied by a tool that sets one), the names rank them.
    const std::vector<FolderFile> files = {
        {L"game-20261208-120005.smc"},  {L"game-20261208-120005-2.smc"},
        {L"game-20251231-235959.smc"},  {L"game-20261208-120005-10.smc"},
        {L"game-20261209-000000.smc"},  {L"readme.txt"},
        {L"other-20300101-000000.smc"}, {L"game.smc"},
    };
    EXPECT_EQ(namesNewestFirst(files),
              (std::vector<std::wstring>{L"game-20261209-000000.smc", L"game-20261208-120005-10.smc",
                                         L"game-20261208-120005-2.smc", L"game-20261208-120005.smc",
                                         L"game-20251231-235959.smc"}));
    EXPECT_EQ(restorePointsBeyond(L"game", files, 3),
              (std::vector<std::wstring>{L"game-20261208-120005.smc", L"game-20251231-235959.smc"}));
    EXPECT_TRUE(restorePointsBeyond(L"game", files, 5).empty());
    EXPECT_EQ(restorePointsBeyond(L"game", files, 0).size(), 5u) << "never a file that is not a restore point";

    // After the first of a second was pruned, a new one still sorts newest.
    const std::vector<FolderFile> pruned = {{L"game-20261208-120005-2.smc"}, {L"GAME-20261208-120005-3.smc"}};
    EXPECT_EQ(nextRestorePointSequence(L"game", pruned, kNoon), 4);
    EXPECT_EQ(nextRestorePointSequence(L"game", pruned, LocalTime{2026, 12, 8, 12, 0, 6}), 1);
}

TEST(RestorePoints, AfterTheClockWentBackTheLastWrittenStayNewest) {
    // Made at 12:00:05 and 13:00:00 summer time, then 12:01:00 once the clock went back.
    const std::vector<FolderFile> files = {
        {L"game-20261025-120005.smc", 100}, {L"game-20261025-130000.smc", 200}, {L"game-20261025-120100.smc", 300}};
    EXPECT_EQ(namesNewestFirst(files),
              (std::vector<std::wstring>{L"game-20261025-120100.smc", L"game-20261025-130000.smc",
                                         L"game-20261025-120005.smc"}));
    EXPECT_EQ(restorePointsBeyond(L"game", files, 2), std::vector<std::wstring>{L"game-20261025-120005.smc"});
    // A point whose time could not be set past the others still survives its own save.
    EXPECT_EQ(restorePointsBeyond(L"game", files, 1, L"GAME-20261025-120005.smc"),
              (std::vector<std::wstring>{L"game-20261025-120100.smc", L"game-20261025-130000.smc"}));
}

TEST(RestorePoints, DifferingBytesCountTheLongerTail) {
    const std::vector<std::uint8_t> a = {1, 2, 3, 4};
    EXPECT_EQ(countDifferingBytes(a, a), 0u);
    EXPECT_EQ(countDifferingBytes(a, std::vector<std::uint8_t>{1, 9, 3, 9}), 2u);
    EXPECT_EQ(countDifferingBytes(a, std::vector<std::uint8_t>{1, 2}), 2u);
    EXPECT_EQ(countDifferingBytes({}, a), 4u);
    EXPECT_EQ(restorePointTimeText(kNoon), L"2026/12/08 12:00:05");
}

} // namespace
} // namespace vexa
