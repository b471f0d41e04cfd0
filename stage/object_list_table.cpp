#include "stage/object_list_table.h"

#include "app/rom_image.h"

namespace vexa {

std::uint16_t StageSlots::slotOffset(int index) const {
    return static_cast<std::uint16_t>(start + static_cast<unsigned>(index) * entrySize);
}

bool StageSlots::holdsSlot(int index) const {
    return index >= 0 && index < count && entryFitsImage(bank, slotOffset(index), entrySize);
}

bool entryFitsImage(unsigned bank, std::uint16_t offset, unsigned size) {
    return isImageBank(bank) && imageOffset(bank, offset) + size <= kRomSize;
}

StageSlots findStageSlots(std::span<const std::uint8_t> image, RomLocation table, int stageNumber, unsigned entrySize) {
    StageSlots slots;
    slots.bank = table.bank;
    slots.entrySize = entrySize;
    if (!isImageBank(table.bank) || entrySize == 0) return slots;

    const unsigned wordOffset = table.offset + static_cast<unsigned>(stageNumber) * 2u;
    const std::uint16_t first = romWord(image, table.bank, wordOffset);
    const std::uint16_t next = romWord(image, table.bank, wordOffset + 2u);
    slots.start = static_cast<std::uint16_t>(table.offset + first);
    const int bytes = static_cast<int>(next) - static_cast<int>(first);
    slots.count = bytes > 0 ? bytes / static_cast<int>(entrySize) : 0;
    return slots;
}

} // namespace vexa
