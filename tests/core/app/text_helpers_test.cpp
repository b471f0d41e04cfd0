#include "app/text_buffer.h"
#include "ui/path_text.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(PathText, SplitsAtTheLastSeparatorOfEitherKind) {
    const struct {
        const wchar_t* path;
        bool hasFolder;
        const wchar_t* folder;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\roms\\game.smc", true, L"C:\\roms", L"game.smc"},
        {L"Z:/home/u/ゲーム.smc", true, L"Z:/home/u", L"ゲーム.smc"},
        {L"C:\\mixed/dir\\x.smc", true, L"C:\\mixed/dir", L"x.smc"},
        {L"plain.smc", false, L"", L"plain.smc"},
        {L"C:\\", true, L"C:", L""},
    };
    for (const auto& c : cases) {
        const PathSplit split = splitPath(c.path);
        EXPECT_EQ(split.hasFolder, c.hasFolder) << c.path;
        EXPECT_EQ(split.folder, c.folder) << c.path;
        EXPECT_EQ(split.name, c.name) << c.path;
        EXPECT_EQ(fileNamePart(c.path), c.name);
    }
}

TEST(PathText, StemDropsOnlyTheLastExtension) {
    EXPECT_EQ(fileStemPart(L"C:\\roms\\game.smc"), L"game");
    EXPECT_EQ(fileStemPart(L"C:\\roms.v1\\game.v2.smc"), L"game.v2");
    EXPECT_EQ(fileStemPart(L"Z:/ゲーム"), L"ゲーム");
    EXPECT_EQ(fileStemPart(L".smc"), L".smc");
}

TEST(TextBuffer, CutsToTheBufferButNeverHalfASurrogatePair) {
    EXPECT_EQ(cutToBuffer(L"abcdef", 4), L"abc");
    EXPECT_EQ(cutToBuffer(L"abc", 4), L"abc");
    EXPECT_EQ(cutToBuffer(L"abc", 0), L"");
    EXPECT_EQ(cutToBuffer(L"abc", 1), L"");
    // U+20BB7 is the pair D842 DFB7: a cut between its halves drops both.
    const std::wstring pair = {L'a', L'b', wchar_t(0xD842), wchar_t(0xDFB7), L'c'};
    EXPECT_EQ(cutToBuffer(pair, 4), L"ab");
    EXPECT_EQ(cutToBuffer(pair, 5), pair.substr(0, 4));
}

} // namespace
} // namespace vexa
