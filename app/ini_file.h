// Read-only INI files (rominfo.ini, sprites.ini), parsed the way the Windows profile
// functions read them, but decoded independently of the system code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vexa {

// The encoding of the values an IniFile hands out. Files without a byte-order mark
// are Shift-JIS (code page 932) and their values are kept as those bytes; files with
// a UTF-8 or UTF-16 mark are handed out as UTF-8.
enum class IniEncoding { ShiftJis, Utf8 };

class IniFile {
public:
    IniFile() = default;
    static IniFile parse(std::span<const std::uint8_t> bytes);

    IniEncoding encoding() const { return encoding_; }

    // The value of a key as the profile reader returns it: trimmed of blanks, one pair
    // of enclosing quotes removed. Section and key names match without regard to
    // ASCII case; the first section and the first key of a name win.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // An integer as GetPrivateProfileIntW reads it: the default when the key is
    // missing or empty, otherwise parseProfileInt of the value.
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Section* findSection(std::string_view name) const;
    static std::string entryName(std::size_t section, std::string_view key);

    IniEncoding encoding_ = IniEncoding::ShiftJis;
    // Only the first section and the first key of a name are ever read, so later ones
    // are dropped while parsing. The rest are found through their ASCII lower case
    // without walking the file: a list box asks for one name per line, tens of
    // thousands of times.
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;
    std::unordered_map<std::string, std::size_t> entryIndex_; // by entryName()
};

// The number the platform's profile reader makes of a value: leading blanks skipped,
// an optional sign, a lower-case 0x/0o/0b prefix choosing the base, then digits up to the first
// character that is not one; wraps modulo 2^32 like the platform does. "abc" is 0.
int parseProfileInt(std::string_view text);

// Entry keys: list positions as "%d", stage, banana set and chip numbers as "%02X",
// sprite types as "%04X".
std::string decimalKey(int number);
std::string hexKey2(int number);
std::string hexKey4(int number);
// The same numbers as list lines and fields show them.
std::wstring hexText2(int number);
std::wstring hexText4(int number);
// A count with its thousands grouped: "1,234".
std::wstring groupedNumber(std::size_t value);

// UTF-16LE code units to UTF-8 (unpaired surrogates become U+FFFD).
std::string utf16ToUtf8(std::u16string_view text);

} // namespace vexa
