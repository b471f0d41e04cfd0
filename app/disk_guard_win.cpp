#include "app/disk_guard_win.h"

#include "app/ini_file.h"
#include "app/message_win.h"
#include "app/restore_point_dialog_win.h"
#include "app/restore_points_win.h"
#include "app/rom_file_win.h"
#include "app/rom_io_win.h"
#include "app/text_buffer.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

#include <vector>

namespace vexa {

namespace {

// The message `id` with the file's name in place of "%1".
std::wstring aboutFile(unsigned id, std::wstring_view title) {
    return cutToBuffer(formatText(id, {title}), 1024);
}

// A restore point as the dialog lists it: its time and how many bytes of its image
// differ from the editor's.
std::wstring restorePointLine(const RestorePoint& point, std::string_view cartName, const RomDocument& current) {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> image;
    RomLayout layout;
    std::wstring line = restorePointTimeText(point.time) + L"\t";
    if (readRomFile(point.path, bytes) != FileReadStatus::Ok ||
        decodeRomFile(bytes, cartName, image, layout) != RomFileStatus::Ok)
        return line + text(IDS_RESTORE_UNREADABLE);
    const std::size_t differing = countDifferingBytes(image, current.image);
    return line + (differing == 0 ? std::wstring(text(IDS_RESTORE_SAME))
                                  : formatText(IDS_RESTORE_DIFFERS, {groupedNumber(differing)}));
}

} // namespace

void DiskGuard::remember(const FileStamp& stamp) {
    known = stamp;
    askedAbout.reset();
    missingSaid = false;
}

void DiskGuard::startOver(const FileStamp& stamp) {
    remember(stamp);
    backupFailureSaid = false;
}

void DiskGuard::acknowledge(const std::wstring& path) {
    const DiskCheck check = checkFileOnDisk(path, known);
    if (check.state == DiskState::Changed) askedAbout = check.stamp;
    if (check.state == DiskState::Missing) missingSaid = true;
}

bool DiskGuard::confirmOverwrite(HWND owner, const std::wstring& path, std::wstring_view title) {
    const DiskCheck check = checkFileOnDisk(path, known, DiskLook::ByContent);
    if (check.state != DiskState::Changed) return true;
    askedAbout = check.stamp;
    const std::wstring question = aboutFile(IDS_CHANGED_OVERWRITE, title);
    return whileAsking([&] { return askQuestion(owner, question.c_str(), MB_OKCANCEL); }) == IDOK;
}

void DiskGuard::keepRestorePoint(HWND owner, const std::wstring& path) {
    const KeptRestorePoint kept = vexa::keepRestorePoint(path, restorePointCount);
    justKept = kept.fileName;
    if (kept.result != KeepResult::Failed || backupFailureSaid) return;
    backupFailureSaid = true;
    showError(owner, text(IDS_BACKUP_FAILED));
}

void DiskGuard::pruneRestorePoints(const std::wstring& path) {
    vexa::pruneRestorePoints(path, restorePointCount, justKept);
    justKept.clear();
}

int DiskGuard::whileAsking(const std::function<int()>& show) {
    asking = true;
    const int answer = show();
    asking = false;
    return answer;
}

bool DiskGuard::offerReload(HWND owner, const std::wstring& path, std::wstring_view title, bool modified) {
    // The questions below take the focus and give it back, which comes here again.
    if (asking) return false;
    const DiskCheck check = checkFileOnDisk(path, known);
    switch (check.state) {
    case DiskState::Same:
        known = check.stamp; // a file only touched keeps its new time
        missingSaid = false;
        return false;
    case DiskState::Missing:
        if (missingSaid) return false;
        missingSaid = true;
        whileAsking([&] { return showError(owner, aboutFile(IDS_FILE_MISSING, title).c_str()), IDOK; });
        return false;
    case DiskState::Changed: break;
    }
    missingSaid = false;
    if (askedAbout == check.stamp) return false;
    askedAbout = check.stamp;
    std::wstring question = formatText(IDS_CHANGED_RELOAD, {title});
    if (modified) question += text(IDS_EDITS_DISCARDED_LINE);
    const std::wstring message = cutToBuffer(question, 1024);
    return whileAsking([&] { return askQuestion(owner, message.c_str(), MB_YESNO, MB_ICONQUESTION); }) == IDYES;
}

std::optional<RomDocument> DiskGuard::chooseRestorePoint(HWND owner, const std::wstring& path,
                                                         std::string_view cartName, const RomDocument& current) const {
    const std::vector<RestorePoint> points = listRestorePoints(path);
    if (points.empty()) {
        askQuestion(owner, aboutFile(IDS_NO_BACKUP, fileNamePart(path)).c_str(), MB_OK, MB_ICONINFORMATION);
        return std::nullopt;
    }
    std::vector<std::wstring> lines;
    for (const RestorePoint& point : points)
        lines.push_back(restorePointLine(point, cartName, current));
    RestorePointDialog dialog(std::move(lines));
    const INT_PTR chosen = dialog.runModal(owner);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= points.size()) return std::nullopt;
    return readRomDocument(points[static_cast<std::size_t>(chosen)].path, cartName, owner);
}

} // namespace vexa
