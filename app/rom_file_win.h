// Reading and writing ROM files on disk.
#pragma once

#include "app/file_stamp.h"
#include "ui/path_text.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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
// `stamp`, when given, receives what the file was as it was read.
FileReadStatus readRomFile(const std::wstring& path, std::vector<std::uint8_t>& bytes, FileStamp* stamp = nullptr);

// Reads a whole file of any size up to `maxSize` (BadSize beyond); `stamp` as for
// readRomFile.
FileReadStatus readWholeFile(const std::wstring& path, std::uint64_t maxSize, std::vector<std::uint8_t>& bytes,
                             FileStamp* stamp = nullptr);

// The file as it is on disk now, against `known`, what it was when the editor last
// read or wrote it. A file only touched (same size and content, a new time) is the
// Same, with its new time in `stamp`; a file that cannot be read just now (another
// program writing it) counts as the Same until it can.
enum class DiskState { Same, Changed, Missing };
struct DiskCheck {
    DiskState state = DiskState::Same;
    FileStamp stamp;
};
// ByTime reads the content only when the write time moved. That misses a write
// within the file system's time grain (two seconds on FAT, and what some copy tools
// keep), so ByContent reads it always.
enum class DiskLook { ByTime, ByContent };
DiskCheck checkFileOnDisk(const std::wstring& path, const FileStamp& known, DiskLook look = DiskLook::ByTime);

// The stamp of a file just written with `bytes`.
FileStamp stampOfWrittenFile(const std::wstring& path, std::span<const std::uint8_t> bytes);

// Replaces the file at `path` with `bytes` so that a failure at any point leaves the
// old file whole: the bytes go to a new file in the same folder, are flushed, and
// that file then takes the old one's place in one step. Returns false if anything
// failed (the old file is then as it was).
bool writeFileReplacing(const std::wstring& path, std::span<const std::uint8_t> bytes);

// Whether the file holds exactly `bytes`; false when it cannot be read. `stamp`, when
// given, receives what the file is.
bool fileHoldsBytes(const std::wstring& path, std::span<const std::uint8_t> bytes, FileStamp* stamp = nullptr);

// Two file names compared as the file system compares them: ordinal, ignoring case
// by its own upper-casing.
bool sameFileName(std::wstring_view a, std::wstring_view b);

// Whether two paths name the same file, also through another case or a short name:
// by volume and file index when both exist, by their full long forms otherwise.
bool sameFile(const std::wstring& a, const std::wstring& b);

std::uint64_t fileTimeValue(const FILETIME& time);

// The full path of `path` against the current directory, so that a path kept by the
// editor names the same file whatever the current directory becomes later. An empty
// path, or one the system cannot resolve, is returned as it is.
std::wstring absolutePath(const std::wstring& path);

} // namespace vexa
