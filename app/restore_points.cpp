#include "app/restore_points.h"

#include <algorithm>
#include <cwchar>

namespace vexa {

namespace {

constexpr std::wstring_view kExtension = L".smc";

// Reads exactly `count` decimal digits at `at`.
std::optional<int> digits(std::wstring_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

wchar_t asciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

} // namespace

bool sameNameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return asciiUpper(x) == asciiUpper(y); });
}

std::wstring restorePointFolder(std::wstring_view romPath) {
    return std::wstring(romPath) + L".backups";
}

std::wstring restorePointName(std::wstring_view stem, const LocalTime& time, int sequence) {
    wchar_t stamp[40];
    std::swprintf(stamp, std::size(stamp), L"-%04d%02d%02d-%02d%02d%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    std::wstring name = std::wstring(stem) + stamp;
    if (sequence > 1) name += L"-" + std::to_wstring(sequence);
    return name + std::wstring(kExtension);
}

std::optional<RestorePointName> parseRestorePointName(std::wstring_view stem, std::wstring_view fileName,
                                                      SameName sameName) {
    // stem "-" 8 digits "-" 6 digits [ "-" sequence ] ".smc", stem and extension in any case
    if (fileName.size() < stem.size() + 16 + kExtension.size() || !sameName(fileName.substr(0, stem.size()), stem))
        return std::nullopt;
    std::wstring_view rest = fileName.substr(stem.size());
    if (!sameNameIgnoringAsciiCase(rest.substr(rest.size() - kExtension.size()), kExtension)) return std::nullopt;
    rest.remove_suffix(kExtension.size());
    if (rest[0] != L'-' || rest[9] != L'-') return std::nullopt;
    const auto date = digits(rest, 1, 8);
    const auto clock = digits(rest, 10, 6);
    if (!date || !clock) return std::nullopt;
    RestorePointName name;
    name.time = {*date / 10000, *date / 100 % 100, *date % 100, *clock / 10000, *clock / 100 % 100, *clock % 100};
    if (rest.size() > 16) {
        if (rest[16] != L'-' || rest.size() > 16 + 1 + 6) return std::nullopt;
        const auto sequence = digits(rest, 17, rest.size() - 17);
        if (!sequence || *sequence < 2 || rest[17] == L'0') return std::nullopt;
        name.sequence = *sequence;
    }
    return name;
}

int nextRestorePointSequence(std::wstring_view stem, std::span<const FolderFile> files, const LocalTime& time,
                             SameName sameName) {
    int sequence = 1;
    for (const FolderFile& file : files)
        if (const auto name = parseRestorePointName(stem, file.name, sameName); name && name->time == time)
            sequence = std::max(sequence, name->sequence + 1);
    return sequence;
}

std::vector<RestorePointFile> restorePointsNewestFirst(std::wstring_view stem, std::span<const FolderFile> files,
                                                       SameName sameName) {
    std::vector<RestorePointFile> points;
    for (const FolderFile& file : files)
        if (const auto name = parseRestorePointName(stem, file.name, sameName))
            points.push_back({file.name, *name, file.writeTime});
    std::sort(points.begin(), points.end(), [](const RestorePointFile& a, const RestorePointFile& b) {
        if (a.writeTime != b.writeTime) return a.writeTime > b.writeTime;
        return a.name != b.name ? a.name > b.name : a.fileName > b.fileName;
    });
    return points;
}

std::vector<std::wstring> restorePointsBeyond(std::wstring_view stem, std::span<const FolderFile> files, int keep,
                                              std::wstring_view justWritten, SameName sameName) {
    std::vector<RestorePointFile> points = restorePointsNewestFirst(stem, files, sameName);
    // Whatever its time says, the point just written holds the file as it was before
    // this save: it is the newest there is.
    const auto written = std::find_if(points.begin(), points.end(), [&](const RestorePointFile& point) {
        return !justWritten.empty() && sameName(point.fileName, justWritten);
    });
    if (written != points.end()) std::rotate(points.begin(), written, written + 1);
    std::vector<std::wstring> beyond;
    for (std::size_t i = static_cast<std::size_t>(std::max(keep, 0)); i < points.size(); ++i)
        beyond.push_back(points[i].fileName);
    return beyond;
}

std::size_t countDifferingBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t count = std::max(a.size(), b.size()) - common;
    for (std::size_t i = 0; i < common; ++i)
        count += a[i] != b[i];
    return count;
}

std::wstring restorePointTimeText(const LocalTime& time) {
    wchar_t text[40];
    std::swprintf(text, std::size(text), L"%04d/%02d/%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

} // namespace vexa
