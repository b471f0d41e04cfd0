// The per-stage object lists of fixed-size entries (bananas, cameras): a table of one
// 16-bit offset per stage, relative to the table, plus a closing word; the lists lie
// back to back in table order and the next word fixes each list's length.
#pragma once

#include <cstdint>
#include <span>

namespace vexa {

// A table named by one rominfo.ini value: bits 16-23 the bank, bits 0-15 the offset
// within it. A bank of 0x40 or more lies outside the image and is never read.
struct RomLocation {
    unsigned bank = 0;
    std::uint16_t offset = 0;
};

constexpr RomLocation romLocationOf(std::uint32_t value) {
    return {(value >> 16) & 0xFFu, static_cast<std::uint16_t>(value & 0xFFFFu)};
}

// The slots of one stage's list. Slot offsets wrap within the bank.
struct StageSlots {
    unsigned bank = 0;
    std::uint16_t start = 0;
    unsigned entrySize = 0;
    int count = 0;

    std::uint16_t slotOffset(int index) const;
    // A slot outside 0 .. count-1, or whose bytes would end past the image, is
    // neither read nor written.
    bool holdsSlot(int index) const;
};

// True when `size` bytes from `offset` end at or before the end of the image. The
// bytes themselves are read with in-bank wrap, so only the last bank can fail this.
bool entryFitsImage(unsigned bank, std::uint16_t offset, unsigned size);

// Any stage number names some table word (the doubling wraps within the bank). Two
// unsigned words can differ by at most 0xFFFF bytes, so a list never runs longer
// than one pass over its bank. A table in a bank outside the image gives no slots.
StageSlots findStageSlots(std::span<const std::uint8_t> image, RomLocation table, int stageNumber, unsigned entrySize);

// Replaces `list` with every slot of a stage, each read by read(bank, offset).
template <typename List, typename Read> void readSlotList(const StageSlots& slots, List& list, Read read) {
    list.clear();
    for (int i = 0; i < slots.count; ++i)
        list.push_back(read(slots.bank, slots.slotOffset(i)));
}

// Writes the entries in order into the stage's slots with write(bank, offset, entry),
// which reports whether it wrote; entries past the last slot are dropped. Returns
// the number of entries written.
template <typename List, typename Write> int writeSlotList(const StageSlots& slots, const List& list, Write write) {
    int index = 0;
    int written = 0;
    for (const auto& entry : list) {
        if (index >= slots.count) break;
        if (write(slots.bank, slots.slotOffset(index++), entry)) ++written;
    }
    return written;
}

} // namespace vexa
