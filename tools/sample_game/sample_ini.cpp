#include "tools/sample_game/sample_ini.h"

#include "app/ini_file.h"
#include "app/rom_image.h"

#include <cstdio>

namespace vexa::sample {

namespace {

class IniText {
public:
    void section(std::string_view name) {
        if (!text_.empty()) text_ += "\r\n";
        text_ += "[" + std::string(name) + "]\r\n";
    }
    void comment(std::string_view text) { text_ += "; " + std::string(text) + "\r\n"; }
    void key(std::string_view key, std::string_view utf8Value) {
        text_ += std::string(key) + "=" + toShiftJis(utf8Value) + "\r\n";
    }
    void key(std::string_view key, long long value) { this->key(key, std::to_string(value)); }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// A location as rominfo.ini names it (decimal), explained for the human reader.
std::string where(std::uint32_t value) {
    return "bank " + hex(value >> 16, 2) + ", offset " + hex(value & 0xFFFF, 4);
}

} // namespace

std::string makeRomInfoIni(const SamplePlan& plan, const TableLocations& at) {
    IniText ini;
    ini.comment("MARBLE CANYON QUEST sample data, written by make_sample.");
    ini.comment("Every location is decimal: bank * 65536 + offset, or a bank and an offset.");
    ini.section("ROMInfo");
    ini.key("CartName", std::string(kDefaultCartName));

    ini.section("LevelSetting");
    ini.comment("Stage table at bank 0x3D, offset 0; headers and stage data end at " + hex(at.stageAreaEnd, 4));
    ini.key("Count", at.stageCount);
    ini.key("AvailableEnd", at.stageAreaEnd);

    ini.section("Levels");
    ini.key("Count", static_cast<long long>(plan.stages.size()));

    ini.section("LevelName");
    for (std::size_t i = 0; i < plan.stages.size(); ++i)
        ini.key(hexKey2(static_cast<int>(i)), plan.stages[i].name);

    ini.section("Maps");
    ini.comment("Terrain table at bank " + hex(at.mapInfoBank, 2) + ", offset " + hex(at.mapABInfo, 4));
    ini.key("MapInfoBank", at.mapInfoBank);
    ini.key("MapABInfo", at.mapABInfo);

    ini.section("MapChip");
    for (const TerrainPlan& t : plan.terrains)
        if (t.hasData) ini.key(hexKey2(t.number), t.chipFile);

    ini.section("FreeSpace");
    ini.comment("Unused image bytes a terrain block may move to: first-last image offset, hexadecimal");
    for (std::size_t i = 0; i < at.freeSpace.size(); ++i) {
        char range[16];
        std::snprintf(range, sizeof range, "%06X-%06X", static_cast<unsigned>(at.freeSpace[i].first),
                      static_cast<unsigned>(at.freeSpace[i].last));
        ini.key(std::to_string(i), std::string(range));
    }

    ini.section("Sprites");
    ini.comment("Sprite bank 0x3E: pointer table at offset 0, lists up to " + hex(at.spriteAvailableEnd, 4));
    ini.key("LevelCount", at.spriteLevelCount);
    ini.key("AvailableEnd", at.spriteAvailableEnd);

    ini.section("Bananas");
    ini.comment("Banana lists: " + where(at.bananaLevels) + "; banana sets: " + where(at.bananaSets));
    ini.key("Levels", at.bananaLevels);
    ini.key("BananaSets", at.bananaSets);
    ini.key("BananaSetCount", at.bananaSetCount);

    ini.section("BananaSetName");
    const auto sets = sampleBananaSets();
    for (std::size_t i = 0; i < sets.size(); ++i)
        ini.key(hexKey2(static_cast<int>(i)), sets[i].name);

    ini.section("Cameras");
    ini.comment("Camera lists: " + where(at.cameraLevels));
    ini.key("Levels", at.cameraLevels);
    return ini.take();
}

std::string makeSpritesIni() {
    IniText ini;
    ini.section("Sprites");
    ini.key("Count", kSpriteTypeCount);
    ini.section("SpriteName");
    for (int row = 0; row < kSpriteTypeCount; ++row)
        ini.key(hexKey4(row * 2), spriteTypeName(row));
    return ini.take();
}

} // namespace vexa::sample
