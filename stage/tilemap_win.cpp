#include "stage/tilemap_win.h"

#include "app/rom_file_win.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vexa {

namespace {

constexpr const wchar_t* kMapViewSection = L"MapView";
constexpr const wchar_t* kShowTilemapKey = L"ShowTilemap";
constexpr std::size_t kChipNameChars = 64;  // a name of at most 63 characters
constexpr std::size_t kChipPathChars = 259; // the longest path the bitmap loader is given

std::wstring chipBitmapPath(const StageWindowHost& host, std::uint8_t terrainNumber) {
    const std::wstring name = nameText(host.romInfo().chipFileName(terrainNumber), L"", kChipNameChars);
    std::wstring path = host.programFolder() + L"chips\\" + name;
    if (path.size() > kChipPathChars) path.resize(kChipPathChars);
    return path;
}

// Values outside 0-2 (a hand-edited config.ini) stay put; the menu can still set one.
int nextDisplayMode(int mode) {
    switch (mode) {
    case kTilemapHidden: return kTilemapGraphics;
    case kTilemapGraphics: return kTilemapAttributes;
    case kTilemapAttributes: return kTilemapHidden;
    default: return mode;
    }
}

// One cell from the chip bitmap's pixels at (sx, sy) to the target at (dx, dy), cut
// to both as BitBlt cuts it: what lies outside either is left as it was.
void copyCell(const BitmapBuffer& chips, int sx, int sy, const PixelRows& target, int dx, int dy) {
    int width = kTileSize;
    int height = kTileSize;
    auto cut = [](int& source, int& dest, int& extent, int sourceLimit, int destLimit) {
        const int skip = std::max({0, -source, -dest});
        source += skip;
        dest += skip;
        extent = std::min({extent - skip, sourceLimit - source, destLimit - dest});
    };
    cut(sx, dx, width, chips.pixelSize.cx, target.width);
    cut(sy, dy, height, chips.pixelSize.cy, target.height);
    if (width <= 0 || height <= 0) return;
    for (int y = 0; y < height; ++y)
        std::memcpy(target.row(dy + y) + dx, &chips.pixels[static_cast<std::size_t>(sy + y) * chips.pixelSize.cx + sx],
                    static_cast<std::size_t>(width) * sizeof(std::uint32_t));
}

} // namespace

std::array<IntSetting, 1> LevelTilemapManager::settings() {
    return {{{kMapViewSection, kShowTilemapKey, kTilemapGraphics, &displayMode_}}};
}

bool LevelTilemapManager::initialize() {
    appGlobals().config.load(settings());
    updateMapMenu();
    return true;
}

void LevelTilemapManager::loadTilemap(const StageHeader& stageHeader, HDC referenceDc) {
    if (!host_) return;
    switch (loadTilemapData(host_->romImage(), stageHeader, host_->romInfo().mapTables(), data_)) {
    case TilemapLoadOutcome::DecompressionFailed: host_->showError(text(IDS_MAP_EXPAND_FAILED)); break;
    case TilemapLoadOutcome::Loaded: showChipBitmap(referenceDc, chipBitmapPath(*host_, data_.terrainNumber)); break;
    case TilemapLoadOutcome::NoMap:
    case TilemapLoadOutcome::NoTerrainData: break;
    }
}

namespace {

// A chip bitmap is a few hundred KiB; one larger than this is no chip bitmap.
constexpr std::uint64_t kLargestChipFile = 64u << 20;

// What the file holds now: a file written again within the resolution of its write
// time keeps the time, but hardly its size and content as well. All zero for a file
// that cannot be read.
FileStamp chipFileStamp(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    FileStamp stamp;
    readWholeFile(path, kLargestChipFile, bytes, &stamp);
    return stamp;
}

} // namespace

void LevelTilemapManager::showChipBitmap(HDC referenceDc, const std::wstring& path) {
    const FileStamp file = chipFileStamp(path);
    auto same = [&](const ChipBitmap& chips) { return chips.path == path && chips.file == file; };
    const auto cached = std::find_if(chips_.begin(), chips_.end(), same);
    if (cached != chips_.end()) {
        chips_.splice(chips_.begin(), chips_, cached);
        return;
    }
    if (chips_.size() >= kCachedChipBitmaps) chips_.pop_back();
    chips_.emplace_front();
    chips_.front().path = path;
    chips_.front().file = file;
    chips_.front().bitmap.loadFile(referenceDc, path.c_str());
}

void LevelTilemapManager::drawTilemap(const RECT& viewRect, HDC targetDc) const {
    if (displayMode_ == kTilemapAttributes) return;
    if (!data_.loaded || displayMode_ == kTilemapHidden) {
        // Drawn with whatever pen the caller selected; the map view's null pen leaves
        // the right and bottom edges out.
        const long long width = std::min<long long>(static_cast<long long>(viewRect.right) - viewRect.left,
                                                    static_cast<long long>(data_.widthTiles) * kTileSize);
        const long long height = std::min<long long>(static_cast<long long>(viewRect.bottom) - viewRect.top,
                                                     static_cast<long long>(data_.heightTiles) * kTileSize);
        SelectObject(targetDc, GetStockObject(BLACK_BRUSH));
        Rectangle(targetDc, 0, 0, static_cast<int>(width), static_cast<int>(height));
        return;
    }
    if (displayMode_ == kTilemapGraphics) drawCells(viewRect, targetDc);
}

// The cells that meet the rectangle, plus one column to the right and one row below.
void LevelTilemapManager::drawCells(const RECT& viewRect, HDC targetDc) const {
    const long long left = viewRect.left;
    const long long top = viewRect.top;
    // A rectangle reaching left of or above the map starts at cell 0 instead of
    // indexing before the arrays.
    const long long c0 = std::max<long long>(0, left / kTileSize);
    const long long r0 = std::max<long long>(0, top / kTileSize);
    const long long c1 = std::min<long long>(data_.widthTiles - 1, viewRect.right / kTileSize + 1);
    const long long r1 = std::min<long long>(data_.heightTiles - 1, viewRect.bottom / kTileSize + 1);
    const auto& cells = data_.chipCells;
    const BitmapBuffer& chips = chipBitmap();
    if (const auto target = pixelRowsOf(targetDc); target && !chips.pixels.empty()) {
        // Straight into the target's pixels: a BitBlt per cell costs more than the copy.
        for (long long r = r0; r <= r1; ++r)
            for (long long c = c0; c <= c1; ++c) {
                const long long index = r * data_.widthTiles + c;
                if (index >= static_cast<long long>(cells.size())) break;
                const std::uint16_t cell = cells[static_cast<std::size_t>(index)];
                copyCell(chips, (cell & 0xFF) * kTileSize, (cell >> 8) * kTileSize, *target,
                         static_cast<int>(c * kTileSize - left), static_cast<int>(r * kTileSize - top));
            }
        return;
    }
    for (long long c = c0; c <= c1; ++c) {
        for (long long r = r0; r <= r1; ++r) {
            const long long index = r * data_.widthTiles + c;
            if (index >= static_cast<long long>(cells.size())) break;
            const std::uint16_t cell = cells[static_cast<std::size_t>(index)];
            BitBlt(targetDc, static_cast<int>(c * kTileSize - left), static_cast<int>(r * kTileSize - top), kTileSize,
                   kTileSize, chipBitmap().dc, (cell & 0xFF) * kTileSize, (cell >> 8) * kTileSize, SRCCOPY);
        }
    }
}

bool LevelTilemapManager::handleCommand(int command) {
    switch (command) {
    case IDM_VIEW_MAP_HIDDEN: displayMode_ = kTilemapHidden; break;
    case IDM_VIEW_MAP_GRAPHICS: displayMode_ = kTilemapGraphics; break;
    case IDM_VIEW_MAP_ATTRIBUTES: displayMode_ = kTilemapAttributes; break;
    case IDM_VIEW_MAP_CYCLE: displayMode_ = nextDisplayMode(displayMode_); break;
    default: return false;
    }
    updateMapMenu();
    if (host_) host_->invalidateMap();
    return true;
}

void LevelTilemapManager::updateMapMenu() const {
    if (!host_) return;
    const int items[] = {IDM_VIEW_MAP_HIDDEN, IDM_VIEW_MAP_GRAPHICS, IDM_VIEW_MAP_ATTRIBUTES};
    for (int mode = kTilemapHidden; mode <= kTilemapAttributes; ++mode)
        host_->setMenuCheck(items[mode], displayMode_ == mode);
}

void LevelTilemapManager::saveSettings() {
    appGlobals().config.save(settings());
}

} // namespace vexa
