#include "app/rom_file_win.h"
#include "app/rom_io_win.h"

#include "support/dialog_answerer.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vexa {
namespace {

using test::DialogAnswerer;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::vector<std::uint8_t> romImage(std::uint8_t seed) {
    std::vector<std::uint8_t> image(kRomSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 3 + seed + (i >> 15));
    std::memcpy(&image[kPlainTitleOffset], kDefaultCartName.data(), kDefaultCartName.size());
    return image;
}

RomLayout layoutOf(bool header, bool interleaved) {
    RomLayout layout;
    layout.hasCopierHeader = header;
    layout.interleaved = interleaved;
    layout.copierHeader.fill(0xC5);
    return layout;
}

class RomIo : public testing::Test {
protected:
    // A document that already holds an image, so every rejection can be checked to
    // leave it alone.
    void SetUp() override { document.adopt(romImage(1), layoutOf(true, false)); }

    void expectDocumentUntouched() {
        EXPECT_EQ(document.image, romImage(1));
        EXPECT_TRUE(document.layout.hasCopierHeader);
        EXPECT_FALSE(document.layout.interleaved);
    }

    TempFolder folder;
    DialogAnswerer dialogs;
    RomDocument document;
};

TEST_F(RomIo, OpenAndSaveReproduceEveryLayoutByteForByte) {
    for (bool header : {false, true}) {
        for (bool interleaved : {false, true}) {
            const auto file = encodeRomFile(romImage(7), layoutOf(header, interleaved));
            const std::wstring path = folder.file(L"ゲーム ROM.smc");
            writeBytes(path, file);
            ASSERT_TRUE(openRomInto(document, path, kDefaultCartName, nullptr));
            EXPECT_EQ(document.image, romImage(7));
            EXPECT_EQ(document.layout.interleaved, interleaved);
            document.changeCount = 3;
            ASSERT_TRUE(saveRomFrom(document, path, nullptr));
            EXPECT_FALSE(document.isModified());
            EXPECT_EQ(readBytes(path), file);
        }
    }
    EXPECT_TRUE(dialogs.seen().empty());
    EXPECT_EQ(folder.names(), std::vector<std::wstring>{L"ゲーム ROM.smc"}) << "no temporary file is left behind";
}

TEST_F(RomIo, WrongSizesAreReportedAndRejected) {
    for (std::size_t size : {std::size_t{0}, kRomSize - 1, kRomSize + 1, kRomFileSizeWithHeader + 1}) {
        dialogs.answerNext(IDOK);
        const std::wstring path = folder.file(L"bad.smc");
        writeBytes(path, std::vector<std::uint8_t>(size, 0));
        EXPECT_FALSE(openRomInto(document, path, "", nullptr)) << size;
    }
    ASSERT_EQ(dialogs.seen().size(), 4u);
    for (const auto& seen : dialogs.seen()) {
        EXPECT_EQ(seen.caption, L"エラー");
        EXPECT_EQ(seen.text, L"ファイルサイズが不正です。");
    }
    expectDocumentUntouched();
}

TEST_F(RomIo, UnknownLayoutIsReportedAndRejected) {
    auto image = romImage(9);
    std::memcpy(&image[kPlainTitleOffset], "SOME OTHER GAME    ", 19);
    writeBytes(folder.file(L"other.smc"), image);
    dialogs.answerNext(IDOK);
    EXPECT_FALSE(openRomInto(document, folder.file(L"other.smc"), kDefaultCartName, nullptr));
    ASSERT_EQ(dialogs.seen().size(), 1u);
    EXPECT_EQ(dialogs.seen()[0].text, L"フォーマットを特定できません。\r\nCartNameを確認してください。");
    expectDocumentUntouched();
}

TEST_F(RomIo, FilesThatCannotBeOpenedFailSilently) {
    EXPECT_FALSE(openRomInto(document, folder.file(L"missing.smc"), "", nullptr));
    CreateDirectoryW(folder.file(L"folder.smc").c_str(), nullptr);
    EXPECT_FALSE(openRomInto(document, folder.file(L"folder.smc"), "", nullptr));

    // Another program holds the file open for writing and shares nothing.
    const std::wstring locked = folder.file(L"locked.smc");
    writeBytes(locked, romImage(2));
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(openRomInto(document, locked, "", nullptr));
    CloseHandle(holder);

    EXPECT_TRUE(dialogs.seen().empty());
    expectDocumentUntouched();
}

TEST_F(RomIo, FailedSaveKeepsTheOldFileAndTheModifiedState) {
    const std::wstring path = folder.file(L"keep.smc");
    const auto original = encodeRomFile(romImage(4), layoutOf(false, false));
    writeBytes(path, original);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    document.changeCount = 2;

    dialogs.answerNext(IDOK);
    EXPECT_FALSE(saveRomFrom(document, path, nullptr));
    EXPECT_EQ(document.changeCount, 2);
    EXPECT_EQ(readBytes(path), original);

    dialogs.answerNext(IDOK);
    EXPECT_FALSE(saveRomFrom(document, folder.file(L"no such folder\\x.smc"), nullptr));
    EXPECT_TRUE(document.isModified());

    ASSERT_EQ(dialogs.seen().size(), 2u);
    for (const auto& seen : dialogs.seen()) {
        EXPECT_EQ(seen.caption, L"エラー");
        EXPECT_EQ(seen.text, L"ファイルの保存に失敗しました。");
    }
    EXPECT_EQ(folder.names(), std::vector<std::wstring>{L"keep.smc"});
}

TEST_F(RomIo, SaveWhileAnotherProgramReadsTheFile) {
    // Readers that share for reading only (as the editor itself opens ROM files) do
    // not allow the file to be replaced; the save must fail cleanly, not truncate.
    const std::wstring path = folder.file(L"shared.smc");
    const auto original = encodeRomFile(romImage(5), layoutOf(false, false));
    writeBytes(path, original);
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    dialogs.answerNext(IDOK);
    const bool saved = saveRomFrom(document, path, nullptr);
    CloseHandle(reader);
    if (saved)
        EXPECT_EQ(readBytes(path), encodeRomFile(document.image, document.layout));
    else
        EXPECT_EQ(readBytes(path), original);
}

TEST(RomFileName, FileNamePartFollowsTheLastSeparator) {
    EXPECT_EQ(fileNamePart(L"C:\\roms\\game.smc"), L"game.smc");
    EXPECT_EQ(fileNamePart(L"Z:/home/u/ゲーム.smc"), L"ゲーム.smc");
    EXPECT_EQ(fileNamePart(L"plain.smc"), L"plain.smc");
}

} // namespace
} // namespace vexa
