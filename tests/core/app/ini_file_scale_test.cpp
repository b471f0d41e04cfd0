// rominfo.ini and sprites.ini may name tens of thousands of entries, and the stage
// and sprite type lists look every one of them up: a lookup must not walk the file.
#include "app/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace vexa {
namespace {

TEST(IniFileScale, EveryNameOfAFullListIsFoundWithoutScanningTheSection) {
    constexpr int kNames = 0x8000; // the most lines the stage list shows
    std::string text = "[LevelName]\r\n";
    for (int n = 0; n < kNames; ++n)
        text += hexKey2(n) + "=Stage " + std::to_string(n) + "\r\n";
    text += "[levelname]\r\n00=a second section of the same name is never read\r\n";
    const IniFile ini = IniFile::parse({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});

    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < kNames; ++n)
        ASSERT_EQ(ini.value("LEVELNAME", hexKey2(n)), "Stage " + std::to_string(n));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // A scan per lookup takes about half a billion comparisons here, many seconds even
    // in an optimised build; an indexed lookup takes a few milliseconds.
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}

} // namespace
} // namespace vexa
