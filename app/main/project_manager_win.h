// The editor's main window and the owner of everything else: the ROM document, the
// recent files, the undo history, the stage editor and test play.
#pragma once

#include "app/disk_guard_win.h"
#include "app/history_window_win.h"
#include "app/main/status_bar_win.h"
#include "app/main/test_play_win.h"
#include "app/recent_menus_win.h"
#include "app/rom_data_base.h"
#include "app/rom_document.h"
#include "app/setting_binding.h"
#include "app/undo_buffer.h"
#include "stage/view/level_manager_win.h"
#include "stage/view/stage_owner_win.h"
#include "ui/texts.h"
#include "ui/window_win.h"

#include <shellapi.h>

#include <array>
#include <string>

namespace vexa {

bool registerMainWindowClass(HINSTANCE instance);

class ProjectManager : public MyWindow, public RomData_Base, private UndoMenu, private StageOwner {
public:
    ProjectManager();
    ~ProjectManager() override;

    bool create(const wchar_t* commandLine, int showCommand);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void setLoaded(bool open);

    // The file commands. openRom() reads the file named by romPath/romTitle, which the
    // caller sets; saveRom() reports whether the file was written.
    bool openRom();
    bool saveRom();
    void saveRomAs();
    void openRomWithDialog();
    void openRomPath(const std::wstring& path);
    // File > 再読み込み, asking first when there are edits; the reload offered when
    // another program changed the file does not ask again. True when the file was read.
    bool reloadRom(bool askFirst);
    void closeRom();
    bool confirmSave();
    bool isModified() const { return document.isModified(); }

    RomDocument document;
    std::wstring romPath;
    std::wstring romTitle;
    // File > "保存時にチェックサムを修正する": [Save] FixChecksum.
    bool fixChecksumOnSave = true;
    // What the file on disk was when last read or written, and its restore points.
    DiskGuard diskGuard;
    RecentFileManager recentFiles;
    UndoBuffer undoBuffer;
    LevelManager levels;
    TestPlayLauncher testPlay;
    // View > ステータスバー: [MainWindow] StatusBar.
    bool statusBarShown = true;
    MainStatusBar statusBar;
    // View > 履歴: the undo history's lines, following it as its listener.
    HistoryWindow history{undoBuffer, document};

private:
    void closeDocumentState(bool unload);
    // Reads the file at romPath into the document; see openRomInto for `cannotOpenText`.
    bool readRom(const std::wstring& cannotOpenText);
    // Writes the image to `path`, with its header checksum set first while that is on.
    bool writeDocument(const std::wstring& path);
    void toggleFixChecksum();
    void showFixChecksum();
    std::array<IntSetting, 3> settings();
    // The map view takes the client area above the status bar.
    void layoutChildren();
    void toggleStatusBar();
    void toggleHistory();
    void showHistoryCheck();
    // View > 言語: the texts of the whole interface change at once, and the choice is
    // kept as [MainWindow] Language; the file, stage, selection and history stay.
    void switchLanguage(Language language);
    void showLanguageCheck();
    // Undoes or redoes until `count` records are undoable, the map drawn once.
    void jumpInHistory(std::size_t count);
    // The editor came to the front: the file may have changed under it.
    void checkFileOnDisk();
    void reloadKeepingView();
    void restoreFromBackup();
    // File > パッチの作成, from the image a save would write now.
    void createPatch();
    void setRomPath(const std::wstring& path);
    // The system's open or save dialog for ROM files, starting at `path`.
    bool askRomFile(bool save, std::wstring& path) const;
    bool handleCommand(int id);
    void openCommandLine(const wchar_t* commandLine);
    void openDroppedFiles(HDROP drop);
    void writePlacement();
    void raiseInspector();
    LRESULT onCreate();
    LRESULT onDestroy();

    // What the stage editor asks of its owner.
    HWND mainWindow() const override { return hwnd; }
    RomDocument& romDocument() override { return document; }
    void pushUndo(std::unique_ptr<UndoMethod> record) override { undoBuffer.push(std::move(record)); }
    UndoBuffer& undoHistory() override { return undoBuffer; }
    void showPointerStatus(const std::wstring& pointer, const std::wstring& object) override;
    void showStageStatus(const std::optional<SpriteRoom>& room, int zoomPercent) override;

    void setUndoItem(bool enabled, const std::wstring& text) override;
    void setRedoItem(bool enabled, const std::wstring& text) override;
    void setEditItem(int id, bool enabled, const std::wstring& text);
};

} // namespace vexa
