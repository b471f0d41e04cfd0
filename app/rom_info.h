// rominfo.ini and sprites.ini as the editor reads them: each value by its name, with
// the default the editor uses when the key is missing. Numbers come back as the
// profile reader makes them; names come back with the file's encoding, for the Win32
// side to widen.
#pragma once

#include "app/ini_file.h"
#include "app/rom_settings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vexa {

// A name as a settings file holds it: its bytes in the file's encoding, or nothing
// when the key is missing.
struct IniName {
    std::optional<std::string> value;
    IniEncoding encoding = IniEncoding::ShiftJis;
};

class RomInfo {
public:
    RomInfo(const IniFile& rominfo, const IniFile& sprites) : rominfo_(rominfo), sprites_(sprites) {}

    // rominfo.ini
    std::optional<std::string> cartName() const { return rominfo_.value("ROMInfo", "CartName"); }
    // The title to look for in the image, as the cartridge stores it (code page 932
    // bytes); kDefaultCartName when the key is missing. From a UTF-8 or UTF-16 file only
    // the characters of JIS X 0201 (ASCII and half-width katakana), which are all a
    // title holds, convert; any other becomes '?'. (The editor converts through Win32.)
    std::string cartNameInCodePage932() const;
    int stageCount() const { return rominfo_.readInt("Levels", "Count", kDefaultStageCount); }
    IniName levelName(int stage) const { return name(rominfo_, "LevelName", hexKey2(stage)); }
    MapTableSettings mapTables() const;
    IniName chipFileName(int terrain) const { return name(rominfo_, "MapChip", hexKey2(terrain)); }
    SpriteBankSettings spriteBank() const;
    std::uint32_t bananaLevels() const;
    std::uint32_t bananaSets() const;
    int bananaSetCount() const;
    IniName bananaSetName(int set) const { return name(rominfo_, "BananaSetName", hexKey2(set)); }
    std::uint32_t cameraLevels() const;

    // sprites.ini
    int spriteTypeCount() const { return sprites_.readInt("Sprites", "Count", kDefaultSpriteTypeCount); }
    IniName spriteTypeName(int type) const { return name(sprites_, "SpriteName", hexKey4(type)); }

    const IniFile& rominfoFile() const { return rominfo_; }

private:
    static IniName name(const IniFile& file, const char* section, const std::string& key) {
        return {file.value(section, key), file.encoding()};
    }

    const IniFile& rominfo_;
    const IniFile& sprites_;
};

} // namespace vexa
