// The six edits of the open stage's sprite list (apply, add, delete, up, down, sort)
// and their undo records. Each edit changes the in-memory list, the page, the map and
// the ROM image at once and leaves one record; a record replays on the open stage
// through the page, or on the bytes of another stage which is then loaded.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/ini_file.h"
#include "app/undo_buffer.h"
#include "sprites/sprite_list.h"
#include "stage/stage_edit_host.h"

namespace vexa {

inline constexpr int kSpriteMinPosition = -kSpritePositionBias;
inline constexpr int kSpriteMaxPosition = 0xFFFF - kSpritePositionBias;
inline constexpr const wchar_t* kZeroParameterMessage = L"パラメータに 0 は指定できません。";
inline constexpr const wchar_t* kUnreadableListMessage =
    L"このステージのスプライトリストは読み込めないため編集できません。";
inline constexpr const wchar_t* kSpriteReadFailedMessage = L"スプライトデータの読み込みに失敗しました。";

// The texts of the page's fields that an edit reads.
struct SpriteFieldTexts {
    std::wstring parameter;
    std::wstring x;
    std::wstring y;
    std::wstring type;
};

// Field texts as the page reads them: hexadecimal like "%x", decimal like "%d";
// nothing when no digit leads the text (after blanks, a sign and, for hex, "0x").
std::optional<std::uint32_t> parseHexField(std::wstring_view text);
std::optional<std::int64_t> parseDecimalField(std::wstring_view text);

// The sprite the fields describe. Unparsable fields give 0, hexadecimal values are cut
// to 16 bits, and positions are held to what an entry can store (-256 .. 65279), so
// that the list in memory always equals the list in the ROM.
SpriteAllocData spriteFromFields(const SpriteFieldTexts& texts);

// "#%d: %04X-%04X: %s" of the index, Parameter, Type and the type's name.
std::wstring spriteLineText(int index, const SpriteAllocData& sprite, std::wstring_view typeName);

// The 32 x 36 box above a sprite's bottom-centre point that draws and picks it.
bool spriteBoxContains(const SpriteAllocData& sprite, int x, int y);
// The topmost (last drawn) sprite whose box holds the point, or -1.
int spriteIndexAt(const SpriteList& sprites, int x, int y);

// The open stage's sprite list with its six edits and their replays. The edits take
// the list box selection (-1 for none); on a stage whose list could not be read each
// is refused with kUnreadableListMessage and writes nothing.
class SpriteListEditor {
public:
    SpriteListEditor(StageEditHost& host, ObjectEditPage& page) : host(host), page(page) {}
    SpriteListEditor(const SpriteListEditor&) = delete;
    SpriteListEditor& operator=(const SpriteListEditor&) = delete;

    const LevelSpritesData& data() const { return data_; }
    const SpriteList& items() const { return data_.sprites; }
    int count() const { return static_cast<int>(data_.sprites.size()); }
    // Null when no sprite has that index.
    const SpriteAllocData* itemAt(int index) const;

    // Reads the stage's list and fills the page; a list that cannot be read is told.
    void load(int stageNumber);
    void clearObjects();

    void apply(int index, const SpriteFieldTexts& texts);
    void add(int index, const SpriteFieldTexts& texts);
    void remove(int index);
    void up(int index);
    void down(int index);
    void sort(int index);

    // Marks the sprite on the map while the layer is shown, scrolls it into view and
    // redraws the map.
    void showOnMap(int index);

private:
    friend class LevelSpriteApply_UndoMethod;
    friend class LevelSpriteAddDelete_UndoMethod;
    friend class LevelSpriteUpDown_UndoMethod;
    friend class LevelSpriteSort_UndoMethod;

    bool refusedAsUnreadable();
    // One undo or redo step of `stage`. On the open stage `onOpen` changes the list,
    // its lines and its bytes; on another stage `onOther` changes that stage's bytes
    // alone and the stage is loaded after. Either way the sprite `select` is shown.
    template <typename OnOpen, typename OnOther> void replay(int stage, int select, OnOpen onOpen, OnOther onOther);

    StageEditHost& host;
    ObjectEditPage& page;
    LevelSpritesData data_;
};

class LevelSpriteApply_UndoMethod : public UndoMethod {
public:
    LevelSpriteApply_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& oldValues,
                                const SpriteAllocData& newValues, int stageNumber, int index);
    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return L"スプライトの変更"; }
    const wchar_t* redoName() const override { return undoName(); }

private:
    void set(const SpriteAllocData& values);

    SpriteListEditor& editor;
    SpriteAllocData oldValues;
    SpriteAllocData newValues;
    int stageNumber;
    int index;
};

class LevelSpriteAddDelete_UndoMethod : public UndoMethod {
protected:
    LevelSpriteAddDelete_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index,
                                    std::optional<SpriteEntryBytes> bytesBehindList = std::nullopt)
        : editor(editor), sprite(sprite), stageNumber(stageNumber), index(index), bytesBehindList(bytesBehindList) {}
    void insert();
    void remove();

    SpriteListEditor& editor;
    SpriteAllocData sprite;
    int stageNumber;
    int index;
    // The bytes just behind the list's end that an add overwrote; removing the sprite
    // again puts them back, so that undo leaves the bank exactly as it was.
    std::optional<SpriteEntryBytes> bytesBehindList;
};

class LevelSpriteAdd_UndoMethod : public LevelSpriteAddDelete_UndoMethod {
public:
    LevelSpriteAdd_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index,
                              const SpriteEntryBytes& bytesBehind)
        : LevelSpriteAddDelete_UndoMethod(editor, sprite, stageNumber, index, bytesBehind) {}
    void undo() override { remove(); }
    void redo() override { insert(); }
    const wchar_t* undoName() const override { return L"スプライトの追加"; }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteDelete_UndoMethod : public LevelSpriteAddDelete_UndoMethod {
public:
    LevelSpriteDelete_UndoMethod(SpriteListEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index)
        : LevelSpriteAddDelete_UndoMethod(editor, sprite, stageNumber, index) {}
    void undo() override { insert(); }
    void redo() override { remove(); }
    const wchar_t* undoName() const override { return L"スプライトの削除"; }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteUpDown_UndoMethod : public UndoMethod {
protected:
    LevelSpriteUpDown_UndoMethod(SpriteListEditor& editor, int stageNumber, int upper)
        : editor(editor), stageNumber(stageNumber), a(upper), b(upper + 1) {}
    // Exchanges the sprites at a and b, then selects `select`.
    void swap(int select);

    SpriteListEditor& editor;
    int stageNumber;
    int a;
    int b;
};

class LevelSpriteUp_UndoMethod : public LevelSpriteUpDown_UndoMethod {
public:
    LevelSpriteUp_UndoMethod(SpriteListEditor& editor, int stageNumber, int upper)
        : LevelSpriteUpDown_UndoMethod(editor, stageNumber, upper) {}
    void undo() override { swap(b); }
    void redo() override { swap(a); }
    const wchar_t* undoName() const override { return L"スプライトを上へ"; }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteDown_UndoMethod : public LevelSpriteUpDown_UndoMethod {
public:
    LevelSpriteDown_UndoMethod(SpriteListEditor& editor, int stageNumber, int upper)
        : LevelSpriteUpDown_UndoMethod(editor, stageNumber, upper) {}
    void undo() override { swap(a); }
    void redo() override { swap(b); }
    const wchar_t* undoName() const override { return L"スプライトを下へ"; }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteSort_UndoMethod : public UndoMethod {
public:
    LevelSpriteSort_UndoMethod(SpriteListEditor& editor, int stageNumber, SpriteList before, SpriteList after,
                               int selectedBefore, int selectedAfter);
    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return L"スプライトのソート"; }
    const wchar_t* redoName() const override { return undoName(); }

private:
    void restore(const SpriteList& list, int select);

    SpriteListEditor& editor;
    int stageNumber;
    SpriteList before;
    SpriteList after;
    int selectedBefore;
    int selectedAfter;
};

} // namespace vexa
