// The main window's file commands: open, reload, save and save as, close, restore
// points and patches, and the files that arrive on the command line or by a drop.
#include "app/main/project_manager_win.h"

#include "app/main/command_line.h"
#include "app/main/share_commands_win.h"
#include "app/message_win.h"
#include "app/rom_checksum.h"
#include "app/rom_file_win.h"
#include "app/rom_io_win.h"
#include "app/settings_win.h"
#include "app/text_buffer.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "ui/file_dialog_win.h"
#include "ui/path_text.h"
#include "ui/texts.h"

#include <shellapi.h>

namespace vexa {

namespace {

// The title is compared as the cartridge stores it, in code page 932, also when
// rominfo.ini is written in UTF-8 or UTF-16.
std::string cartName() {
    return iniValueInCodePage932(romInfo().rominfoFile(), "ROMInfo", "CartName")
        .value_or(std::string(kDefaultCartName));
}

} // namespace

void ProjectManager::setRomPath(const std::wstring& path) {
    // Every path enters as a full one: a relative path would name another file once
    // the current directory changes, and a save would then write that file.
    romPath = absolutePath(path);
    romTitle = fileNamePart(romPath);
}

bool ProjectManager::openRom() {
    // The path enters the recent list before the file is touched, so a path that
    // fails to open still moves to the front.
    recentFiles.addFile(romPath);
    return readRom({});
}

bool ProjectManager::readRom(const std::wstring& cannotOpenText) {
    // The file is read before anything is let go: one that cannot be read leaves the
    // image, the stage's lists and the undo history as they were.
    FileStamp stamp;
    if (!openRomInto(document, romPath, cartName(), hwnd, &stamp, cannotOpenText)) return false;
    diskGuard.startOver(stamp);
    closeDocumentState(false);
    setLoaded(true);
    document.markSaved();
    levels.loadCurrentStage();
    return true;
}

bool ProjectManager::saveRom() {
    return writeDocument(romPath);
}

bool ProjectManager::writeDocument(const std::wstring& path) {
    std::vector<std::uint8_t> image = document.image;
    if (fixChecksumOnSave) fixChecksum(image);
    // Writing the bytes the file holds already would only add a restore point of them.
    FileStamp written;
    const bool held = fileHoldsImage(path, image, document.layout, &written);
    // Another case or a short name of the open file is that file too.
    if (!held && sameFile(path, romPath) && !diskGuard.confirmOverwrite(hwnd, path, romTitle)) return false;
    // The header checksum goes into the image itself, so the file and the image stay
    // alike; it is no edit, so it leaves no record and no change to undo.
    if (fixChecksumOnSave) fixChecksum(document.image);
    if (held) {
        document.markSaved();
        diskGuard.remember(written);
        return true;
    }
    diskGuard.keepRestorePoint(hwnd, path);
    if (!saveRomFrom(document, path, hwnd, &written)) return false;
    diskGuard.remember(written);
    diskGuard.pruneRestorePoints(path);
    return true;
}

void ProjectManager::checkFileOnDisk() {
    // Not while a dialog of the editor is open: it comes back here when it closes.
    if (!document.loaded || !IsWindowEnabled(hwnd)) return;
    if (diskGuard.offerReload(hwnd, romPath, romTitle, isModified())) reloadKeepingView();
}

void ProjectManager::reloadKeepingView() {
    const POINT scroll = levels.scrollPosition();
    if (reloadRom(false)) levels.scrollTo(scroll);
}

bool ProjectManager::reloadRom(bool askFirst) {
    if (askFirst && isModified() && askQuestion(hwnd, text(IDS_DISCARD_EDITS), MB_OKCANCEL) == IDCANCEL) return false;
    if (readRom(cutToBuffer(formatText(IDS_RELOAD_FAILED, {romTitle}), 1024))) return true;
    // The user has been told why the file did not open; the file is not offered again.
    diskGuard.acknowledge(romPath);
    return false;
}

void ProjectManager::createPatch() {
    // The patch leads to the image a save would write now.
    std::vector<std::uint8_t> image = document.image;
    if (fixChecksumOnSave) fixChecksum(image);
    createPatchWithDialogs(hwnd, image, romPath, cartName());
}

void ProjectManager::restoreFromBackup() {
    std::optional<RomDocument> restored = diskGuard.chooseRestorePoint(hwnd, romPath, cartName(), document);
    if (!restored) return;
    // The restore point becomes the content of this document; the file itself is
    // written only when the user saves, and that save keeps the file first.
    const POINT scroll = levels.scrollPosition();
    closeDocumentState(false);
    document.adopt(std::move(restored->image), restored->layout);
    document.changedForGood = true;
    setLoaded(true);
    levels.loadCurrentStage();
    levels.scrollTo(scroll);
}

void ProjectManager::toggleFixChecksum() {
    fixChecksumOnSave = !fixChecksumOnSave;
    showFixChecksum();
}

void ProjectManager::showFixChecksum() {
    CheckMenuItem(GetMenu(hwnd), IDM_FILE_FIX_CHECKSUM, MF_BYCOMMAND | (fixChecksumOnSave ? MF_CHECKED : MF_UNCHECKED));
}

void ProjectManager::closeDocumentState(bool unload) {
    undoBuffer.clear();
    levels.clearObjects();
    if (unload) setLoaded(false);
}

bool ProjectManager::confirmSave() {
    if (!document.loaded || !isModified()) return true;
    const std::wstring question = cutToBuffer(formatText(IDS_ASK_SAVE, {romTitle}), 1024);
    switch (askQuestion(hwnd, question.c_str(), MB_YESNOCANCEL)) {
    case IDCANCEL: return false;
    // Edits that could not be saved are never thrown away: a failed save cancels
    // whatever asked the question.
    case IDYES: return saveRom();
    default: return true;
    }
}

void ProjectManager::openRomWithDialog() {
    if (!confirmSave()) return;
    if (document.loaded) closeDocumentState(true);
    std::wstring path;
    if (!askRomFile(false, path)) return;
    setRomPath(path);
    openRom();
}

void ProjectManager::openRomPath(const std::wstring& path) {
    if (!confirmSave()) return;
    if (document.loaded) closeDocumentState(true);
    setRomPath(path);
    openRom();
}

void ProjectManager::saveRomAs() {
    std::wstring path = romPath;
    if (!askRomFile(true, path)) return;
    // The document moves to the new name only once the file is written there; a
    // failed save keeps the old path, title and recent files.
    path = absolutePath(path);
    if (!writeDocument(path)) return;
    setRomPath(path);
    setLoaded(true);
}

bool ProjectManager::askRomFile(bool save, std::wstring& path) const {
    const std::wstring filter = fileFilter(IDS_ROM_FILTER);
    const auto chosen =
        askFileName(hwnd, {save, text(save ? IDS_SAVE_TITLE : IDS_OPEN_TITLE), filter.c_str(), L"smc"}, path);
    if (!chosen) return false;
    path = chosen->path;
    return true;
}

void ProjectManager::closeRom() {
    if (!confirmSave()) return;
    closeDocumentState(true);
}

void ProjectManager::openCommandLine(const wchar_t* commandLine) {
    for (const std::wstring& token : splitCommandLine(commandLine ? commandLine : L"")) {
        setRomPath(token);
        if (openRom()) break;
    }
}

void ProjectManager::openDroppedFiles(HDROP drop) {
    if (confirmSave()) {
        if (document.loaded) closeDocumentState(true);
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
            setRomPath(path);
            if (openRom()) break;
        }
    }
    DragFinish(drop);
}

} // namespace vexa
