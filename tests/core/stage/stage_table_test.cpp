#include "stage/stage_table.h"

#include "app/rom_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vexa {
namespace {

class StageTableTest : public ::testing::Test {
protected:
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kRomSize);

    void putBytes(unsigned offset, std::initializer_list<std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes)
            setRomByte(image, kStageBank, offset++, byte);
    }
};

TEST_F(StageTableTest, TypeTwoHeaderIsEightBytesWithFieldsAtFiveAndSeven) {
    putBytes(0x4000, {0x02, 0x00, 0xAA, 0xBB, 0xCC, 0x34, 0x12, 0x07});
    StageHeader header;
    EXPECT_EQ(readStageHeader(image, 0x4000, header), 8);
    EXPECT_EQ(header.stageType, 2);
    EXPECT_EQ(header.stageDataAddress, 0x1234);
    EXPECT_EQ(header.sectionIndex, 7);
}

TEST_F(StageTableTest, OtherTypesAreSixBytesWithFieldsAtThreeAndFive) {
    putBytes(0x4000, {0x02, 0x01, 0xAA, 0x34, 0x12, 0x07, 0x99, 0x98});
    StageHeader header;
    EXPECT_EQ(readStageHeader(image, 0x4000, header), 6);
    EXPECT_EQ(header.stageType, 0x0102);
    EXPECT_EQ(header.stageDataAddress, 0x1234);
    EXPECT_EQ(header.sectionIndex, 7);
}

TEST_F(StageTableTest, HeaderAtEndOfBankWrapsToItsStart) {
    putBytes(0xFFFE, {0x02, 0x00});
    putBytes(0x0000, {0xAA, 0xBB, 0xCC, 0x78, 0x56, 0x03});
    setRomByte(image, kStageBank + 1, 0x0003, 0xEE); // the next bank must not be read
    StageHeader header;
    EXPECT_EQ(readStageHeader(image, 0xFFFE, header), 8);
    EXPECT_EQ(header.stageType, 2);
    EXPECT_EQ(header.stageDataAddress, 0x5678);
    EXPECT_EQ(header.sectionIndex, 3);
}

TEST_F(StageTableTest, StageNumbersPastTheTableWrapWithinTheBank) {
    putBytes(0x0002, {0x00, 0x50});
    putBytes(0xFFFE, {0x00, 0x60});
    EXPECT_EQ(stageHeaderOffset(image, 1), 0x5000);
    EXPECT_EQ(stageHeaderOffset(image, 0x8001), 0x5000);
    EXPECT_EQ(stageHeaderOffset(image, 0x7FFF), 0x6000);
    EXPECT_EQ(stageHeaderOffset(image, -1), 0x6000);
}

TEST_F(StageTableTest, StageHeaderIsFoundThroughTheTable) {
    putBytes(2 * 37, {0x10, 0x20});
    putBytes(0x2010, {0x01, 0x00, 0xFF, 0xCD, 0xAB, 0x02});
    const StageHeader header = readStageHeaderOfStage(image, 37);
    EXPECT_EQ(header.stageType, 1);
    EXPECT_EQ(header.stageDataAddress, 0xABCD);
    EXPECT_EQ(header.sectionIndex, 2);
}

} // namespace
} // namespace vexa
