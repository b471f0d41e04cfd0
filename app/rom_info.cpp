#include "app/rom_info.h"

#include "app/rom_image.h"

namespace vexa {

namespace {

// A table location read as a signed profile integer; its bits say bank and offset.
std::uint32_t location(const IniFile& file, const char* section, const char* key, std::uint32_t defaultValue) {
    return static_cast<std::uint32_t>(file.readInt(section, key, static_cast<int>(defaultValue)));
}

// U+FF61 ... U+FF9F are bytes 0xA1 ... 0xDF of code page 932; one half-width katakana
// is three bytes of UTF-8. A broken sequence (a stray continuation byte, a lead cut
// short) becomes one '?' and never takes the character after it along, as in the
// platform's conversion the editor uses.
std::string utf8ToJisX0201(const std::string& text) {
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::string bytes;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = byteAt(i);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::size_t end = i + 1;
        while (end < text.size() && end - i < length && (byteAt(end) & 0xC0) == 0x80)
            ++end;
        if (length == 3 && end - i == 3) {
            const unsigned code = (lead & 0x0Fu) << 12 | (byteAt(i + 1) & 0x3Fu) << 6 | (byteAt(i + 2) & 0x3Fu);
            if (code >= 0xFF61 && code <= 0xFF9F) {
                bytes += static_cast<char>(code - 0xFF61 + 0xA1);
                i = end;
                continue;
            }
        }
        bytes += '?';
        i = end;
    }
    return bytes;
}

} // namespace

std::string RomInfo::cartNameInCodePage932() const {
    const std::optional<std::string> name = cartName();
    if (!name) return std::string(kDefaultCartName);
    return rominfo_.encoding() == IniEncoding::ShiftJis ? *name : utf8ToJisX0201(*name);
}

MapTableSettings RomInfo::mapTables() const {
    MapTableSettings settings;
    settings.mapInfoBank = rominfo_.readInt("Maps", "MapInfoBank", kDefaultMapInfoBank);
    settings.mapABInfo = rominfo_.readInt("Maps", "MapABInfo", kDefaultMapABInfo);
    return settings;
}

SpriteBankSettings RomInfo::spriteBank() const {
    SpriteBankSettings settings;
    settings.levelCount = rominfo_.readInt("Sprites", "LevelCount", kDefaultSpriteLevelCount);
    settings.availableEnd = location(rominfo_, "Sprites", "AvailableEnd", kDefaultSpriteAvailableEnd);
    return settings;
}

std::uint32_t RomInfo::bananaLevels() const {
    return location(rominfo_, "Bananas", "Levels", kDefaultBananaLevels);
}

std::uint32_t RomInfo::bananaSets() const {
    return location(rominfo_, "Bananas", "BananaSets", kDefaultBananaSets);
}

int RomInfo::bananaSetCount() const {
    return rominfo_.readInt("Bananas", "BananaSetCount", kDefaultBananaSetCount);
}

std::uint32_t RomInfo::cameraLevels() const {
    return location(rominfo_, "Cameras", "Levels", kDefaultCameraLevels);
}

} // namespace vexa
