#include "app/main/project_manager_win.h"

#include "app/main/command_line.h"
#include "app/main/share_commands_win.h"
#include "app/message_win.h"
#include "app/rom_checksum.h"
#include "app/rom_file_win.h"
#include "app/rom_io_win.h"
#include "app/settings_win.h"
#include "app/text_buffer.h"
#include "app/window_placement.h"
#include "resources/resource_ids.h"
#include "ui/file_dialog_win.h"

#include <algorithm>
#include <cstdio>
#include <shellapi.h>

namespace vexa {

namespace {

constexpr const wchar_t* kClassName = L"vexaed_main";
constexpr UINT_PTR kRaiseInspectorTimer = 1;
// Posted on activation, so the check runs once the activation is done.
constexpr UINT kCheckFileMessage = WM_APP + 1;
constexpr const wchar_t* kSection = kMainWindowSection;
// The items that need an open ROM; the rest of the File menu always works.
constexpr int kRomCommands[] = {IDM_FILE_SAVE,         IDM_FILE_SAVE_AS,     IDM_FILE_RELOAD, IDM_FILE_CLOSE,
                                IDM_FILE_TEST_PLAY,    IDM_FILE_RESTORE,     IDM_EDIT_UNDO,   IDM_EDIT_REDO,
                                IDM_FILE_CREATE_PATCH, IDM_FILE_SAVE_PICTURE};

// The title is compared as the cartridge stores it, in code page 932, also when
// rominfo.ini is written in UTF-8 or UTF-16.
std::string cartName() {
    return iniValueInCodePage932(romInfo().rominfoFile(), "ROMInfo", "CartName")
        .value_or(std::string(kDefaultCartName));
}

} // namespace

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc{sizeof wc};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &MyWindow::windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszMenuName = L"VEXAED_MENU";
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

ProjectManager::ProjectManager()
    : recentFiles([this](const std::wstring& path) { openRomPath(path); }), levels(static_cast<StageOwner*>(this)),
      testPlay(this) {}

ProjectManager::~ProjectManager() = default;

bool ProjectManager::create(const wchar_t* commandLine, int showCommand) {
    const MainWindowPlacement placement = readMainWindowPlacement([](const wchar_t* key, std::int32_t defaultValue) {
        return appGlobals().config.readInt(kSection, key, defaultValue);
    });
    if (!CreateWindowExW(0, kClassName, L"Vexa Editor", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, placement.x, placement.y,
                         placement.width, placement.height, nullptr, nullptr, appInstance(),
                         static_cast<MyWindow*>(this)))
        return false;
    DragAcceptFiles(hwnd, TRUE);
    setLoaded(false);
    openCommandLine(commandLine);
    ShowWindow(hwnd, placement.maximized ? SW_SHOWMAXIMIZED : showCommand);
    UpdateWindow(hwnd);
    return true;
}

LRESULT ProjectManager::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate();
    case WM_DESTROY: return onDestroy();
    case WM_SIZE: layoutChildren(); return 0;
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) == GetSubMenu(GetMenu(hwnd), MENU_POS_EDIT))
            levels.mapEdits.updateEditMenu(GetMenu(hwnd));
        break;
    case WM_ACTIVATE:
        raiseInspector();
        if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(hwnd, kCheckFileMessage, 0, 0);
        break;
    case kCheckFileMessage: checkFileOnDisk(); return 0;
    case WM_WINDOWPOSCHANGED:
        // Windows keeps the owned inspector above the main window by itself; Wine
        // does not, so every change of the main window's place in the z-order lifts
        // the inspector again.
        if (!(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOZORDER)) raiseInspector();
        break;
    case WM_TIMER:
        if (wParam != kRaiseInspectorTimer) break;
        KillTimer(hwnd, kRaiseInspectorTimer);
        SetWindowPos(levels.inspectorWindow(), HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
        return 0;
    case WM_SETFOCUS: SetFocus(levels.hwnd); return 0;
    case WM_ENABLE: EnableWindow(levels.inspectorWindow(), static_cast<BOOL>(wParam)); return 0;
    case WM_CLOSE:
        if (confirmSave()) DestroyWindow(window);
        return 0;
    case WM_COMMAND:
        if (handleCommand(LOWORD(wParam))) return 0;
        break;
    case WM_DROPFILES: openDroppedFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    default: break;
    }
    return MyWindow::handleMessage(window, message, wParam, lParam);
}

std::array<IntSetting, 3> ProjectManager::settings() {
    return {{{L"Save", L"FixChecksum", 1, &fixChecksumOnSave},
             {L"Backup", L"Count", 20, &diskGuard.restorePointCount},
             {kSection, L"StatusBar", 1, &statusBarShown}}};
}

LRESULT ProjectManager::onCreate() {
    appGlobals().config.load(settings());
    showFixChecksum();
    recentFiles.load(GetSubMenu(GetSubMenu(GetMenu(hwnd), MENU_POS_FILE), MENU_POS_RECENT_FILES));
    undoBuffer.setOwner(&document);
    undoBuffer.setMenu(this);
    CheckMenuItem(GetMenu(hwnd), IDM_VIEW_STATUS_BAR, MF_BYCOMMAND | (statusBarShown ? MF_CHECKED : MF_UNCHECKED));
    if (!statusBar.create(hwnd, statusBarShown) || !levels.createView(hwnd)) return -1;
    statusBar.refreshZoom(levels.zoomPercent());
    return 0;
}

void ProjectManager::layoutChildren() {
    RECT client;
    GetClientRect(hwnd, &client);
    const int barHeight = statusBar.layout();
    MoveWindow(levels.hwnd, 0, 0, client.right, std::max(0, static_cast<int>(client.bottom) - barHeight), TRUE);
}

void ProjectManager::toggleStatusBar() {
    statusBarShown = !statusBarShown;
    CheckMenuItem(GetMenu(hwnd), IDM_VIEW_STATUS_BAR, MF_BYCOMMAND | (statusBarShown ? MF_CHECKED : MF_UNCHECKED));
    statusBar.show(statusBarShown);
    layoutChildren();
}

LRESULT ProjectManager::onDestroy() {
    recentFiles.save();
    writePlacement();
    appGlobals().config.save(settings());
    PostQuitMessage(0);
    return 0;
}

void ProjectManager::raiseInspector() {
    // Deferred: Wine restacks an activated window once more after its messages have
    // been handled.
    SetTimer(hwnd, kRaiseInspectorTimer, 50, nullptr);
}

void ProjectManager::writePlacement() {
    WINDOWPLACEMENT wp{sizeof wp};
    GetWindowPlacement(hwnd, &wp);
    const RECT& r = wp.rcNormalPosition;
    for (const auto& [key, value] : mainWindowPlacementValues({r.left, r.top, r.right, r.bottom}, IsZoomed(hwnd)))
        appGlobals().config.writeString(kSection, key.c_str(), value);
}

void ProjectManager::setLoaded(bool open) {
    document.loaded = open;
    const std::wstring title = open ? romTitle + L" - Vexa Editor" : std::wstring(L"Vexa Editor");
    SetWindowTextW(hwnd, cutToBuffer(title, 256).c_str());
    HMENU menu = GetMenu(hwnd);
    for (int id : kRomCommands)
        EnableMenuItem(menu, id, MF_BYCOMMAND | (open ? MF_ENABLED : MF_GRAYED));
    // Undo and Redo are enabled by what the history holds, not by the open state.
    if (open) undoBuffer.refreshMenu();
    levels.enableStageView(open);
    levels.mapEdits.refreshRoom();
    if (!open) statusBar.setPointer(L"", L"");
    DrawMenuBar(hwnd);
}

bool ProjectManager::handleCommand(int id) {
    if (recentFiles.handleCommand(id)) return true;
    if (id == IDM_FILE_TEST_PLAY) return testPlay.startTestPlay(), true;
    if (id == IDM_FILE_EMULATOR) return testPlay.editEmulatorPath(), true;
    if (id == IDM_FILE_FIX_CHECKSUM) return toggleFixChecksum(), true;
    if (id == IDM_VIEW_STATUS_BAR) return toggleStatusBar(), true;
    // A drag holds an object of the open list; undo and redo would change the list under it.
    if (levels.isDragging() && (id == IDM_EDIT_UNDO || id == IDM_EDIT_REDO)) return true;
    if (document.loaded && (undoBuffer.handleCommand(id) || levels.handleCommand(id))) return true;
    switch (id) {
    case IDM_FILE_OPEN: openRomWithDialog(); return true;
    case IDM_FILE_SAVE:
        if (document.loaded) saveRom();
        return true;
    case IDM_FILE_RESTORE:
        if (document.loaded) restoreFromBackup();
        return true;
    case IDM_FILE_CREATE_PATCH:
        if (document.loaded) createPatch();
        return true;
    case IDM_FILE_SAVE_PICTURE:
        if (document.loaded) saveStagePictureWithDialog(hwnd, levels, romPath);
        return true;
    case IDM_FILE_SAVE_AS:
        if (document.loaded) saveRomAs();
        return true;
    case IDM_FILE_RELOAD:
        if (document.loaded) reloadRom(true);
        return true;
    case IDM_FILE_CLOSE:
        if (document.loaded) closeRom();
        return true;
    case IDM_FILE_EXIT: SendMessageW(hwnd, WM_CLOSE, 0, 0); return true;
    default: return false;
    }
}

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
    if (askFirst && isModified() &&
        askQuestion(hwnd, L"編集内容は破棄されます。よろしいですか?", MB_OKCANCEL) == IDCANCEL)
        return false;
    if (readRom(cutToBuffer(L"「" + romTitle +
                                L"」を再読み込みできませんでした。\n"
                                L"ファイルが見つからないか、他のプログラムが使用中です。",
                            1024)))
        return true;
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
    const std::wstring question = cutToBuffer(romTitle + L" は変更されています。保存しますか?", 1024);
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
    const auto chosen = askFileName(hwnd, {save, save ? L"保存" : L"開く", kRomFileFilter, L"smc"}, path);
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

void ProjectManager::showPointerStatus(const std::wstring& pointer, const std::wstring& object) {
    statusBar.setPointer(pointer, object);
}

void ProjectManager::showStageStatus(const std::optional<SpriteRoom>& room, int zoomPercent) {
    statusBar.setRoom(room);
    statusBar.refreshZoom(zoomPercent);
}

void ProjectManager::setUndoItem(bool enabled, const std::wstring& text) {
    setEditItem(IDM_EDIT_UNDO, enabled, text);
}
void ProjectManager::setRedoItem(bool enabled, const std::wstring& text) {
    setEditItem(IDM_EDIT_REDO, enabled, text);
}

void ProjectManager::setEditItem(int id, bool enabled, const std::wstring& text) {
    HMENU edit = GetSubMenu(GetMenu(hwnd), MENU_POS_EDIT);
    ModifyMenuW(edit, id, MF_BYCOMMAND | MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text.c_str());
}

} // namespace vexa
