#include "ui/file_dialog_win.h"

#include "ui/path_text.h"
#include "ui/texts.h"

#include <commdlg.h>

#include <algorithm>

namespace vexa {

std::wstring fileFilter(unsigned id) {
    std::wstring filter = text(id);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    return filter;
}

std::optional<ChosenFile> askFileName(HWND owner, const FileDialog& dialog, const std::wstring& start) {
    wchar_t file[MAX_PATH] = {};
    wchar_t name[MAX_PATH] = {};
    lstrcpynW(file, start.c_str(), MAX_PATH);
    lstrcpynW(name, fileNamePart(start).c_str(), MAX_PATH);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = dialog.filter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = name;
    ofn.nMaxFileTitle = MAX_PATH;
    ofn.lpstrTitle = dialog.title;
    ofn.lpstrDefExt = dialog.defaultExtension;
    ofn.Flags = OFN_NOCHANGEDIR | (dialog.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    if (!(dialog.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return std::nullopt;
    ChosenFile chosen{file, ofn.nFilterIndex, true};
    // Without a default extension the offset of a missing one points at the end.
    chosen.hasExtension = ofn.nFileExtension != 0 && file[ofn.nFileExtension] != L'\0';
    return chosen;
}

} // namespace vexa
