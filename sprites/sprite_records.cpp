#include "sprites/sprite_records.h"

#include "sprites/sprite_edits.h"
#include "stage/object_list_ops.h"

#include <iterator>
#include <utility>

namespace vexa {

template <typename OnOpen, typename OnOther> void SpriteRecord::replay(int select, OnOpen onOpen, OnOther onOther) {
    const bool open = editor.host.openStageNumber() == stageNumber;
    if (!open) onOther(editor.host.romImage());
    bringStageBack(editor.host, stageNumber, PageKind::Sprites);
    if (open) onOpen(editor.data_.sprites);
    editor.page.selectLine(select);
    editor.page.showItem(select);
    editor.showOnMap(select);
}

std::span<std::uint8_t> SpriteRecord::romImage() {
    return editor.host.romImage();
}

ObjectEditPage& SpriteRecord::page() {
    return editor.page;
}

LevelSpriteApply_UndoMethod::LevelSpriteApply_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& oldValues,
                                                         const SpriteAllocData& newValues, int stageNumber, int index)
    : SpriteRecord(editor, stageNumber), oldValues(oldValues), newValues(newValues), index(index) {}

void LevelSpriteApply_UndoMethod::undo() {
    set(oldValues);
}
void LevelSpriteApply_UndoMethod::redo() {
    set(newValues);
}

void LevelSpriteApply_UndoMethod::set(const SpriteAllocData& values) {
    replay(
        index,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, index)) return;
            vexa::itemAt(sprites, index) = values;
            writeStageSpriteEntry(romImage(), stageNumber, index, values);
            page().setLine(index);
        },
        [&](std::span<std::uint8_t> image) { writeStageSpriteEntry(image, stageNumber, index, values); });
}

LevelSpriteAddDelete_UndoMethod::LevelSpriteAddDelete_UndoMethod(SpriteListEditor& editor,
                                                                 const SpriteAllocData& sprite, int stageNumber,
                                                                 int index, ByteRange bytesBehindList)
    : SpriteRecord(editor, stageNumber), sprite(sprite), index(index), bytesBehindList(std::move(bytesBehindList)) {}

void LevelSpriteAddDelete_UndoMethod::insert() {
    replay(
        index,
        [&](SpriteList& sprites) {
            if (index < 0 || index > static_cast<int>(sprites.size())) return;
            sprites.insert(std::next(sprites.begin(), index), sprite);
            page().rebuildLines(index);
            writeStageSpriteList(romImage(), stageNumber, sprites);
        },
        [&](std::span<std::uint8_t> image) { insertSpriteInRom(image, stageNumber, index, sprite); });
}

void LevelSpriteAddDelete_UndoMethod::remove() {
    replay(
        index,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, index)) return;
            sprites.erase(std::next(sprites.begin(), index));
            page().rebuildLines(index);
            writeStageSpriteList(romImage(), stageNumber, sprites);
            bytesBehindList.putOld(romImage());
        },
        [&](std::span<std::uint8_t> image) {
            if (removeSpriteInRom(image, stageNumber, index)) bytesBehindList.putOld(image);
        });
}

LevelSpriteAdd_UndoMethod::LevelSpriteAdd_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& sprite,
                                                     int stageNumber, int index, ByteRange bytesBehind)
    : LevelSpriteAddDelete_UndoMethod(editor, sprite, stageNumber, index, std::move(bytesBehind)) {}

void LevelSpriteUpDown_UndoMethod::swap(int select) {
    replay(
        select,
        [&](SpriteList& sprites) {
            if (!hasItem(sprites, a) || !hasItem(sprites, b)) return;
            exchangeItems(sprites, a, b);
            page().setLine(a);
            page().setLine(b);
            for (const int i : {a, b})
                writeStageSpriteEntry(romImage(), stageNumber, i, vexa::itemAt(sprites, i));
        },
        [&](std::span<std::uint8_t> image) { swapSpritesInRom(image, stageNumber, a, b); });
}

LevelSpriteSort_UndoMethod::LevelSpriteSort_UndoMethod(SpriteListEditor& editor, int stageNumber, SpriteList before,
                                                       SpriteList after, int selectedBefore, int selectedAfter)
    : SpriteRecord(editor, stageNumber), before(std::move(before)), after(std::move(after)),
      selectedBefore(selectedBefore), selectedAfter(selectedAfter) {}

void LevelSpriteSort_UndoMethod::undo() {
    restore(before, selectedBefore);
}
void LevelSpriteSort_UndoMethod::redo() {
    restore(after, selectedAfter);
}

void LevelSpriteSort_UndoMethod::restore(const SpriteList& list, int select) {
    replay(
        select,
        [&](SpriteList& sprites) {
            sprites = list;
            page().rebuildLines(0);
            writeStageSpriteList(romImage(), stageNumber, sprites);
        },
        [&](std::span<std::uint8_t> image) { writeStageSpriteList(image, stageNumber, list); });
}

} // namespace vexa
