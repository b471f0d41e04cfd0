#include "sprites/sprite_edits.h"

#include "app/byte_range_record.h"
#include "app/rom_image.h"
#include "resources/text_ids.h"
#include "sprites/sprite_records.h"
#include "stage/map_look.h"
#include "stage/object_list_ops.h"
#include "ui/texts.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <utility>

namespace vexa {

namespace {

constexpr int kEntryBytes = static_cast<int>(kSpriteEntrySize);

std::int64_t spriteSortKey(const SpriteAllocData& sprite) {
    return positionSortKey(sprite.x, sprite.y);
}

std::wstring addLimitMessage(int listSize, int capacity) {
    return formatText(IDS_SPRITE_LIST_FULL, {std::to_wstring(listSize), std::to_wstring(capacity)});
}

} // namespace

std::wstring spriteLineText(int index, const SpriteAllocData& sprite, std::wstring_view typeName) {
    return L"#" + std::to_wstring(index) + L": " + hexText4(sprite.parameter) + L"-" + hexText4(sprite.type) + L": " +
           std::wstring(typeName);
}

bool spriteBoxContains(const SpriteAllocData& sprite, int x, int y) {
    return sprite.x - looked(kSpriteBoxHalfWidth) <= x && x < sprite.x + looked(kSpriteBoxHalfWidth) &&
           sprite.y - looked(kSpriteBoxHeight) <= y && y < sprite.y;
}

std::vector<int> spritesMeeting(const SpriteList& sprites, const MapBox& box) {
    return indicesMeeting(sprites, box, [](const SpriteAllocData& sprite) {
        return MapBox{sprite.x - looked(kSpriteBoxHalfWidth), sprite.y - looked(kSpriteBoxHeight),
                      sprite.x + looked(kSpriteBoxHalfWidth), sprite.y};
    });
}

GroupLimits spriteGroupLimits(const std::vector<SpriteAllocData>& sprites) {
    GroupLimits limits;
    for (const SpriteAllocData& sprite : sprites) {
        limits.x.low = std::max(limits.x.low, kSpriteMinPosition - sprite.x);
        limits.x.high = std::min(limits.x.high, kSpriteMaxPosition - sprite.x);
        limits.y.low = std::max(limits.y.low, kSpriteMinPosition - sprite.y);
        limits.y.high = std::min(limits.y.high, kSpriteMaxPosition - sprite.y);
    }
    return limits;
}

SpriteFieldTexts spriteFieldTexts(const SpriteAllocData& sprite) {
    return {hexText4(sprite.parameter), std::to_wstring(sprite.x), std::to_wstring(sprite.y), hexText4(sprite.type)};
}

int spriteIndexAt(const SpriteList& sprites, int x, int y) {
    int index = static_cast<int>(sprites.size()) - 1;
    for (auto it = sprites.rbegin(); it != sprites.rend(); ++it, --index)
        if (spriteBoxContains(*it, x, y)) return index;
    return -1;
}

const SpriteAllocData* SpriteListEditor::itemAt(int index) const {
    return hasItem(data_.sprites, index) ? &vexa::itemAt(data_.sprites, index) : nullptr;
}

void SpriteListEditor::load(int stageNumber) {
    data_.stageNumber = stageNumber;
    clearObjects();
    int selection = -1;
    const bool read = loadStageSprites(host.romImage(), stageNumber, host.romInfo().spriteBank(), data_, selection);
    page.setMapSelection(selection);
    if (!read) host.showError(text(IDS_SPRITE_READ_FAILED));
    page.rebuildLines(0);
}

void SpriteListEditor::clearObjects() {
    data_.sprites.clear();
    page.setMapSelection(-1);
    page.clearPage();
}

// A list without a terminator in the bank: what the page shows is only the part read
// before giving up, so any write would land on other stages' lists or the pointers.
bool SpriteListEditor::refusedAsUnreadable() {
    if (data_.readable) return false;
    host.showError(text(IDS_SPRITE_LIST_UNREADABLE));
    return true;
}

void SpriteListEditor::showOnMap(int index) {
    const SpriteAllocData* sprite = itemAt(index);
    // An index past the end (a replay that removed the last sprite) marks nothing.
    if (page.layerShown()) page.setMapSelection(sprite ? index : -1);
    if (sprite && !host.isInView(sprite->x, sprite->y)) host.centerOn(sprite->x, sprite->y);
    // Also with nothing to mark: a replay that removed the last sprite or sorted with
    // nothing selected has changed the picture all the same.
    host.invalidateMap();
}

void SpriteListEditor::apply(int index, const SpriteFieldTexts& texts) {
    if (refusedAsUnreadable() || !hasItem(data_.sprites, index)) return;
    const SpriteAllocData values = spriteFromFields(texts);
    if (values.parameter == 0) {
        host.showError(text(IDS_ZERO_PARAMETER));
        return;
    }
    SpriteAllocData& sprite = vexa::itemAt(data_.sprites, index);
    auto record = std::make_unique<LevelSpriteApply_UndoMethod>(*this, sprite, values, data_.stageNumber, index);
    sprite = values;
    writeStageSpriteEntry(host.romImage(), data_.stageNumber, index, sprite);
    page.setLine(index);
    page.selectLine(index);
    if (!positionShownAsTyped(texts, sprite)) page.showItem(index);
    host.invalidateMap();
    host.pushUndo(std::move(record));
}

void SpriteListEditor::add(int index, const SpriteFieldTexts& texts) {
    if (refusedAsUnreadable()) return;
    const int used = spriteListBytes(data_.sprites);
    if (used + kEntryBytes > data_.capacity) {
        host.showError(addLimitMessage(used, data_.capacity));
        return;
    }
    const SpriteAllocData sprite = spriteFromFields(texts);
    if (sprite.parameter == 0) {
        host.showError(text(IDS_ZERO_PARAMETER));
        return;
    }
    if (!hasItem(data_.sprites, index)) index = count();

    const std::span<std::uint8_t> image = host.romImage();
    const unsigned behind = spriteListStart(image, data_.stageNumber) + static_cast<unsigned>(used);
    auto record = std::make_unique<LevelSpriteAdd_UndoMethod>(
        *this, sprite, data_.stageNumber, index,
        ByteRange::before(image, imageOffset(kSpriteBank, behind), kSpriteEntrySize));
    data_.sprites.insert(std::next(data_.sprites.begin(), index), sprite);
    page.rebuildLines(index);
    if (page.layerShown()) {
        page.setMapSelection(index);
        host.clearOtherSelections(PageKind::Sprites);
    }
    page.selectLine(index);
    page.showItem(index);
    writeStageSpriteList(image, data_.stageNumber, data_.sprites);
    record->keepWritten(image);
    host.invalidateMap();
    host.pushUndo(std::move(record));
}

void SpriteListEditor::remove(int index) {
    if (refusedAsUnreadable() || !hasItem(data_.sprites, index)) return;
    const auto removed = std::next(data_.sprites.begin(), index);
    host.pushUndo(std::make_unique<LevelSpriteDelete_UndoMethod>(*this, *removed, data_.stageNumber, index));
    data_.sprites.erase(removed);
    page.rebuildLines(index);
    int selection = index;
    if (!hasItem(data_.sprites, index)) {
        selection = index - 1;
        if (index != 0) page.showItem(selection);
        if (page.mapSelection() != -1) page.setMapSelection(selection);
    } else {
        page.showItem(index);
    }
    page.selectLine(selection);
    writeStageSpriteList(host.romImage(), data_.stageNumber, data_.sprites);
    host.invalidateMap();
}

void SpriteListEditor::up(int index) {
    if (refusedAsUnreadable() || index <= 0 || !hasItem(data_.sprites, index)) return;
    const int upper = index - 1;
    host.pushUndo(std::make_unique<LevelSpriteUp_UndoMethod>(*this, data_.stageNumber, upper));
    exchangeItems(data_.sprites, upper, index);
    if (page.mapSelection() != -1) page.setMapSelection(page.mapSelection() - 1);
    page.setLine(upper);
    page.setLine(index);
    page.selectLine(upper);
    for (const int i : {upper, index})
        writeStageSpriteEntry(host.romImage(), data_.stageNumber, i, vexa::itemAt(data_.sprites, i));
    page.showNumber(upper);
    host.invalidateMap();
}

void SpriteListEditor::down(int index) {
    if (refusedAsUnreadable() || index < 0 || !hasItem(data_.sprites, index + 1)) return;
    const int lower = index + 1;
    host.pushUndo(std::make_unique<LevelSpriteDown_UndoMethod>(*this, data_.stageNumber, index));
    exchangeItems(data_.sprites, index, lower);
    if (page.mapSelection() != -1) page.setMapSelection(page.mapSelection() + 1);
    page.setLine(index);
    page.setLine(lower);
    page.selectLine(lower);
    for (const int i : {index, lower})
        writeStageSpriteEntry(host.romImage(), data_.stageNumber, i, vexa::itemAt(data_.sprites, i));
    page.showNumber(lower);
    host.invalidateMap();
}

void SpriteListEditor::sort(int index) {
    if (refusedAsUnreadable()) return;
    // Sorting a copy lets every allocation happen before anything changes.
    SpriteList sorted = data_.sprites;
    const int selected = exchangeSort(sorted, index, spriteSortKey);
    auto record =
        std::make_unique<LevelSpriteSort_UndoMethod>(*this, data_.stageNumber, data_.sprites, sorted, index, selected);
    data_.sprites.swap(sorted);
    // The lines are made again in one pass rather than replaced position by position:
    // they end the same, but a list of thousands of sprites (a hacked bank) would
    // otherwise keep the editor busy for many seconds.
    page.rebuildLines(0);
    if (page.mapSelection() != -1) page.setMapSelection(selected);
    page.selectLine(selected);
    writeStageSpriteList(host.romImage(), data_.stageNumber, data_.sprites);
    host.invalidateMap();
    if (selected != -1) page.showNumber(selected);
    host.pushUndo(std::move(record));
}

} // namespace vexa
