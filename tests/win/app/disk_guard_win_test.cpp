// The safety net around the open file, through the real editor: another process
// rewrites or deletes the ROM while it is open, restore points are kept before each
// save, counted, pruned and restored, and one that cannot be written is told.
#include "app/restore_points_win.h"
#include "app/rom_file_win.h"
#include "sprites/sprite_stage_fixture.h"
#include "support/other_process.h"

#include <regex>

namespace vexa::test {
namespace {

constexpr unsigned kUnusedByte = 0x300000; // far from every table the stage reads

class DiskGuardTest : public SpriteStageTest {
protected:
    const std::wstring& romPath() const { return editor.project->romPath; }
    Bytes onDisk() const { return readBytes(romPath()); }
    std::wstring backups() const { return restorePointFolder(romPath()); }

    // Another program saves `image`, in plain order, over the open ROM.
    void otherProgramSaves(const Bytes& image) {
        const std::wstring side = editor.folder.file(L"other.bin");
        writeBytes(side, image);
        ASSERT_EQ(runFileStress(L"copy \"" + side + L"\" \"" + romPath() + L"\""), 0);
    }
    void addSprite() {
        typeSprite(L"0001", L"100", L"100", L"0002");
        press(IDC_SPRITE_ADD);
    }
    // The restore points as the editor ranks them, newest first.
    std::vector<std::wstring> restorePoints() const {
        std::vector<std::wstring> points;
        for (const RestorePoint& point : listRestorePoints(romPath()))
            points.push_back(fileNamePart(point.path));
        return points;
    }
    Bytes restorePoint(std::size_t newest) const { return readBytes(listRestorePoints(romPath()).at(newest).path); }
    std::vector<Bytes> restorePointContents() const {
        std::vector<Bytes> contents;
        for (const RestorePoint& point : listRestorePoints(romPath()))
            contents.push_back(readBytes(point.path));
        return contents;
    }
    std::size_t filesInBackups() const {
        std::vector<std::wstring> names;
        TempFolder::listNames(backups(), names);
        return names.size();
    }
    void save(std::uint8_t k) {
        image()[kUnusedByte + k] = k;
        editor.command(IDM_FILE_SAVE);
    }
    static FILETIME writeTime(const std::wstring& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }
    static void setWriteTime(const std::wstring& path, const FILETIME& time) {
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    }
    const SeenDialog& lastDialog() const { return editor.dialogs.seen().back(); }
};

TEST_F(DiskGuardTest, AnotherProgramsSaveIsOfferedOnceAndTheOverwriteAsked) {
    const Bytes mine = onDisk();
    Bytes theirs = mine;
    theirs[kUnusedByte] = 0x5A;
    otherProgramSaves(theirs);

    editor.dialogs.answerNext(IDNO);
    editor.comeBack();
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(lastDialog().caption, L"Vexa Editor");
    EXPECT_EQ(lastDialog().text, L"「sprites.smc」は他のプログラムによって変更されました。再読み込みしますか?");
    EXPECT_EQ(image()[kUnusedByte], 0) << "No keeps the editor's image";
    editor.comeBack();
    EXPECT_EQ(editor.dialogs.seen().size(), 1u) << "asked once per change";

    editor.dialogs.answerNext(IDCANCEL);
    editor.command(IDM_FILE_SAVE);
    ASSERT_EQ(editor.dialogs.seen().size(), 2u);
    EXPECT_EQ(lastDialog().text, L"「sprites.smc」は他のプログラムによって変更されています。\n上書きしますか?");
    EXPECT_EQ(onDisk(), theirs) << "Cancel writes nothing";
    EXPECT_TRUE(restorePoints().empty());

    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_SAVE);
    ASSERT_EQ(editor.dialogs.seen().size(), 3u);
    EXPECT_EQ(onDisk()[kUnusedByte], 0) << "OK writes the editor's image";
    ASSERT_EQ(restorePoints().size(), 1u);
    EXPECT_EQ(restorePoint(0), theirs) << "the other program's version is kept";
    editor.comeBack();
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(editor.dialogs.seen().size(), 3u) << "the file is the editor's own again";

    // A file only touched, its content the same, is no change.
    setWriteTime(romPath(), FILETIME{0x12345678, 0x01E00000});
    editor.comeBack();
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(editor.dialogs.seen().size(), 3u);
}

// Another program's change is asked about however the save reaches the file: a Save
// after a write that kept the file's time (on FAT, times go by two seconds), and a
// Save As onto the open file under another case and under its short name.
TEST_F(DiskGuardTest, AChangeIsAskedAboutWhateverItsTimeAndTheNameTheSaveUses) {
    const FILETIME before = writeTime(romPath());
    Bytes theirs = onDisk();
    theirs[kUnusedByte] = 0x5A;
    otherProgramSaves(theirs);
    setWriteTime(romPath(), before);
    image()[kUnusedByte + 1] = 1;
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(romPath().c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(romPath(), shortPath);
    for (const std::wstring& alias : {std::wstring(), editor.folder.file(L"SPRITES.SMC"), std::wstring(shortPath)}) {
        SCOPED_TRACE(testing::Message() << (alias.empty() ? L"Save" : alias));
        editor.dialogs.clear();
        if (!alias.empty()) {
            editor.dialogs.answerNext(IDOK, [&](HWND dialog) {
                for (int id : {0x47C, 0x480})
                    SetDlgItemTextW(dialog, id, alias.c_str());
            });
            editor.dialogs.answerNext(IDYES); // the file dialog: replace it?
        }
        editor.dialogs.answerNext(IDCANCEL); // overwrite the other program's change?
        editor.command(alias.empty() ? IDM_FILE_SAVE : IDM_FILE_SAVE_AS);
        ASSERT_EQ(editor.dialogs.seen().size(), alias.empty() ? 1u : 3u);
        EXPECT_EQ(lastDialog().text, L"「sprites.smc」は他のプログラムによって変更されています。\n上書きしますか?");
        EXPECT_EQ(onDisk(), theirs);
    }
}

TEST_F(DiskGuardTest, YesReloadsOnTheSameStageAndScrollAndDropsTheEdits) {
    openStage(38);
    levels().scrollTo({300, 0});
    Bytes theirs = onDisk();
    theirs[kUnusedByte] = 0x5A;
    addSprite();
    ASSERT_TRUE(editor.project->isModified());
    otherProgramSaves(theirs);

    editor.dialogs.answerNext(IDYES);
    editor.comeBack();
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(lastDialog().text, L"「sprites.smc」は他のプログラムによって変更されました。再読み込みしますか?\n"
                                 L"編集内容は破棄されます。");
    EXPECT_EQ(image(), theirs);
    EXPECT_FALSE(editor.project->isModified());
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_EQ(levels().stageNumber, 38);
    EXPECT_EQ(levels().scrollPosition().x, 300);
    EXPECT_EQ(lines().size(), storedList(38).size()) << "the page shows the reloaded list";
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(editor.dialogs.seen().size(), 1u);
}

TEST_F(DiskGuardTest, AReloadThatCannotReadTheFileIsToldAndKeepsTheEditsAndTheirHistory) {
    Bytes theirs = onDisk();
    theirs[kUnusedByte] = 0x5A;
    addSprite();
    const Bytes edited = image();
    otherProgramSaves(theirs);
    HANDLE holder = INVALID_HANDLE_VALUE;
    // The other program still holds the file, sharing nothing, when the answer comes.
    editor.dialogs.answerNext(IDYES, [&](HWND) {
        holder = CreateFileW(romPath().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    });
    editor.dialogs.answerNext(IDOK);
    editor.comeBack();
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CloseHandle(holder);
    ASSERT_EQ(editor.dialogs.seen().size(), 2u);
    EXPECT_EQ(lastDialog().caption, L"エラー");
    EXPECT_EQ(lastDialog().text, L"「sprites.smc」を再読み込みできませんでした。\n"
                                 L"ファイルが見つからないか、他のプログラムが使用中です。");
    EXPECT_EQ(image(), edited);
    EXPECT_TRUE(editor.project->isModified());
    EXPECT_TRUE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_EQ(lines().size(), spriteList().size());
    editor.comeBack();
    EXPECT_EQ(editor.dialogs.seen().size(), 2u) << "that change is not offered again";
}

TEST_F(DiskGuardTest, AMissingFileIsToldOnceAndTheNextSaveWritesIt) {
    ASSERT_EQ(runFileStress(L"delete \"" + romPath() + L"\""), 0);
    editor.dialogs.answerNext(IDOK);
    editor.comeBack();
    editor.comeBack();
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(lastDialog().caption, L"エラー");
    EXPECT_EQ(lastDialog().text, L"「sprites.smc」が見つかりません。");
    addSprite();
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(onDisk(), image());
}

TEST_F(DiskGuardTest, CancellingTheOverwriteCancelsTheCloseThatAskedForTheSave) {
    Bytes theirs = onDisk();
    theirs[kUnusedByte] = 0x5A;
    addSprite();
    otherProgramSaves(theirs);
    editor.dialogs.answerNext(IDYES);    // save the changes?
    editor.dialogs.answerNext(IDCANCEL); // overwrite the other program's?
    editor.command(IDM_FILE_CLOSE);
    editor.comeBack();
    ASSERT_EQ(editor.dialogs.seen().size(), 2u) << "the overwrite question counts as asked";
    EXPECT_TRUE(editor.project->document.loaded);
    EXPECT_TRUE(editor.project->isModified());
    EXPECT_EQ(onDisk(), theirs);
}

TEST_F(DiskGuardTest, RestorePointsAreKeptPrunedAndRestored) {
    editor.project->diskGuard.restorePointCount = 3;
    CreateDirectoryW(backups().c_str(), nullptr);
    for (const wchar_t* name : {L"notes.txt", L"sprites-old.smc", L"sprites-19990101-000000.smc"})
        writeBytes(backups() + L"\\" + name, {1, 2, 3});
    std::vector<Bytes> saved = {onDisk()};
    for (std::uint8_t k = 1; k <= 5; ++k) {
        image()[kUnusedByte + k] = k;
        editor.command(IDM_FILE_SAVE);
        saved.push_back(onDisk());
    }
    ASSERT_EQ(restorePoints().size(), 3u) << "the newest three; the oldest one of 1999 went too";
    for (std::size_t newest = 0; newest < 3; ++newest)
        EXPECT_EQ(restorePoint(newest), saved[4 - newest]);
    std::vector<std::wstring> names;
    TempFolder::listNames(backups(), names);
    EXPECT_EQ(names.size(), 5u) << "files that are no restore points stay";

    // The dialog lists them newest first with their difference; OK takes the second.
    std::vector<std::wstring> listed;
    editor.dialogs.answerNext(IDOK, [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_RESTORE_POINT_LIST);
        for (int i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[128] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            listed.push_back(text);
        }
        SendMessageW(list, LB_SETCURSEL, 1, 0);
    });
    editor.command(IDM_FILE_RESTORE);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(lastDialog().caption, L"バックアップから復元");
    ASSERT_EQ(listed.size(), 3u);
    for (const std::wstring& line : listed)
        EXPECT_TRUE(std::regex_match(line, std::wregex(LR"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\t現在と [\d,]+ バイト違う)")))
            << line;
    EXPECT_EQ(image(), saved[3]);
    EXPECT_TRUE(editor.project->isModified());
    EXPECT_FALSE(editor.menuEnabled(IDM_EDIT_UNDO));
    EXPECT_EQ(onDisk(), saved[5]) << "nothing is written before the user saves";

    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(onDisk(), saved[3]);
    ASSERT_EQ(restorePoints().size(), 3u);
    EXPECT_EQ(restorePoint(0), saved[5]) << "the save kept the file it replaced";

    editor.project->diskGuard.restorePointCount = 0;
    image()[kUnusedByte] = 9;
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(restorePoints().size(), 3u) << "a count of 0 keeps none and deletes none";
    editor.stop();
    EXPECT_EQ(editor.config(L"Backup", L"Count"), L"0");
}

TEST_F(DiskGuardTest, RestorePointsMadeAfterTheClockWentBackStayTheNewest) {
    editor.project->diskGuard.restorePointCount = 2;
    // Two restore points made before the clock went back an hour: their names and
    // their write times lie ahead of now.
    CreateDirectoryW(backups().c_str(), nullptr);
    ULARGE_INTEGER ahead{};
    GetSystemTimeAsFileTime(reinterpret_cast<FILETIME*>(&ahead));
    for (const wchar_t* name : {L"sprites-20991231-235958.smc", L"sprites-20991231-235959.smc"}) {
        ahead.QuadPart += 3600 * 10'000'000ull;
        writeBytes(backups() + L"\\" + name, {1, 2, 3});
        setWriteTime(backups() + L"\\" + name, FILETIME{ahead.LowPart, ahead.HighPart});
    }
    std::vector<Bytes> saved = {onDisk()};
    for (std::uint8_t k = 1; k <= 2; ++k) {
        save(k);
        saved.push_back(onDisk());
    }
    EXPECT_EQ(restorePointContents(), (std::vector<Bytes>{saved[1], saved[0]}));
    EXPECT_EQ(filesInBackups(), 2u);
}

TEST_F(DiskGuardTest, SavesThatFailOrChangeNothingPushNoHistoryOut) {
    editor.project->diskGuard.restorePointCount = 2;
    std::vector<Bytes> saved = {onDisk()};
    for (std::uint8_t k = 1; k <= 2; ++k) {
        save(k);
        saved.push_back(onDisk());
    }
    SetFileAttributesW(romPath().c_str(), FILE_ATTRIBUTE_READONLY);
    for (int attempt = 0; attempt < 3; ++attempt) {
        editor.dialogs.answerNext(IDOK);
        save(3);
    }
    SetFileAttributesW(romPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(editor.dialogs.seen().size(), 3u);
    EXPECT_EQ(lastDialog().text, L"ファイルの保存に失敗しました。");
    EXPECT_EQ(restorePointContents(), (std::vector<Bytes>{saved[2], saved[1], saved[0]}))
        << "one copy of the file that could not be replaced, the history behind it untouched";

    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(restorePointContents(), (std::vector<Bytes>{saved[2], saved[1]})) << "pruned once a save went through";
    const FILETIME written = writeTime(romPath());
    for (int again = 0; again < 3; ++again)
        editor.command(IDM_FILE_SAVE);
    const FILETIME after = writeTime(romPath());
    EXPECT_EQ(CompareFileTime(&written, &after), 0) << "nothing to write";
    EXPECT_EQ(restorePointContents(), (std::vector<Bytes>{saved[2], saved[1]}));
    EXPECT_EQ(editor.dialogs.seen().size(), 3u);
}

TEST_F(DiskGuardTest, RestorePointsOfTheNameInAnotherCaseAreListedAndPruned) {
    editor.project->diskGuard.restorePointCount = 2;
    for (std::uint8_t k = 1; k <= 2; ++k)
        save(k);
    editor.project->openRomPath(editor.folder.file(L"SPRITES.SMC"));
    ASSERT_EQ(editor.project->romTitle, L"SPRITES.SMC");
    ASSERT_TRUE(editor.project->document.loaded);
    EXPECT_EQ(restorePoints().size(), 2u);
    save(3);
    EXPECT_EQ(restorePoints().size(), 2u);
    EXPECT_EQ(filesInBackups(), 2u) << "the oldest, named in the other case, was pruned";
}

HANDLE WINAPI backupsRefused(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                             DWORD flags, HANDLE templateFile) {
    if (std::wstring_view(path).find(L".backups\\") != std::wstring_view::npos) {
        SetLastError(ERROR_DISK_FULL);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(path, access, share, security, disposition, flags, templateFile);
}

TEST_F(DiskGuardTest, ARestorePointThatCannotBeWrittenIsToldOnceAndTheSaveGoesOn) {
    const FileSystemCalls saved = fileSystemCalls();
    fileSystemCalls().createFile = &backupsRefused;
    editor.dialogs.answerNext(IDOK);
    for (std::uint8_t k = 1; k <= 2; ++k) {
        image()[kUnusedByte] = k;
        editor.command(IDM_FILE_SAVE);
        EXPECT_EQ(onDisk()[kUnusedByte], k);
    }
    fileSystemCalls() = saved;
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(lastDialog().caption, L"エラー");
    EXPECT_EQ(lastDialog().text, L"バックアップを作成できませんでした。");
    EXPECT_FALSE(editor.project->isModified());
    EXPECT_TRUE(restorePoints().empty());
}

} // namespace
} // namespace vexa::test
