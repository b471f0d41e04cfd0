#include "stage/view/stage_render.h"

#include "bananas/banana_edits.h"
#include "cameras/camera_handles.h"
#include "stage/map_look.h"

#include <algorithm>
#include <new>
#include <utility>

namespace vexa {

namespace {

struct Point {
    int x = 0;
    int y = 0;
};

void setPixel(RgbaImage& image, int x, int y, MapColour colour) {
    if (!image.inside(x, y)) return;
    std::uint8_t* p = image.rgba.data() + image.at(x, y);
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
    p[3] = 255;
}

// Pixels x in [left, right), y in [top, bottom), clipped to the image.
void fillArea(RgbaImage& image, int left, int top, int right, int bottom, MapColour colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image.width);
    bottom = std::min(bottom, image.height);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            setPixel(image, x, y, colour);
}

// A rectangle as the system draws one with a one-pixel pen: the corners in either
// order, the frame on the outermost pixels inside (left, top)-(right, bottom), the
// inside filled unless there is no body colour.
void drawRectangle(RgbaImage& image, int left, int top, int right, int bottom, MapColour frame, const MapColour* body) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    if (body) fillArea(image, left + 1, top + 1, right - 1, bottom - 1, *body);
    fillArea(image, left, top, right, top + 1, frame);
    fillArea(image, left, bottom - 1, right, bottom, frame);
    fillArea(image, left, top, left + 1, bottom, frame);
    fillArea(image, right - 1, top, right, bottom, frame);
}

long long edgeSide(Point a, Point b, long long px, long long py) {
    // Twice the signed area, with the pixel centre at (px + 1/2, py + 1/2) scaled by 2.
    return (static_cast<long long>(b.x - a.x) * 2) * (py - 2LL * a.y) -
           (static_cast<long long>(b.y - a.y) * 2) * (px - 2LL * a.x);
}

// A triangle filled without a pen: the pixels whose centres lie inside it.
void fillTriangle(RgbaImage& image, Point a, Point b, Point c, MapColour colour) {
    const int left = std::max(std::min({a.x, b.x, c.x}), 0);
    const int right = std::min(std::max({a.x, b.x, c.x}), image.width);
    const int top = std::max(std::min({a.y, b.y, c.y}), 0);
    const int bottom = std::min(std::max({a.y, b.y, c.y}), image.height);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const long long px = 2LL * x + 1;
            const long long py = 2LL * y + 1;
            const long long d0 = edgeSide(a, b, px, py);
            const long long d1 = edgeSide(b, c, px, py);
            const long long d2 = edgeSide(c, a, px, py);
            const bool inside = (d0 >= 0 && d1 >= 0 && d2 >= 0) || (d0 <= 0 && d1 <= 0 && d2 <= 0);
            if (inside) setPixel(image, x, y, colour);
        }
    }
}

// One 32 x 32 cell from the chip bitmap: column (cell & 0xFF), row (cell >> 8), as
// the map view copies it. Parts of the cell outside the bitmap are not copied.
void copyCell(RgbaImage& image, const RgbaImage& chips, int column, int row, std::uint16_t cell) {
    const int sourceX = (cell & 0xFF) * kTileSize;
    const int sourceY = (cell >> 8) * kTileSize;
    for (int dy = 0; dy < kTileSize; ++dy) {
        for (int dx = 0; dx < kTileSize; ++dx) {
            const int x = column * kTileSize + dx;
            const int y = row * kTileSize + dy;
            if (!chips.inside(sourceX + dx, sourceY + dy) || !image.inside(x, y)) continue;
            const std::uint8_t* from = chips.rgba.data() + chips.at(sourceX + dx, sourceY + dy);
            setPixel(image, x, y, {from[0], from[1], from[2]});
        }
    }
}

void drawTerrain(RgbaImage& image, const TilemapData& terrain, const RgbaImage* chips, bool shown) {
    if (!terrain.loaded || !shown) {
        // The map view fills this area with no pen, which leaves out the last column and row.
        fillArea(image, 0, 0, image.width - 1, image.height - 1, kNoTerrainColour);
        return;
    }
    if (!chips) return;
    for (int row = 0; row < terrain.heightTiles; ++row) {
        for (int column = 0; column < terrain.widthTiles; ++column) {
            const std::size_t index = static_cast<std::size_t>(row) * terrain.widthTiles + column;
            if (index >= terrain.chipCells.size()) return;
            copyCell(image, *chips, column, row, terrain.chipCells[index]);
        }
    }
}

void drawSprite(RgbaImage& image, const SpriteAllocData& sprite) {
    const int x = sprite.x;
    const int y = sprite.y;
    drawRectangle(image, x - kSpriteBoxHalfWidth, y - kSpriteBoxHeight, x + kSpriteBoxHalfWidth, y, kSpriteColour,
                  &kObjectBodyColour);
    fillTriangle(image, {x - kObjectMarkSize, y}, {x, y - kObjectMarkSize}, {x + kObjectMarkSize, y}, kSpriteColour);
}

void drawBanana(RgbaImage& image, const BananaAllocData& banana) {
    const int x = banana.x;
    const int y = banana.y;
    drawRectangle(image, x, y, x + kBananaBoxWidth, y + kBananaBoxHeight, kBananaColour, &kObjectBodyColour);
    fillTriangle(image, {x, y}, {x + kObjectMarkSize, y}, {x, y + kObjectMarkSize}, kBananaColour);
}

void drawCamera(RgbaImage& image, const CameraAllocData& camera) {
    const CameraBox box = cameraDrawnBox(camera);
    if (box.right < 0 || box.bottom < 0 || box.left > image.width || box.top > image.height) return;
    const int l = camera.left;
    const int t = camera.top;
    const int r = camera.right;
    const int b = camera.bottom;
    drawRectangle(image, l, t, r, b, kCameraColour, nullptr);
    for (const LinkArrow& arrow : cameraLinkArrows(camera))
        fillTriangle(image, {arrow[0].x, arrow[0].y}, {arrow[1].x, arrow[1].y}, {arrow[2].x, arrow[2].y},
                     kCameraColour);
    drawRectangle(image, l, t, l + kCameraLabelWidth, t + kCameraLabelHeight, kCameraColour, &kObjectBodyColour);
}

} // namespace

RgbaImage renderStage(const StageContents& stage, const RgbaImage* chips, unsigned layers) {
    RgbaImage image;
    const std::size_t pixels = static_cast<std::size_t>(std::max(stage.mapWidth(), 0)) *
                               static_cast<std::size_t>(std::max(stage.mapHeight(), 0));
    if (pixels == 0 || pixels > kMaxRenderPixels) return image;
    try {
        image.rgba.resize(pixels * 4);
    } catch (const std::bad_alloc&) {
        return image;
    }
    image.width = stage.mapWidth();
    image.height = stage.mapHeight();
    fillArea(image, 0, 0, image.width, image.height, kMapBackgroundColour);

    drawTerrain(image, stage.terrain, chips, (layers & kRenderTerrain) != 0);
    // Cameras lie lowest and sprites on top, as on the map.
    if (layers & kRenderCameras)
        for (const CameraAllocData& camera : stage.cameras.cameras)
            drawCamera(image, camera);
    if (layers & kRenderBananas)
        for (const BananaAllocData& banana : stage.bananas.bananas)
            drawBanana(image, banana);
    if (layers & kRenderSprites)
        for (const SpriteAllocData& sprite : stage.sprites.sprites)
            drawSprite(image, sprite);
    return image;
}

} // namespace vexa
