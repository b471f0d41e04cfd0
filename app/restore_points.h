// Restore points: earlier versions of a ROM file, kept in a folder beside it and
// named by the local time they were made. Only the names and the choice of what to
// keep live here; the files themselves are the platform side's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    auto operator<=>(const LocalTime&) const = default;
};

// Whether two file names name the same file. The folder lives on a file system that
// ignores case, so the stem a ROM is opened under need not be the one its restore
// points were named with.
using SameName = bool (*)(std::wstring_view, std::wstring_view);
// Ordinal, ASCII letters folded: what every Windows file system folds at least. The
// platform side passes its own, which folds the rest as the file system does.
bool sameNameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);

// A file in the restore-point folder with its last-write time (in the platform's
// own units).
struct FolderFile {
    std::wstring name;
    std::uint64_t writeTime = 0;
};

// "<ROM path>.backups": the folder beside the ROM that holds its restore points.
std::wstring restorePointFolder(std::wstring_view romPath);

// The sequence number for a new restore point made at `time`: one past the highest
// already there for that second, so that its name is new even when older ones of the
// same second have been pruned.
int nextRestorePointSequence(std::wstring_view stem, std::span<const FolderFile> files, const LocalTime& time,
                             SameName sameName = &sameNameIgnoringAsciiCase);

// "<stem>-YYYYMMDD-HHMMSS.smc", or "...-HHMMSS-<sequence>.smc" for the second and
// later restore points of the same second.
std::wstring restorePointName(std::wstring_view stem, const LocalTime& time, int sequence = 1);

struct RestorePointName {
    LocalTime time;
    int sequence = 1;
    auto operator<=>(const RestorePointName&) const = default;
};

// Reads a name restorePointName made for `stem` back; anything else in the folder
// (other files, other stems, a stem that only starts alike) is not a restore point.
std::optional<RestorePointName> parseRestorePointName(std::wstring_view stem, std::wstring_view fileName,
                                                      SameName sameName = &sameNameIgnoringAsciiCase);

// The restore points among `files`, newest first. The write time ranks them, since
// the platform side gives every new point a time past all others: the local time in
// a name goes back with summer time, a new time zone or a clock set to UTC. The name
// only orders points of the same write time.
struct RestorePointFile {
    std::wstring fileName;
    RestorePointName name;
    std::uint64_t writeTime = 0;
};
std::vector<RestorePointFile> restorePointsNewestFirst(std::wstring_view stem, std::span<const FolderFile> files,
                                                       SameName sameName = &sameNameIgnoringAsciiCase);

// The restore points to delete so that the newest `keep` stay, `justWritten` always
// among them; never a file that is not a restore point of `stem`.
std::vector<std::wstring> restorePointsBeyond(std::wstring_view stem, std::span<const FolderFile> files, int keep,
                                              std::wstring_view justWritten = {},
                                              SameName sameName = &sameNameIgnoringAsciiCase);

// How many bytes differ; bytes one image has past the other's end count too.
std::size_t countDifferingBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// "2026/12/08 13:51:33"
std::wstring restorePointTimeText(const LocalTime& time);

} // namespace vexa
