// Reading and writing ROM files on disk.
#pragma once

#include "app/path_text.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vexa {

// The system calls behind reading and replacing files. They are the Win32 functions
// themselves; tests put others in their place to make a call fail at a chosen point
// (a full disk, a write cut short, a replace refused) without a real faulty disk.
struct FileSystemCalls {
    decltype(&CreateFileW) createFile = &CreateFileW;
    decltype(&ReadFile) readFile = &ReadFile;
    decltype(&WriteFile) writeFile = &WriteFile;
    decltype(&FlushFileBuffers) flushFileBuffers = &FlushFileBuffers;
    decltype(&MoveFileExW) moveFileEx = &MoveFileExW;
};
FileSystemCalls& fileSystemCalls();

enum class FileReadStatus {
    Ok,
    CannotOpen, // missing, a folder, locked or not readable: the caller stays silent
    BadSize,    // neither of the two ROM file sizes
    ReadFailed, // a read error or a short read
};

// Reads a whole ROM file, sharing it for reading with others. Only files of one of
// the two accepted sizes are read into `bytes`; on any failure `bytes` is untouched.
FileReadStatus readRomFile(const std::wstring& path, std::vector<std::uint8_t>& bytes);

// Replaces the file at `path` with `bytes` so that a failure at any point leaves the
// old file whole: the bytes go to a new file in the same folder, are flushed, and
// that file then takes the old one's place in one step. Returns false if anything
// failed (the old file is then as it was).
bool writeFileReplacing(const std::wstring& path, std::span<const std::uint8_t> bytes);

// The full path of `path` against the current directory, so that a path kept by the
// editor names the same file whatever the current directory becomes later. An empty
// path, or one the system cannot resolve, is returned as it is.
std::wstring absolutePath(const std::wstring& path);

} // namespace vexa
