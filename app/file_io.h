// Whole files read and written through the standard library, for the tools. (The
// editor has its own Win32 file layer, app/rom_file_win.h.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
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

enum class FileWriteStatus {
    Ok,
    ReadOnly,    // the target exists and nobody may write it: it is left alone
    NotAFile,    // the target is a folder or another kind of entry, or a loop of links
    WriteFailed, // creating, writing, flushing, closing or renaming failed
};

// Writes `bytes` to a new file beside `path`, flushes it to the disk and then renames
// it over `path`, so the file is always whole: the old one or the new one. A link is
// written through to the file it names; an existing file keeps its permissions, and a
// read-only one is refused. On any failure the target is untouched and the temporary
// file removed.
FileWriteStatus writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// "it is read-only", "it is not a file", "the write failed": why a file could not be
// written, for a message that says what was being written.
std::string fileWriteProblem(FileWriteStatus status);

// The system calls behind writing a file, on a descriptor the platform's own open
// returned. They are the platform's own functions; tests put others in their place to
// make a call fail at a chosen point (a full disk, an error only the close reports)
// without a real faulty disk. Each returns false on failure.
struct FileWriteCalls {
    bool (*write)(int descriptor, const std::uint8_t* data, std::size_t size);
    bool (*sync)(int descriptor);
    bool (*close)(int descriptor);
};
FileWriteCalls& fileWriteCalls();

} // namespace vexa
