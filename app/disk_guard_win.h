// The safety net around the open file: it remembers what the file on disk was when
// the editor last read or wrote it, asks before a save overwrites another program's
// changes, offers to reload them when the editor comes back to the front, and keeps
// a restore point before every save replaces the file.
#pragma once

#include "app/file_stamp.h"
#include "app/rom_document.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

class DiskGuard {
public:
    // [Backup] Count: how many restore points are kept; 0 keeps none.
    int restorePointCount = 20;

    // A file was just read or written: this is now what it is on disk.
    void remember(const FileStamp& stamp);
    // A new document: every "said once" starts over.
    void startOver(const FileStamp& stamp);

    // A reload failed, and said so, on the file as it is now: coming back to the editor
    // neither asks about that file again (a save still does) nor tells it is missing.
    void acknowledge(const std::wstring& path);

    // Before a save to the editor's own file: false when another program changed the
    // file since (its content is compared, whatever its time says) and the user
    // cancels the overwrite. Either way the change counts as
    // asked about, so coming back to the editor does not ask again.
    bool confirmOverwrite(HWND owner, const std::wstring& path, std::wstring_view title);
    // Before a save replaces `path`: keeps what is there as a restore point, unless the
    // newest one holds it already. A failure is told once and does not stop the save.
    void keepRestorePoint(HWND owner, const std::wstring& path);
    // After a save replaced `path`: deletes the oldest restore points beyond the count,
    // never the one just kept. Only a save that went through prunes, so that saves that
    // keep failing do not wear the history away.
    void pruneRestorePoints(const std::wstring& path);

    // The editor came to the front: tells of a missing file once, and asks once per
    // change whether to reload one another program wrote. True when the answer is to
    // reload.
    bool offerReload(HWND owner, const std::wstring& path, std::wstring_view title, bool modified);

    // File > "バックアップから復元": lets the user pick a restore point of `path` and
    // reads it. Nothing when there is none, the user cancels or it cannot be read.
    std::optional<RomDocument> chooseRestorePoint(HWND owner, const std::wstring& path, std::string_view cartName,
                                                  const RomDocument& current) const;

private:
    // Shows a message box; the activation its closing brings does not ask again.
    int whileAsking(const std::function<int()>& show);

    FileStamp known;
    std::optional<FileStamp> askedAbout; // the changed file the reload question was about
    std::wstring justKept;               // the restore point kept for the save under way
    bool missingSaid = false;
    bool backupFailureSaid = false;
    bool asking = false;
};

} // namespace vexa
