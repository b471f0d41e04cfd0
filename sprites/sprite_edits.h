// The six edits of the open stage's sprite list (apply, add, delete, up, down, sort),
// the sprite page's line text and a sprite's box on the map. Each edit changes the
// in-memory list, the page, the map and the ROM image at once and leaves one record
// (sprites/sprite_records.h).
#pragma once

#include "app/ini_file.h"
#include "sprites/sprite_fields.h"
#include "sprites/sprite_list.h"
#include "stage/group_move.h"
#include "stage/stage_edit_host.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// "#%d: %04X-%04X: %s" of the index, Parameter, Type and the type's name.
std::wstring spriteLineText(int index, const SpriteAllocData& sprite, std::wstring_view typeName);

// The 32 x 36 box above a sprite's bottom-centre point that draws and picks it.
bool spriteBoxContains(const SpriteAllocData& sprite, int x, int y);
// The topmost (last drawn) sprite whose box holds the point, or -1.
int spriteIndexAt(const SpriteList& sprites, int x, int y);
// The sprites whose boxes meet `box`.
std::vector<int> spritesMeeting(const SpriteList& sprites, const MapBox& box);
// The offsets that keep every one of `sprites` within what an entry stores, by the pixel.
GroupLimits spriteGroupLimits(const std::vector<SpriteAllocData>& sprites);
// The texts of the page's fields that show the sprite.
SpriteFieldTexts spriteFieldTexts(const SpriteAllocData& sprite);

// The open stage's sprite list with its six edits and their replays. The edits take
// the list box selection (-1 for none); on a stage whose list could not be read each
// is refused with IDS_SPRITE_LIST_UNREADABLE and writes nothing.
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
    // The records replay through the editor's list, page and host.
    friend class SpriteRecord;

    bool refusedAsUnreadable();

    StageEditHost& host;
    ObjectEditPage& page;
    LevelSpritesData data_;
};

} // namespace vexa
