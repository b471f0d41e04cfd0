#include "app/recent_list.h"

#include "app/text_buffer.h"

#include <cstdio>

namespace vexa {

namespace {

unsigned codeUnit(wchar_t c) {
    return static_cast<unsigned>(c);
}

// Simple case folding (to lower case) of the scripts a ROM path is likely to use.
// Pairs inside Latin Extended-A and Cyrillic alternate upper, lower.
unsigned foldCase(unsigned c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20; // U+00D7 is the multiplication sign
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (c == 0x178) return 0xFF;
        const bool upperIsEven = c < 0x138 || (c >= 0x14A && c < 0x178);
        return (c % 2 == 0) == upperIsEven ? c + 1 : c;
    }
    if (c >= 0x386 && c <= 0x3AB) {
        if (c == 0x386) return 0x3AC;
        if (c >= 0x388 && c <= 0x38A) return c + 0x25;
        if (c == 0x38C) return 0x3CC;
        if (c == 0x38E || c == 0x38F) return c + 0x3F;
        if (c >= 0x391 && c != 0x3A2) return c + 0x20;
        return c;
    }
    if (c == 0x3C2) return 0x3C3; // final sigma
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return c % 2 == 0 ? c + 1 : c;
    if (c == 0x4C0) return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE) return c % 2 == 1 ? c + 1 : c;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
    return c;
}

std::wstring decimal(long long value) {
    return std::to_wstring(value);
}

} // namespace

bool equalPathsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(codeUnit(a[i])) != foldCase(codeUnit(b[i]))) return false;
    return true;
}

std::wstring recentFileText(std::size_t position, std::wstring_view path, bool mnemonic) {
    std::wstring text = mnemonic ? L"&" : L"";
    text += decimal(static_cast<long long>(position));
    text += L' ';
    text += path;
    return cutToBuffer(std::move(text), kRecentFileTextChars);
}

std::wstring recentLevelText(std::int32_t number, std::wstring_view name) {
    // "%02X" of a negative number prints its 32-bit pattern.
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(static_cast<std::uint32_t>(number)));
    std::wstring text(hex, hex + std::char_traits<char>::length(hex));
    text += L": ";
    text += name;
    return cutToBuffer(std::move(text), kRecentLevelTextChars);
}

void RecentFileList::load(const ReadValue& read) {
    list.clear();
    for (std::size_t i = 0; i < kRecentCapacity; ++i) {
        std::wstring path = read(decimal(static_cast<long long>(i)));
        if (path.empty()) break;
        list.push_back(std::move(path));
    }
    mnemonics = true;
}

void RecentFileList::addFile(const std::wstring& path) {
    if (path.empty()) return;
    moveToFront(path, [](const std::wstring& a, const std::wstring& b) { return equalPathsIgnoringCase(a, b); });
    mnemonics = false;
}

void RecentFileList::clear() {
    list.clear();
}

std::vector<RecentMenuItem> RecentFileList::menuItems() const {
    std::vector<RecentMenuItem> items;
    for (std::size_t j = 0; j < list.size(); ++j)
        items.push_back({kRecentFileFirstCommand + static_cast<int>(j), recentFileText(j, list[j], mnemonics)});
    return items;
}

ProfileWrites RecentFileList::savedValues() const {
    ProfileWrites writes;
    for (std::size_t j = 0; j < list.size(); ++j)
        writes.emplace_back(decimal(static_cast<long long>(j)), list[j]);
    return writes;
}

ProfileWrites RecentFileList::clearedValues() {
    ProfileWrites writes;
    for (std::size_t j = 0; j < kRecentCapacity; ++j)
        writes.emplace_back(decimal(static_cast<long long>(j)), L"");
    return writes;
}

void RecentLevelList::load(const ReadNumber& read) {
    list.clear();
    for (std::size_t i = 0; i < kRecentCapacity; ++i) {
        const std::int32_t number = read(decimal(static_cast<long long>(i)));
        if (number == kNoRecentLevel) break;
        list.push_back(number);
    }
}

void RecentLevelList::addLevel(std::int32_t number) {
    if (number == kNoRecentLevel) return;
    moveToFront(number, [](std::int32_t a, std::int32_t b) { return a == b; });
}

std::vector<RecentMenuItem> RecentLevelList::menuItems(const StageName& name) const {
    std::vector<RecentMenuItem> items;
    for (std::size_t j = 0; j < list.size(); ++j)
        items.push_back({kRecentLevelFirstCommand + static_cast<int>(j), recentLevelText(list[j], name(list[j]))});
    return items;
}

ProfileWrites RecentLevelList::savedValues() const {
    ProfileWrites writes;
    for (std::size_t j = 0; j < kRecentCapacity; ++j) {
        const long long value = j < list.size() ? list[j] : kNoRecentLevel;
        writes.emplace_back(decimal(static_cast<long long>(j)), decimal(value));
    }
    return writes;
}

} // namespace vexa
