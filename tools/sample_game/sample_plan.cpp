#include "tools/sample_game/sample_plan.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vexa::sample {

namespace {

struct Size {
    int width;
    int height;
};

struct WorldDesign {
    Theme theme;
    std::uint16_t mapType;
    const char* chipFile;
    const char* worldName; // UTF-8
    std::array<Size, 5> mains;
    Size bonus;       // horizontal terrains vary the width a little
    int worldBonuses; // bonus rooms reached from this world's stages
};

constexpr std::array<WorldDesign, 7> kWorlds = {{
    {Theme::Grass, 0, "grass.bmp", "草原", {{{200, 16}, {150, 16}, {170, 16}, {140, 16}, {120, 16}}}, {18, 16}, 19},
    {Theme::Snow, 1, "snow.bmp", "雪山", {{{140, 24}, {150, 24}, {130, 24}, {160, 24}, {100, 24}}}, {18, 24}, 19},
    {Theme::Cave, 4, "cave.bmp", "洞窟", {{{24, 80}, {28, 96}, {20, 90}, {30, 100}, {32, 60}}}, {16, 16}, 19},
    {Theme::Forest, 6, "forest.bmp", "森", {{{60, 48}, {56, 56}, {64, 44}, {52, 60}, {48, 40}}}, {20, 16}, 19},
    {Theme::Ruins, 7, "ruins.bmp", "遺跡", {{{56, 50}, {60, 44}, {52, 56}, {64, 48}, {48, 40}}}, {20, 16}, 19},
    {Theme::Beach, 8, "beach.bmp", "海岸", {{{260, 16}, {220, 16}, {240, 16}, {200, 16}, {150, 16}}}, {18, 16}, 19},
    {Theme::Castle, 9, "castle.bmp", "城", {{{58, 52}, {62, 46}, {50, 58}, {64, 50}, {48, 40}}}, {20, 16}, 18},
}};

constexpr int kPoolRooms = 33; // stages 3-36; the last pool room is entered twice
constexpr std::uint8_t kNoDataTerrain = 7;

std::uint32_t sectionSeed(int terrain, int section) {
    std::uint32_t x = static_cast<std::uint32_t>(terrain * 7919 + section * 104729 + 12345);
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    return x;
}

// Horizontal terrains put their sections side by side; vertical ones put the main
// stages on one shelf and the bonus rooms on shelves below, left to right.
TerrainPlan layOutTerrain(std::uint8_t number, const WorldDesign& world, int bonusCount) {
    TerrainPlan terrain;
    terrain.number = number;
    terrain.theme = world.theme;
    terrain.mapType = world.mapType;
    terrain.chipFile = world.chipFile;
    const bool horizontal = world.mains[0].height <= 24;
    int x = 0;
    int mainHeight = 0;
    for (std::size_t i = 0; i < world.mains.size(); ++i) {
        SectionPlan section;
        section.kind = i + 1 == world.mains.size() ? SectionKind::Boss : SectionKind::Main;
        section.left = x;
        section.width = world.mains[i].width;
        section.height = world.mains[i].height;
        x += section.width;
        mainHeight = std::max(mainHeight, section.height);
        terrain.sections.push_back(section);
    }
    int shelfX = horizontal ? x : 0;
    int shelfY = horizontal ? 0 : mainHeight;
    const int wholeWidth = horizontal ? 0 : x;
    for (int i = 0; i < bonusCount; ++i) {
        SectionPlan section;
        section.width = horizontal ? world.bonus.width + (i * 5) % 7 : world.bonus.width;
        section.height = world.bonus.height;
        if (!horizontal && shelfX + section.width > wholeWidth) {
            shelfX = 0;
            shelfY += section.height;
        }
        section.left = shelfX;
        section.top = shelfY;
        shelfX += section.width;
        terrain.sections.push_back(section);
    }
    terrain.width = horizontal ? shelfX : wholeWidth;
    terrain.height = horizontal ? mainHeight : shelfY + (shelfX > 0 ? world.bonus.height : 0);
    for (std::size_t i = 0; i < terrain.sections.size(); ++i)
        terrain.sections[i].seed = sectionSeed(number, static_cast<int>(i));
    return terrain;
}

std::string format(const char* pattern, int a, int b = 0, int c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

StagePlan stage(std::string name, StageRole role, std::uint16_t type, std::uint8_t terrain, int section) {
    StagePlan plan;
    plan.name = std::move(name);
    plan.role = role;
    plan.stageType = type;
    plan.terrain = terrain;
    plan.section = static_cast<std::uint8_t>(section);
    return plan;
}

} // namespace

SamplePlan makeSamplePlan() {
    SamplePlan plan;
    std::array<int, kWorlds.size()> poolRooms{};
    for (int p = 0; p < kPoolRooms; ++p)
        ++poolRooms[p % kWorlds.size()];
    for (std::size_t t = 0; t < kWorlds.size(); ++t)
        plan.terrains.push_back(
            layOutTerrain(static_cast<std::uint8_t>(t), kWorlds[t], poolRooms[t] + kWorlds[t].worldBonuses));

    TerrainPlan unused;
    unused.number = kNoDataTerrain;
    unused.hasData = false;
    unused.width = 8;
    unused.height = 8;
    unused.sections.push_back({SectionKind::Boss, 0, 0, 8, 8, 0});
    plan.terrains.push_back(unused);

    // Bonus sections follow the five main ones; the pool takes each terrain's first.
    std::array<int, kWorlds.size()> nextBonus;
    nextBonus.fill(5);

    auto& stages = plan.stages;
    stages.push_back(stage("タイトルデモ", StageRole::Title, 5, 0, 0));
    stages.push_back(stage("ワールドマップ", StageRole::WorldMap, 4, 0, 0));
    stages.push_back(stage("未使用ステージ", StageRole::Unused, 0, kNoDataTerrain, 0));
    for (int p = 0; p < kPoolRooms; ++p) {
        const auto t = static_cast<std::uint8_t>(p % kWorlds.size());
        const int section = nextBonus[t]++;
        if (p + 1 < kPoolRooms) {
            stages.push_back(stage(format("ボーナスルーム %02d", p + 1), StageRole::Bonus, 1, t, section));
        } else {
            stages.push_back(stage(format("ボーナスルーム %02d (入口A)", p + 1), StageRole::Bonus, 1, t, section));
            stages.push_back(stage(format("ボーナスルーム %02d (入口B)", p + 1), StageRole::Bonus, 1, t, section));
            stages.back().sharesSpritesWith = static_cast<int>(stages.size()) - 2;
        }
    }
    stages[3].noBananas = true;
    stages[4].noCameras = true;

    plan.richStage = static_cast<int>(stages.size());
    for (std::size_t t = 0; t < kWorlds.size(); ++t) {
        const WorldDesign& world = kWorlds[t];
        const int worldNumber = static_cast<int>(t) + 1;
        for (int m = 0; m < 5; ++m) {
            const bool boss = m == 4;
            const std::string name =
                std::string(world.worldName) + format("ステージ %d-%d", worldNumber, m + 1) + (boss ? " (ボス)" : "");
            stages.push_back(
                stage(name, boss ? StageRole::Boss : StageRole::Main, boss ? 2 : 0, static_cast<std::uint8_t>(t), m));
            if (t == 0 && m == 1) plan.bananaWrapStage = static_cast<int>(stages.size()) - 1;
            if (t + 1 == kWorlds.size() && boss) plan.spriteTailStage = static_cast<int>(stages.size()) - 1;
            const int rooms = world.worldBonuses / 5 + (m < world.worldBonuses % 5 ? 1 : 0);
            for (int r = 0; r < rooms; ++r) {
                const std::string room =
                    std::string(world.worldName) + format("ボーナス %d-%d ", worldNumber, m + 1) + char('A' + r);
                stages.push_back(stage(room, StageRole::Bonus, 1, static_cast<std::uint8_t>(t), nextBonus[t]++));
            }
        }
    }
    stages.push_back(stage("エンディング", StageRole::Ending, 4, 0, 0));
    stages.push_back(stage("スタッフロール", StageRole::Credits, 5, 0, 0));
    return plan;
}

const char* spriteTypeName(int row) {
    static constexpr std::array<const char*, kSpriteTypeCount> kNames = {
        "なし",
        "ゴブリン",
        "スライム",
        "コウモリ",
        "カニ",
        "ハチ",
        "ヘビ",
        "ガイコツ兵",
        "ゆきだるま",
        "ペンギン",
        "イワガメ",
        "トゲボール",
        "カラス",
        "オバケ",
        "よろい騎士",
        "大砲",
        "ミミズク",
        "キノコ",
        "クモ",
        "サメ",
        "タコ",
        "魔法使い",
        "ボス：大ガエル",
        "ボス：よろいの王",
        "バナナだる",
        "木箱",
        "チェックポイント",
        "ゴール看板",
        "1UPバルーン",
        "動く足場 (横)",
        "動く足場 (縦)",
        "ばね",
        "たる大砲",
        "扉",
        "宝箱",
        "ロープ",
        "水流",
        "カギ",
        "ヒント看板",
        "スタート地点",
    };
    return row >= 0 && row < kSpriteTypeCount ? kNames[static_cast<std::size_t>(row)] : "?";
}

std::vector<BananaSetShape> sampleBananaSets() {
    std::vector<BananaSetShape> sets(kBananaSetCount);
    sets[kSetSingle] = {"一個", {"#"}};
    sets[kSetRow3] = {"一列 (横 3)", {"###"}};
    sets[kSetRow5] = {"一列 (横 5)", {"#####"}};
    sets[kSetColumn3] = {"一列 (縦 3)", {"#", "#", "#"}};
    sets[kSetColumn5] = {"一列 (縦 5)", {"#", "#", "#", "#", "#"}};
    sets[kSetSquare3] = {"四角 (3×3)", {"###", "###", "###"}};
    sets[kSetArch7] = {"アーチ (横 7)", {"..###..", ".#...#.", "#.....#"}};
    sets[kSetPeak5] = {"山形 (横 5)", {"..#..", ".#.#.", "#...#"}};
    sets[kSetRise4] = {"ななめ上 (4)", {"...#", "..#.", ".#..", "#..."}};
    sets[kSetFall4] = {"ななめ下 (4)", {"#...", ".#..", "..#.", "...#"}};
    sets[kSetDiamond5] = {"ひし形", {"..#..", ".#.#.", "#...#", ".#.#.", "..#.."}};
    sets[kSetRing7] = {"輪", {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}};
    sets[kSetArrow] = {"矢印 (右)", {"...#..", "....#.", "######", "....#.", "...#.."}};
    sets[kSetHeart] = {"ハート", {".##.##.", "#..#..#", "#.....#", ".#...#.", "..#.#..", "...#..."}};
    sets[kSetLetterB] = {"文字 B", {"####.", "#...#", "####.", "#...#", "#...#", "####."}};
    sets[kSetLongRow40] = {"長い列 (横 40)", {std::string(40, '#')}};
    std::vector<std::string> bigArch(6, std::string(36, '.'));
    static constexpr std::array<int, 36> kArchRow = {5, 4, 3, 3, 2, 2, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0,
                                                     0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 4, 5};
    for (std::size_t x = 0; x < kArchRow.size(); x += 2)
        bigArch[static_cast<std::size_t>(kArchRow[x])][x] = '#';
    sets[kSetBigArch36] = {"大アーチ (横 36)", bigArch};
    sets[kSetDoubleRow6] = {"二列 (横 6)", {"######", "######"}};
    sets[kSetZigzag8] = {"ジグザグ", {"#.....#.", ".#...#.#", "..#.#...", "...#...."}};
    sets[kSetCross5] = {"十字", {"..#..", "..#..", "#####", "..#..", "..#.."}};
    sets[kSetTriangle5] = {"三角", {"..#..", ".###.", "#####"}};
    sets[kSetWave12] = {"波 (横 12)", {".##....##...", "#..#..#..#..", "....##....##"}};
    sets[kSetStar7] = {"星", {"...#...", "...#...", "#######", ".#####.", "..###..", ".##.##.", "#.....#"}};
    sets[kSetFrame8] = {"大きな四角 (わく)", {"########", "#......#", "#......#", "#......#", "#......#", "########"}};
    return sets;
}

} // namespace vexa::sample
