// A terrain as the level designer sees it: what each cell is made of, what stands
// in front of it and what lies behind it. Tiling turns this into tile words and the
// list of chips the terrain's chip bitmap has to hold.
#pragma once

#include "tools/sample_game/sample_plan.h"

#include <cstdint>
#include <vector>

namespace vexa::sample {

// Deterministic across compilers, unlike the standard distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) {}
    std::uint32_t next();
    int range(int lo, int hi); // inclusive
    bool chance(int percent) { return range(0, 99) < percent; }

private:
    std::uint64_t state_;
};

// The solid layer: what a cell is made of.
enum class Mat : std::uint8_t { Air, Solid, SlopeUp, SlopeDown, Block, Platform, Bridge, Water, Spikes };

// Things in front of the background that nothing stands on. `part` is dx | dy << 4
// within the object.
enum class Deco : std::uint8_t {
    None,
    Ladder,
    Vine,
    Tree,
    Pine,
    Palm,
    Bush,
    Flower,
    Tuft,
    Rock,
    Sign,
    Fence,
    Shell,
    Crystal,
    Stalagmite,
    Stalactite,
    Mushroom,
    Column,
    Urn,
    Snowman,
};

struct DecoCell {
    Deco kind = Deco::None;
    std::uint8_t part = 0;
};

// The background layer. Sky cells carry a sky code (band * 2 + 1 for the band's first
// row, which blends into the band above); a cloud or ridge cell also says which sky
// lies behind it.
enum class Back : std::uint8_t { Sky, Cloud, Ridge, Far, SeaTop, Sea, Wall, Window, Torch, Glow, Banner };

enum RidgeShape : std::uint8_t { kRidgeFlat, kRidgeUp, kRidgeDown };

struct BackCell {
    Back kind = Back::Wall;
    std::uint8_t a = 0; // part, shape or variant
    std::uint8_t b = 0; // sky code behind a cloud, ridge or sea line
};

struct TerrainGrid {
    int width = 0;
    int height = 0;
    std::vector<Mat> mat;
    std::vector<DecoCell> deco;
    std::vector<BackCell> back;

    TerrainGrid(int w, int h) : width(w), height(h), mat(size(), Mat::Air), deco(size()), back(size()) {}
    std::size_t size() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
    bool inside(int c, int r) const { return c >= 0 && r >= 0 && c < width && r < height; }
    std::size_t at(int c, int r) const { return static_cast<std::size_t>(r) * width + c; }
    Mat matAt(int c, int r) const { return inside(c, r) ? mat[at(c, r)] : Mat::Solid; }
    void set(int c, int r, Mat m) {
        if (inside(c, r)) mat[at(c, r)] = m;
    }
    // Air with nothing in front.
    bool isFree(int c, int r) const {
        return inside(c, r) && mat[at(c, r)] == Mat::Air && deco[at(c, r)].kind == Deco::None;
    }
};

struct DecoPart {
    int dx = 0;
    int dy = 0;
    std::uint8_t part = 0;
};

// Places an object with its top-left cell at (c, r) when every part lies on free air
// over a plain background (far hills or a wall), so that no chip mixes it with sky.
bool placeDeco(TerrainGrid& g, Deco kind, int c, int r, const std::vector<DecoPart>& parts);

// Solid cells a sprite can stand on.
inline bool isStandable(Mat m) {
    return m == Mat::Solid || m == Mat::Block || m == Mat::Platform || m == Mat::Bridge;
}

TerrainGrid generateTerrain(const TerrainPlan& terrain);

// Builders shared by the two kinds of terrain (terrain_common.cpp).
struct GroundStyle {
    bool pits = true;   // gaps in the ground
    int waterDepth = 0; // rows of water at the bottom of a pit
    bool bridges = false;
    int hills = 30; // percent of features that are hills or valleys
};

// Rolling ground between columns [x0, x1) whose surface stays in rows [top, bottom]
// and whose solid reaches down to row `floor`. Begins and ends with flat ground.
void buildGround(TerrainGrid& g, Rng& rng, int x0, int x1, int top, int bottom, int floor, const GroundStyle& style);
// Floating platforms above the ground of columns [x0, x1), no higher than minRow.
void addPlatforms(TerrainGrid& g, Rng& rng, int x0, int x1, int minRow, int every);
// Ladders from platforms down to the ground where the drop is deep.
void addLadders(TerrainGrid& g, Rng& rng, int x0, int x1, int y0, int y1);
// Blocks and decorations standing on flat ground in the rectangle.
void decorate(TerrainGrid& g, Rng& rng, Theme theme, int x0, int y0, int x1, int y1);

void generateHorizontal(TerrainGrid& g, const TerrainPlan& terrain);
void generateVertical(TerrainGrid& g, const TerrainPlan& terrain);

} // namespace vexa::sample
