// Restore points on disk: the copies of a ROM file kept before each save replaces
// it, in the folder "<ROM path>.backups".
#pragma once

#include "app/restore_points.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vexa {

struct RestorePoint {
    std::wstring path;
    LocalTime time;
};

// The restore points of `romPath`, newest first.
std::vector<RestorePoint> listRestorePoints(const std::wstring& romPath);

enum class KeepResult { Kept, NothingToKeep, Failed };
struct KeptRestorePoint {
    KeepResult result = KeepResult::NothingToKeep;
    std::wstring fileName; // the new restore point's name, when Kept
};

// Copies the file at `romPath`, as it is on disk, into a new restore point named by
// the local time and newest of all. A missing file has nothing to keep, and neither
// has one whose bytes the newest restore point already holds; a count of 0 or less
// keeps nothing.
KeptRestorePoint keepRestorePoint(const std::wstring& romPath, int count);

// Deletes the oldest restore points beyond the newest `count`, never `justWritten`
// (the name keepRestorePoint gave). A count of 0 or less deletes nothing.
void pruneRestorePoints(const std::wstring& romPath, int count, const std::wstring& justWritten);

} // namespace vexa
