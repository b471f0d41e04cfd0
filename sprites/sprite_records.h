// The undo records of the sprite edits. A record replays on the open stage through
// the page, or on the bytes of another stage which is then loaded.
#pragma once

#include "app/byte_range_record.h"
#include "app/undo_buffer.h"
#include "resources/text_ids.h"
#include "sprites/sprite_list.h"
#include "stage/stage_edit_host.h"
#include "ui/texts.h"

#include <cstdint>
#include <span>

namespace vexa {

class SpriteListEditor;

// What every sprite record shares: the editor it replays through and its stage.
class SpriteRecord : public UndoMethod {
public:
    int stage() const override { return stageNumber; }

protected:
    SpriteRecord(SpriteListEditor& editor, int stageNumber) : editor(editor), stageNumber(stageNumber) {}

    // One undo or redo step. On the open stage `onOpen` changes the list, its lines and
    // its bytes; on another stage `onOther` changes that stage's bytes alone and the
    // stage is loaded after. Either way the sprite `select` is shown.
    template <typename OnOpen, typename OnOther> void replay(int select, OnOpen onOpen, OnOther onOther);
    std::span<std::uint8_t> romImage();
    ObjectEditPage& page();

    SpriteListEditor& editor;
    int stageNumber;
};

class LevelSpriteApply_UndoMethod : public SpriteRecord {
public:
    LevelSpriteApply_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& oldValues,
                                const SpriteAllocData& newValues, int stageNumber, int index);
    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return text(IDS_SPRITE_CHANGE); }
    const wchar_t* redoName() const override { return undoName(); }

private:
    void set(const SpriteAllocData& values);

    SpriteAllocData oldValues;
    SpriteAllocData newValues;
    int index;
};

class LevelSpriteAddDelete_UndoMethod : public SpriteRecord {
protected:
    LevelSpriteAddDelete_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index,
                                    ByteRange bytesBehindList = {});
    void insert();
    void remove();

    SpriteAllocData sprite;
    int index;
    // The bytes just behind the list's end that an add overwrote; removing the sprite
    // again puts them back, so that undo leaves the bank exactly as it was. None for
    // a delete.
    ByteRange bytesBehindList;
};

class LevelSpriteAdd_UndoMethod : public LevelSpriteAddDelete_UndoMethod {
public:
    // `bytesBehind` holds the bytes behind the list before the add; keepWritten takes
    // them as the add has left them.
    LevelSpriteAdd_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index,
                              ByteRange bytesBehind);
    void keepWritten(std::span<const std::uint8_t> image) { bytesBehindList.keepNew(image); }
    void undo() override { remove(); }
    void redo() override { insert(); }
    const wchar_t* undoName() const override { return text(IDS_SPRITE_ADD); }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteDelete_UndoMethod : public LevelSpriteAddDelete_UndoMethod {
public:
    LevelSpriteDelete_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index)
        : LevelSpriteAddDelete_UndoMethod(editor, sprite, stageNumber, index) {}
    void undo() override { insert(); }
    void redo() override { remove(); }
    const wchar_t* undoName() const override { return text(IDS_SPRITE_DELETE); }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteUpDown_UndoMethod : public SpriteRecord {
protected:
    LevelSpriteUpDown_UndoMethod(SpriteListEditor& editor, int stageNumber, int upper)
        : SpriteRecord(editor, stageNumber), a(upper), b(upper + 1) {}
    // Exchanges the sprites at a and b, then selects `select`.
    void swap(int select);

    int a;
    int b;
};

class LevelSpriteUp_UndoMethod : public LevelSpriteUpDown_UndoMethod {
public:
    LevelSpriteUp_UndoMethod(SpriteListEditor& editor, int stageNumber, int upper)
        : LevelSpriteUpDown_UndoMethod(editor, stageNumber, upper) {}
    void undo() override { swap(b); }
    void redo() override { swap(a); }
    const wchar_t* undoName() const override { return text(IDS_SPRITE_UP); }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteDown_UndoMethod : public LevelSpriteUpDown_UndoMethod {
public:
    LevelSpriteDown_UndoMethod(SpriteListEditor& editor, int stageNumber, int upper)
        : LevelSpriteUpDown_UndoMethod(editor, stageNumber, upper) {}
    void undo() override { swap(a); }
    void redo() override { swap(b); }
    const wchar_t* undoName() const override { return text(IDS_SPRITE_DOWN); }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteSort_UndoMethod : public SpriteRecord {
public:
    LevelSpriteSort_UndoMethod(SpriteListEditor& editor, int stageNumber, SpriteList before, SpriteList after,
                               int selectedBefore, int selectedAfter);
    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return text(IDS_SPRITE_SORT); }
    const wchar_t* redoName() const override { return undoName(); }

private:
    void restore(const SpriteList& list, int select);

    SpriteList before;
    SpriteList after;
    int selectedBefore;
    int selectedAfter;
};

} // namespace vexa
