#include "sprites/sprite_edits.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/rom_image.h"
#include "stage/map_look.h"
#include "stage/object_list_ops.h"

namespace vexa {

namespace {

constexpr int kEntryBytes = static_cast<int>(kSpriteEntrySize);
// Any decimal beyond this is held to the position range anyway; stopping here keeps
// a long run of digits from overflowing.
constexpr std::int64_t kDecimalCeiling = 0xFFFFFFFFLL;

bool isBlank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Skips leading blanks and a sign; returns whether the sign was a minus.
bool skipBlanksAndSign(std::wstring_view text, std::size_t& at) {
    while (at < text.size() && isBlank(text[at]))
        ++at;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) return text[at++] == L'-';
    return false;
}

int clampPosition(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, kSpriteMinPosition, kSpriteMaxPosition));
}

int listBytes(const SpriteList& sprites) {
    return kEntryBytes * static_cast<int>(sprites.size()) + 2;
}

// Writes a list in full at its stage's start. The capacity bound of writeSpriteList is
// left out on purpose: Add checks the capacity before it grows a list, and a replay
// only brings back a length the list has had before, so within those rules every list
// fits. The bound could only cut short a list that already occupies more than its
// capacity (one that reaches past AvailableEnd or starts behind it); the ROM would
// then hold another list than the one shown, and a later replay on the bytes of that
// stage would corrupt it.
void writeWholeList(std::span<std::uint8_t> image, int stage, const SpriteList& sprites) {
    writeSpriteList(image, sprites, spriteListStart(image, stage), listBytes(sprites));
}

SpriteEntryBytes bankBytes(std::span<const std::uint8_t> image, unsigned offset) {
    SpriteEntryBytes bytes{};
    for (unsigned i = 0; i < kSpriteEntrySize; ++i)
        bytes[i] = romByte(image, kSpriteBank, (offset + i) & 0xFFFF);
    return bytes;
}

void putBankBytes(std::span<std::uint8_t> image, unsigned offset, const SpriteEntryBytes& bytes) {
    for (unsigned i = 0; i < kSpriteEntrySize; ++i)
        setRomByte(image, kSpriteBank, (offset + i) & 0xFFFF, bytes[i]);
}

std::int64_t spriteSortKey(const SpriteAllocData& sprite) {
    return positionSortKey(sprite.x, sprite.y);
}

std::wstring addLimitMessage(int listSize, int capacity) {
    return L"これ以上スプライトを追加できません。\r\n現在: " + std::to_wstring(listSize) + L"バイト, 最大: " +
           std::to_wstring(capacity) + L"バイト";
}

} // namespace

std::optional<std::uint32_t> parseHexField(std::wstring_view text) {
    std::size_t at = 0;
    const bool negative = skipBlanksAndSign(text, at);
    bool digits = false;
    if (at + 1 < text.size() && text[at] == L'0' && (text[at + 1] == L'x' || text[at + 1] == L'X')) {
        at += 2;
        digits = true; // the "0" of the prefix
    }
    std::uint32_t value = 0;
    for (; at < text.size() && hexDigit(text[at]) >= 0; ++at) {
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[at]));
        digits = true;
    }
    if (!digits) return std::nullopt;
    return negative ? 0u - value : value;
}

std::optional<std::int64_t> parseDecimalField(std::wstring_view text) {
    std::size_t at = 0;
    const bool negative = skipBlanksAndSign(text, at);
    bool digits = false;
    std::int64_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        value = std::min(value * 10 + (text[at] - L'0'), kDecimalCeiling);
        digits = true;
    }
    if (!digits) return std::nullopt;
    return negative ? -value : value;
}

SpriteAllocData spriteFromFields(const SpriteFieldTexts& texts) {
    SpriteAllocData sprite;
    sprite.parameter = static_cast<std::uint16_t>(parseHexField(texts.parameter).value_or(0));
    sprite.x = clampPosition(parseDecimalField(texts.x).value_or(0));
    sprite.y = clampPosition(parseDecimalField(texts.y).value_or(0));
    sprite.type = static_cast<std::uint16_t>(parseHexField(texts.type).value_or(0));
    return sprite;
}

std::wstring spriteLineText(int index, const SpriteAllocData& sprite, std::wstring_view typeName) {
    return L"#" + std::to_wstring(index) + L": " + hexText4(sprite.parameter) + L"-" + hexText4(sprite.type) + L": " +
           std::wstring(typeName);
}

bool spriteBoxContains(const SpriteAllocData& sprite, int x, int y) {
    return sprite.x - kSpriteBoxHalfWidth <= x && x < sprite.x + kSpriteBoxHalfWidth &&
           sprite.y - kSpriteBoxHeight <= y && y < sprite.y;
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
    if (!read) host.showError(kSpriteReadFailedMessage);
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
    host.showError(kUnreadableListMessage);
    return true;
}

template <typename OnOpen, typename OnOther>
void SpriteListEditor::replay(int stage, int select, OnOpen onOpen, OnOther onOther) {
    if (host.openStageNumber() == stage) {
        host.showPage(PageKind::Sprites);
        onOpen(data_.sprites);
    } else {
        onOther(host.romImage());
        host.openStage(stage);
        host.showPage(PageKind::Sprites);
    }
    page.selectLine(select);
    page.showItem(select);
    showOnMap(select);
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
        host.showError(kZeroParameterMessage);
        return;
    }
    SpriteAllocData& sprite = vexa::itemAt(data_.sprites, index);
    auto record = std::make_unique<LevelSpriteApply_UndoMethod>(*this, sprite, values, data_.stageNumber, index);
    sprite = values;
    writeStageSpriteEntry(host.romImage(), data_.stageNumber, index, sprite);
    page.setLine(index);
    page.selectLine(index);
    // A position held to the storable range must not stay shown as typed.
    if (parseDecimalField(texts.x).value_or(0) != sprite.x || parseDecimalField(texts.y).value_or(0) != sprite.y)
        page.showItem(index);
    host.invalidateMap();
    host.pushUndo(std::move(record));
}

void SpriteListEditor::add(int index, const SpriteFieldTexts& texts) {
    if (refusedAsUnreadable()) return;
    const int used = listBytes(data_.sprites);
    if (used + kEntryBytes > data_.capacity) {
        host.showError(addLimitMessage(used, data_.capacity));
        return;
    }
    const SpriteAllocData sprite = spriteFromFields(texts);
    if (sprite.parameter == 0) {
        host.showError(kZeroParameterMessage);
        return;
    }
    if (!hasItem(data_.sprites, index)) index = count();

    const std::span<std::uint8_t> image = host.romImage();
    const unsigned behind = spriteListStart(image, data_.stageNumber) + static_cast<unsigned>(used);
    auto record =
        std::make_unique<LevelSpriteAdd_UndoMethod>(*this, sprite, data_.stageNumber, index, bankBytes(image, behind));
    data_.sprites.insert(std::next(data_.sprites.begin(), index), sprite);
    page.rebuildLines(index);
    if (page.layerShown()) {
        page.setMapSelection(index);
        host.clearOtherSelections(PageKind::Sprites);
    }
    page.selectLine(index);
    page.showItem(index);
    writeWholeList(image, data_.stageNumber, data_.sprites);
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
    writeWholeList(host.romImage(), data_.stageNumber, data_.sprites);
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
    writeWholeList(host.romImage(), data_.stageNumber, data_.sprites);
    host.invalidateMap();
    if (selected != -1) page.showNumber(selected);
    host.pushUndo(std::move(record));
}

LevelSpriteApply_UndoMethod::LevelSpriteApply_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& oldValues,
                                                         const SpriteAllocData& newValues, int stageNumber, int index)
    : editor(editor), oldValues(oldValues), newValues(newValues), stageNumber(stageNumber), index(index) {}

void LevelSpriteApply_UndoMethod::undo() {
    set(oldValues);
}
void LevelSpriteApply_UndoMethod::redo() {
    set(newValues);
}

void LevelSpriteApply_UndoMethod::set(const SpriteAllocData& values) {
    editor.replay(
        stageNumber, index,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, index)) return;
            vexa::itemAt(sprites, index) = values;
            writeStageSpriteEntry(editor.host.romImage(), stageNumber, index, values);
            editor.page.setLine(index);
        },
        [&](std::span<std::uint8_t> image) { writeStageSpriteEntry(image, stageNumber, index, values); });
}

void LevelSpriteAddDelete_UndoMethod::insert() {
    editor.replay(
        stageNumber, index,
        [&](SpriteList& sprites) {
            if (index < 0 || index > static_cast<int>(sprites.size())) return;
            sprites.insert(std::next(sprites.begin(), index), sprite);
            editor.page.rebuildLines(index);
            writeWholeList(editor.host.romImage(), stageNumber, sprites);
        },
        [&](std::span<std::uint8_t> image) { insertSpriteInRom(image, stageNumber, index, sprite); });
}

void LevelSpriteAddDelete_UndoMethod::remove() {
    auto restoreBehind = [&](std::span<std::uint8_t> image, int bytesInUse) {
        if (bytesBehindList && bytesInUse >= 0)
            putBankBytes(image, spriteListStart(image, stageNumber) + static_cast<unsigned>(bytesInUse),
                         *bytesBehindList);
    };
    editor.replay(
        stageNumber, index,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, index)) return;
            sprites.erase(std::next(sprites.begin(), index));
            editor.page.rebuildLines(index);
            writeWholeList(editor.host.romImage(), stageNumber, sprites);
            restoreBehind(editor.host.romImage(), listBytes(sprites));
        },
        [&](std::span<std::uint8_t> image) {
            if (!removeSpriteInRom(image, stageNumber, index)) return;
            SpriteList stored;
            restoreBehind(image, readSpriteList(image, spriteListStart(image, stageNumber), stored));
        });
}

void LevelSpriteUpDown_UndoMethod::swap(int select) {
    editor.replay(
        stageNumber, select,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, a) || !hasItem(sprites, b)) return;
            exchangeItems(sprites, a, b);
            editor.page.setLine(a);
            editor.page.setLine(b);
            for (const int i : {a, b})
                writeStageSpriteEntry(editor.host.romImage(), stageNumber, i, vexa::itemAt(sprites, i));
        },
        [&](std::span<std::uint8_t> image) { swapSpritesInRom(image, stageNumber, a, b); });
}

LevelSpriteSort_UndoMethod::LevelSpriteSort_UndoMethod(SpriteListEditor& editor, int stageNumber, SpriteList before,
                                                       SpriteList after, int selectedBefore, int selectedAfter)
    : editor(editor), stageNumber(stageNumber), before(std::move(before)), after(std::move(after)),
      selectedBefore(selectedBefore), selectedAfter(selectedAfter) {}

void LevelSpriteSort_UndoMethod::undo() {
    restore(before, selectedBefore);
}
void LevelSpriteSort_UndoMethod::redo() {
    restore(after, selectedAfter);
}

void LevelSpriteSort_UndoMethod::restore(const SpriteList& list, int select) {
    editor.replay(
        stageNumber, select,
        [&](SpriteList& sprites) {
            sprites = list;
            editor.page.rebuildLines(0);
            writeWholeList(editor.host.romImage(), stageNumber, sprites);
        },
        [&](std::span<std::uint8_t> image) { writeWholeList(image, stageNumber, list); });
}

} // namespace vexa
