#include "app/rom_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace vexa {
namespace {

// A 4 MiB image whose bytes differ from bank to bank and within each half bank, with
// the cartridge title at 0xFFC0.
std::vector<std::uint8_t> sampleImage(std::string_view title = kDefaultCartName) {
    std::vector<std::uint8_t> image(kRomSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 16) * 13);
    std::memcpy(&image[kPlainTitleOffset], title.data(), title.size());
    return image;
}

RomLayout layoutOf(bool header, bool interleaved) {
    RomLayout layout;
    layout.hasCopierHeader = header;
    layout.interleaved = interleaved;
    for (std::size_t i = 0; i < layout.copierHeader.size(); ++i)
        layout.copierHeader[i] = static_cast<std::uint8_t>(~i);
    return layout;
}

TEST(RomFile, EveryLayoutRoundTripsByteForByte) {
    const auto image = sampleImage();
    for (bool header : {false, true}) {
        for (bool interleaved : {false, true}) {
            const RomLayout layout = layoutOf(header, interleaved);
            const auto file = encodeRomFile(image, layout);
            ASSERT_EQ(file.size(), header ? kRomFileSizeWithHeader : kRomSize);

            std::vector<std::uint8_t> decoded;
            RomLayout found;
            ASSERT_EQ(decodeRomFile(file, kDefaultCartName, decoded, found), RomFileStatus::Ok);
            EXPECT_EQ(decoded, image);
            EXPECT_EQ(found.hasCopierHeader, header);
            EXPECT_EQ(found.interleaved, interleaved);
            if (header) {
                EXPECT_EQ(found.copierHeader, layout.copierHeader);
            }
            EXPECT_EQ(encodeRomFile(decoded, found), file);
        }
    }
}

TEST(RomFile, InterleavedFileKeepsUpperHalvesFirst) {
    const auto image = sampleImage();
    const auto file = encodeRomFile(image, layoutOf(false, true));
    // Bank 5's upper half is the sixth 32 KiB block, its lower half lies 2 MiB further.
    EXPECT_EQ(0, std::memcmp(&file[5 * 0x8000], &image[0x58000], 0x8000));
    EXPECT_EQ(0, std::memcmp(&file[0x200000 + 5 * 0x8000], &image[0x50000], 0x8000));
    // The title the image has at 0xFFC0 lies at 0x7FC0 of the file.
    EXPECT_EQ(0, std::memcmp(&file[kInterleavedTitleOffset], kDefaultCartName.data(), kDefaultCartName.size()));
}

TEST(RomFile, TitleAtBothOffsetsCountsAsPlain) {
    auto file = sampleImage();
    std::memcpy(&file[kInterleavedTitleOffset], kDefaultCartName.data(), kDefaultCartName.size());
    std::vector<std::uint8_t> image;
    RomLayout layout = layoutOf(true, true);
    ASSERT_EQ(decodeRomFile(file, kDefaultCartName, image, layout), RomFileStatus::Ok);
    EXPECT_FALSE(layout.interleaved);
    EXPECT_FALSE(layout.hasCopierHeader);
    EXPECT_EQ(image, file);
}

TEST(RomFile, OnlyTheNameBytesAreCompared) {
    auto file = sampleImage("MARBLE CANYON QUESTXY");
    std::vector<std::uint8_t> image;
    RomLayout layout;
    EXPECT_EQ(decodeRomFile(file, "MARBLE CANYON QUEST", image, layout), RomFileStatus::Ok);
    EXPECT_EQ(decodeRomFile(file, "MARBLE", image, layout), RomFileStatus::Ok);
    EXPECT_EQ(decodeRomFile(file, "MARBLE CANYON QUESTZ", image, layout), RomFileStatus::UnknownFormat);
}

TEST(RomFile, EmptyCartNameAcceptsAnyValidSizeAsPlain) {
    std::vector<std::uint8_t> file(kRomFileSizeWithHeader, 0xAB);
    std::vector<std::uint8_t> image;
    RomLayout layout;
    ASSERT_EQ(decodeRomFile(file, "", image, layout), RomFileStatus::Ok);
    EXPECT_TRUE(layout.hasCopierHeader);
    EXPECT_FALSE(layout.interleaved);
}

TEST(RomFile, RejectedFilesLeaveImageAndLayoutAlone) {
    std::vector<std::uint8_t> image(kRomSize, 0x5A);
    RomLayout layout = layoutOf(true, true);
    const RomLayout before = layout;
    for (std::size_t size : {std::size_t{0}, kRomSize - 1, kRomSize + 1, kRomFileSizeWithHeader - 1,
                             kRomFileSizeWithHeader + 1, std::size_t{0x800000}}) {
        std::vector<std::uint8_t> file(size, 0);
        EXPECT_EQ(decodeRomFile(file, "", image, layout), RomFileStatus::BadSize) << size;
    }
    const auto wrongTitle = sampleImage("ANOTHER GAME");
    EXPECT_EQ(decodeRomFile(wrongTitle, kDefaultCartName, image, layout), RomFileStatus::UnknownFormat);
    EXPECT_EQ(image, std::vector<std::uint8_t>(kRomSize, 0x5A));
    EXPECT_EQ(layout.hasCopierHeader, before.hasCopierHeader);
    EXPECT_EQ(layout.interleaved, before.interleaved);
    EXPECT_EQ(layout.copierHeader, before.copierHeader);
}

TEST(RomBytes, WordsWrapWithinTheirBank) {
    std::vector<std::uint8_t> image(kRomSize, 0);
    setRomWord(image, 0x3E, 0xFFFF, 0xBEEF);
    EXPECT_EQ(image[0x3EFFFF], 0xEF);
    EXPECT_EQ(image[0x3E0000], 0xBE);
    EXPECT_EQ(image[0x3F0000], 0x00);
    EXPECT_EQ(romWord(image, 0x3E, 0xFFFF), 0xBEEF);
    EXPECT_EQ(romWord(image, 0x3E, 0x1FFFF), 0xBEEF) << "offsets are taken modulo 0x10000";
}

TEST(RomBytes, BanksOutsideTheImageAreNeverTouched) {
    std::vector<std::uint8_t> image(kRomSize, 0x11);
    EXPECT_EQ(romByte(image, 0x40, 0), 0);
    EXPECT_EQ(romWord(image, 0xFF, 0xFFFF), 0);
    setRomWord(image, 0x40, 0, 0x2222);
    setRomByte(image, 0xC0, 5, 0x33);
    EXPECT_EQ(image, std::vector<std::uint8_t>(kRomSize, 0x11));
    std::vector<std::uint8_t> small(16, 0x44);
    EXPECT_EQ(romByte(small, 0, 0), 0);
    setRomByte(small, 0, 0, 1);
    EXPECT_EQ(small[0], 0x44);
}

} // namespace
} // namespace vexa
