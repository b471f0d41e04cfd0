// A terrain's map info record, its section records and the head in front of its
// compressed block, as the image stores them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vexa {

inline constexpr int kTileSize = 32; // pixels per terrain cell, each way

// A map info record: the data address and the whole terrain's size in 9 bytes, then
// the section records, 10 bytes each: left, right, top and bottom edge in pixels and
// the map type, a word each.
inline constexpr unsigned kMapInfoHeadSize = 9;
inline constexpr unsigned kSectionRecordSize = 10;
// In front of a compressed block: its decoded size and shape.
inline constexpr unsigned kCompressedHeadSize = 9;

// The part of a terrain one stage shows, in cells (pixel edges shifted right by 5).
struct SectionRecord {
    unsigned left = 0;
    unsigned right = 0;
    unsigned top = 0;
    unsigned bottom = 0;
    std::uint16_t mapType = 0;

    friend bool operator==(const SectionRecord&, const SectionRecord&) = default;
};

// A terrain's map info record together with the section record a stage picks.
struct MapInfo {
    std::uint16_t dataOffset = 0;  // of the compressed data as stored; 0 = none
    std::uint8_t dataBank = 0;     // SNES bank byte as stored; 0 = none
    std::uint16_t wholeWidth = 0;  // of the whole terrain, in pixels
    std::uint16_t wholeHeight = 0; // in pixels
    SectionRecord section;

    friend bool operator==(const MapInfo&, const MapInfo&) = default;
};

// The 9 bytes in front of a compressed block, which the loader skips; the last byte
// is not read and not written.
struct CompressedHead {
    std::uint16_t decodedSize = 0; // bytes
    std::uint16_t widthTiles = 0;  // of the whole terrain, in cells
    std::uint16_t heightTiles = 0; // in cells
    std::uint16_t mapType = 0;

    friend bool operator==(const CompressedHead&, const CompressedHead&) = default;
};

struct ImageAddress {
    unsigned bank = 0;
    unsigned offset = 0;

    friend bool operator==(const ImageAddress&, const ImageAddress&) = default;
};

// The data address of a map info record as stored.
struct StoredDataAddress {
    std::uint16_t offset = 0;
    std::uint8_t bank = 0;

    friend bool operator==(const StoredDataAddress&, const StoredDataAddress&) = default;
};

constexpr unsigned pixelsToCells(std::uint16_t pixels) {
    return pixels / static_cast<unsigned>(kTileSize);
}

// Reads the map info record at `infoOffset` of `bank` and its section `sectionIndex`.
MapInfo readMapInfo(std::span<const std::uint8_t> image, unsigned bank, unsigned infoOffset, std::uint8_t sectionIndex);
// The record's own fields as readMapInfo reads them, `info.section` left out; bytes 3
// and 4, which the editor does not read, stay as they are.
void writeMapInfo(std::span<std::uint8_t> image, unsigned bank, unsigned infoOffset, const MapInfo& info);
// Section `sectionIndex` of the record at `infoOffset`: the edges, given in cells, are
// stored in pixels.
void writeSectionRecord(std::span<std::uint8_t> image, unsigned bank, unsigned infoOffset, std::size_t sectionIndex,
                        const SectionRecord& section);

// The head at `headOffset` of `bank`, the block following it.
CompressedHead readCompressedHead(std::span<const std::uint8_t> image, unsigned bank, unsigned headOffset);
void writeCompressedHead(std::span<std::uint8_t> image, unsigned bank, unsigned headOffset, const CompressedHead& head);

// Image address of the block handed to the decoder, past the 9 bytes in front of it.
// Both SNES mirrors (banks 0x40-0x7F and 0xC0-0xFF) land on image banks 0x00-0x3F;
// other bank bytes give banks beyond the image. A zero offset or bank stays as it is.
ImageAddress compressedDataAddress(std::uint16_t storedOffset, std::uint8_t storedBank);

// The stored form of a block's address: the offset of the head in front of the block
// and the bank's HiROM address (0xC0-0xFF), the mirror the game's records use.
// compressedDataAddress gives the block back. Nothing for a bank beyond the image,
// and for bank 0 or offset 9, whose stored form reads as no data.
std::optional<StoredDataAddress> storedDataAddress(ImageAddress block);

} // namespace vexa
