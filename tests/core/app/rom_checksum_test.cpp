#include "app/rom_checksum.h"

#include "app/rom_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexa {
namespace {

// The stored four bytes count as FF FF 00 00 whatever they hold, so the checksum of
// an image does not depend on them and fixing it twice changes nothing.
TEST(RomChecksum, IsTheByteSumWithTheHeaderBytesTakenAsFFFF0000) {
    std::vector<std::uint8_t> image(kRomSize, 0);
    EXPECT_EQ(romChecksum(image), 0x01FE);
    image[0x100] = 0x80;
    image[0x3FFFFF] = 0x7F;
    EXPECT_EQ(romChecksum(image), 0x01FE + 0xFF);
    for (const std::uint8_t stored : {0x00, 0x5A, 0xFF}) {
        for (std::size_t at = kChecksumComplementOffset; at < kChecksumOffset + 2; ++at)
            image[at] = stored;
        EXPECT_EQ(romChecksum(image), 0x01FE + 0xFF) << int(stored);
        EXPECT_FALSE(hasCorrectChecksum(image));
    }
    fixChecksum(image);
    EXPECT_TRUE(hasCorrectChecksum(image));
    EXPECT_EQ(romWord(image, 0, kChecksumOffset), 0x02FD);
    EXPECT_EQ(romWord(image, 0, kChecksumComplementOffset), 0xFD02);
    const auto fixed = image;
    fixChecksum(image);
    EXPECT_EQ(image, fixed);
}

TEST(RomChecksum, WrapsModulo0x10000AndLeavesShortImagesAlone) {
    std::vector<std::uint8_t> image(kRomSize, 0xFF);
    // 4 MiB of FF: 0x3FFFFC00 for everything but the header, plus FF + FF for it.
    EXPECT_EQ(romChecksum(image), static_cast<std::uint16_t>(0xFFu * (kRomSize - 4) + 0x1FE));
    std::vector<std::uint8_t> tiny(16, 1);
    EXPECT_EQ(romChecksum(tiny), 0);
    fixChecksum(tiny);
    EXPECT_EQ(tiny, std::vector<std::uint8_t>(16, 1));
}

} // namespace
} // namespace vexa
