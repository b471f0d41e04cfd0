// Banana lists and banana sets in the ROM image: the 4-byte banana entry, the
// per-stage lists found through the banana pointer table, and the set shapes.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <optional>
#include <span>

#include "app/rom_settings.h"
#include "stage/object_list_table.h"

namespace vexa {

inline constexpr unsigned kBananaEntrySize = 4;

struct BananaAllocData {
    std::int32_t x = 0; // pixels, a multiple of 8 once decoded
    std::int32_t y = 0;
    bool front1 = false;
    bool front2 = false;
    std::uint8_t setNumber = 0;

    bool operator==(const BananaAllocData&) const = default;
};

using BananaList = std::list<BananaAllocData>;

struct LevelBananasData {
    std::int32_t stageNumber = 0;
    BananaList bananas; // ROM order; the position is the banana's index
};

// The entry word. Bits 0-3 are written as 0 and ignored when read. A map type without
// a position layout decodes to X = Y = 0 (flags and set number still decode) and has
// no encoding. Encoding keeps only the bits each field has, so an unmasked position
// can never reach the flags or the set number.
BananaAllocData decodeBananaEntry(std::uint32_t entry, std::uint16_t mapType);
std::optional<std::uint32_t> encodeBananaEntry(const BananaAllocData& banana, std::uint16_t mapType);

// Rounds X and Y down to a multiple of 8 and holds them to what the map type can
// store (0 up to the largest value of each field; nothing wraps), so the stored
// position is exactly the one kept in memory. Other map types leave them unchanged.
void maskBananaPosition(BananaAllocData& banana, std::uint16_t mapType);

// One entry at a bank offset. An entry whose bytes would end past the image is not
// read (all fields 0) and not written (false); neither is an entry of a map type
// without a layout written.
BananaAllocData readBananaEntry(std::span<const std::uint8_t> image, unsigned bank, std::uint16_t offset,
                                std::uint16_t mapType);
bool writeBananaEntry(std::span<std::uint8_t> image, unsigned bank, std::uint16_t offset, const BananaAllocData& banana,
                      std::uint16_t mapType);

// `levelsLocation` is the [Bananas] Levels value as read from rominfo.ini.
StageSlots bananaSlots(std::span<const std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber);

// Replaces `data` with the stage's list: its number and every entry in ROM order.
void readStageBananas(std::span<const std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber,
                      std::uint16_t mapType, LevelBananasData& data);

// Writes `banana` into slot `index` of the stage's list. False when the stage has no
// such slot or the entry could not be written.
bool writeBananaSlot(std::span<std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber, int index,
                     const BananaAllocData& banana, std::uint16_t mapType);

// Writes the list into slots 0, 1, 2 ... until the list or the slots end. Returns the
// number of entries written.
int writeBananaList(std::span<std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber,
                    const BananaList& bananas, std::uint16_t mapType);

// Banana sets keep at most this many columns and rows; further cells are dropped.
inline constexpr int kBananaSetMaxColumns = 32;
inline constexpr int kBananaSetMaxRows = 24;

struct BananaSet {
    int width = 0;  // columns as stored, which may exceed kBananaSetMaxColumns
    int height = 0; // rows as stored
    std::array<std::array<bool, kBananaSetMaxRows>, kBananaSetMaxColumns> cells{}; // [column][row], row 0 on top

    int keptColumns() const;
    int keptRows() const;
    bool hasBanana(int column, int row) const; // false outside the kept cells
};

// `setsLocation` is the [Bananas] BananaSets value; its bank is bits 16-21 only.
BananaSet decodeBananaSet(std::span<const std::uint8_t> image, std::uint32_t setsLocation, unsigned setNumber);

} // namespace vexa
