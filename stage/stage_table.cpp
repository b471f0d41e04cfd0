#include "stage/stage_table.h"

#include "app/rom_image.h"

namespace vexa {

int readStageHeader(std::span<const std::uint8_t> image, unsigned headerOffset, StageHeader& header) {
    header.stageType = romWord(image, kStageBank, headerOffset);
    // Type 2 headers carry two more bytes in front of the data address.
    const unsigned skip = header.stageType == 2 ? 4 : 2;
    header.stageDataAddress = romWord(image, kStageBank, headerOffset + skip + 1);
    header.sectionIndex = romByte(image, kStageBank, headerOffset + skip + 3);
    return static_cast<int>(skip + 4);
}

std::uint16_t stageHeaderOffset(std::span<const std::uint8_t> image, int stageNumber) {
    // Unsigned arithmetic makes the doubling wrap within the bank for any number.
    return romWord(image, kStageBank, (static_cast<unsigned>(stageNumber) * 2u) & 0xFFFFu);
}

StageHeader readStageHeaderOfStage(std::span<const std::uint8_t> image, int stageNumber) {
    StageHeader header;
    readStageHeader(image, stageHeaderOffset(image, stageNumber), header);
    return header;
}

} // namespace vexa
