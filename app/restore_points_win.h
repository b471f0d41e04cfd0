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

// Copies the file at `romPath`, as it is on disk, into a new restore point named by
// the local time, then deletes the oldest beyond the newest `count`. A missing file
// has nothing to keep; a count of 0 or less keeps nothing and deletes nothing.
KeepResult keepRestorePoint(const std::wstring& romPath, int count);

} // namespace vexa
