#include "app/rom_file_win.h"

#include "app/rom_image.h"

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

FileReadStatus readRomFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    FileHandle file(fileSystemCalls().createFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return FileReadStatus::CannotOpen;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return FileReadStatus::CannotOpen;
    if (!isAcceptedRomFileSize(static_cast<std::uint64_t>(size.QuadPart))) return FileReadStatus::BadSize;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size.QuadPart));
    if (!readExactly(file.get(), data.data(), data.size())) return FileReadStatus::ReadFailed;
    bytes = std::move(data);
    return FileReadStatus::Ok;
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
