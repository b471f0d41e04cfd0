#include "app/file_io.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace vexa {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
int openNew(const fs::path& path) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

bool writeAll(int descriptor, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
        const int written = _write(descriptor, data, chunk);
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool syncFile(int descriptor) {
    return _commit(descriptor) == 0;
}

bool closeFile(int descriptor) {
    return _close(descriptor) == 0;
}

// Windows has no way to flush a folder's entries; its rename is made durable by the
// file system's own journal.
void syncFolder(const fs::path&) {}
#else
int openNew(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

bool writeAll(int descriptor, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, std::min<std::size_t>(size, 1u << 30));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool syncFile(int descriptor) {
    return ::fsync(descriptor) == 0;
}

bool closeFile(int descriptor) {
    return ::close(descriptor) == 0;
}

// The rename lives in the folder's entries: until they reach the disk, a power cut
// can bring the old name back. A folder that cannot be opened or flushed (some
// network file systems) changes nothing of what is written.
void syncFolder(const fs::path& folder) {
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}
#endif

// The file a chain of links ends at; empty for a loop or a chain too long to follow.
// A link to a file not there yet names the file to create.
fs::path followLinks(fs::path path) {
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error)) || error) return path;
        const fs::path target = fs::read_symlink(path, error);
        if (error) return {};
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return {};
}

// A new file "~<name>.<n>.tmp" beside the target, as the editor names its own, opened
// for writing; n is drawn again while a file of that name exists.
int createTemporaryBeside(const fs::path& path, fs::path& temporary) {
    std::random_device seed;
    std::mt19937 numbers(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path name = "~";
        name += path.filename();
        name += "." + std::to_string(numbers() % 1000000) + ".tmp";
        temporary = path.parent_path() / name;
        const int descriptor = openNew(temporary);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

} // namespace

FileWriteCalls& fileWriteCalls() {
    static FileWriteCalls calls{&writeAll, &syncFile, &closeFile};
    return calls;
}

FileBytes readFileBytes(const std::filesystem::path& path, std::uintmax_t maxSize) {
    FileBytes result;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        result.status = FileBytesStatus::Missing;
        return result;
    }
    if (error) return result;
    if (status.type() != fs::file_type::regular) {
        result.status = FileBytesStatus::NotAFile;
        return result;
    }
    result.size = fs::file_size(path, error);
    if (error) return result;
    if (result.size > maxSize) {
        result.status = FileBytesStatus::TooLarge;
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return result;
    result.bytes.resize(static_cast<std::size_t>(result.size));
    in.read(reinterpret_cast<char*>(result.bytes.data()), static_cast<std::streamsize>(result.bytes.size()));
    // A file that shrank while it was read is not what its size said.
    if (in.gcount() != static_cast<std::streamsize>(result.bytes.size())) {
        result.bytes.clear();
        return result;
    }
    result.status = FileBytesStatus::Ok;
    return result;
}

FileWriteStatus writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    // Renaming over a link would put a file in the link's place and leave the file it
    // names as it was.
    const fs::path target = followLinks(path);
    if (target.empty()) return FileWriteStatus::NotAFile;
    std::error_code error;
    const fs::file_status existing = fs::status(target, error);
    const bool exists = !error && fs::exists(existing);
    if (exists && !fs::is_regular_file(existing)) return FileWriteStatus::NotAFile;
    // The folder's permissions let a rename replace a file its mode keeps from being
    // written; the mode is the owner's word, also for root.
    if (exists && (existing.permissions() & kAnyWrite) == fs::perms::none) return FileWriteStatus::ReadOnly;

    fs::path temporary;
    const int descriptor = createTemporaryBeside(target, temporary);
    if (descriptor < 0) return FileWriteStatus::WriteFailed;
    const FileWriteCalls& calls = fileWriteCalls();
    bool ok = calls.write(descriptor, bytes.data(), bytes.size()) && calls.sync(descriptor);
    // Some file systems (network shares, quotas) report a failed write only at close.
    ok = calls.close(descriptor) && ok;
    if (ok && exists) {
        fs::permissions(temporary, existing.permissions(), error);
        ok = !error;
    }
    if (ok) {
        fs::rename(temporary, target, error);
        ok = !error;
    }
    if (!ok) {
        fs::remove(temporary, error);
        return FileWriteStatus::WriteFailed;
    }
    syncFolder(target.parent_path());
    return FileWriteStatus::Ok;
}

std::string fileWriteProblem(FileWriteStatus status) {
    switch (status) {
    case FileWriteStatus::Ok: return {};
    case FileWriteStatus::ReadOnly: return "it is read-only";
    case FileWriteStatus::NotAFile: return "it is not a file";
    case FileWriteStatus::WriteFailed: return "the write failed";
    }
    return "the write failed";
}

} // namespace vexa
