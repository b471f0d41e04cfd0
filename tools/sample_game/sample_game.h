// The sample game: a complete ROM image of the game's layout with everything the
// editor reads beside it, drawn and laid out by this program alone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vexa {

inline constexpr char kSampleRomFileName[] = "sample.smc";
inline constexpr char kSampleChipFolder[] = "chips";

struct SampleChipBitmap {
    std::string fileName;            // as [MapChip] names it
    std::vector<std::uint8_t> bytes; // a Windows bitmap file
};

struct SampleGame {
    std::vector<std::uint8_t> image; // 4 MiB in HiROM order
    std::string romInfoIni;          // Shift-JIS, CR LF line ends
    std::string spritesIni;
    std::vector<SampleChipBitmap> chipBitmaps;
};

// How the ROM file stores the image.
struct SampleFileOptions {
    bool copierHeader = false;
    bool interleaved = false;
};

// Always the same game: every choice comes from fixed seeds.
SampleGame buildSampleGame();

// The bytes of sample.smc in the given layout.
std::vector<std::uint8_t> sampleRomFile(const SampleGame& game, const SampleFileOptions& options);

// Writes sample.smc, rominfo.ini, sprites.ini and chips/<name>.bmp into `folder`,
// creating it. False when a file could not be written.
bool writeSampleGame(const SampleGame& game, const std::filesystem::path& folder, const SampleFileOptions& options);

} // namespace vexa
