#include "sprites/sprite_list.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "app/rom_image.h"

namespace vexa {

namespace {

constexpr unsigned kBankOffsetMask = 0xFFFF;
// Pointer table words repeat after this many stages, since 2k wraps within the bank.
constexpr int kDistinctPointerWords = 0x8000;

unsigned entryOffset(unsigned start, int index) {
    return (start + kSpriteEntrySize * static_cast<unsigned>(index)) & kBankOffsetMask;
}

std::uint16_t word(const SpriteEntryBytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void putWord(SpriteEntryBytes& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Unsigned sums so that positions outside -256..65279 wrap instead of overflowing.
std::uint16_t encodePosition(std::int32_t position) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(position) + kSpritePositionBias);
}

// Entries from `at` (the one there included) up to the terminator, stepping with the
// in-bank wrap; nothing when a whole pass over the bank finds no terminator.
std::optional<int> entriesBeforeTerminator(std::span<const std::uint8_t> image, unsigned at) {
    for (int k = 0; k < kSpriteListScanLimit; ++k) {
        if (romWord(image, kSpriteBank, entryOffset(at, k)) == 0) return k;
    }
    return std::nullopt;
}

// Insert and remove shift image bytes as one contiguous block that starts at the
// entry's offset; unlike every other access here, that block does not wrap within the
// bank, so it is checked against the end of the image instead.
bool moveImageBytes(std::span<std::uint8_t> image, std::size_t from, std::size_t to, std::size_t count) {
    if (std::max(from, to) + count > image.size()) return false;
    std::memmove(image.data() + to, image.data() + from, count);
    return true;
}

} // namespace

SpriteEntryBytes encodeSpriteEntry(const SpriteAllocData& sprite) {
    SpriteEntryBytes bytes{};
    putWord(bytes, 0, sprite.parameter);
    putWord(bytes, 2, encodePosition(sprite.x));
    putWord(bytes, 4, encodePosition(sprite.y));
    putWord(bytes, 6, sprite.type);
    return bytes;
}

SpriteAllocData decodeSpriteEntry(const SpriteEntryBytes& bytes) {
    SpriteAllocData sprite;
    sprite.parameter = word(bytes, 0);
    sprite.x = word(bytes, 2) - kSpritePositionBias;
    sprite.y = word(bytes, 4) - kSpritePositionBias;
    sprite.type = word(bytes, 6);
    return sprite;
}

SpriteAllocData readSpriteEntry(std::span<const std::uint8_t> image, unsigned offset) {
    SpriteEntryBytes bytes;
    for (unsigned i = 0; i < kSpriteEntrySize; ++i)
        bytes[i] = romByte(image, kSpriteBank, (offset + i) & kBankOffsetMask);
    return decodeSpriteEntry(bytes);
}

void writeSpriteEntry(std::span<std::uint8_t> image, unsigned offset, const SpriteAllocData& sprite) {
    const SpriteEntryBytes bytes = encodeSpriteEntry(sprite);
    for (unsigned i = 0; i < kSpriteEntrySize; ++i)
        setRomByte(image, kSpriteBank, (offset + i) & kBankOffsetMask, bytes[i]);
}

std::uint16_t spriteListStart(std::span<const std::uint8_t> image, int stage) {
    return romWord(image, kSpriteBank, (2 * static_cast<unsigned>(stage)) & kBankOffsetMask);
}

int readSpriteList(std::span<const std::uint8_t> image, unsigned start, SpriteList& sprites) {
    sprites.clear();
    for (int k = 0; k < kSpriteListScanLimit; ++k) {
        const unsigned at = entryOffset(start, k);
        if (romWord(image, kSpriteBank, at) == 0) return static_cast<int>(kSpriteEntrySize) * k + 2;
        sprites.push_back(readSpriteEntry(image, at));
    }
    return -1;
}

int computeSpriteCapacity(std::span<const std::uint8_t> image, unsigned start, int listBytes,
                          const SpriteBankSettings& settings) {
    start &= kBankOffsetMask;
    const unsigned end = (start + static_cast<unsigned>(listBytes)) & kBankOffsetMask;
    unsigned limit = settings.availableEnd & kBankOffsetMask;
    const int stages = std::min(settings.levelCount, kDistinctPointerWords);
    for (int k = 0; k < stages; ++k) {
        // Lists starting before this one's end (itself and any list sharing its start
        // included) never bound it; with unsigned bank offsets that is every p < end.
        const unsigned p = spriteListStart(image, k);
        if (p >= end && p < limit) limit = p;
    }
    return static_cast<int>(limit) - static_cast<int>(start);
}

bool loadStageSprites(std::span<const std::uint8_t> image, int stage, const SpriteBankSettings& settings,
                      LevelSpritesData& data, int& selectedIndex) {
    data.stageNumber = stage;
    selectedIndex = -1;
    const unsigned start = spriteListStart(image, stage);
    data.listBytes = readSpriteList(image, start, data.sprites);
    data.readable = data.listBytes >= 0;
    if (!data.readable) return false;
    data.capacity = computeSpriteCapacity(image, start, data.listBytes, settings);
    return true;
}

int writeSpriteList(std::span<std::uint8_t> image, const SpriteList& sprites, unsigned start, int capacity) {
    std::int64_t off = 0;
    for (const SpriteAllocData& sprite : sprites) {
        if (off + kSpriteEntrySize > capacity) return -1;
        writeSpriteEntry(image, (start + static_cast<unsigned>(off)) & kBankOffsetMask, sprite);
        off += kSpriteEntrySize;
    }
    if (off + 2 > capacity) return -1;
    setRomWord(image, kSpriteBank, (start + static_cast<unsigned>(off)) & kBankOffsetMask, 0);
    return static_cast<int>(off + 2);
}

void writeStageSpriteEntry(std::span<std::uint8_t> image, int stage, int index, const SpriteAllocData& sprite) {
    writeSpriteEntry(image, entryOffset(spriteListStart(image, stage), index), sprite);
}

int spriteListBytes(const SpriteList& sprites) {
    return static_cast<int>(kSpriteEntrySize) * static_cast<int>(sprites.size()) + 2;
}

void writeStageSpriteList(std::span<std::uint8_t> image, int stage, const SpriteList& sprites) {
    writeSpriteList(image, sprites, spriteListStart(image, stage), spriteListBytes(sprites));
}

bool insertSpriteInRom(std::span<std::uint8_t> image, int stage, int index, const SpriteAllocData& sprite) {
    const unsigned at = entryOffset(spriteListStart(image, stage), index);
    const std::optional<int> tail = entriesBeforeTerminator(image, at);
    if (!tail) return false;
    const std::size_t from = imageOffset(kSpriteBank, at);
    const std::size_t count = kSpriteEntrySize * static_cast<std::size_t>(*tail) + 2;
    if (!moveImageBytes(image, from, from + kSpriteEntrySize, count)) return false;
    writeSpriteEntry(image, at, sprite);
    return true;
}

bool removeSpriteInRom(std::span<std::uint8_t> image, int stage, int index) {
    const unsigned at = entryOffset(spriteListStart(image, stage), index);
    const std::optional<int> tail = entriesBeforeTerminator(image, at);
    // A terminator at the index means there is no entry to remove.
    if (!tail || *tail == 0) return false;
    const std::size_t to = imageOffset(kSpriteBank, at);
    const std::size_t count = kSpriteEntrySize * static_cast<std::size_t>(*tail - 1) + 2;
    return moveImageBytes(image, to + kSpriteEntrySize, to, count);
}

void swapSpritesInRom(std::span<std::uint8_t> image, int stage, int indexA, int indexB) {
    const unsigned start = spriteListStart(image, stage);
    const unsigned atA = entryOffset(start, indexA);
    const unsigned atB = entryOffset(start, indexB);
    const SpriteAllocData a = readSpriteEntry(image, atA);
    const SpriteAllocData b = readSpriteEntry(image, atB);
    writeSpriteEntry(image, atB, a);
    writeSpriteEntry(image, atA, b);
}

} // namespace vexa
