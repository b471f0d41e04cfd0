#include "app/restore_points_win.h"

#include "app/rom_file_win.h"
#include "ui/path_text.h"

namespace vexa {

namespace {

// Anything larger is not a ROM another tool wrote but something else entirely.
constexpr std::uint64_t kLargestKeptFile = 64u << 20;
// The coarsest write time a file system keeps (FAT's two seconds), in FILETIME units.
constexpr std::uint64_t kWriteTimeGrain = 2 * 10'000'000;

std::vector<FolderFile> filesIn(const std::wstring& folder) {
    std::vector<FolderFile> files;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back({found.cFileName, fileTimeValue(found.ftLastWriteTime)});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

LocalTime localTimeNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Restore points rank by write time, so a new one must be written after the newest
// there, also when the clock has gone back since that one was made.
void placeAfter(const std::wstring& path, std::uint64_t newest) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        fileTimeValue(data.ftLastWriteTime) > newest)
        return;
    const std::uint64_t later = newest + kWriteTimeGrain;
    const FILETIME time{static_cast<DWORD>(later), static_cast<DWORD>(later >> 32)};
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

} // namespace

std::vector<RestorePoint> listRestorePoints(const std::wstring& romPath) {
    const std::wstring folder = restorePointFolder(romPath);
    std::vector<RestorePoint> points;
    for (const RestorePointFile& file : restorePointsNewestFirst(fileStemPart(romPath), filesIn(folder), &sameFileName))
        points.push_back({folder + L"\\" + file.fileName, file.name.time});
    return points;
}

KeptRestorePoint keepRestorePoint(const std::wstring& romPath, int count) {
    if (count <= 0) return {};
    std::vector<std::uint8_t> bytes;
    switch (readWholeFile(romPath, kLargestKeptFile, bytes)) {
    case FileReadStatus::Ok: break;
    case FileReadStatus::CannotOpen:
        if (GetFileAttributesW(romPath.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
        return {KeepResult::Failed};
    default: return {KeepResult::Failed};
    }
    const std::wstring folder = restorePointFolder(romPath);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && !isFolder(folder)) return {KeepResult::Failed};

    const std::wstring stem = fileStemPart(romPath);
    const std::vector<FolderFile> files = filesIn(folder);
    const std::vector<RestorePointFile> points = restorePointsNewestFirst(stem, files, &sameFileName);
    // A save that fails, or one of a file nobody changed, would otherwise leave one
    // more copy of the same bytes each time and push the real history out.
    if (!points.empty() && fileHoldsBytes(folder + L"\\" + points.front().fileName, bytes)) return {};

    const LocalTime now = localTimeNow();
    std::wstring name;
    for (int sequence = nextRestorePointSequence(stem, files, now, &sameFileName);
         name.empty() || GetFileAttributesW((folder + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES; ++sequence)
        name = restorePointName(stem, now, sequence);
    const std::wstring path = folder + L"\\" + name;
    if (!writeFileReplacing(path, bytes)) return {KeepResult::Failed};
    if (!points.empty()) placeAfter(path, points.front().writeTime);
    return {KeepResult::Kept, name};
}

void pruneRestorePoints(const std::wstring& romPath, int count, const std::wstring& justWritten) {
    if (count <= 0) return;
    const std::wstring folder = restorePointFolder(romPath);
    // Only names this editor gives are ever deleted, and only in this folder.
    for (const std::wstring& old :
         restorePointsBeyond(fileStemPart(romPath), filesIn(folder), count, justWritten, &sameFileName))
        DeleteFileW((folder + L"\\" + old).c_str());
}

} // namespace vexa
