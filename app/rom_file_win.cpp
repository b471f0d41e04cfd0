#include "app/rom_file_win.h"

#include "app/rom_image.h"

#include <algorithm>
#include <optional>

namespace vexa {

FileSystemCalls& fileSystemCalls() {
    static FileSystemCalls calls;
    return calls;
}

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (valid()) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    void close() {
        if (valid()) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

// ReadFile and WriteFile move at most 4 GiB a call; ROM files are far below that,
// but a loop keeps short transfers honest.
bool readExactly(HANDLE file, std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        DWORD done = 0;
        if (!fileSystemCalls().readFile(file, data, static_cast<DWORD>(size), &done, nullptr) || done == 0)
            return false;
        data += done;
        size -= done;
    }
    return true;
}

bool writeExactly(HANDLE file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        DWORD done = 0;
        if (!fileSystemCalls().writeFile(file, data, static_cast<DWORD>(size), &done, nullptr) || done == 0)
            return false;
        data += done;
        size -= done;
    }
    return true;
}

std::wstring folderOf(const std::wstring& path) {
    const PathSplit split = splitPath(path);
    return split.hasFolder ? std::wstring(split.folder) : std::wstring(L".");
}

} // namespace

bool sameFileName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

namespace {

struct FileIdentity {
    DWORD volume = 0, indexHigh = 0, indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const std::wstring& path) {
    // No access asked for: even a file another program holds locked tells who it is.
    FileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// The full path with every short name spelt out; only the full path for a file that
// is not there.
std::wstring longPath(const std::wstring& path) {
    const std::wstring full = absolutePath(path);
    const DWORD needed = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (needed == 0) return full;
    std::wstring spelt(needed, L'\0');
    const DWORD length = GetLongPathNameW(full.c_str(), spelt.data(), needed);
    if (length == 0 || length >= needed) return full;
    spelt.resize(length);
    return spelt;
}

} // namespace

bool sameFile(const std::wstring& a, const std::wstring& b) {
    const std::optional<FileIdentity> first = identityOf(a);
    const std::optional<FileIdentity> second = identityOf(b);
    if (first || second) return first == second;
    return sameFileName(longPath(a), longPath(b));
}

std::wstring absolutePath(const std::wstring& path) {
    if (path.empty()) return path;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

std::uint64_t fileTimeValue(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

namespace {

// Size and last-write time, or nothing for a file that is not there (or is a folder).
std::optional<FileStamp> statFile(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    FileStamp stamp;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime = fileTimeValue(data.ftLastWriteTime);
    return stamp;
}

template <typename SizeAccepted>
FileReadStatus readFile(const std::wstring& path, std::vector<std::uint8_t>& bytes, FileStamp* stamp,
                        SizeAccepted sizeAccepted) {
    FileHandle file(fileSystemCalls().createFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return FileReadStatus::CannotOpen;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FileReadStatus::CannotOpen;
    const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (!sizeAccepted(size)) return FileReadStatus::BadSize;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    if (!readExactly(file.get(), data.data(), data.size())) return FileReadStatus::ReadFailed;
    // The handle shares reading only, so nobody wrote the file while it was read:
    // the time taken before the read belongs to these bytes.
    if (stamp) *stamp = {size, fileTimeValue(info.ftLastWriteTime), contentHash(data)};
    bytes = std::move(data);
    return FileReadStatus::Ok;
}

} // namespace

FileReadStatus readRomFile(const std::wstring& path, std::vector<std::uint8_t>& bytes, FileStamp* stamp) {
    return readFile(path, bytes, stamp, [](std::uint64_t size) { return isAcceptedRomFileSize(size); });
}

FileReadStatus readWholeFile(const std::wstring& path, std::uint64_t maxSize, std::vector<std::uint8_t>& bytes,
                             FileStamp* stamp) {
    return readFile(path, bytes, stamp, [maxSize](std::uint64_t size) { return size <= maxSize; });
}

DiskCheck checkFileOnDisk(const std::wstring& path, const FileStamp& known, DiskLook look) {
    const std::optional<FileStamp> now = statFile(path);
    if (!now) return {DiskState::Missing, known};
    if (now->size != known.size) return {DiskState::Changed, *now};
    if (look == DiskLook::ByTime && now->writeTime == known.writeTime) return {DiskState::Same, known};
    std::vector<std::uint8_t> bytes;
    FileStamp read;
    if (readFile(path, bytes, &read, [](std::uint64_t) { return true; }) != FileReadStatus::Ok)
        return {DiskState::Same, known};
    return {read.sameContent(known) ? DiskState::Same : DiskState::Changed, read};
}

bool fileHoldsBytes(const std::wstring& path, std::span<const std::uint8_t> bytes, FileStamp* stamp) {
    std::vector<std::uint8_t> held;
    return readFile(path, held, stamp, [&](std::uint64_t size) { return size == bytes.size(); }) ==
               FileReadStatus::Ok &&
           std::equal(held.begin(), held.end(), bytes.begin(), bytes.end());
}

FileStamp stampOfWrittenFile(const std::wstring& path, std::span<const std::uint8_t> bytes) {
    FileStamp stamp = statFile(path).value_or(FileStamp{});
    stamp.contentHash = contentHash(bytes);
    return stamp;
}

bool writeFileReplacing(const std::wstring& path, std::span<const std::uint8_t> bytes) {
    // A read-only file is not ours to replace. Windows refuses that rename by itself,
    // but not every implementation of the API does.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    // The new content is written next to the old file, so the final rename never
    // crosses volumes and is atomic.
    const std::wstring folder = folderOf(path);
    std::wstring temp;
    for (unsigned attempt = GetTickCount(); temp.empty() || GetFileAttributesW(temp.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++attempt)
        temp = folder + L"\\~" + fileNamePart(path) + L"." + std::to_wstring(attempt % 100000) + L".tmp";

    const FileSystemCalls& calls = fileSystemCalls();
    FileHandle file(
        calls.createFile(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const bool written = writeExactly(file.get(), bytes.data(), bytes.size()) && calls.flushFileBuffers(file.get());
    file.close();
    if (written && calls.moveFileEx(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

} // namespace vexa
