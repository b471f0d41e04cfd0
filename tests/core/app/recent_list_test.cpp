#include "app/recent_list.h"

#include <gtest/gtest.h>

#include <map>

namespace vexa {
namespace {

std::wstring path(int i) {
    return L"C:\\roms\\game" + std::to_wstring(i) + L".smc";
}

TEST(RecentFileList, ReopeningMovesToTheFrontAndTheSeventeenthDropsTheOldest) {
    RecentFileList files;
    for (int i = 0; i < 16; ++i)
        files.addFile(path(i));
    files.addFile(path(3));
    ASSERT_EQ(files.size(), 16u);
    EXPECT_EQ(files.entries()[0], path(3));
    EXPECT_EQ(files.entries()[1], path(15));
    EXPECT_EQ(files.entries()[15], path(0));

    files.addFile(path(16));
    ASSERT_EQ(files.size(), 16u);
    EXPECT_EQ(files.entries()[0], path(16));
    EXPECT_EQ(files.entries()[15], path(1)) << "the oldest entry was dropped";
}

TEST(RecentFileList, PathDifferingOnlyInCaseReplacesTheEntry) {
    RecentFileList files;
    files.addFile(L"C:\\Roms\\Ärger ΣΊΣΥΦΟΣ Москва ＡＢ.smc");
    files.addFile(L"D:\\other.smc");
    files.addFile(L"c:\\ROMS\\äRGER σίσυφος москва ａｂ.SMC");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.entries()[0], L"c:\\ROMS\\äRGER σίσυφος москва ａｂ.SMC") << "the new spelling wins";
    EXPECT_EQ(files.entries()[1], L"D:\\other.smc");
}

TEST(RecentFileList, CaseFoldingLeavesOtherCharactersApart) {
    EXPECT_TRUE(equalPathsIgnoringCase(L"ŁÓDŹ Ÿ Ĳ Ӂ Ӏ ЁЖ ҐЇ ΆΈΌΎΏ", L"łódź ÿ ĳ ӂ ӏ ёж ґї άέόύώ"));
    EXPECT_FALSE(equalPathsIgnoringCase(L"×", L"÷")) << "the multiplication sign is no letter";
    EXPECT_FALSE(equalPathsIgnoringCase(L"ß", L"ss"));
    EXPECT_FALSE(equalPathsIgnoringCase(L"[", L"{"));
    EXPECT_FALSE(equalPathsIgnoringCase(L"ス", L"ズ"));
    EXPECT_FALSE(equalPathsIgnoringCase(L"a.smc", L"a.smc "));
}

TEST(RecentFileList, LoadStopsAtTheFirstEmptyValueAndUsesMnemonicsUntilTheNextAdd) {
    const std::map<std::wstring, std::wstring> config{{L"0", L"a.smc"}, {L"1", L"b.smc"}, {L"3", L"d.smc"}};
    RecentFileList files;
    files.load([&](const std::wstring& key) {
        const auto it = config.find(key);
        return it == config.end() ? std::wstring() : it->second;
    });
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.menuItems(), (std::vector<RecentMenuItem>{{4417, L"&0 a.smc"}, {4418, L"&1 b.smc"}}));

    files.addFile(L"c.smc");
    EXPECT_EQ(files.menuItems(),
              (std::vector<RecentMenuItem>{{4417, L"0 c.smc"}, {4418, L"1 a.smc"}, {4419, L"2 b.smc"}}));
}

TEST(RecentFileList, LongPathsAreCutToTheItemBuffer) {
    const std::wstring longPath(400, L'x');
    EXPECT_EQ(recentFileText(15, longPath, false), L"15 " + std::wstring(256, L'x'));
    EXPECT_EQ(recentFileText(0, longPath, true).size(), kRecentFileTextChars - 1);
}

TEST(RecentFileList, SaveWritesOnlyTheEntriesAndClearEmptiesAllSixteenKeys) {
    RecentFileList files;
    files.addFile(L"a.smc");
    files.addFile(L"b.smc");
    EXPECT_EQ(files.savedValues(), (ProfileWrites{{L"0", L"b.smc"}, {L"1", L"a.smc"}}));

    files.clear();
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(files.savedValues().empty());
    const ProfileWrites cleared = RecentFileList::clearedValues();
    ASSERT_EQ(cleared.size(), 16u);
    EXPECT_EQ(cleared.front(), (std::pair<std::wstring, std::wstring>{L"0", L""}));
    EXPECT_EQ(cleared.back(), (std::pair<std::wstring, std::wstring>{L"15", L""}));
}

TEST(RecentFileList, EmptyPathIsNotEntered) {
    RecentFileList files;
    files.addFile(L"a.smc");
    files.addFile(L"");
    EXPECT_EQ(files.savedValues(), (ProfileWrites{{L"0", L"a.smc"}}));
}

TEST(RecentFileList, CommandsNameEntriesByPosition) {
    RecentFileList files;
    files.addFile(L"a.smc");
    files.addFile(L"b.smc");
    EXPECT_EQ(files.entryForCommand(4418), L"a.smc");
    EXPECT_EQ(files.entryForCommand(4419), std::nullopt) << "no entry at that position";
    EXPECT_EQ(files.entryForCommand(4416), std::nullopt);
    EXPECT_TRUE(RecentFileList::isEntryCommand(4478));
    EXPECT_FALSE(RecentFileList::isEntryCommand(kRecentFileClearCommand));
}

TEST(RecentLevelList, LoadStopsAtMinusOne) {
    const std::map<std::wstring, std::int32_t> config{{L"0", 3}, {L"1", -1}, {L"2", 5}};
    RecentLevelList levels;
    levels.load([&](const std::wstring& key) {
        const auto it = config.find(key);
        return it == config.end() ? kNoRecentLevel : it->second;
    });
    EXPECT_EQ(levels.entries(), (std::deque<std::int32_t>{3}));
}

TEST(RecentLevelList, AddMovesToFrontAndKeepsSixteen) {
    RecentLevelList levels;
    for (int i = 0; i < 17; ++i)
        levels.addLevel(i);
    levels.addLevel(10);
    levels.addLevel(kNoRecentLevel);
    ASSERT_EQ(levels.size(), 16u);
    EXPECT_EQ(levels.entries()[0], 10);
    EXPECT_EQ(levels.entries()[1], 16);
    EXPECT_EQ(levels.entries()[15], 1);
    EXPECT_EQ(levels.entryForCommand(5186), 16);
    EXPECT_EQ(levels.entryForCommand(5201), std::nullopt);
}

TEST(RecentLevelList, ItemTextsShowNumberAndName) {
    RecentLevelList levels;
    levels.addLevel(0x1F);
    levels.addLevel(0x0A);
    levels.addLevel(0x100);
    const auto items = levels.menuItems([](std::int32_t number) {
        return number == 0x0A ? std::wstring(L"?") : L"ステージ" + std::to_wstring(number);
    });
    EXPECT_EQ(items,
              (std::vector<RecentMenuItem>{{5185, L"100: ステージ256"}, {5186, L"0A: ?"}, {5187, L"1F: ステージ31"}}));
    EXPECT_EQ(recentLevelText(-2, L"x"), L"FFFFFFFE: x");
    EXPECT_EQ(recentLevelText(0xC5, std::wstring(70, L'名')), L"C5: " + std::wstring(59, L'名'));
}

TEST(RecentLevelList, SaveFillsTheRestWithMinusOneAndClearWritesNothing) {
    RecentLevelList levels;
    levels.addLevel(7);
    levels.addLevel(2);
    ProfileWrites expected{{L"0", L"2"}, {L"1", L"7"}};
    for (int j = 2; j < 16; ++j)
        expected.emplace_back(std::to_wstring(j), L"-1");
    EXPECT_EQ(levels.savedValues(), expected);

    levels.clear();
    const ProfileWrites afterClear = levels.savedValues();
    ASSERT_EQ(afterClear.size(), 16u);
    for (const auto& entry : afterClear)
        EXPECT_EQ(entry.second, L"-1");
}

} // namespace
} // namespace vexa
