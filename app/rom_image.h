// The ROM image in memory: 4 MiB in HiROM order, and the file layouts it is read
// from and written back in (copier header, interleaving).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

inline constexpr std::size_t kRomSize = 0x400000;
inline constexpr std::size_t kCopierHeaderSize = 0x200;
inline constexpr std::size_t kRomFileSizeWithHeader = kRomSize + kCopierHeaderSize;
inline constexpr unsigned kBankCount = 0x40;
inline constexpr std::size_t kBankSize = 0x10000;
inline constexpr std::size_t kPlainTitleOffset = 0xFFC0;
inline constexpr std::size_t kInterleavedTitleOffset = 0x7FC0;
inline constexpr std::string_view kDefaultCartName = "MARBLE CANYON QUEST";
inline constexpr std::size_t kTitleSize = 21;

// Image offset of an in-bank offset. Banks outside 0x00-0x3F have no bytes in the
// image; every accessor below treats them as absent instead of reading past it.
constexpr std::size_t imageOffset(unsigned bank, unsigned offset) {
    return bank * kBankSize + (offset & 0xFFFF);
}
constexpr bool isImageBank(unsigned bank) {
    return bank < kBankCount;
}

// Byte and little-endian word access inside one bank. The second byte of a word at
// offset 0xFFFF is the bank's first byte: in-bank sums wrap, they never run into the
// next bank. Reads of an absent bank (or of a too-small image) give 0; writes there
// are dropped.
std::uint8_t romByte(std::span<const std::uint8_t> image, unsigned bank, unsigned offset);
std::uint16_t romWord(std::span<const std::uint8_t> image, unsigned bank, unsigned offset);
void setRomByte(std::span<std::uint8_t> image, unsigned bank, unsigned offset, std::uint8_t value);
void setRomWord(std::span<std::uint8_t> image, unsigned bank, unsigned offset, std::uint16_t value);

// How the image was stored in its file; saving writes the same layout back.
struct RomLayout {
    bool hasCopierHeader = false;
    bool interleaved = false;
    std::array<std::uint8_t, kCopierHeaderSize> copierHeader{};
};

enum class RomFileStatus {
    Ok,
    BadSize,       // neither 4,194,304 nor 4,194,816 bytes
    UnknownFormat, // the cartridge name is at neither 0xFFC0 nor 0x7FC0
};

// The header's title as text: printable ASCII as it is, anything else as \xNN, the
// trailing blanks dropped.
std::string romTitleText(std::span<const std::uint8_t> image);

bool isAcceptedRomFileSize(std::uint64_t size);

// Brings a whole file into HiROM order. On Ok, `image` holds the 4 MiB and `layout`
// how they were stored; on failure neither is touched.
RomFileStatus decodeRomFile(std::span<const std::uint8_t> file, std::string_view cartName,
                            std::vector<std::uint8_t>& image, RomLayout& layout);

// The exact file bytes for an image in the given layout; the inverse of decodeRomFile.
std::vector<std::uint8_t> encodeRomFile(std::span<const std::uint8_t> image, const RomLayout& layout);

// Interleaved order keeps the upper 32 KiB of every bank in the first 2 MiB and the
// lower halves in the second. Both take 4 MiB spans that must not overlap.
void deinterleave(std::span<const std::uint8_t> file, std::span<std::uint8_t> image);
void interleave(std::span<const std::uint8_t> image, std::span<std::uint8_t> file);

} // namespace vexa
