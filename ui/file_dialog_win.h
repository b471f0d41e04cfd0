// The system's open and save dialogs for one file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vexa {

// The filter of text `id` in the form the dialog takes: the table writes it with '|'
// where the dialog wants '\0'.
std::wstring fileFilter(unsigned id);

struct FileDialog {
    bool save = false;
    const wchar_t* title = nullptr;
    const wchar_t* filter = nullptr; // pairs of "name\0pattern\0", ending in "\0"
    // Added to a name typed without extension; none leaves such a name as it is.
    const wchar_t* defaultExtension = nullptr;
};

struct ChosenFile {
    std::wstring path;
    DWORD filterIndex = 1; // 1-based, as the dialog counts
    bool hasExtension = true;
};

// Starts in the folder of `start` with its name filled in. Asks before replacing a
// file when saving; an opened file must exist (and has no read-only box). The current folder stays as it was,
// so that nothing still relative changes its meaning behind the user's back.
std::optional<ChosenFile> askFileName(HWND owner, const FileDialog& dialog, const std::wstring& start);

} // namespace vexa
