// Any bytes as rominfo.ini or sprites.ini: the parser must take them in any encoding
// without reading past them, and every lookup the editor makes must answer with a
// value trimmed the way the profile reader trims it.
#include "app/ini_file.h"
#include "fuzz/fuzz_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

namespace {

using namespace vexa;

// Well-formed UTF-8, as the parser hands out the values of files with a UTF-16 mark.
bool isUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t extra;
        if (lead < 0x80)
            extra = 0;
        else if ((lead & 0xE0) == 0xC0)
            extra = 1;
        else if ((lead & 0xF0) == 0xE0)
            extra = 2;
        else if ((lead & 0xF8) == 0xF0)
            extra = 3;
        else
            return false;
        if (s.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

// Every section and key the editor reads, with the keys of numbered entries.
struct Lookup {
    const char* section;
    const char* key;
};
constexpr Lookup kLookups[] = {
    {"ROMInfo", "CartName"}, {"LevelSetting", "Count"}, {"LevelSetting", "AvailableEnd"}, {"Levels", "Count"},
    {"Maps", "MapInfoBank"}, {"Maps", "MapABInfo"},     {"Sprites", "LevelCount"},        {"Sprites", "AvailableEnd"},
    {"Sprites", "Count"},    {"Bananas", "Levels"},     {"Bananas", "BananaSets"},        {"Bananas", "BananaSetCount"},
    {"Cameras", "Levels"},
};
constexpr const char* kNumberedSections[] = {"LevelName", "MapChip", "BananaSetName"};

void checkValue(const IniFile& ini, std::string_view section, std::string_view key, bool utf16) {
    const auto value = ini.value(section, key);
    if (!value) {
        FUZZ_CHECK(ini.readInt(section, key, 12345) == 12345);
        return;
    }
    // A value never runs over the end of its line.
    FUZZ_CHECK(value->find_first_of("\r\n") == std::string::npos);
    if (utf16) FUZZ_CHECK(isUtf8(*value));
    const int number = ini.readInt(section, key, 12345);
    if (value->empty()) FUZZ_CHECK(number == 12345);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const IniFile ini = IniFile::parse(bytes);
    const bool utf16 = size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
    FUZZ_CHECK(ini.encoding() == (utf16 || (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
                                      ? IniEncoding::Utf8
                                      : IniEncoding::ShiftJis));
    for (const Lookup& lookup : kLookups)
        checkValue(ini, lookup.section, lookup.key, utf16);
    for (const char* section : kNumberedSections)
        for (int n = 0; n < 0x100; n += 0x11)
            checkValue(ini, section, hexKey2(n), utf16);
    for (int type = 0; type < 0x40; type += 2)
        checkValue(ini, "SpriteName", hexKey4(type), utf16);

    // The number reader on the raw text as well, whatever it holds.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)parseProfileInt(text);
    // Parsing is a pure function of the bytes.
    const IniFile again = IniFile::parse(bytes);
    for (const Lookup& lookup : kLookups)
        FUZZ_CHECK(again.value(lookup.section, lookup.key) == ini.value(lookup.section, lookup.key));
    return 0;
}
