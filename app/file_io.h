// Whole files read and written through the standard library, for the tools. (The
// editor has its own Win32 file layer, app/rom_file_win.h.)
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace vexa {

enum class FileBytesStatus {
    Ok,
    Missing,    // no such file
    NotAFile,   // a folder or another kind of entry
    TooLarge,   // larger than the caller allows
    ReadFailed, // could not be opened or read
};

struct FileBytes {
    FileBytesStatus status = FileBytesStatus::ReadFailed;
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0; // the file's size when known, also when it was too large
};

FileBytes readFileBytes(const std::filesystem::path& path, std::uintmax_t maxSize);

// Writes `bytes` to a new file beside `path` and then renames it over `path`, so the
// file is always whole: the old one or the new one. False (and the temporary file
// removed) on any failure.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace vexa
