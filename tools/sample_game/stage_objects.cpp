#include "tools/sample_game/stage_objects.h"

#include <algorithm>
#include <array>

namespace vexa::sample {

namespace {

constexpr int kCell = 32;

// A free cell with something to stand on right below it, in section cells.
struct Spot {
    int c;
    int r;
};

struct Area {
    const TerrainGrid& g;
    const SectionPlan& s;
    bool horizontal;

    int widthPx() const { return s.width * kCell; }
    int heightPx() const { return s.height * kCell; }
    bool open(int c, int r) const {
        const int x = s.left + c;
        const int y = s.top + r;
        return g.inside(x, y) && g.mat[g.at(x, y)] == Mat::Air && g.deco[g.at(x, y)].kind != Deco::Ladder;
    }
    bool floor(int c, int r) const { return isStandable(g.matAt(s.left + c, s.top + r)); }
};

std::vector<Spot> findSpots(const Area& a) {
    std::vector<Spot> spots;
    for (int c = 1; c < a.s.width - 1; ++c)
        for (int r = 1; r < a.s.height - 1; ++r)
            if (a.open(c, r) && a.open(c, r - 1) && a.floor(c, r + 1)) spots.push_back({c, r});
    if (!a.horizontal)
        std::stable_sort(spots.begin(), spots.end(), [](const Spot& p, const Spot& q) { return p.r > q.r; });
    return spots;
}

// `count` spots spread evenly over the list, starting at `offset` of a step.
std::vector<Spot> spread(const std::vector<Spot>& spots, int count, int offset) {
    std::vector<Spot> picked;
    if (spots.empty() || count <= 0) return picked;
    for (int i = 0; i < count; ++i) {
        const std::size_t at =
            (static_cast<std::size_t>(i) * 2 + 1) * spots.size() / (static_cast<std::size_t>(count) * 2);
        picked.push_back(spots[(at + static_cast<std::size_t>(offset)) % spots.size()]);
    }
    return picked;
}

struct Cast {
    std::array<std::uint16_t, 3> walkers;
    std::uint16_t flyer;
};

Cast castOf(Theme theme) {
    switch (theme) {
    case Theme::Grass: return {{kSpriteGoblin, kSpriteSlime, kSpriteSnake}, kSpriteBee};
    case Theme::Snow: return {{kSpriteSnowman, kSpritePenguin, kSpriteRockTurtle}, kSpriteOwl};
    case Theme::Cave: return {{kSpriteSpider, kSpriteSkeleton, kSpriteSlime}, kSpriteBat};
    case Theme::Forest: return {{kSpriteMushroom, kSpriteSpider, kSpriteSnake}, kSpriteOwl};
    case Theme::Ruins: return {{kSpriteSkeleton, kSpriteSnake, kSpriteSpikeBall}, kSpriteGhost};
    case Theme::Beach: return {{kSpriteCrab, kSpriteOctopus, kSpriteSlime}, kSpriteCrow};
    case Theme::Castle: return {{kSpriteKnight, kSpriteWizard, kSpriteCannon}, kSpriteGhost};
    }
    return {{kSpriteGoblin, kSpriteGoblin, kSpriteGoblin}, kSpriteBat};
}

constexpr std::array<std::uint16_t, 7> kItems = {kSpriteBananaBarrel, kSpriteCrate, kSpriteBalloon, kSpriteSpring,
                                                 kSpriteBarrelCannon, kSpriteChest, kSpriteHintSign};

SpriteAllocData sprite(const Spot& p, std::uint16_t type, std::uint16_t parameter, int lift = 0) {
    return {p.c * kCell + kCell / 2, (p.r + 1) * kCell - lift, type, parameter};
}

SpriteList makeSprites(const Area& a, const std::vector<Spot>& spots, const StagePlan& stage, Theme theme, int count) {
    SpriteList list;
    if (spots.empty()) return list;
    const Cast cast = castOf(theme);
    const auto picked = spread(spots, count, 0);
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const Spot& p = picked[i];
        const auto n = static_cast<std::uint16_t>(i);
        if (stage.role == StageRole::Boss && i == picked.size() / 2) {
            list.push_back(sprite(p, theme == Theme::Castle ? kSpriteBossKing : kSpriteBossFrog, 0x0001));
        } else if (stage.role == StageRole::Main && i == 0) {
            list.push_back(sprite(p, kSpriteStart, 0x0100));
        } else if (stage.role == StageRole::Main && i + 1 == picked.size()) {
            list.push_back(sprite(p, kSpriteGoalSign, 0x0100));
        } else if (stage.role == StageRole::Main && i == picked.size() / 2) {
            list.push_back(sprite(p, kSpriteCheckpoint, 0x0100));
        } else if (i % 5 == 4) {
            list.push_back(sprite(p, kItems[(i / 5) % kItems.size()], static_cast<std::uint16_t>(0x0200 + n)));
        } else if (i % 4 == 3) {
            list.push_back(sprite(p, cast.flyer, static_cast<std::uint16_t>(0x0011 + (n & 1)), 64 + (n % 3) * 16));
        } else {
            list.push_back(sprite(p, cast.walkers[i % cast.walkers.size()], static_cast<std::uint16_t>(1 + (n & 1))));
        }
    }
    if (stage.role == StageRole::Bonus && a.horizontal) list.push_back(sprite(picked.back(), kSpriteDoor, 0x0300));
    return list;
}

constexpr std::array<std::uint8_t, 24> kSetOrder = {
    kSetRow5,   kSetArch7,      kSetSingle,  kSetRow3,    kSetPeak5,   kSetDiamond5,  kSetColumn3,   kSetHeart,
    kSetRing7,  kSetRise4,      kSetFall4,   kSetArrow,   kSetZigzag8, kSetWave12,    kSetStar7,     kSetTriangle5,
    kSetCross5, kSetDoubleRow6, kSetSquare3, kSetLetterB, kSetFrame8,  kSetLongRow40, kSetBigArch36, kSetColumn5,
};
constexpr std::array<std::uint8_t, 6> kBonusSets = {kSetSquare3, kSetFrame8, kSetHeart,
                                                    kSetLetterB, kSetStar7,  kSetDoubleRow6};

BananaList makeBananas(const std::vector<Spot>& spots, const StagePlan& stage, int count, int salt) {
    BananaList list;
    const auto picked = spread(spots, count, 1);
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const Spot& p = picked[i];
        BananaAllocData b;
        b.x = p.c * kCell;
        b.y = std::max(0, (p.r - 1) * kCell - 16);
        b.setNumber = stage.role == StageRole::Bonus
                          ? kBonusSets[(i + static_cast<std::size_t>(salt)) % kBonusSets.size()]
                          : kSetOrder[(i + static_cast<std::size_t>(salt)) % kSetOrder.size()];
        b.front1 = i % 7 == 3;
        b.front2 = i % 11 == 5;
        list.push_back(b);
    }
    return list;
}

CameraAllocData camera(int left, int top, int right, int bottom) {
    CameraAllocData c;
    c.left = left & ~7;
    c.top = top & ~7;
    c.right = right & ~7;
    c.bottom = bottom & ~7;
    return c;
}

// Horizontal stages: screens side by side, each continuing to the right; vertical
// ones: bands stacked from the top, each continuing downward.
CameraList makeCameras(const Area& a, int spanPerCamera) {
    CameraList list;
    const int along = a.horizontal ? a.widthPx() : a.heightPx();
    const int count = std::max(1, (along + spanPerCamera / 2) / spanPerCamera);
    for (int i = 0; i < count; ++i) {
        const int from = along * i / count;
        const int to = along * (i + 1) / count;
        CameraAllocData c = a.horizontal ? camera(from, 0, to, a.heightPx()) : camera(0, from, a.widthPx(), to);
        const bool more = i + 1 < count;
        if (a.horizontal) {
            c.rightLink = more;
            c.rightLink2 = more && i % 2 == 1;
        } else {
            c.downLink = more;
            c.downLink2 = more && i % 2 == 1;
        }
        c.p1 = i == 0;
        c.p2 = i == 0 && a.s.kind == SectionKind::Main;
        list.push_back(c);
    }
    return list;
}

StageObjects noDataStage() {
    StageObjects o;
    o.sprites.push_back({128, 224, kSpriteBossKing, 0x0001});
    o.sprites.push_back({32, 224, kSpriteDoor, 0x0300});
    o.bananas.push_back({64, 96, false, false, kSetRow5});
    o.bananas.push_back({160, 64, false, false, kSetArch7});
    o.cameras.push_back(camera(0, 0, 256, 256));
    o.cameras.back().p1 = true;
    return o;
}

} // namespace

StageObjects makeStageObjects(const SamplePlan& plan, int stageNumber,
                              const std::vector<std::optional<TerrainGrid>>& grids) {
    const StagePlan& stage = plan.stages[static_cast<std::size_t>(stageNumber)];
    const TerrainPlan& terrain = plan.terrains[stage.terrain];
    StageObjects objects;
    if (!stage.hasTilemap()) return objects; // title, map and ending screens: the editor reads map type 0
    objects.mapType = terrain.mapType;
    if (!terrain.hasData) return noDataStage();
    const TerrainGrid& grid = *grids[stage.terrain];
    const SectionPlan& section = terrain.sections[stage.section];
    const Area area{grid, section, terrain.horizontal()};
    const std::vector<Spot> spots = findSpots(area);
    const bool rich = stageNumber == plan.richStage;

    int sprites = 3 + stageNumber % 3;
    int bananas = 3 + stageNumber % 2;
    if (stage.role == StageRole::Main) {
        sprites = area.horizontal ? section.width / 5 : section.width * section.height / 70;
        bananas = area.horizontal ? section.width / 8 : section.width * section.height / 90;
    } else if (stage.role == StageRole::Boss) {
        sprites = 5;
        bananas = 4;
    }
    if (rich) {
        sprites = std::max(sprites, 44);
        bananas = std::max(bananas, 24);
    }
    objects.sprites = makeSprites(area, spots, stage, terrain.theme, sprites);
    if (!stage.noBananas) objects.bananas = makeBananas(spots, stage, bananas, stageNumber);
    if (!stage.noCameras) objects.cameras = makeCameras(area, area.horizontal ? 1024 : 704);
    for (BananaAllocData& b : objects.bananas)
        maskBananaPosition(b, objects.mapType);
    for (CameraAllocData& c : objects.cameras)
        maskCameraRectangle(c, objects.mapType);
    return objects;
}

} // namespace vexa::sample
