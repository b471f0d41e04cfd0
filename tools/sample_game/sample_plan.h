// What the sample game holds: its terrains with their sections, the 206 stages and
// what each of them shows, the sprite types and the banana set shapes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::sample {

// Each terrain has its own look; the theme decides the chip graphics and the kind of
// level that is built on it.
enum class Theme : std::uint8_t { Grass, Snow, Cave, Forest, Ruins, Beach, Castle };

enum class SectionKind : std::uint8_t { Main, Boss, Bonus };

struct SectionPlan {
    SectionKind kind = SectionKind::Bonus;
    int left = 0; // cells within the terrain
    int top = 0;
    int width = 0;
    int height = 0;
    std::uint32_t seed = 0;
};

struct TerrainPlan {
    std::uint8_t number = 0;
    Theme theme = Theme::Grass;
    std::uint16_t mapType = 0;
    bool hasData = true; // false: the map info record names no compressed data
    std::string chipFile;
    int width = 0; // whole terrain, cells
    int height = 0;
    std::vector<SectionPlan> sections;

    bool horizontal() const { return height <= 24; }
};

enum class StageRole : std::uint8_t { Title, WorldMap, Unused, Main, Boss, Bonus, Ending, Credits };

struct StagePlan {
    std::string name; // UTF-8; the ini writer converts it
    StageRole role = StageRole::Bonus;
    std::uint16_t stageType = 0;
    std::uint8_t terrain = 0;
    std::uint8_t section = 0;
    int sharesSpritesWith = -1; // this stage points at the sprite list of that one
    bool noBananas = false;
    bool noCameras = false;

    bool hasTilemap() const { return stageType != 4 && stageType != 5; }
};

struct SamplePlan {
    std::vector<TerrainPlan> terrains;
    std::vector<StagePlan> stages; // index = stage number
    int richStage = 37;            // the default LevelNumber
    int spriteTailStage = -1;      // its sprite list ends exactly at AvailableEnd
    int bananaWrapStage = -1;      // its banana list runs over the end of its bank
};

SamplePlan makeSamplePlan();

// Even sprite type numbers with their names (UTF-8), in type order from 0.
enum SpriteType : std::uint16_t {
    kSpriteNone = 0x00,
    kSpriteGoblin = 0x02,
    kSpriteSlime = 0x04,
    kSpriteBat = 0x06,
    kSpriteCrab = 0x08,
    kSpriteBee = 0x0A,
    kSpriteSnake = 0x0C,
    kSpriteSkeleton = 0x0E,
    kSpriteSnowman = 0x10,
    kSpritePenguin = 0x12,
    kSpriteRockTurtle = 0x14,
    kSpriteSpikeBall = 0x16,
    kSpriteCrow = 0x18,
    kSpriteGhost = 0x1A,
    kSpriteKnight = 0x1C,
    kSpriteCannon = 0x1E,
    kSpriteOwl = 0x20,
    kSpriteMushroom = 0x22,
    kSpriteSpider = 0x24,
    kSpriteShark = 0x26,
    kSpriteOctopus = 0x28,
    kSpriteWizard = 0x2A,
    kSpriteBossFrog = 0x2C,
    kSpriteBossKing = 0x2E,
    kSpriteBananaBarrel = 0x30,
    kSpriteCrate = 0x32,
    kSpriteCheckpoint = 0x34,
    kSpriteGoalSign = 0x36,
    kSpriteBalloon = 0x38,
    kSpriteLiftHorizontal = 0x3A,
    kSpriteLiftVertical = 0x3C,
    kSpriteSpring = 0x3E,
    kSpriteBarrelCannon = 0x40,
    kSpriteDoor = 0x42,
    kSpriteChest = 0x44,
    kSpriteRope = 0x46,
    kSpriteCurrent = 0x48,
    kSpriteKey = 0x4A,
    kSpriteHintSign = 0x4C,
    kSpriteStart = 0x4E,
};
inline constexpr int kSpriteTypeCount = 40;
const char* spriteTypeName(int row); // row i names type 2i

// A banana set as drawn: rows top first, '#' for a banana.
struct BananaSetShape {
    const char* name;
    std::vector<std::string> rows;

    int width() const { return rows.empty() ? 0 : static_cast<int>(rows.front().size()); }
    int height() const { return static_cast<int>(rows.size()); }
};

enum BananaSetId : std::uint8_t {
    kSetSingle,
    kSetRow3,
    kSetRow5,
    kSetColumn3,
    kSetColumn5,
    kSetSquare3,
    kSetArch7,
    kSetPeak5,
    kSetRise4,
    kSetFall4,
    kSetDiamond5,
    kSetRing7,
    kSetArrow,
    kSetHeart,
    kSetLetterB,
    kSetLongRow40,
    kSetBigArch36,
    kSetDoubleRow6,
    kSetZigzag8,
    kSetCross5,
    kSetTriangle5,
    kSetWave12,
    kSetStar7,
    kSetFrame8,
    kBananaSetCount,
};
std::vector<BananaSetShape> sampleBananaSets();

} // namespace vexa::sample
