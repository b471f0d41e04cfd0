#include "app/ini_file.h"

#include <algorithm>
#include <cstdio>

namespace vexa {

namespace {

// Names match without regard to ASCII case; other bytes (Shift-JIS, UTF-8) must be equal.
std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return out;
}

// The profile reader counts every control character as blank.
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view stripQuotes(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::u16string utf16Units(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += bigEndian ? static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1])
                           : static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    return units;
}

} // namespace

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

IniFile IniFile::parse(std::span<const std::uint8_t> bytes) {
    IniFile ini;
    std::string text;
    if (bytes.size() >= 2 && (bytes[0] == 0xFF && bytes[1] == 0xFE)) {
        text = utf16ToUtf8(utf16Units(bytes.subspan(2), false));
        ini.encoding_ = IniEncoding::Utf8;
    } else if (bytes.size() >= 2 && (bytes[0] == 0xFE && bytes[1] == 0xFF)) {
        text = utf16ToUtf8(utf16Units(bytes.subspan(2), true));
        ini.encoding_ = IniEncoding::Utf8;
    } else if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        text.assign(bytes.begin() + 3, bytes.end());
        ini.encoding_ = IniEncoding::Utf8;
    } else {
        text.assign(bytes.begin(), bytes.end());
    }

    // Lines end at CR, LF or CR LF. Shift-JIS trail bytes are never below 0x40, so
    // neither line ends, blanks, '=' nor quotes can hide inside a Japanese character.
    Section* current = nullptr; // null before the first section and inside a repeated one
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string_view line = trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            std::string_view name = line.substr(1);
            if (const auto close = name.rfind(']'); close != std::string_view::npos) name = name.substr(0, close);
            name = trim(name);
            current = nullptr;
            if (ini.sectionIndex_.emplace(asciiLower(name), ini.sections_.size()).second) {
                ini.sections_.push_back({std::string(name), {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        if (!current) continue;
        const auto eq = line.find('=');
        const std::string_view key = trim(line.substr(0, eq));
        const std::string_view value = eq == std::string_view::npos ? std::string_view() : trim(line.substr(eq + 1));
        const std::size_t section = static_cast<std::size_t>(current - ini.sections_.data());
        if (ini.entryIndex_.emplace(entryName(section, key), current->entries.size()).second)
            current->entries.push_back({std::string(key), std::string(value)});
    }
    return ini;
}

// The section's number in front of the key, in a fixed width, so that no two pairs of
// section and key give the same name.
std::string IniFile::entryName(std::size_t section, std::string_view key) {
    std::string name(sizeof section, '\0');
    for (std::size_t i = 0; i < sizeof section; ++i)
        name[i] = static_cast<char>(section >> (8 * i));
    return name + asciiLower(key);
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
    const auto found = sectionIndex_.find(asciiLower(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s) return std::nullopt;
    const auto found = entryIndex_.find(entryName(static_cast<std::size_t>(s - sections_.data()), key));
    if (found == entryIndex_.end()) return std::nullopt;
    return std::string(stripQuotes(s->entries[found->second].value));
}

int IniFile::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto text = value(section, key);
    if (!text || text->empty()) return defaultValue;
    // The platform reads the value into a 30-character buffer before converting it.
    return parseProfileInt(std::string_view(*text).substr(0, 29));
}

int parseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        switch (text[i + 1]) {
        // The platform takes the prefixes in lower case only: "0X10" reads as 0.
        case 'x':
            base = 16;
            i += 2;
            break;
        case 'o':
            base = 8;
            i += 2;
            break;
        case 'b':
            base = 2;
            i += 2;
            break;
        default: break;
        }
    }
    std::uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'z')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'Z')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return static_cast<int>(negative ? 0u - total : total);
}

std::string decimalKey(int number) {
    return std::to_string(number);
}

std::string hexKey2(int number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(number));
    return buffer;
}

std::string hexKey4(int number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(number));
    return buffer;
}

std::wstring hexText2(int number) {
    const std::string key = hexKey2(number);
    return {key.begin(), key.end()};
}

std::wstring hexText4(int number) {
    const std::string key = hexKey4(number);
    return {key.begin(), key.end()};
}

std::wstring groupedNumber(std::size_t value) {
    std::wstring digits = std::to_wstring(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, L",");
    return digits;
}

} // namespace vexa
