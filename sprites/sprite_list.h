// Sprite lists in the sprite bank: the pointer table, the 8-byte entries, reading a
// stage's list with its room to grow, and the in-place byte edits that replay undo
// records on a stage that is not open.
#pragma once

#include "app/rom_settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <span>

namespace vexa {

inline constexpr unsigned kSpriteBank = 0x3E;
inline constexpr unsigned kSpriteEntrySize = 8;
// 0x10000 / 8: after this many entries a list has stepped once through the whole bank.
inline constexpr int kSpriteListScanLimit = 0x2000;
inline constexpr int kSpritePositionBias = 256;

struct SpriteAllocData {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t type = 0;
    std::uint16_t parameter = 0; // the entry's first word; zero there ends a stored list

    friend bool operator==(const SpriteAllocData&, const SpriteAllocData&) = default;
};

using SpriteList = std::list<SpriteAllocData>;

// The open stage's sprites in ROM order; a sprite's position is its index in the UI.
struct LevelSpritesData {
    std::int32_t stageNumber = 0;
    SpriteList sprites;
    std::int32_t capacity = 0;  // bytes the list may occupy from its start, terminator included
    std::int32_t listBytes = 0; // bytes it occupies now (8n + 2); -1 when no terminator was found
    bool readable = true;       // false when no terminator was found: the list must not be edited
};

using SpriteEntryBytes = std::array<std::uint8_t, kSpriteEntrySize>;

// The entry format: Parameter, X + 256, Y + 256, Type as little-endian words.
SpriteEntryBytes encodeSpriteEntry(const SpriteAllocData& sprite);
SpriteAllocData decodeSpriteEntry(const SpriteEntryBytes& bytes);

// Entries at a bank offset of the sprite bank; an entry near 0xFFFF continues at the
// bank's start.
SpriteAllocData readSpriteEntry(std::span<const std::uint8_t> image, unsigned offset);
void writeSpriteEntry(std::span<std::uint8_t> image, unsigned offset, const SpriteAllocData& sprite);

// Pointer table word of a stage: the bank offset at which its list starts.
std::uint16_t spriteListStart(std::span<const std::uint8_t> image, int stage);

// Empties `sprites`, then reads the list at `start` into it. Returns the list's size in
// bytes (8n + 2), or -1 when no terminator turns up within kSpriteListScanLimit entries;
// the entries read until then stay in `sprites`.
int readSpriteList(std::span<const std::uint8_t> image, unsigned start, SpriteList& sprites);

// Room for the list at `start` that now occupies `listBytes`: up to the nearest other
// list start behind it, or to availableEnd when that comes first. Zero or negative
// when the list starts at or after availableEnd.
int computeSpriteCapacity(std::span<const std::uint8_t> image, unsigned start, int listBytes,
                          const SpriteBankSettings& settings);

// Reads stage `stage` into `data` and resets the map selection. On a failed read the
// capacity keeps its former value, the sprites read so far stay, `readable` is cleared
// and false is returned so that the page can tell the user.
bool loadStageSprites(std::span<const std::uint8_t> image, int stage, const SpriteBankSettings& settings,
                      LevelSpritesData& data, int& selectedIndex);

// Stores the entries and the terminator at `start`. Returns 8n + 2, or -1 as soon as
// the next entry or the terminator would pass `capacity`; entries already written
// stay, and nothing is written at or beyond start + capacity.
int writeSpriteList(std::span<std::uint8_t> image, const SpriteList& sprites, unsigned start, int capacity);

// Entry `index` of stage `stage`'s stored list.
void writeStageSpriteEntry(std::span<std::uint8_t> image, int stage, int index, const SpriteAllocData& sprite);

// The bytes a list occupies as stored: 8n + 2.
int spriteListBytes(const SpriteList& sprites);

// Writes a list in full at stage `stage`'s start. The capacity bound of writeSpriteList
// is left out on purpose: Add checks the capacity before it grows a list, and a replay
// only brings back a length the list has had before, so within those rules every list
// fits. The bound could only cut short a list that already occupies more than its
// capacity (one that reaches past AvailableEnd or starts behind it); the ROM would
// then hold another list than the one shown, and a later replay on the bytes of that
// stage would corrupt it.
void writeStageSpriteList(std::span<std::uint8_t> image, int stage, const SpriteList& sprites);

// Byte edits of a stage's stored list, used to replay an edit of a stage that is not
// open. Insert and remove shift the tail of the list by one entry. They do nothing and
// return false when no terminator follows the index within kSpriteListScanLimit
// entries, when the shifted run would pass the end of the image, or (remove) when the
// index holds the terminator.
bool insertSpriteInRom(std::span<std::uint8_t> image, int stage, int index, const SpriteAllocData& sprite);
bool removeSpriteInRom(std::span<std::uint8_t> image, int stage, int index);
void swapSpritesInRom(std::span<std::uint8_t> image, int stage, int indexA, int indexB);

} // namespace vexa
