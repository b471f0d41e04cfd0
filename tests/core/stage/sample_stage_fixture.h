// The sample game as the stage renderer, the validator and the command-line tool see
// it: its image, its settings files parsed, its chip bitmaps decoded.
#pragma once

#include "app/image_codec.h"
#include "app/ini_file.h"
#include "app/rom_info.h"
#include "tools/sample_game/sample_game.h"
#include "tools/sample_game/sample_plan.h"

#include <optional>
#include <span>
#include <string>

namespace vexa::test {

inline const SampleGame& sampleGame() {
    static const SampleGame game = buildSampleGame();
    return game;
}

inline const sample::SamplePlan& samplePlan() {
    static const sample::SamplePlan plan = sample::makeSamplePlan();
    return plan;
}

inline std::span<const std::uint8_t> textBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// rominfo.ini and sprites.ini of the sample, with `rominfoHead` put in front: its
// sections and keys win over the sample's own.
struct SampleSettings {
    explicit SampleSettings(const std::string& rominfoHead = {})
        : rominfo(IniFile::parse(textBytes(rominfoHead + sampleGame().romInfoIni))),
          sprites(IniFile::parse(textBytes(sampleGame().spritesIni))) {}
    RomInfo info() const { return RomInfo(rominfo, sprites); }

    IniFile rominfo;
    IniFile sprites;
};

// The decoded chip bitmap [MapChip] names for a terrain.
inline std::optional<RgbaImage> sampleChips(std::uint8_t terrain) {
    const std::optional<std::string> name = SampleSettings().info().chipFileName(terrain).value;
    for (const SampleChipBitmap& bitmap : sampleGame().chipBitmaps)
        if (name && bitmap.fileName == *name) return decodeImage(bitmap.bytes);
    return std::nullopt;
}

} // namespace vexa::test
