// Saving when the disk or the system fails part-way, and a save killed half-way: the
// file on disk is always the old one or the new one, whole; a failed save is told and
// leaves the edits in memory, so that a later save can still write them.
#include "app/rom_file_win.h"
#include "app/rom_io_win.h"
#include "resources/resource_ids.h"
#include "support/editor_session.h"
#include "support/other_process.h"

#include "app/rom_checksum.h"
#include "tests/win_tools/stress_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace vexa {
namespace {

using test::EditorSession;
using test::readBytes;
using test::titledImage;

constexpr const wchar_t* kSaveFailed = L"ファイルの保存に失敗しました。";
constexpr const wchar_t* kReadFailed = L"ファイルの読み込みに失敗しました。";

// Puts failing system calls in place for one test and the real ones back afterwards.
class FailingCalls {
public:
    FailingCalls() : saved_(fileSystemCalls()) {}
    ~FailingCalls() { fileSystemCalls() = saved_; }
    FailingCalls(const FailingCalls&) = delete;
    FailingCalls& operator=(const FailingCalls&) = delete;
    void restore() { fileSystemCalls() = saved_; }

private:
    FileSystemCalls saved_;
};

// The disk's state for the failing calls below; plain globals since the calls are
// plain function pointers.
std::size_t gBytesLeft = 0;
DWORD gWriteError = ERROR_DISK_FULL;

// Takes what still fits, then fails: a first call that does not fit all of its bytes
// writes part of them and reports success, as a real short write does.
BOOL WINAPI writeUntilFull(HANDLE file, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED overlapped) {
    const auto take = static_cast<DWORD>(std::min<std::size_t>(size, gBytesLeft));
    if (take == 0) {
        *done = 0;
        SetLastError(gWriteError);
        return FALSE;
    }
    gBytesLeft -= take;
    return WriteFile(file, data, take, done, overlapped);
}

BOOL WINAPI flushFails(HANDLE) {
    SetLastError(ERROR_IO_DEVICE);
    return FALSE;
}

BOOL WINAPI replaceRefused(LPCWSTR, LPCWSTR, DWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

HANDLE WINAPI createNewRefused(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templateFile) {
    if (disposition == CREATE_NEW) {
        SetLastError(ERROR_DISK_FULL);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(path, access, share, security, disposition, flags, templateFile);
}

BOOL WINAPI readCutShort(HANDLE file, LPVOID data, DWORD size, LPDWORD done, LPOVERLAPPED overlapped) {
    const auto take = static_cast<DWORD>(std::min<std::size_t>(size, gBytesLeft));
    if (take == 0) {
        *done = 0;
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    gBytesLeft -= take;
    return ReadFile(file, data, take, done, overlapped);
}

// Every byte of banks 0x01-0x1F differs from its neighbours; the tables the stage
// load reads stay zero, so that opening is silent.
std::vector<std::uint8_t> patternedImage() {
    auto image = titledImage();
    for (std::size_t i = kBankSize; i < 0x20 * kBankSize; ++i)
        image[i] = static_cast<std::uint8_t>(i * 5 + (i >> 9));
    return image;
}

// An editor with an open, edited ROM stored with a copier header and interleaved, so
// that a torn write of any part of the file would show.
class SaveFailure : public testing::Test {
protected:
    void SetUp() override {
        layout.hasCopierHeader = true;
        layout.interleaved = true;
        layout.copierHeader.fill(0xC3);
        original = encodeRomFile(patternedImage(), layout);
        path = editor.writeRom(L"game.smc", patternedImage(), layout);
        ASSERT_TRUE(editor.start(L"\"" + path + L"\""));
        ASSERT_TRUE(editor.project->document.loaded);
        ASSERT_TRUE(editor.dialogs.seen().empty());
        // These saves fail on the ROM file itself; restore points have tests of their own.
        editor.project->diskGuard.restorePointCount = 0;
        editor.project->document.image[0x20000] = 0x77;
        // With its header checksum right, the image is what any save writes.
        fixChecksum(editor.project->document.image);
        editor.project->document.changeCount = 1;
        edited = editor.project->document.image;
    }

    // The failed save told the user and changed nothing, on disk or in memory.
    void expectNothingLost() {
        ASSERT_EQ(editor.dialogs.seen().size(), 1u);
        EXPECT_EQ(editor.dialogs.seen()[0].caption, L"エラー");
        EXPECT_EQ(editor.dialogs.seen()[0].text, kSaveFailed);
        EXPECT_EQ(readBytes(path), original);
        EXPECT_TRUE(editor.project->isModified());
        EXPECT_EQ(editor.project->document.image, edited);
        EXPECT_TRUE(editor.project->document.loaded);
        EXPECT_EQ(romFolderFiles(), std::vector<std::wstring>{L"game.smc"}) << "no temporary file stays behind";
    }

    void expectLaterSaveWrites() {
        editor.dialogs.clear();
        editor.command(IDM_FILE_SAVE);
        EXPECT_TRUE(editor.dialogs.seen().empty());
        EXPECT_FALSE(editor.project->isModified());
        EXPECT_EQ(readBytes(path), encodeRomFile(edited, layout));
    }

    std::vector<std::wstring> romFolderFiles() const {
        auto names = editor.folder.names();
        std::erase_if(names, [](const std::wstring& name) { return name.ends_with(L".ini"); });
        return names;
    }

    void saveAndFail() {
        editor.dialogs.answerNext(IDOK);
        editor.command(IDM_FILE_SAVE);
    }

    EditorSession editor;
    RomLayout layout;
    std::vector<std::uint8_t> original;
    std::vector<std::uint8_t> edited;
    std::wstring path;
};

TEST_F(SaveFailure, WriteErrorAfterAnyNumberOfBytesKeepsTheOldFile) {
    for (std::size_t bytes : {std::size_t{0}, std::size_t{1}, kCopierHeaderSize, kRomSize / 2, original.size() - 1}) {
        for (DWORD error : {DWORD{ERROR_DISK_FULL}, DWORD{ERROR_WRITE_FAULT}}) {
            SCOPED_TRACE(testing::Message() << bytes << " bytes, error " << error);
            FailingCalls calls;
            gBytesLeft = bytes;
            gWriteError = error;
            fileSystemCalls().writeFile = &writeUntilFull;
            editor.dialogs.clear();
            saveAndFail();
            expectNothingLost();
        }
    }
    expectLaterSaveWrites();
}

TEST_F(SaveFailure, FailedFlushKeepsTheOldFile) {
    FailingCalls calls;
    fileSystemCalls().flushFileBuffers = &flushFails;
    saveAndFail();
    expectNothingLost();
    calls.restore();
    expectLaterSaveWrites();
}

TEST_F(SaveFailure, RefusedFinalReplaceKeepsTheOldFile) {
    FailingCalls calls;
    fileSystemCalls().moveFileEx = &replaceRefused;
    saveAndFail();
    expectNothingLost();
    calls.restore();
    expectLaterSaveWrites();
}

TEST_F(SaveFailure, FullDiskBeforeTheFirstByteKeepsTheOldFile) {
    FailingCalls calls;
    fileSystemCalls().createFile = &createNewRefused;
    saveAndFail();
    expectNothingLost();
    calls.restore();
    expectLaterSaveWrites();
}

TEST_F(SaveFailure, FailedSaveAtTheCloseQuestionKeepsTheRomOpen) {
    FailingCalls calls;
    fileSystemCalls().moveFileEx = &replaceRefused;
    editor.dialogs.answerNext(IDYES); // save the changes?
    editor.dialogs.answerNext(IDOK);  // the save failed
    editor.command(IDM_FILE_CLOSE);
    ASSERT_EQ(editor.dialogs.seen().size(), 2u);
    EXPECT_EQ(editor.dialogs.seen()[1].text, kSaveFailed);
    EXPECT_TRUE(editor.project->document.loaded) << "the edits stay open instead of being dropped";
    EXPECT_TRUE(editor.project->isModified());
    EXPECT_EQ(readBytes(path), original);
    calls.restore();
    expectLaterSaveWrites();
}

TEST_F(SaveFailure, ReadCutShortIsToldAndKeepsTheOpenImage) {
    // Another file that fails half-way through reading leaves the document as it was.
    const std::wstring other = editor.writeRom(L"other.smc", titledImage(0x22));
    for (std::size_t bytes : {std::size_t{0}, std::size_t{4096}, kRomSize - 1}) {
        FailingCalls calls;
        gBytesLeft = bytes;
        fileSystemCalls().readFile = &readCutShort;
        editor.dialogs.clear();
        editor.dialogs.answerNext(IDOK);
        EXPECT_FALSE(openRomInto(editor.project->document, other, kDefaultCartName, editor.project->hwnd));
        ASSERT_EQ(editor.dialogs.seen().size(), 1u);
        EXPECT_EQ(editor.dialogs.seen()[0].text, kReadFailed);
        EXPECT_EQ(editor.project->document.image, edited);
        EXPECT_TRUE(editor.project->isModified());
    }
}

// Kills a second process while it saves, over and over, at random moments: the file
// must then be exactly one of the images it was saving (or the first one), never a
// mix or a part.
TEST(SaveKilled, FileIsTheOldOrTheNewOneWhole) {
    test::TempFolder folder;
    const std::wstring path = folder.file(L"stress.smc");
    test::writeBytes(path, encodeRomFile(test::stressImage(0), test::stressLayout()));
    std::mt19937 random(20240601);
    std::uint32_t newest = 0;
    int torn = 0;
    constexpr int kKills = 12;
    for (int round = 0; round < kKills; ++round) {
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(test::startFileStress(L"save \"" + path + L"\"", process));
        // Let it get into its loop, then strike at some moment of one of its saves.
        Sleep(300 + random() % 400);
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);

        const auto number = test::stressImageNumber(readBytes(path));
        if (!number)
            ++torn;
        else
            newest = std::max(newest, *number);
    }
    EXPECT_EQ(torn, 0) << "a killed save left a file that is neither the old nor a new image";
    EXPECT_GT(newest, 0u) << "no save finished in " << kKills << " rounds: the kills never met a save";
    // What a kill may leave is a temporary file beside the ROM, never a damaged ROM.
    for (const std::wstring& name : folder.names())
        EXPECT_TRUE(name == L"stress.smc" || (name.starts_with(L"~stress.smc.") && name.ends_with(L".tmp"))) << name;
}

} // namespace
} // namespace vexa
