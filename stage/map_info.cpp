#include "stage/map_info.h"

#include "app/rom_image.h"

#include <array>

namespace vexa {

namespace {

// Within a map info record.
constexpr unsigned kDataOffsetAt = 0;
constexpr unsigned kDataBankAt = 2;
constexpr unsigned kWholeWidthAt = 5;
constexpr unsigned kWholeHeightAt = 7;

// Within a section record: the edges, a word each from the record's start, then the
// map type.
constexpr std::array<unsigned SectionRecord::*, 4> kSectionEdges = {&SectionRecord::left, &SectionRecord::right,
                                                                    &SectionRecord::top, &SectionRecord::bottom};
constexpr unsigned kMapTypeAt = 8;

// Within the head of a compressed block.
constexpr std::array<std::uint16_t CompressedHead::*, 4> kHeadWords = {
    &CompressedHead::decodedSize, &CompressedHead::widthTiles, &CompressedHead::heightTiles, &CompressedHead::mapType};

constexpr std::uint8_t kHiRomBanks = 0xC0;

unsigned sectionRecordOffset(unsigned infoOffset, std::size_t sectionIndex) {
    return infoOffset + kMapInfoHeadSize + kSectionRecordSize * static_cast<unsigned>(sectionIndex);
}

} // namespace

MapInfo readMapInfo(std::span<const std::uint8_t> image, unsigned bank, unsigned infoOffset,
                    std::uint8_t sectionIndex) {
    MapInfo info;
    info.dataOffset = romWord(image, bank, infoOffset + kDataOffsetAt);
    info.dataBank = romByte(image, bank, infoOffset + kDataBankAt);
    info.wholeWidth = romWord(image, bank, infoOffset + kWholeWidthAt);
    info.wholeHeight = romWord(image, bank, infoOffset + kWholeHeightAt);
    const unsigned record = sectionRecordOffset(infoOffset, sectionIndex);
    for (std::size_t k = 0; k < kSectionEdges.size(); ++k)
        info.section.*kSectionEdges[k] = pixelsToCells(romWord(image, bank, record + 2 * static_cast<unsigned>(k)));
    info.section.mapType = romWord(image, bank, record + kMapTypeAt);
    return info;
}

void writeMapInfo(std::span<std::uint8_t> image, unsigned bank, unsigned infoOffset, const MapInfo& info) {
    setRomWord(image, bank, infoOffset + kDataOffsetAt, info.dataOffset);
    setRomByte(image, bank, infoOffset + kDataBankAt, info.dataBank);
    setRomWord(image, bank, infoOffset + kWholeWidthAt, info.wholeWidth);
    setRomWord(image, bank, infoOffset + kWholeHeightAt, info.wholeHeight);
}

void writeSectionRecord(std::span<std::uint8_t> image, unsigned bank, unsigned infoOffset, std::size_t sectionIndex,
                        const SectionRecord& section) {
    const unsigned record = sectionRecordOffset(infoOffset, sectionIndex);
    for (std::size_t k = 0; k < kSectionEdges.size(); ++k)
        setRomWord(image, bank, record + 2 * static_cast<unsigned>(k),
                   static_cast<std::uint16_t>(section.*kSectionEdges[k] * kTileSize));
    setRomWord(image, bank, record + kMapTypeAt, section.mapType);
}

CompressedHead readCompressedHead(std::span<const std::uint8_t> image, unsigned bank, unsigned headOffset) {
    CompressedHead head;
    for (std::size_t k = 0; k < kHeadWords.size(); ++k)
        head.*kHeadWords[k] = romWord(image, bank, headOffset + 2 * static_cast<unsigned>(k));
    return head;
}

void writeCompressedHead(std::span<std::uint8_t> image, unsigned bank, unsigned headOffset,
                         const CompressedHead& head) {
    for (std::size_t k = 0; k < kHeadWords.size(); ++k)
        setRomWord(image, bank, headOffset + 2 * static_cast<unsigned>(k), head.*kHeadWords[k]);
}

ImageAddress compressedDataAddress(std::uint16_t storedOffset, std::uint8_t storedBank) {
    if (storedOffset == 0 || storedBank == 0) return {storedBank, storedOffset};
    return {((storedBank | 0x80u) + 0x40u) & 0xFFu, (storedOffset + kCompressedHeadSize) & 0xFFFFu};
}

std::optional<StoredDataAddress> storedDataAddress(ImageAddress block) {
    const auto offset = static_cast<std::uint16_t>(block.offset - kCompressedHeadSize);
    if (block.bank == 0 || !isImageBank(block.bank) || offset == 0) return {};
    return StoredDataAddress{offset, static_cast<std::uint8_t>(kHiRomBanks + block.bank)};
}

} // namespace vexa
