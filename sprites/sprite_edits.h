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

namespace vexa {

inline constexpr int kSpriteMinPosition = -kSpritePositionBias;
inline constexpr int kSpriteMaxPosition = 0xFFFF - kSpritePositionBias;
inline constexpr const wchar_t* kZeroParameterMessage = L"パラメータに 0 は指定できません。";
inline constexpr const wchar_t* kUnreadableListMessage = L"このステージのスプライトリストは読み込めないため編集できません。";

// The texts of the page's fields that an edit reads.
struct SpriteFieldTexts {
    std::wstring parameter;
    std::wstring x;
    std::wstring y;
    std::wstring type;
};

// The visible part of the map, in map pixels.
struct MapViewport {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What the edits and records need from the editor: the model of the open stage, the
// stage manager, the page and the undo buffer.
class SpriteEditor {
public:
    virtual ~SpriteEditor() = default;

    virtual std::span<std::uint8_t> romImage() = 0;
    virtual LevelSpritesData& spriteData() = 0;
    // The sprite marked on the map, -1 for none.
    virtual int& mapSelection() = 0;
    virtual bool spritesShown() const = 0;

    virtual int openStage() const = 0;
    // Makes `stage` the open stage and reads it anew from the ROM image.
    virtual void switchToStage(int stage) = 0;
    // Clears the banana and camera selections of the map.
    virtual void clearOtherSelections() = 0;
    // Switches the inspector to the sprite page.
    virtual void showSpritePage() = 0;
    virtual MapViewport visibleMap() const = 0;
    virtual void centerMapOn(int x, int y) = 0;
    virtual void redrawMap() = 0;

    virtual SpriteFieldTexts fieldTexts() const = 0;
    virtual void showFields(const SpriteAllocData& sprite, int index) = 0;
    virtual void setNumberField(int index) = 0;
    // Deletes the list lines from `from` to the end and adds one per sprite from `from`.
    virtual void remakeLines(int from) = 0;
    virtual void replaceLine(int index) = 0;
    // An index that names no line leaves no line selected.
    virtual void selectLine(int index) = 0;
    virtual void showError(const std::wstring& text) = 0;

    virtual void pushRecord(std::unique_ptr<UndoMethod> record) = 0;
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

// Marks the sprite on the map while the layer is shown, and scrolls it into view.
void showSpriteOnMap(SpriteEditor& editor, int index);

// The edits, given the list box selection (-1 for none). On a stage whose list could
// not be read each is refused with kUnreadableListMessage and writes nothing.
void applySprite(SpriteEditor& editor, int index);
void addSprite(SpriteEditor& editor, int index);
void deleteSprite(SpriteEditor& editor, int index);
void moveSpriteUp(SpriteEditor& editor, int index);
void moveSpriteDown(SpriteEditor& editor, int index);
void sortSprites(SpriteEditor& editor, int index);

class LevelSpriteApply_UndoMethod : public UndoMethod {
public:
    LevelSpriteApply_UndoMethod(SpriteEditor& editor, const SpriteAllocData& oldValues,
                                const SpriteAllocData& newValues, int stageNumber, int index);
    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return L"スプライトの変更"; }
    const wchar_t* redoName() const override { return undoName(); }

private:
    void set(const SpriteAllocData& values);

    SpriteEditor& editor;
    SpriteAllocData oldValues;
    SpriteAllocData newValues;
    int stageNumber;
    int index;
};

class LevelSpriteAddDelete_UndoMethod : public UndoMethod {
protected:
    LevelSpriteAddDelete_UndoMethod(SpriteEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index,
                                    std::optional<SpriteEntryBytes> bytesBehindList = std::nullopt)
        : editor(editor), sprite(sprite), stageNumber(stageNumber), index(index), bytesBehindList(bytesBehindList) {}
    void insert();
    void remove();

    SpriteEditor& editor;
    SpriteAllocData sprite;
    int stageNumber;
    int index;
    // The bytes just behind the list's end that an add overwrote; removing the sprite
    // again puts them back, so that undo leaves the bank exactly as it was.
    std::optional<SpriteEntryBytes> bytesBehindList;
};

class LevelSpriteAdd_UndoMethod : public LevelSpriteAddDelete_UndoMethod {
public:
    LevelSpriteAdd_UndoMethod(SpriteEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index,
                              const SpriteEntryBytes& bytesBehind)
        : LevelSpriteAddDelete_UndoMethod(editor, sprite, stageNumber, index, bytesBehind) {}
    void undo() override { remove(); }
    void redo() override { insert(); }
    const wchar_t* undoName() const override { return L"スプライトの追加"; }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteDelete_UndoMethod : public LevelSpriteAddDelete_UndoMethod {
public:
    LevelSpriteDelete_UndoMethod(SpriteEditor& editor, const SpriteAllocData& sprite, int stageNumber, int index)
        : LevelSpriteAddDelete_UndoMethod(editor, sprite, stageNumber, index) {}
    void undo() override { insert(); }
    void redo() override { remove(); }
    const wchar_t* undoName() const override { return L"スプライトの削除"; }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteUpDown_UndoMethod : public UndoMethod {
protected:
    LevelSpriteUpDown_UndoMethod(SpriteEditor& editor, int stageNumber, int upper)
        : editor(editor), stageNumber(stageNumber), a(upper), b(upper + 1) {}
    // Exchanges the sprites at a and b, then selects `select`.
    void swap(int select);

    SpriteEditor& editor;
    int stageNumber;
    int a;
    int b;
};

class LevelSpriteUp_UndoMethod : public LevelSpriteUpDown_UndoMethod {
public:
    LevelSpriteUp_UndoMethod(SpriteEditor& editor, int stageNumber, int upper)
        : LevelSpriteUpDown_UndoMethod(editor, stageNumber, upper) {}
    void undo() override { swap(b); }
    void redo() override { swap(a); }
    const wchar_t* undoName() const override { return L"スプライトを上へ"; }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteDown_UndoMethod : public LevelSpriteUpDown_UndoMethod {
public:
    LevelSpriteDown_UndoMethod(SpriteEditor& editor, int stageNumber, int upper)
        : LevelSpriteUpDown_UndoMethod(editor, stageNumber, upper) {}
    void undo() override { swap(a); }
    void redo() override { swap(b); }
    const wchar_t* undoName() const override { return L"スプライトを下へ"; }
    const wchar_t* redoName() const override { return undoName(); }
};

class LevelSpriteSort_UndoMethod : public UndoMethod {
public:
    LevelSpriteSort_UndoMethod(SpriteEditor& editor, int stageNumber, SpriteList before, SpriteList after,
                               int selectedBefore, int selectedAfter);
    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return L"スプライトのソート"; }
    const wchar_t* redoName() const override { return undoName(); }

private:
    void restore(const SpriteList& list, int select);

    SpriteEditor& editor;
    int stageNumber;
    SpriteList before;
    SpriteList after;
    int selectedBefore;
    int selectedAfter;
};

} // namespace vexa
