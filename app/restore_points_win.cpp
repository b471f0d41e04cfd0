#include "app/restore_points_win.h"

#include "app/path_text.h"
#include "app/rom_file_win.h"

namespace vexa {

namespace {

// Anything larger is not a ROM another tool wrote but something else entirely.
constexpr std::uint64_t kLargestKeptFile = 64u << 20;

std::vector<std::wstring> fileNamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
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

} // namespace

std::vector<RestorePoint> listRestorePoints(const std::wstring& romPath) {
    const std::wstring folder = restorePointFolder(romPath);
    std::vector<RestorePoint> points;
    for (const RestorePointFile& file : restorePointsNewestFirst(fileStemPart(romPath), fileNamesIn(folder)))
        points.push_back({folder + L"\\" + file.fileName, file.name.time});
    return points;
}

KeepResult keepRestorePoint(const std::wstring& romPath, int count) {
    if (count <= 0) return KeepResult::NothingToKeep;
    std::vector<std::uint8_t> bytes;
    switch (readWholeFile(romPath, kLargestKeptFile, bytes)) {
    case FileReadStatus::Ok: break;
    case FileReadStatus::CannotOpen:
        if (GetFileAttributesW(romPath.c_str()) == INVALID_FILE_ATTRIBUTES) return KeepResult::NothingToKeep;
        return KeepResult::Failed;
    default: return KeepResult::Failed;
    }
    const std::wstring folder = restorePointFolder(romPath);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && !isFolder(folder)) return KeepResult::Failed;

    const std::wstring stem = fileStemPart(romPath);
    const LocalTime now = localTimeNow();
    std::wstring path;
    for (int sequence = nextRestorePointSequence(stem, fileNamesIn(folder), now);
         path.empty() || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++sequence)
        path = folder + L"\\" + restorePointName(stem, now, sequence);
    if (!writeFileReplacing(path, bytes)) return KeepResult::Failed;

    // Only names this editor gives are ever deleted, and only in this folder.
    for (const std::wstring& old : restorePointsBeyond(stem, fileNamesIn(folder), count))
        DeleteFileW((folder + L"\\" + old).c_str());
    return KeepResult::Kept;
}

} // namespace vexa
