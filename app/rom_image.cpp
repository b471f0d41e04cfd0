#include "app/rom_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vexa {

namespace {

bool holdsImage(std::size_t size) {
    return size >= kRomSize;
}

bool nameAt(std::span<const std::uint8_t> bytes, std::size_t offset, std::string_view name) {
    return std::equal(name.begin(), name.end(), bytes.begin() + offset,
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

} // namespace

std::uint8_t romByte(std::span<const std::uint8_t> image, unsigned bank, unsigned offset) {
    if (!isImageBank(bank) || !holdsImage(image.size())) return 0;
    return image[imageOffset(bank, offset)];
}

std::uint16_t romWord(std::span<const std::uint8_t> image, unsigned bank, unsigned offset) {
    return static_cast<std::uint16_t>(romByte(image, bank, offset) | romByte(image, bank, offset + 1) << 8);
}

void setRomByte(std::span<std::uint8_t> image, unsigned bank, unsigned offset, std::uint8_t value) {
    if (!isImageBank(bank) || !holdsImage(image.size())) return;
    image[imageOffset(bank, offset)] = value;
}

void setRomWord(std::span<std::uint8_t> image, unsigned bank, unsigned offset, std::uint16_t value) {
    setRomByte(image, bank, offset, static_cast<std::uint8_t>(value));
    setRomByte(image, bank, offset + 1, static_cast<std::uint8_t>(value >> 8));
}

std::string romTitleText(std::span<const std::uint8_t> image) {
    std::string text;
    for (std::size_t i = 0; i < kTitleSize; ++i) {
        const std::uint8_t c = romByte(image, 0, static_cast<unsigned>(kPlainTitleOffset + i));
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

bool isAcceptedRomFileSize(std::uint64_t size) {
    return size == kRomSize || size == kRomFileSizeWithHeader;
}

void deinterleave(std::span<const std::uint8_t> file, std::span<std::uint8_t> image) {
    constexpr std::size_t half = kBankSize / 2;
    for (std::size_t bank = 0; bank < kBankCount; ++bank) {
        std::memcpy(&image[bank * kBankSize], &file[kRomSize / 2 + bank * half], half);
        std::memcpy(&image[bank * kBankSize + half], &file[bank * half], half);
    }
}

void interleave(std::span<const std::uint8_t> image, std::span<std::uint8_t> file) {
    constexpr std::size_t half = kBankSize / 2;
    for (std::size_t bank = 0; bank < kBankCount; ++bank) {
        std::memcpy(&file[kRomSize / 2 + bank * half], &image[bank * kBankSize], half);
        std::memcpy(&file[bank * half], &image[bank * kBankSize + half], half);
    }
}

RomFileStatus decodeRomFile(std::span<const std::uint8_t> file, std::string_view cartName,
                            std::vector<std::uint8_t>& image, RomLayout& layout) {
    if (!isAcceptedRomFileSize(file.size())) return RomFileStatus::BadSize;
    const bool hasHeader = file.size() == kRomFileSizeWithHeader;
    const auto body = file.subspan(hasHeader ? kCopierHeaderSize : 0, kRomSize);

    // The title field is 21 bytes; a longer configured name can never match.
    cartName = cartName.substr(0, std::min<std::size_t>(cartName.size(), 63));
    bool interleaved;
    if (nameAt(body, kPlainTitleOffset, cartName))
        interleaved = false;
    else if (nameAt(body, kInterleavedTitleOffset, cartName))
        interleaved = true;
    else
        return RomFileStatus::UnknownFormat;

    image.resize(kRomSize);
    if (interleaved)
        deinterleave(body, image);
    else
        std::copy(body.begin(), body.end(), image.begin());
    layout.hasCopierHeader = hasHeader;
    layout.interleaved = interleaved;
    if (hasHeader) std::copy_n(file.begin(), kCopierHeaderSize, layout.copierHeader.begin());
    return RomFileStatus::Ok;
}

std::vector<std::uint8_t> encodeRomFile(std::span<const std::uint8_t> image, const RomLayout& layout) {
    const std::size_t headerSize = layout.hasCopierHeader ? kCopierHeaderSize : 0;
    std::vector<std::uint8_t> file(headerSize + kRomSize);
    std::copy_n(layout.copierHeader.begin(), headerSize, file.begin());
    const auto body = std::span(file).subspan(headerSize);
    if (layout.interleaved)
        interleave(image.first(kRomSize), body);
    else
        std::copy_n(image.begin(), kRomSize, body.begin());
    return file;
}

} // namespace vexa
