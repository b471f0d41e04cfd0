#include "app/main/project_manager_win.h"

#include "app/main/share_commands_win.h"
#include "app/settings_win.h"
#include "app/text_buffer.h"
#include "app/window_placement.h"
#include "resources/resource_ids.h"
#include "tiled/tiled_commands_win.h"
#include "ui/dpi_win.h"
#include "ui/texts_win.h"

#include <algorithm>
#include <cstdio>
#include <shellapi.h>

namespace vexa {

namespace {

constexpr const wchar_t* kMenuName = L"VEXAED_MENU";

constexpr const wchar_t* kClassName = L"vexaed_main";
constexpr UINT_PTR kRaiseInspectorTimer = 1;
// Posted on activation, so the check runs once the activation is done.
constexpr UINT kCheckFileMessage = WM_APP + 1;
constexpr const wchar_t* kSection = kMainWindowSection;
// The items that need an open ROM; the rest of the File menu always works.
constexpr int kRomCommands[] = {IDM_FILE_SAVE,         IDM_FILE_SAVE_AS,      IDM_FILE_RELOAD,
                                IDM_FILE_CLOSE,        IDM_FILE_TEST_PLAY,    IDM_FILE_RESTORE,
                                IDM_EDIT_UNDO,         IDM_EDIT_REDO,         IDM_FILE_CREATE_PATCH,
                                IDM_FILE_SAVE_PICTURE, IDM_FILE_TILED_EXPORT, IDM_FILE_TILED_IMPORT};

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
    // The menu is the chosen language's, given at creation.
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
    setCurrentLanguage(languageOfKey(appGlobals().config.readString(kSection, L"Language", L"ja", 8)));
    HMENU menu = loadMenuIn(currentLanguage(), kMenuName);
    if (!CreateWindowExW(0, kClassName, L"Vexa Editor", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, placement.x, placement.y,
                         placement.width, placement.height, nullptr, menu, appInstance(),
                         static_cast<MyWindow*>(this))) {
        if (menu) DestroyMenu(menu);
        return false;
    }
    DragAcceptFiles(hwnd, TRUE);
    setLoaded(false);
    openCommandLine(commandLine);
    ShowWindow(hwnd, placement.maximized ? SW_SHOWMAXIMIZED : showCommand);
    UpdateWindow(hwnd);
    history.show(history.isShown());
    return true;
}

LRESULT ProjectManager::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate();
    case WM_DESTROY: return onDestroy();
    case WM_SIZE: layoutChildren(); return 0;
    case WM_DPICHANGED:
        takeSuggestedRect(hwnd, lParam);
        levels.applyDpi(HIWORD(wParam));
        statusBar.layout();
        layoutChildren();
        return 0;
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
        for (HWND tool : {levels.inspectorWindow(), history.hwnd})
            SetWindowPos(tool, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
        return 0;
    case WM_SETFOCUS: SetFocus(levels.hwnd); return 0;
    case WM_ENABLE:
        for (HWND tool : {levels.inspectorWindow(), history.hwnd})
            EnableWindow(tool, static_cast<BOOL>(wParam));
        return 0;
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
    if (!statusBar.create(hwnd, statusBarShown) || !levels.createView(hwnd) || !history.create(hwnd)) return -1;
    history.onJump = [this](std::size_t count) { jumpInHistory(count); };
    history.onClosed = [this] { showHistoryCheck(); };
    undoBuffer.setListener(&history);
    showHistoryCheck();
    showLanguageCheck();
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

void ProjectManager::toggleHistory() {
    history.show(!history.isShown());
    showHistoryCheck();
}

void ProjectManager::showHistoryCheck() {
    CheckMenuItem(GetMenu(hwnd), IDM_VIEW_HISTORY, MF_BYCOMMAND | (history.isShown() ? MF_CHECKED : MF_UNCHECKED));
}

void ProjectManager::showLanguageCheck() {
    CheckMenuRadioItem(GetMenu(hwnd), IDM_VIEW_LANGUAGE_JA, IDM_VIEW_LANGUAGE_EN,
                       currentLanguage() == Language::English ? IDM_VIEW_LANGUAGE_EN : IDM_VIEW_LANGUAGE_JA,
                       MF_BYCOMMAND);
}

void ProjectManager::switchLanguage(Language language) {
    appGlobals().config.writeString(kSection, L"Language", languageKey(language));
    if (language == currentLanguage()) return;
    setCurrentLanguage(language);
    // The live menu keeps its checks, greyed items and recent files; only its texts change.
    if (HMENU source = loadMenuIn(language, kMenuName)) {
        relabelMenu(GetMenu(hwnd), source);
        DestroyMenu(source);
    }
    showLanguageCheck();
    if (document.loaded) undoBuffer.refreshMenu();
    DrawMenuBar(hwnd);
    statusBar.layout();
    levels.applyLanguage();
    history.applyLanguage();
}

void ProjectManager::jumpInHistory(std::size_t count) {
    // As for undo and redo: a drag holds an object of the open list.
    if (!document.loaded || levels.isDragging()) return;
    levels.holdPainting(true);
    undoBuffer.jumpTo(count);
    levels.holdPainting(false);
}

LRESULT ProjectManager::onDestroy() {
    undoBuffer.setListener(nullptr);
    if (history.hwnd && IsWindow(history.hwnd)) DestroyWindow(history.hwnd);
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
    history.refresh();
    DrawMenuBar(hwnd);
}

bool ProjectManager::handleCommand(int id) {
    if (recentFiles.handleCommand(id)) return true;
    if (id == IDM_FILE_TEST_PLAY) return testPlay.startTestPlay(), true;
    if (id == IDM_FILE_EMULATOR) return testPlay.editEmulatorPath(), true;
    if (id == IDM_FILE_FIX_CHECKSUM) return toggleFixChecksum(), true;
    if (id == IDM_VIEW_STATUS_BAR) return toggleStatusBar(), true;
    if (id == IDM_VIEW_HISTORY) return toggleHistory(), true;
    if (id == IDM_VIEW_LANGUAGE_JA || id == IDM_VIEW_LANGUAGE_EN)
        return switchLanguage(id == IDM_VIEW_LANGUAGE_EN ? Language::English : Language::Japanese), true;
    // A drag holds an object of the open list; undo and redo would change the list under it.
    if (levels.isDragging() && (id == IDM_EDIT_UNDO || id == IDM_EDIT_REDO)) return true;
    if (document.loaded && (id == IDM_EDIT_UNDO || id == IDM_EDIT_REDO)) {
        // A group's records each rewrite a list line: everything is drawn once, at the end.
        levels.holdPainting(true);
        undoBuffer.handleCommand(id);
        levels.holdPainting(false);
        return true;
    }
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
    case IDM_FILE_TILED_EXPORT:
        if (document.loaded) exportTiledMapWithDialog(hwnd, levels, romPath);
        return true;
    case IDM_FILE_TILED_IMPORT:
        if (document.loaded) importTiledMapWithDialog(hwnd, levels, romPath);
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
