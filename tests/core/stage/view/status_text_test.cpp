#include "stage/view/status_text.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

// A 40 x 12 cell map whose tile words count up from 0x0C00 row by row.
TilemapData countingMap() {
    TilemapData map;
    map.loaded = true;
    map.widthTiles = 40;
    map.heightTiles = 12;
    map.rawTiles.assign(kTilemapCellCount, 0);
    for (int i = 0; i < 40 * 12; ++i)
        map.rawTiles[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0x0C00 + i);
    return map;
}

TEST(StatusText, PointerTextGivesPixelsUnitsCellAndItsTileWord) {
    const TilemapData map = countingMap();
    const struct {
        int x;
        int y;
        const wchar_t* text;
    } cases[] = {
        {1234, 200, L"X 1234 Y 200 | 154, 25 | セル 38, 6 タイル 0D16"},
        {0, 0, L"X 0 Y 0 | 0, 0 | セル 0, 0 タイル 0C00"},
        {1279, 383, L"X 1279 Y 383 | 159, 47 | セル 39, 11 タイル 0DDF"},
        // Off the cells: the right and bottom edges, and left of or above the map.
        {1280, 0, L""},
        {0, 384, L""},
        {-1, 5, L""},
        {5, -1, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pointerStatusText(map, c.x, c.y), c.text) << c.x << ", " << c.y;
}

TEST(StatusText, TileWordIsMissingBeforeTheTerrainIsDecoded) {
    TilemapData map = countingMap();
    map.loaded = false;
    EXPECT_EQ(tileWordAt(map, 0, 0), std::nullopt);
    EXPECT_EQ(pointerStatusText(map, 40, 40), L"X 40 Y 40 | 5, 5 | セル 1, 1 タイル ----");
    map.loaded = true;
    map.rawTiles.resize(10);
    EXPECT_EQ(tileWordAt(map, 9, 0), 0x0C09);
    EXPECT_EQ(tileWordAt(map, 10, 0), std::nullopt) << "a short cell array is never read past";
}

TEST(StatusText, ObjectTexts) {
    EXPECT_EQ(spriteStatusText(3, {100, 200, 0x0012, 0x000A}, L"ハチ"), L"スプライト #3 0012-000A ハチ");
    BananaAllocData banana;
    banana.setNumber = 5;
    EXPECT_EQ(bananaStatusText(2, banana), L"バナナ #2 セット 05");
    EXPECT_EQ(cameraStatusText(1, {0, 0, 256, 224}), L"カメラ #1 (0, 0)-(256, 224)");
    EXPECT_EQ(zoomText(100), L"100%");
}

TEST(StatusText, SpriteRoomCountsWhatTheAddLimitAllows) {
    const struct {
        int sprites;
        int capacity;
        bool readable;
        SpriteRoom room;
        const wchar_t* text;
    } cases[] = {
        {44, 8 * 52 + 2, true, {44, 52, false}, L"スプライト 44/52"},
        // A capacity short of a whole entry rounds down; at the limit it is full.
        {3, 34 + 7, true, {3, 4, false}, L"スプライト 3/4"},
        {4, 34, true, {4, 4, true}, L"スプライト 4/4"},
        // A list past its room (a hacked bank) or without room at all.
        {5, 34, true, {5, 4, true}, L"スプライト 5/4"},
        {0, 0, true, {0, 0, true}, L"スプライト 0/0"},
        {0, -16, true, {0, 0, true}, L"スプライト 0/0"},
        // A list that could not be read takes no Add, whatever its room.
        {2, 802, false, {2, 100, true}, L"スプライト 2/100"},
    };
    for (const auto& c : cases) {
        LevelSpritesData data;
        data.sprites.resize(static_cast<std::size_t>(c.sprites));
        data.capacity = c.capacity;
        data.readable = c.readable;
        EXPECT_EQ(spriteRoomOf(data), c.room) << c.text;
        EXPECT_EQ(spriteRoomText(spriteRoomOf(data)), c.text);
    }
}

} // namespace
} // namespace vexa
