// Hand-edited rominfo.ini and sprites.ini values out of any sensible range, and chip
// bitmaps that are missing or broken: the editor opens the ROM and its stage without
// a crash or a message, leaves the image and the file as they were, and keeps the
// lists that such counts fill to their caps.
#include "app/hostile_stage_image.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "support/editor_session.h"
#include "tools/sample_game/bmp_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace vexa {
namespace {

using test::EditorSession;
using test::readBytes;

// The editor opened on the hostile stage image with the given settings files.
struct HostileSession {
    explicit HostileSession(const std::string& rominfo, const std::string& sprites = "") {
        if (!rominfo.empty()) editor.writeSetting(L"rominfo.ini", rominfo);
        if (!sprites.empty()) editor.writeSetting(L"sprites.ini", sprites);
        path = editor.writeRom(L"game.smc", test::hostileStageImage());
        fileBefore = readBytes(path);
        started = editor.start(L"\"" + path + L"\"");
    }

    // Whatever the settings said, the stage opened silently and nothing was written.
    void expectOpenedSilentlyAndUnchanged() {
        EXPECT_TRUE(started);
        EXPECT_TRUE(editor.project->document.loaded);
        EXPECT_TRUE(editor.dialogs.seen().empty());
        EXPECT_EQ(editor.project->levels.stageNumber, test::kHostileStage);
        EXPECT_EQ(editor.project->document.image, test::hostileStageImage());
        EXPECT_FALSE(editor.project->isModified());
        // Paint the map with whatever the lists hold.
        RedrawWindow(editor.project->levels.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        test::pumpMessages();
        EXPECT_EQ(readBytes(path), fileBefore);
    }

    LevelManager& levels() { return editor.project->levels; }
    const TilemapData& tilemap() { return levels().tilemap.data(); }
    int bananaCount() { return levels().bananas.editor().count(); }
    int cameraCount() { return levels().cameras.editor().count(); }

    // Opens a modal dialog by `open`, counts the lines of its list `listId` and cancels it.
    int dialogLines(int listId, const std::function<void()>& open) {
        LRESULT lines = -1;
        editor.dialogs.answerNext(IDCANCEL,
                                  [&](HWND dialog) { lines = SendDlgItemMessageW(dialog, listId, LB_GETCOUNT, 0, 0); });
        open();
        editor.dialogs.clear();
        return static_cast<int>(lines);
    }

    EditorSession editor;
    std::wstring path;
    std::vector<std::uint8_t> fileBefore;
    bool started = false;
};

std::string section(const std::string& name, const std::string& keys) {
    return "[" + name + "]\r\n" + keys + "\r\n";
}

TEST(BadSettings, MapTablesOutsideTheImageShowNoTerrainSilently) {
    for (const char* bank : {"64", "0x40", "255", "100000", "-1"}) {
        SCOPED_TRACE(bank);
        HostileSession session(section("Maps", std::string("MapInfoBank=") + bank));
        session.expectOpenedSilentlyAndUnchanged();
        EXPECT_FALSE(session.tilemap().loaded);
        EXPECT_EQ(session.tilemap().widthTiles, kNoTerrainDataTiles);
        EXPECT_EQ(session.bananaCount(), 2) << "the objects still load, read by map type 0";
        EXPECT_EQ(session.cameraCount(), 1);
    }
    for (const char* table : {"65535", "65534", "0xFFFF", "-1"}) {
        SCOPED_TRACE(table);
        HostileSession session(section("Maps", std::string("MapABInfo=") + table));
        session.expectOpenedSilentlyAndUnchanged();
        EXPECT_FALSE(session.tilemap().loaded);
    }
}

TEST(BadSettings, ObjectTablesOutsideTheImageGiveEmptyLists) {
    for (const char* levels : {"0x400000", "0xFF0000", "-1", "4194304"}) {
        SCOPED_TRACE(levels);
        HostileSession session(section("Bananas", std::string("Levels=") + levels) +
                               section("Cameras", std::string("Levels=") + levels));
        session.expectOpenedSilentlyAndUnchanged();
        EXPECT_EQ(session.bananaCount(), 0);
        EXPECT_EQ(session.cameraCount(), 0);
        EXPECT_TRUE(session.tilemap().loaded);
    }
    // Tables at the very end of a bank: their words wrap within it.
    HostileSession session(section("Bananas", "Levels=0x2CFFFF\r\nBananaSets=0xFFFFFF") +
                           section("Cameras", "Levels=0x3DFFFE"));
    session.expectOpenedSilentlyAndUnchanged();
    EXPECT_LE(session.bananaCount(), 0xFFFF / 4);
    EXPECT_LE(session.cameraCount(), 0xFFFF / 5);
}

TEST(BadSettings, SpriteBankValuesOutOfRangeStillLoadTheList) {
    for (const char* keys : {"LevelCount=0", "LevelCount=-1", "LevelCount=100000", "AvailableEnd=-1", "AvailableEnd=0",
                             "AvailableEnd=0x1FFFF"}) {
        SCOPED_TRACE(keys);
        HostileSession session(section("Sprites", keys));
        session.expectOpenedSilentlyAndUnchanged();
        EXPECT_EQ(session.levels().sprites.sprites().sprites.size(), 2u);
        EXPECT_LT(session.levels().sprites.sprites().capacity, 0x10000);
    }
}

TEST(BadSettings, StageAndSpriteTypeListsStopAtTheirCaps) {
    for (const auto& [count, lines] : {std::pair{"0", 0}, {"-1", 0}, {"-100000", 0}, {"100000", 0x8000}}) {
        SCOPED_TRACE(count);
        HostileSession session(section("Levels", std::string("Count=") + count),
                               section("Sprites", std::string("Count=") + count));
        session.expectOpenedSilentlyAndUnchanged();
        EXPECT_EQ(session.dialogLines(IDC_LEVEL_LIST, [&] { session.editor.command(IDM_STAGE_SELECT); }), lines);
        const HWND page = session.levels().sprites.hwnd;
        EXPECT_EQ(session.dialogLines(
                      IDC_SPRITE_SELECT_LIST,
                      [&] { SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SPRITE_TYPE_BROWSE, BN_CLICKED), 0); }),
                  lines);
    }
}

TEST(BadSettings, FullListsOfNamesListEveryLine) {
    // Every line named: each line looks its name up among all the others.
    std::string levelNames = "[Levels]\r\nCount=100000\r\n[LevelName]\r\n";
    std::string typeNames = "[Sprites]\r\nCount=100000\r\n[SpriteName]\r\n";
    for (int n = 0; n < 0x8000; ++n) {
        levelNames += hexKey2(n) + "=Stage " + std::to_string(n) + "\r\n";
        typeNames += hexKey4(2 * n) + "=Type " + std::to_string(n) + "\r\n";
    }
    HostileSession session(levelNames, typeNames);
    session.expectOpenedSilentlyAndUnchanged();
    EXPECT_EQ(session.dialogLines(IDC_LEVEL_LIST, [&] { session.editor.command(IDM_STAGE_SELECT); }), 0x8000);
    const HWND page = session.levels().sprites.hwnd;
    EXPECT_EQ(
        session.dialogLines(IDC_SPRITE_SELECT_LIST,
                            [&] { SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SPRITE_TYPE_BROWSE, BN_CLICKED), 0); }),
        0x8000);
}

TEST(BadSettings, BananaSetChoicesStopAtTheLastSetNumber) {
    for (const auto& [count, choices] : {std::pair{"0", 0}, {"-5", 0}, {"256", 256}, {"100000", 256}}) {
        SCOPED_TRACE(count);
        HostileSession session(section("Bananas", std::string("BananaSetCount=") + count));
        session.expectOpenedSilentlyAndUnchanged();
        EXPECT_EQ(SendDlgItemMessageW(session.levels().bananas.hwnd, IDC_BANANA_SET, CB_GETCOUNT, 0, 0), choices);
    }
}

TEST(BadSettings, MissingOrBrokenChipBitmapShowsNoGraphicsSilently) {
    const sample::Rgb gray[] = {{128, 128, 128}, {128, 128, 128}};
    auto bitmap = sample::flatChipBitmap(2, 1, gray);
    auto truncated = bitmap;
    truncated.resize(30);
    auto huge = bitmap; // claims 30000 x 30000 pixels but holds a few
    const LONG side = 30000;
    std::memcpy(&huge[18], &side, 4);
    std::memcpy(&huge[22], &side, 4);
    huge.resize(200);
    auto noBits = bitmap; // zero bits per pixel
    noBits[28] = 0;
    noBits[29] = 0;
    auto offsetPastEnd = bitmap;
    const DWORD pastEnd = 0x7FFFFFF0;
    std::memcpy(&offsetPastEnd[10], &pastEnd, 4);
    std::vector<std::uint8_t> noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 131 + 7);
    noise[0] = 'B';
    noise[1] = 'M';

    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> files = {
        {"empty", {}},       {"truncated", truncated},  {"huge", huge},
        {"no bits", noBits}, {"offset", offsetPastEnd}, {"noise", noise}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        HostileSession session(section("MapChip", "2A=chip.bmp"));
        // The bitmap goes in before the stage is opened again.
        CreateDirectoryW(session.editor.folder.file(L"chips").c_str(), nullptr);
        test::writeBytes(session.editor.folder.file(L"chips\\chip.bmp"), bytes);
        session.levels().loadCurrentStage();
        session.expectOpenedSilentlyAndUnchanged();
        EXPECT_TRUE(session.tilemap().loaded);
    }
    HostileSession missing(section("MapChip", "2A=no such file.bmp"));
    missing.expectOpenedSilentlyAndUnchanged();
    EXPECT_TRUE(missing.tilemap().loaded);
}

} // namespace
} // namespace vexa
