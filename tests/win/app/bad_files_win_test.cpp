// Files that are not a ROM image of this game, or cannot be read, opened in the real
// editor: each is refused with its message (or silently where no message is due),
// and neither the image already in memory nor the file on disk changes.
#include "app/hostile_stage_image.h"
#include "app/rom_checksum.h"
#include "app/rom_file_win.h"
#include "resources/resource_ids.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vexa {
namespace {

using test::EditorSession;
using test::readBytes;
using test::writeBytes;

constexpr const wchar_t* kBadSize = L"ファイルサイズが不正です。";
constexpr const wchar_t* kUnknownFormat = L"フォーマットを特定できません。\r\nCartNameを確認してください。";

// A handle that holds a file open for writing and shares nothing, as another program
// would, until the end of the test. Sharing is checked per handle, so a handle of
// this process refuses the editor's open as another program's would.
class FileHolder {
public:
    explicit FileHolder(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~FileHolder() {
        if (held()) CloseHandle(file_);
    }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    bool held() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE file_;
};

// The file the editor may not read, as a file without read permission behaves.
std::wstring gUnreadable;

HANDLE WINAPI refuseUnreadable(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templateFile) {
    if (gUnreadable == path && (access & GENERIC_READ)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(path, access, share, security, disposition, flags, templateFile);
}

// The editor with a good ROM open, into which every bad file is then opened.
class BadFiles : public testing::Test {
protected:
    void SetUp() override {
        good = editor.writeRom(L"good.smc", test::hostileStageImage());
        ASSERT_TRUE(editor.start(L"\"" + good + L"\""));
        ASSERT_TRUE(editor.project->document.loaded);
        ASSERT_TRUE(editor.dialogs.seen().empty());
        editor.project->document.image[0x30000] = 0x5A; // an edit that must survive every refusal
        editor.project->document.changeCount = 1;
        inMemory = editor.project->document.image;
    }

    // Reload with `bytes` in place of the open file: the editor keeps the image it has.
    void reloadExpecting(const std::vector<std::uint8_t>& bytes, const wchar_t* message) {
        writeBytes(good, bytes);
        openExpecting(good, message, true);
    }

    // Opens `path` by the Open command's steps (or reloads), expecting `message`, or
    // silence when it is null.
    void openExpecting(const std::wstring& path, const wchar_t* message, bool reload = false) {
        const auto onDisk = readBytes(path);
        editor.dialogs.clear();
        if (reload) editor.dialogs.answerNext(IDOK); // the edits will be discarded: all right
        if (message) editor.dialogs.answerNext(IDOK);
        if (reload) {
            editor.command(IDM_FILE_RELOAD);
        } else {
            editor.project->document.markSaved(); // no save question before opening
            editor.project->openRomPath(path);
        }
        const auto& seen = editor.dialogs.seen();
        const std::size_t questions = reload ? 1 : 0;
        ASSERT_EQ(seen.size(), questions + (message ? 1 : 0));
        if (message) {
            EXPECT_EQ(seen.back().caption, L"エラー");
            EXPECT_EQ(seen.back().text, message);
        }
        EXPECT_EQ(editor.project->document.image, inMemory);
        EXPECT_EQ(readBytes(path), onDisk);
        EXPECT_EQ(editor.project->document.loaded, reload) << "a reload keeps the open state, an open does not";
    }

    EditorSession editor;
    std::wstring good;
    std::vector<std::uint8_t> inMemory;
};

TEST_F(BadFiles, EveryWrongSizeIsRefusedWithTheSizeMessage) {
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, kRomSize - 1, kRomSize + 1, kRomFileSizeWithHeader - 1,
                             kRomFileSizeWithHeader + 1, std::size_t{0x800000}}) {
        SCOPED_TRACE(size);
        auto bytes = test::hostileStageImage();
        bytes.resize(size, 0xEE);
        const std::wstring path = editor.folder.file(L"size.smc");
        writeBytes(path, bytes);
        openExpecting(path, kBadSize);
    }
}

TEST_F(BadFiles, WrongSizeOnReloadKeepsTheOpenImage) {
    reloadExpecting(std::vector<std::uint8_t>(kRomSize - 1, 0), kBadSize);
    reloadExpecting(std::vector<std::uint8_t>(0x800000, 0), kBadSize);
    reloadExpecting({}, kBadSize);
}

TEST_F(BadFiles, TitleAtNeitherOffsetIsRefusedWithTheFormatMessage) {
    auto image = test::hostileStageImage();
    std::memcpy(&image[kPlainTitleOffset], "MARBLE CANYON QUES7", 19);
    reloadExpecting(encodeRomFile(image, RomLayout{true, false, {}}), kUnknownFormat);
    openExpecting(editor.writeRom(L"other game.smc", image), kUnknownFormat);
}

TEST_F(BadFiles, FilesThatCannotBeReadAreRefusedSilently) {
    CreateDirectoryW(editor.folder.file(L"folder.smc").c_str(), nullptr);
    openExpecting(editor.folder.file(L"folder.smc"), nullptr);
    openExpecting(editor.folder.file(L"missing.smc"), nullptr);

    const std::wstring locked = editor.writeRom(L"locked.smc", test::hostileStageImage());
    {
        FileHolder holder(locked);
        ASSERT_TRUE(holder.held());
        openExpecting(locked, nullptr);
    }

    const std::wstring unreadable = editor.writeRom(L"unreadable.smc", test::hostileStageImage());
    const FileSystemCalls saved = fileSystemCalls();
    gUnreadable = unreadable;
    fileSystemCalls().createFile = &refuseUnreadable;
    openExpecting(unreadable, nullptr);
    fileSystemCalls() = saved;
}

TEST_F(BadFiles, EmptyCartNameTakesAnyFileOfARightSizeAsPlain) {
    editor.writeSetting(L"rominfo.ini", "[ROMInfo]\r\nCartName=\r\n");
    // Interleaved with its title at 0x7FC0 only, and without any title: both are read
    // as they stand, in plain order, and saved back unchanged.
    auto interleavedFile = encodeRomFile(test::hostileStageImage(), RomLayout{false, true, {}});
    std::memset(&interleavedFile[kPlainTitleOffset], ' ', 21);
    auto untitled = test::hostileStageImage();
    std::memset(&untitled[kPlainTitleOffset], 0, 21);
    for (auto file : {interleavedFile, encodeRomFile(untitled, RomLayout{true, false, {}})}) {
        // Its checksum, where a plain image keeps one, is right: a save keeps it so.
        fixChecksum(std::span(file).subspan(file.size() - kRomSize));
        const std::wstring path = editor.folder.file(L"any.smc");
        writeBytes(path, file);
        editor.dialogs.clear();
        editor.project->document.markSaved();
        editor.project->openRomPath(path);
        EXPECT_TRUE(editor.project->document.loaded);
        EXPECT_FALSE(editor.project->document.layout.interleaved);
        const std::size_t header = file.size() - kRomSize;
        EXPECT_TRUE(std::equal(file.begin() + static_cast<std::ptrdiff_t>(header), file.end(),
                               editor.project->document.image.begin()));
        editor.command(IDM_FILE_SAVE);
        EXPECT_EQ(readBytes(path), file);
    }
}

} // namespace
} // namespace vexa
