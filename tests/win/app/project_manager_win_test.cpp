#include "support/editor_session.h"

#include "app/rom_checksum.h"
#include "app/rom_file_win.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace vexa {
namespace {

using test::EditorSession;
using test::pumpMessages;
using test::readBytes;
using test::titledImage;

// An edit of one image byte, as the object pages make them.
class ByteEdit : public UndoMethod {
public:
    ByteEdit(std::vector<std::uint8_t>& image, std::size_t at, std::uint8_t value)
        : image_(image), at_(at), old_(image[at]), new_(value) {
        image_[at_] = new_;
    }
    void undo() override { image_[at_] = old_; }
    void redo() override { image_[at_] = new_; }
    const wchar_t* undoName() const override { return L"スプライトの追加"; }
    const wchar_t* redoName() const override { return L"スプライトの追加"; }

private:
    std::vector<std::uint8_t>& image_;
    std::size_t at_;
    std::uint8_t old_, new_;
};

class MainWindowTest : public testing::Test {
protected:
    void edit(std::uint8_t value) {
        auto& image = editor.project->document.image;
        editor.project->undoBuffer.push(std::make_unique<ByteEdit>(image, 0x100, value));
    }
    std::wstring openSample(const std::wstring& name = L"game.smc") {
        const std::wstring path = editor.writeRom(name, titledImage());
        EXPECT_TRUE(editor.start(L"\"" + path + L"\""));
        EXPECT_TRUE(editor.project->document.loaded);
        return path;
    }
    std::wstring title() const {
        wchar_t text[256] = {};
        GetWindowTextW(editor.project->hwnd, text, 256);
        return text;
    }

    EditorSession editor;
};

TEST_F(MainWindowTest, WithoutRomOnlyOpenRecentEmulatorAndExitWork) {
    ASSERT_TRUE(editor.start());
    EXPECT_EQ(title(), L"Vexa Editor");
    for (int id : {IDM_FILE_SAVE, IDM_FILE_SAVE_AS, IDM_FILE_RELOAD, IDM_FILE_CLOSE, IDM_FILE_TEST_PLAY, IDM_EDIT_UNDO,
                   IDM_EDIT_REDO, IDM_VIEW_SPRITES, IDM_VIEW_BANANAS, IDM_VIEW_CAMERAS, IDM_STAGE_SELECT})
        EXPECT_FALSE(editor.menuEnabled(id)) << id;
    for (int id : {IDM_FILE_OPEN, IDM_FILE_EMULATOR, IDM_FILE_EXIT})
        EXPECT_TRUE(editor.menuEnabled(id)) << id;
    EXPECT_FALSE(IsWindowVisible(editor.project->levels.hwnd));
    EXPECT_TRUE(IsWindowVisible(editor.project->levels.inspectorWindow()));

    // Grayed commands do not arrive through their shortcuts either.
    HACCEL accelerators = LoadAcceleratorsW(GetModuleHandleW(nullptr), L"ORLOED_ACC");
    for (MSG msg : {MSG{editor.project->hwnd, WM_KEYDOWN, VK_F5, 0}, MSG{editor.project->hwnd, WM_CHAR, 19, 0},
                    MSG{editor.project->hwnd, WM_CHAR, 18, 0}, MSG{editor.project->hwnd, WM_CHAR, 26, 0}})
        TranslateAcceleratorW(editor.project->hwnd, accelerators, &msg);
    pumpMessages();
    EXPECT_TRUE(editor.dialogs.seen().empty()) << "F5 without a ROM must not ask for an emulator";
}

TEST_F(MainWindowTest, OpeningSetsTitleMenusAndAnEmptyHistory) {
    openSample(L"ゲーム 1.smc");
    EXPECT_EQ(title(), L"ゲーム 1.smc - Vexa Editor");
    for (int id :
         {IDM_FILE_SAVE, IDM_FILE_SAVE_AS, IDM_FILE_RELOAD, IDM_FILE_CLOSE, IDM_FILE_TEST_PLAY, IDM_STAGE_SELECT})
        EXPECT_TRUE(editor.menuEnabled(id)) << id;
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO)) << "openRom clears the history after enabling the items";
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_REDO));
    EXPECT_TRUE(IsWindowVisible(editor.project->levels.hwnd));

    edit(0x11);
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの追加(&U)\tCtrl+Z");
    EXPECT_TRUE(editor.menuEnabled(IDM_EDIT_UNDO));
    editor.command(IDM_EDIT_UNDO);
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す(&U)\tCtrl+Z");
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_EQ(editor.menuText(IDM_EDIT_REDO), L"やり直し - スプライトの追加(&R)\tCtrl+Y");
    EXPECT_FALSE(editor.project->isModified());
}

TEST_F(MainWindowTest, CloseAsksWhileModifiedAndCancelKeepsTheRom) {
    const std::wstring path = openSample();
    edit(0x22);

    editor.dialogs.answerNext(IDCANCEL);
    editor.command(IDM_FILE_CLOSE);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].caption, L"Vexa Editor");
    EXPECT_EQ(editor.dialogs.seen()[0].text, L"game.smc は変更されています。保存しますか?");
    EXPECT_TRUE(editor.project->document.loaded);

    editor.dialogs.answerNext(IDNO);
    editor.command(IDM_FILE_CLOSE);
    EXPECT_FALSE(editor.project->document.loaded);
    EXPECT_EQ(readBytes(path)[0x100], 0) << "No leaves the file alone";
    EXPECT_EQ(title(), L"Vexa Editor");
}

TEST_F(MainWindowTest, YesSavesBeforeClosing) {
    const std::wstring path = openSample();
    edit(0x33);
    editor.dialogs.answerNext(IDYES);
    editor.command(IDM_FILE_CLOSE);
    EXPECT_FALSE(editor.project->document.loaded);
    EXPECT_EQ(readBytes(path)[0x100], 0x33);
}

TEST_F(MainWindowTest, AFailedSaveKeepsTheEditsAndCancelsTheClose) {
    const std::wstring path = openSample();
    edit(0x44);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);

    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_SAVE);
    EXPECT_TRUE(editor.project->isModified());

    editor.dialogs.answerNext(IDYES);
    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_CLOSE);
    ASSERT_EQ(editor.dialogs.seen().size(), 3u);
    EXPECT_EQ(editor.dialogs.seen()[1].caption, L"Vexa Editor");
    EXPECT_EQ(editor.dialogs.seen()[2].text, L"ファイルの保存に失敗しました。");
    EXPECT_TRUE(editor.project->document.loaded) << "edits that could not be saved are not thrown away";
    EXPECT_EQ(readBytes(path)[0x100], 0);

    editor.dialogs.answerNext(IDNO);
    editor.command(IDM_FILE_CLOSE);
    EXPECT_FALSE(editor.project->document.loaded) << "the next close asks again";
}

TEST_F(MainWindowTest, SaveWritesEveryLayoutBackByteForByte) {
    ASSERT_TRUE(editor.start());
    for (bool header : {false, true}) {
        for (bool interleaved : {false, true}) {
            RomLayout layout;
            layout.hasCopierHeader = header;
            layout.interleaved = interleaved;
            layout.copierHeader.fill(0x5C);
            auto image = titledImage(0x01);
            image[0x12345] = 0x77;
            const std::wstring path = editor.writeRom(L"layout.smc", image, layout);
            editor.project->openRomPath(path);
            ASSERT_TRUE(editor.project->document.loaded);
            edit(0x55);
            editor.command(IDM_FILE_SAVE);
            EXPECT_FALSE(editor.project->isModified()) << "the checksum is no edit";
            EXPECT_EQ(editor.project->undoBuffer.undoCount(), 1u);
            image[0x100] = 0x55;
            fixChecksum(image);
            EXPECT_EQ(readBytes(path), encodeRomFile(image, layout)) << header << interleaved;
            EXPECT_EQ(editor.project->document.image, image) << "the image holds the checksum it saved";
        }
    }
}

TEST_F(MainWindowTest, ChecksumFixingIsACheckItemThatSavingHonoursAndRemembers) {
    auto image = titledImage(0x02);
    fixChecksum(image);
    const std::wstring path = editor.writeRom(L"sum.smc", image);
    ASSERT_TRUE(editor.start(L"\"" + path + L"\""));
    EXPECT_TRUE(editor.menuChecked(IDM_FILE_FIX_CHECKSUM));
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(readBytes(path), image) << "a right checksum saved without edits stays byte for byte";

    editor.command(IDM_FILE_FIX_CHECKSUM);
    EXPECT_FALSE(editor.menuChecked(IDM_FILE_FIX_CHECKSUM));
    edit(0x44);
    editor.command(IDM_FILE_SAVE);
    auto edited = image;
    edited[0x100] = 0x44;
    EXPECT_EQ(readBytes(path), edited) << "unchecked: the header is left as it was";
    editor.stop();
    EXPECT_EQ(editor.config(L"Save", L"FixChecksum"), L"0");
    ASSERT_TRUE(editor.start());
    EXPECT_FALSE(editor.menuChecked(IDM_FILE_FIX_CHECKSUM));
}

TEST_F(MainWindowTest, SaveAsWritesTheNewFileAndShowsItsName) {
    const std::wstring path = openSample();
    edit(0x5A);
    const std::wstring copy = editor.folder.file(L"コピー.smc");
    editor.dialogs.answerNext(IDOK, [&](HWND dialog) {
        for (int id : {0x47C, 0x480})
            SetDlgItemTextW(dialog, id, copy.c_str());
    });
    editor.command(IDM_FILE_SAVE_AS);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].caption, L"保存");
    EXPECT_EQ(editor.project->romPath, copy);
    EXPECT_EQ(title(), L"コピー.smc - Vexa Editor");
    EXPECT_EQ(readBytes(copy)[0x100], 0x5A);
    EXPECT_EQ(readBytes(path)[0x100], 0) << "the old file is left as it was";
    EXPECT_FALSE(editor.project->isModified());
}

// The current folder for one test: changed on request, put back at the end.
class CurrentFolder {
public:
    CurrentFolder() { GetCurrentDirectoryW(MAX_PATH, saved_); }
    ~CurrentFolder() { SetCurrentDirectoryW(saved_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    static bool change(const std::wstring& folder) { return SetCurrentDirectoryW(folder.c_str()) != FALSE; }
    static std::wstring now() {
        wchar_t folder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, folder);
        return folder;
    }

private:
    wchar_t saved_[MAX_PATH] = {};
};

BOOL WINAPI replaceRefused(LPCWSTR, LPCWSTR, DWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST_F(MainWindowTest, ARelativePathKeepsNamingItsFileWhenTheCurrentFolderChanges) {
    CurrentFolder current;
    const std::wstring path = editor.writeRom(L"game.smc", titledImage());
    const std::wstring elsewhere = editor.folder.file(L"elsewhere");
    ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(CurrentFolder::change(editor.folder.path()));
    ASSERT_TRUE(editor.start(L"game.smc"));
    EXPECT_EQ(editor.project->romPath, path);

    ASSERT_TRUE(CurrentFolder::change(elsewhere)); // as browsing elsewhere would
    edit(0x5B);
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(readBytes(path)[0x100], 0x5B);
    EXPECT_EQ(GetFileAttributesW((elsewhere + L"\\game.smc").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(editor.project->isModified());
    editor.stop();
    EXPECT_EQ(editor.config(L"RecentFiles", L"0"), path);

    // A relative recent entry (written by hand, or by an older version) is made full too.
    editor.writeSetting(L"config.ini", "[RecentFiles]\r\n0=..\\game.smc\r\n");
    ASSERT_TRUE(editor.start());
    editor.command(IDM_RECENT_FILE_FIRST);
    EXPECT_EQ(editor.project->romPath, path);
}

TEST_F(MainWindowTest, FileDialogsLeaveTheCurrentFolderAlone) {
    CurrentFolder current;
    openSample();
    const std::wstring elsewhere = editor.folder.file(L"elsewhere");
    ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(CurrentFolder::change(elsewhere));
    const std::wstring copy = editor.folder.file(L"copy.smc");
    editor.dialogs.answerNext(IDOK, [&](HWND dialog) {
        for (int id : {0x47C, 0x480})
            SetDlgItemTextW(dialog, id, copy.c_str());
    });
    editor.command(IDM_FILE_SAVE_AS);
    EXPECT_EQ(editor.project->romPath, copy);
    EXPECT_EQ(CurrentFolder::now(), elsewhere);
}

TEST_F(MainWindowTest, AFailedSaveAsKeepsTheOldNameTitleAndRecentFiles) {
    const std::wstring path = openSample();
    edit(0x5C);
    const auto recent = editor.project->recentFiles.list().entries();
    const FileSystemCalls saved = fileSystemCalls();
    fileSystemCalls().moveFileEx = &replaceRefused;
    const std::wstring copy = editor.folder.file(L"copy.smc");
    editor.dialogs.answerNext(IDOK, [&](HWND dialog) {
        for (int id : {0x47C, 0x480})
            SetDlgItemTextW(dialog, id, copy.c_str());
    });
    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_SAVE_AS);
    fileSystemCalls() = saved;
    ASSERT_EQ(editor.dialogs.seen().size(), 2u);
    EXPECT_EQ(editor.dialogs.seen()[1].text, L"ファイルの保存に失敗しました。");
    EXPECT_EQ(editor.project->romPath, path);
    EXPECT_EQ(title(), L"game.smc - Vexa Editor");
    EXPECT_EQ(editor.project->recentFiles.list().entries(), recent);
    EXPECT_TRUE(editor.project->isModified());
    EXPECT_EQ(GetFileAttributesW(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(readBytes(path)[0x100], 0x5C) << "the next Save writes the file the document came from";
}

TEST_F(MainWindowTest, UndoAndRedoAreEnabledOnlyWithARecordAlsoAfterSaveAs) {
    openSample();
    auto saveAs = [&](const std::wstring& name) {
        const std::wstring copy = editor.folder.file(name);
        editor.dialogs.answerNext(IDOK, [copy](HWND dialog) {
            for (int id : {0x47C, 0x480})
                SetDlgItemTextW(dialog, id, copy.c_str());
        });
        editor.command(IDM_FILE_SAVE_AS);
    };
    saveAs(L"empty.smc");
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_REDO));
    edit(0x5D);
    saveAs(L"edited.smc");
    EXPECT_TRUE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_REDO));
    editor.command(IDM_EDIT_UNDO);
    saveAs(L"undone.smc");
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_TRUE(editor.menuEnabled(IDM_EDIT_REDO));
}

// The cartridge stores its title in code page 932, where half-width katakana are one
// byte each; rominfo.ini may name it in Shift-JIS, UTF-8 or UTF-16.
TEST_F(MainWindowTest, AHalfWidthKatakanaTitleMatchesInEveryEncodingOfRominfo) {
    const std::string stored = "\xCF\xB0\xCC\xDE\xD9 QUEST"; // ﾏｰﾌﾞﾙ QUEST
    const std::wstring wide = L"\uFF8F\uFF70\uFF8C\uFF9E\uFF99 QUEST";
    std::string utf16 = "\xFF\xFE";
    for (const wchar_t c : L"[ROMInfo]\r\nCartName=" + wide + L"\r\n") {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    const std::string files[] = {
        "[ROMInfo]\r\nCartName=" + stored + "\r\n",
        "\xEF\xBB\xBF[ROMInfo]\r\nCartName=\xEF\xBE\x8F\xEF\xBD\xB0\xEF\xBE\x8C\xEF\xBE\x9E\xEF\xBE\x99 QUEST\r\n",
        utf16,
    };
    auto image = titledImage();
    std::copy(stored.begin(), stored.end(), image.begin() + kPlainTitleOffset);
    const std::wstring path = editor.writeRom(L"kana.smc", image);
    ASSERT_TRUE(editor.start());
    for (const std::string& rominfo : files) {
        Sleep(30); // rominfo.ini is read again when its time stamp changes: let the clock tick
        editor.writeSetting(L"rominfo.ini", rominfo);
        editor.project->closeRom();
        editor.project->openRomPath(path);
        EXPECT_TRUE(editor.project->document.loaded) << rominfo;
    }
    EXPECT_TRUE(editor.dialogs.seen().empty());
}

TEST_F(MainWindowTest, ReloadAsksAndThrowsEditsAway) {
    const std::wstring path = openSample();
    edit(0x66);
    editor.dialogs.answerNext(IDCANCEL);
    editor.command(IDM_FILE_RELOAD);
    EXPECT_EQ(editor.project->document.image[0x100], 0x66);
    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_RELOAD);
    ASSERT_EQ(editor.dialogs.seen().size(), 2u);
    EXPECT_EQ(editor.dialogs.seen()[1].text, L"編集内容は破棄されます。よろしいですか?");
    EXPECT_EQ(editor.project->document.image[0x100], 0);
    EXPECT_FALSE(editor.project->isModified());
    EXPECT_EQ(editor.project->undoBuffer.undoCount(), 0u);
}

TEST_F(MainWindowTest, FailedReloadKeepsTheImageOpen) {
    const std::wstring path = openSample();
    edit(0x67);
    // Locked by another program that shares nothing, then gone.
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "gone" : "locked");
        if (gone) {
            CloseHandle(holder);
            DeleteFileW(path.c_str());
        }
        editor.dialogs.clear();
        editor.dialogs.answerNext(IDOK); // your edits will be lost?
        editor.dialogs.answerNext(IDOK);
        editor.command(IDM_FILE_RELOAD);
        ASSERT_EQ(editor.dialogs.seen().size(), 2u);
        EXPECT_EQ(editor.dialogs.seen()[1].caption, L"エラー");
        EXPECT_EQ(
            editor.dialogs.seen()[1].text,
            L"「game.smc」を再読み込みできませんでした。\nファイルが見つからないか、他のプログラムが使用中です。");
        EXPECT_TRUE(editor.project->document.loaded);
        EXPECT_EQ(editor.project->document.image[0x100], 0x67);
        EXPECT_TRUE(editor.project->isModified());
        EXPECT_EQ(editor.project->undoBuffer.undoCount(), 1u) << "nothing was reloaded, so the history stays";
    }
}

TEST_F(MainWindowTest, OpenThenCancelledFileDialogLeavesNoRomOpen) {
    openSample();
    editor.dialogs.answerNext(IDCANCEL);
    editor.command(IDM_FILE_OPEN);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].caption, L"開く");
    EXPECT_FALSE(editor.project->document.loaded);
    EXPECT_EQ(title(), L"Vexa Editor");
}

TEST_F(MainWindowTest, OpeningAnotherFileWhileModifiedCanBeCancelled) {
    openSample();
    const std::wstring other = editor.writeRom(L"other.smc", titledImage());
    edit(0x68);
    editor.dialogs.answerNext(IDCANCEL);
    editor.project->openRomPath(other);
    EXPECT_EQ(editor.project->romTitle, L"game.smc");
    EXPECT_EQ(editor.project->document.image[0x100], 0x68);
}

TEST_F(MainWindowTest, CommandLineTriesEachTokenUntilOneOpens) {
    const std::wstring good = editor.writeRom(L"with blanks.smc", titledImage());
    const std::wstring missing = editor.folder.file(L"no such file.smc");
    ASSERT_TRUE(editor.start(L"\"" + missing + L"\" " + good));
    // The unquoted second path splits at its blank: "...\with" and "blanks.smc".
    EXPECT_FALSE(editor.project->document.loaded);
    editor.stop();

    ASSERT_TRUE(editor.start(L"\"" + missing + L"\" \"" + good + L"\""));
    EXPECT_TRUE(editor.project->document.loaded);
    EXPECT_EQ(editor.project->romPath, good);
    editor.stop();

    ASSERT_TRUE(editor.start(L"\"" + good + L"\" \"" + missing + L"\""));
    EXPECT_EQ(editor.project->romPath, good);
    EXPECT_EQ(editor.project->recentFiles.list().entries().front(), good) << "tokens after a success are not tried";
}

TEST_F(MainWindowTest, PlacementIsRememberedWithNegativeCoordinatesAndMaximized) {
    editor.writeSetting(L"config.ini", "[MainWindow]\r\nPos_X=-300\r\nPos_Y=20\r\nWidth=700\r\nHeight=500\r\n");
    ASSERT_TRUE(editor.start());
    RECT r;
    GetWindowRect(editor.project->hwnd, &r);
    EXPECT_EQ(r.left, -300);
    EXPECT_EQ(r.right - r.left, 700);
    ShowWindow(editor.project->hwnd, SW_MAXIMIZE);
    pumpMessages();
    editor.stop();
    EXPECT_EQ(editor.config(L"MainWindow", L"Pos_X"), L"-300");
    EXPECT_EQ(editor.config(L"MainWindow", L"Width"), L"700");
    EXPECT_EQ(editor.config(L"MainWindow", L"Maximized"), L"1");

    ASSERT_TRUE(editor.start());
    EXPECT_TRUE(IsZoomed(editor.project->hwnd));
    WINDOWPLACEMENT wp{sizeof wp};
    GetWindowPlacement(editor.project->hwnd, &wp);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 700) << "the restored size survives";
}

TEST_F(MainWindowTest, MissingWidthAloneGivesTheSystemDefaultPlacement) {
    editor.writeSetting(L"config.ini", "[MainWindow]\r\nPos_X=-300\r\nPos_Y=20\r\nHeight=500\r\n");
    ASSERT_TRUE(editor.start());
    RECT r;
    GetWindowRect(editor.project->hwnd, &r);
    EXPECT_NE(r.left, -300);
}

TEST_F(MainWindowTest, FreshConfigGetsEveryKeyOnExit) {
    ASSERT_TRUE(editor.start());
    editor.stop();
    for (const wchar_t* key : {L"Pos_X", L"Pos_Y", L"Width", L"Height", L"Maximized"})
        EXPECT_NE(editor.config(L"MainWindow", key), L"<missing>") << key;
    EXPECT_EQ(editor.config(L"MapView", L"LevelNumber"), L"37");
    EXPECT_EQ(editor.config(L"RecentLevels", L"15"), L"-1");
    EXPECT_NE(editor.config(L"Inspector", L"Pos_X"), L"<missing>");
    EXPECT_EQ(editor.config(L"RecentFiles", L"0"), L"<missing>");
    EXPECT_EQ(editor.config(L"Emulator", L"Path"), L"<missing>");
}

TEST_F(MainWindowTest, RecentFilesMoveToTheFrontAndLoseTheirAmpersand) {
    editor.writeSetting(L"config.ini", "[RecentFiles]\r\n0=C:\\a.smc\r\n1=C:\\B.smc\r\n");
    ASSERT_TRUE(editor.start());
    HMENU recent = GetSubMenu(GetSubMenu(editor.menu(), MENU_POS_FILE), MENU_POS_RECENT_FILES);
    EXPECT_EQ(editor.submenuTexts(recent),
              (std::vector<std::wstring>{L"&0 C:\\a.smc", L"&1 C:\\B.smc", L"-", L"履歴のクリア(&C)"}));

    // The path fails to open, but still moves to the front, replacing "C:\B.smc".
    editor.project->openRomPath(L"c:\\b.SMC");
    EXPECT_EQ(editor.submenuTexts(recent),
              (std::vector<std::wstring>{L"0 c:\\b.SMC", L"1 C:\\a.smc", L"-", L"履歴のクリア(&C)"}));

    editor.command(IDM_RECENT_FILE_CLEAR);
    EXPECT_EQ(editor.submenuTexts(recent), (std::vector<std::wstring>{L"-", L"履歴のクリア(&C)"}));
    editor.stop();
    EXPECT_EQ(editor.config(L"RecentFiles", L"0"), L"");
    EXPECT_EQ(editor.config(L"RecentFiles", L"15"), L"");
}

TEST_F(MainWindowTest, RecentFileCommandOpensThatFile) {
    const std::wstring path = editor.writeRom(L"recent.smc", titledImage());
    editor.writeSetting(L"config.ini", "[RecentFiles]\r\n0=" + std::string(path.begin(), path.end()) + "\r\n");
    ASSERT_TRUE(editor.start());
    editor.command(IDM_RECENT_FILE_FIRST);
    EXPECT_TRUE(editor.project->document.loaded);
    EXPECT_EQ(editor.project->romTitle, L"recent.smc");
}

TEST_F(MainWindowTest, DroppedFilesOpenTheFirstThatWorks) {
    openSample();
    const std::wstring second = editor.writeRom(L"second.smc", titledImage());
    const std::wstring files = editor.folder.file(L"missing.smc") + L'\0' + second + L'\0' + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), files.data(), files.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(editor.project->hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    pumpMessages();
    EXPECT_EQ(editor.project->romTitle, L"second.smc");
    EXPECT_TRUE(editor.project->document.loaded);
}

TEST_F(MainWindowTest, ExitAsksWhileModified) {
    openSample();
    edit(0x70);
    editor.dialogs.answerNext(IDCANCEL);
    editor.command(IDM_FILE_EXIT);
    EXPECT_TRUE(IsWindow(editor.project->hwnd));
    editor.dialogs.answerNext(IDNO);
    editor.command(IDM_FILE_EXIT);
    EXPECT_FALSE(IsWindow(editor.project->hwnd));
}

} // namespace
} // namespace vexa
