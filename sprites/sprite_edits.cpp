#include "sprites/sprite_edits.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/rom_image.h"
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

bool spriteLess(const SpriteAllocData& a, const SpriteAllocData& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
}

// A list without a terminator in the bank: what the page shows is only the part read
// before giving up, so any write would land on other stages' lists or the pointers.
bool refusedAsUnreadable(SpriteEditor& editor) {
    if (editor.spriteData().readable) return false;
    editor.showError(kUnreadableListMessage);
    return true;
}

std::wstring addLimitMessage(int listSize, int capacity) {
    return L"これ以上スプライトを追加できません。\r\n現在: " + std::to_wstring(listSize) + L"バイト, 最大: " +
           std::to_wstring(capacity) + L"バイト";
}

// One undo or redo step of `stage`. On the open stage `onOpen` changes the list, its
// lines and its bytes; on another stage `onOther` changes that stage's bytes alone and
// the stage is loaded after. Either way the sprite `select` is shown at the end.
template <typename OnOpen, typename OnOther>
void replay(SpriteEditor& editor, int stage, int select, OnOpen onOpen, OnOther onOther) {
    if (editor.openStage() == stage) {
        editor.showSpritePage();
        editor.clearOtherSelections();
        onOpen(editor.spriteData().sprites);
    } else {
        onOther(editor.romImage());
        editor.switchToStage(stage);
        editor.showSpritePage();
    }
    editor.selectLine(select);
    const SpriteList& sprites = editor.spriteData().sprites;
    if (hasItem(sprites, select)) editor.showFields(itemAt(sprites, select), select);
    showSpriteOnMap(editor, select);
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
    return sprite.x - 16 <= x && x < sprite.x + 16 && sprite.y - 36 <= y && y < sprite.y;
}

int spriteIndexAt(const SpriteList& sprites, int x, int y) {
    int index = static_cast<int>(sprites.size()) - 1;
    for (auto it = sprites.rbegin(); it != sprites.rend(); ++it, --index)
        if (spriteBoxContains(*it, x, y)) return index;
    return -1;
}

void showSpriteOnMap(SpriteEditor& editor, int index) {
    const SpriteList& sprites = editor.spriteData().sprites;
    const bool exists = hasItem(sprites, index);
    // An index past the end (a replay that removed the last sprite) marks nothing.
    if (editor.spritesShown()) editor.mapSelection() = exists ? index : -1;
    if (exists) {
        const SpriteAllocData& sprite = itemAt(sprites, index);
        const MapViewport view = editor.visibleMap();
        if (sprite.x < view.left || sprite.x >= view.left + view.width || sprite.y < view.top ||
            sprite.y >= view.top + view.height)
            editor.centerMapOn(sprite.x, sprite.y);
    }
    // Also with nothing to mark: a replay that removed the last sprite or sorted with
    // nothing selected has changed the picture all the same.
    editor.redrawMap();
}

void applySprite(SpriteEditor& editor, int index) {
    if (refusedAsUnreadable(editor)) return;
    LevelSpritesData& data = editor.spriteData();
    if (!hasItem(data.sprites, index)) return;
    const SpriteFieldTexts texts = editor.fieldTexts();
    const SpriteAllocData values = spriteFromFields(texts);
    if (values.parameter == 0) {
        editor.showError(kZeroParameterMessage);
        return;
    }
    SpriteAllocData& sprite = itemAt(data.sprites, index);
    auto record = std::make_unique<LevelSpriteApply_UndoMethod>(editor, sprite, values, data.stageNumber, index);
    sprite = values;
    writeStageSpriteEntry(editor.romImage(), data.stageNumber, index, sprite);
    editor.replaceLine(index);
    editor.selectLine(index);
    // A position held to the storable range must not stay shown as typed.
    if (parseDecimalField(texts.x).value_or(0) != sprite.x || parseDecimalField(texts.y).value_or(0) != sprite.y)
        editor.showFields(sprite, index);
    editor.redrawMap();
    editor.pushRecord(std::move(record));
}

void addSprite(SpriteEditor& editor, int index) {
    if (refusedAsUnreadable(editor)) return;
    LevelSpritesData& data = editor.spriteData();
    const int used = listBytes(data.sprites);
    if (used + kEntryBytes > data.capacity) {
        editor.showError(addLimitMessage(used, data.capacity));
        return;
    }
    const SpriteAllocData sprite = spriteFromFields(editor.fieldTexts());
    if (sprite.parameter == 0) {
        editor.showError(kZeroParameterMessage);
        return;
    }
    if (!hasItem(data.sprites, index)) index = static_cast<int>(data.sprites.size());

    const std::span<std::uint8_t> image = editor.romImage();
    const unsigned behind = spriteListStart(image, data.stageNumber) + static_cast<unsigned>(used);
    auto record =
        std::make_unique<LevelSpriteAdd_UndoMethod>(editor, sprite, data.stageNumber, index, bankBytes(image, behind));
    data.sprites.insert(std::next(data.sprites.begin(), index), sprite);
    editor.remakeLines(index);
    if (editor.spritesShown()) {
        editor.mapSelection() = index;
        editor.clearOtherSelections();
    }
    editor.selectLine(index);
    editor.showFields(sprite, index);
    writeWholeList(image, data.stageNumber, data.sprites);
    editor.redrawMap();
    editor.pushRecord(std::move(record));
}

void deleteSprite(SpriteEditor& editor, int index) {
    if (refusedAsUnreadable(editor)) return;
    LevelSpritesData& data = editor.spriteData();
    if (!hasItem(data.sprites, index)) return;
    const auto removed = std::next(data.sprites.begin(), index);
    editor.pushRecord(std::make_unique<LevelSpriteDelete_UndoMethod>(editor, *removed, data.stageNumber, index));
    data.sprites.erase(removed);
    editor.remakeLines(index);
    int selection = index;
    if (!hasItem(data.sprites, index)) {
        selection = index - 1;
        if (index != 0) editor.showFields(itemAt(data.sprites, selection), selection);
        if (editor.mapSelection() != -1) editor.mapSelection() = selection;
    } else {
        editor.showFields(itemAt(data.sprites, index), index);
    }
    editor.selectLine(selection);
    writeWholeList(editor.romImage(), data.stageNumber, data.sprites);
    editor.redrawMap();
}

void moveSpriteUp(SpriteEditor& editor, int index) {
    if (refusedAsUnreadable(editor)) return;
    LevelSpritesData& data = editor.spriteData();
    if (index <= 0 || !hasItem(data.sprites, index)) return;
    const int upper = index - 1;
    editor.pushRecord(std::make_unique<LevelSpriteUp_UndoMethod>(editor, data.stageNumber, upper));
    exchangeItems(data.sprites, upper, index);
    if (editor.mapSelection() != -1) --editor.mapSelection();
    editor.replaceLine(upper);
    editor.replaceLine(index);
    editor.selectLine(upper);
    for (const int i : {upper, index})
        writeStageSpriteEntry(editor.romImage(), data.stageNumber, i, itemAt(data.sprites, i));
    editor.setNumberField(upper);
    editor.redrawMap();
}

void moveSpriteDown(SpriteEditor& editor, int index) {
    if (refusedAsUnreadable(editor)) return;
    LevelSpritesData& data = editor.spriteData();
    if (index < 0 || !hasItem(data.sprites, index + 1)) return;
    const int lower = index + 1;
    editor.pushRecord(std::make_unique<LevelSpriteDown_UndoMethod>(editor, data.stageNumber, index));
    exchangeItems(data.sprites, index, lower);
    if (editor.mapSelection() != -1) ++editor.mapSelection();
    editor.replaceLine(index);
    editor.replaceLine(lower);
    editor.selectLine(lower);
    for (const int i : {index, lower})
        writeStageSpriteEntry(editor.romImage(), data.stageNumber, i, itemAt(data.sprites, i));
    editor.setNumberField(lower);
    editor.redrawMap();
}

void sortSprites(SpriteEditor& editor, int index) {
    if (refusedAsUnreadable(editor)) return;
    LevelSpritesData& data = editor.spriteData();
    // Sorting a copy lets every allocation happen before anything changes.
    SpriteList sorted = data.sprites;
    const int selected = exchangeSort(sorted, index, spriteLess);
    auto record =
        std::make_unique<LevelSpriteSort_UndoMethod>(editor, data.stageNumber, data.sprites, sorted, index, selected);
    data.sprites.swap(sorted);
    // The lines are made again in one pass rather than replaced position by position:
    // they end the same, but a list of thousands of sprites (a hacked bank) would
    // otherwise keep the editor busy for many seconds.
    editor.remakeLines(0);
    if (editor.mapSelection() != -1) editor.mapSelection() = selected;
    editor.selectLine(selected);
    writeWholeList(editor.romImage(), data.stageNumber, data.sprites);
    editor.redrawMap();
    if (selected != -1) editor.setNumberField(selected);
    editor.pushRecord(std::move(record));
}

LevelSpriteApply_UndoMethod::LevelSpriteApply_UndoMethod(SpriteEditor& editor, const SpriteAllocData& oldValues,
                                                         const SpriteAllocData& newValues, int stageNumber, int index)
    : editor(editor), oldValues(oldValues), newValues(newValues), stageNumber(stageNumber), index(index) {}

void LevelSpriteApply_UndoMethod::undo() {
    set(oldValues);
}
void LevelSpriteApply_UndoMethod::redo() {
    set(newValues);
}

void LevelSpriteApply_UndoMethod::set(const SpriteAllocData& values) {
    replay(
        editor, stageNumber, index,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, index)) return;
            itemAt(sprites, index) = values;
            writeStageSpriteEntry(editor.romImage(), stageNumber, index, values);
            editor.replaceLine(index);
        },
        [&](std::span<std::uint8_t> image) { writeStageSpriteEntry(image, stageNumber, index, values); });
}

void LevelSpriteAddDelete_UndoMethod::insert() {
    replay(
        editor, stageNumber, index,
        [&](SpriteList& sprites) {
            if (index < 0 || index > static_cast<int>(sprites.size())) return;
            sprites.insert(std::next(sprites.begin(), index), sprite);
            editor.remakeLines(index);
            writeWholeList(editor.romImage(), stageNumber, sprites);
        },
        [&](std::span<std::uint8_t> image) { insertSpriteInRom(image, stageNumber, index, sprite); });
}

void LevelSpriteAddDelete_UndoMethod::remove() {
    auto restoreBehind = [&](std::span<std::uint8_t> image, int bytesInUse) {
        if (bytesBehindList && bytesInUse >= 0)
            putBankBytes(image, spriteListStart(image, stageNumber) + static_cast<unsigned>(bytesInUse),
                         *bytesBehindList);
    };
    replay(
        editor, stageNumber, index,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, index)) return;
            sprites.erase(std::next(sprites.begin(), index));
            editor.remakeLines(index);
            writeWholeList(editor.romImage(), stageNumber, sprites);
            restoreBehind(editor.romImage(), listBytes(sprites));
        },
        [&](std::span<std::uint8_t> image) {
            if (!removeSpriteInRom(image, stageNumber, index)) return;
            SpriteList stored;
            restoreBehind(image, readSpriteList(image, spriteListStart(image, stageNumber), stored));
        });
}

void LevelSpriteUpDown_UndoMethod::swap(int select) {
    replay(
        editor, stageNumber, select,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, a) || !hasItem(sprites, b)) return;
            exchangeItems(sprites, a, b);
            editor.replaceLine(a);
            editor.replaceLine(b);
            for (const int i : {a, b})
                writeStageSpriteEntry(editor.romImage(), stageNumber, i, itemAt(sprites, i));
        },
        [&](std::span<std::uint8_t> image) { swapSpritesInRom(image, stageNumber, a, b); });
}

LevelSpriteSort_UndoMethod::LevelSpriteSort_UndoMethod(SpriteEditor& editor, int stageNumber, SpriteList before,
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
    replay(
        editor, stageNumber, select,
        [&](SpriteList& sprites) {
            sprites = list;
            editor.remakeLines(0);
            writeWholeList(editor.romImage(), stageNumber, sprites);
        },
        [&](std::span<std::uint8_t> image) { writeWholeList(image, stageNumber, list); });
}

} // namespace vexa
