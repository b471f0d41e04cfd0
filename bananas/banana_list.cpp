#include "bananas/banana_list.h"

#include <algorithm>

#include "app/rom_image.h"
#include "stage/object_layout.h"

namespace vexa {

namespace {

constexpr unsigned kPositionShift = 4;
constexpr unsigned kPositionBits = 18; // X and Y share bits 4-21
constexpr std::uint32_t kFront2Bit = 1u << 22;
constexpr std::uint32_t kFront1Bit = 1u << 23;
constexpr unsigned kSetNumberShift = 24;

// X field width of each layout; Y takes the rest of the 18 position bits.
unsigned xBitsOf(ObjectLayout layout) {
    switch (layout) {
    case ObjectLayout::Type0: return 11;
    case ObjectLayout::Type1: return 10;
    case ObjectLayout::Type4: return 8;
    case ObjectLayout::Type679: return 9;
    case ObjectLayout::Type8: return 12;
    case ObjectLayout::None: break;
    }
    return 0;
}

constexpr std::uint32_t lowBits(unsigned count) {
    return (1u << count) - 1u;
}

} // namespace

BananaAllocData decodeBananaEntry(std::uint32_t entry, std::uint16_t mapType) {
    BananaAllocData banana;
    banana.front1 = (entry & kFront1Bit) != 0;
    banana.front2 = (entry & kFront2Bit) != 0;
    banana.setNumber = static_cast<std::uint8_t>(entry >> kSetNumberShift);
    const ObjectLayout layout = objectLayoutOf(mapType);
    if (layout == ObjectLayout::None) return banana;

    const unsigned xBits = xBitsOf(layout);
    const std::uint32_t position = entry >> kPositionShift;
    banana.x = static_cast<std::int32_t>((position & lowBits(xBits)) * 8);
    banana.y = static_cast<std::int32_t>(((position >> xBits) & lowBits(kPositionBits - xBits)) * 8);
    return banana;
}

std::optional<std::uint32_t> encodeBananaEntry(const BananaAllocData& banana, std::uint16_t mapType) {
    const ObjectLayout layout = objectLayoutOf(mapType);
    if (layout == ObjectLayout::None) return std::nullopt;

    const unsigned xBits = xBitsOf(layout);
    const std::uint32_t x = static_cast<std::uint32_t>(banana.x / 8) & lowBits(xBits);
    const std::uint32_t y = static_cast<std::uint32_t>(banana.y / 8) & lowBits(kPositionBits - xBits);
    std::uint32_t entry = static_cast<std::uint32_t>(banana.setNumber) << kSetNumberShift;
    if (banana.front1) entry |= kFront1Bit;
    if (banana.front2) entry |= kFront2Bit;
    return entry | (x | y << xBits) << kPositionShift;
}

void maskBananaPosition(BananaAllocData& banana, std::uint16_t mapType) {
    const ObjectLayout layout = objectLayoutOf(mapType);
    if (layout == ObjectLayout::None) return;
    const unsigned xBits = xBitsOf(layout);
    auto hold = [](std::int32_t value, unsigned bits) {
        return std::clamp(value, 0, static_cast<std::int32_t>(lowBits(bits) << 3)) & ~7;
    };
    banana.x = hold(banana.x, xBits);
    banana.y = hold(banana.y, kPositionBits - xBits);
}

BananaAllocData readBananaEntry(std::span<const std::uint8_t> image, unsigned bank, std::uint16_t offset,
                                std::uint16_t mapType) {
    if (!entryFitsImage(bank, offset, kBananaEntrySize)) return {};
    const std::uint32_t entry = romWord(image, bank, offset) | std::uint32_t{romWord(image, bank, offset + 2u)} << 16;
    return decodeBananaEntry(entry, mapType);
}

bool writeBananaEntry(std::span<std::uint8_t> image, unsigned bank, std::uint16_t offset, const BananaAllocData& banana,
                      std::uint16_t mapType) {
    const auto entry = encodeBananaEntry(banana, mapType);
    if (!entry || !entryFitsImage(bank, offset, kBananaEntrySize)) return false;
    setRomWord(image, bank, offset, static_cast<std::uint16_t>(*entry));
    setRomWord(image, bank, offset + 2u, static_cast<std::uint16_t>(*entry >> 16));
    return true;
}

StageSlots bananaSlots(std::span<const std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber) {
    return findStageSlots(image, romLocationOf(levelsLocation), stageNumber, kBananaEntrySize);
}

void readStageBananas(std::span<const std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber,
                      std::uint16_t mapType, LevelBananasData& data) {
    data.stageNumber = stageNumber;
    readSlotList(bananaSlots(image, levelsLocation, stageNumber), data.bananas,
                 [&](unsigned bank, std::uint16_t offset) { return readBananaEntry(image, bank, offset, mapType); });
}

bool writeBananaSlot(std::span<std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber, int index,
                     const BananaAllocData& banana, std::uint16_t mapType) {
    const StageSlots slots = bananaSlots(image, levelsLocation, stageNumber);
    return slots.holdsSlot(index) && writeBananaEntry(image, slots.bank, slots.slotOffset(index), banana, mapType);
}

int writeBananaList(std::span<std::uint8_t> image, std::uint32_t levelsLocation, int stageNumber,
                    const BananaList& bananas, std::uint16_t mapType) {
    return writeSlotList(bananaSlots(image, levelsLocation, stageNumber), bananas,
                         [&](unsigned bank, std::uint16_t offset, const BananaAllocData& banana) {
                             return writeBananaEntry(image, bank, offset, banana, mapType);
                         });
}

int BananaSet::keptColumns() const {
    return std::clamp(width, 0, kBananaSetMaxColumns);
}

int BananaSet::keptRows() const {
    return std::clamp(height, 0, kBananaSetMaxRows);
}

bool BananaSet::hasBanana(int column, int row) const {
    return column >= 0 && column < keptColumns() && row >= 0 && row < keptRows() && cells[column][row];
}

BananaSet decodeBananaSet(std::span<const std::uint8_t> image, std::uint32_t setsLocation, unsigned setNumber) {
    const unsigned bank = (setsLocation >> 16) & 0x3Fu;
    const unsigned tableOffset = setsLocation & 0xFFFFu;
    const unsigned data = tableOffset + romWord(image, bank, tableOffset + setNumber * 2u);

    BananaSet set;
    set.width = romByte(image, bank, data);
    set.height = romByte(image, bank, data + 1u);
    // The bits run column after column, each column from its bottom row up, so the
    // cell (column, row) is bit column * H + (H - 1 - row) of the stream.
    for (int column = 0; column < set.keptColumns(); ++column) {
        for (int row = 0; row < set.keptRows(); ++row) {
            const unsigned bit = static_cast<unsigned>(column * set.height + (set.height - 1 - row));
            set.cells[column][row] = ((romByte(image, bank, data + 2u + bit / 8u) >> (bit % 8u)) & 1u) != 0;
        }
    }
    return set;
}

} // namespace vexa
