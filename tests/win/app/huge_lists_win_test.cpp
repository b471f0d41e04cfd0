// The longest lists a ROM can hold for one stage (a sprite list filling its bank,
// banana and camera lists of nearly 64 KiB each) open with every line listed, sort,
// and undo and redo byte for byte. How long each takes is the GUI benchmark's matter
// (bench/gui_bench_win.cpp), never a limit here.
#include "app/huge_lists_image.h"
#include "app/settings_win.h"
#include "bananas/banana_edits.h"
#include "bananas/bananas_page_win.h"
#include "cameras/camera_edits.h"
#include "resources/resource_ids.h"
#include "sprites/sprite_edits.h"
#include "sprites/sprites_page_win.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using test::EditorSession;

LRESULT lineCount(HWND page, int listId) {
    return SendDlgItemMessageW(page, listId, LB_GETCOUNT, 0, 0);
}

// The first line of the list that does not hold its entry's text, as a screen reader
// reads it; -1 when every line does and the list has one per entry.
template <typename Items, typename LineOf>
int firstWrongLine(HWND page, int listId, const Items& items, LineOf lineOf) {
    const HWND list = GetDlgItem(page, listId);
    int index = 0;
    for (const auto& item : items) {
        if (test::listBoxText(list, index) != lineOf(index, item)) return index;
        ++index;
    }
    return lineCount(page, listId) == index ? -1 : index;
}

void expectEveryLineHeld(LevelManager& levels) {
    EXPECT_EQ(firstWrongLine(levels.sprites.hwnd, IDC_SPRITE_LIST, levels.sprites.sprites().sprites,
                             [](int i, const SpriteAllocData& s) {
                                 return spriteLineText(i, s, spriteTypeLabel(romInfo(), s.type));
                             }),
              -1);
    EXPECT_EQ(firstWrongLine(levels.bananas.hwnd, IDC_BANANA_LIST, levels.bananas.editor().items(),
                             [](int i, const BananaAllocData& b) {
                                 return bananaListLine(i, b.setNumber, bananaSetNameText(romInfo(), b.setNumber));
                             }),
              -1);
    EXPECT_EQ(firstWrongLine(levels.cameras.hwnd, IDC_CAMERA_LIST, levels.cameras.editor().items(), cameraListLine),
              -1);
}

TEST(HugeLists, OpenSortUndoAndRedoEveryByte) {
    EditorSession editor;
    editor.writeSetting(L"rominfo.ini", test::kHugeListsRomInfo);
    const auto original = test::hugeListsImage();
    const std::wstring path = editor.writeRom(L"huge.smc", original);
    ASSERT_TRUE(editor.start(L"\"" + path + L"\""));
    LevelManager& levels = editor.project->levels;
    ASSERT_EQ(levels.sprites.sprites().sprites.size(), static_cast<std::size_t>(test::kHugeSprites));
    ASSERT_EQ(levels.bananas.editor().count(), test::kHugeBananas);
    ASSERT_EQ(levels.cameras.editor().count(), test::kHugeCameras);
    EXPECT_EQ(lineCount(levels.sprites.hwnd, IDC_SPRITE_LIST), test::kHugeSprites);
    EXPECT_EQ(lineCount(levels.bananas.hwnd, IDC_BANANA_LIST), test::kHugeBananas);
    EXPECT_EQ(lineCount(levels.cameras.hwnd, IDC_CAMERA_LIST), test::kHugeCameras);
    EXPECT_TRUE(editor.dialogs.seen().empty());

    // Each line holds its entry's text and is drawn as a text line: the selected one
    // highlighted, the others with their text on the window colour.
    expectEveryLineHeld(levels);
    const HWND sprites = GetDlgItem(levels.sprites.hwnd, IDC_SPRITE_LIST);
    selectListLines(sprites, {0});
    UpdateWindow(sprites);
    RECT first;
    RECT second;
    SendMessageW(sprites, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(sprites, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    HDC dc = GetDC(sprites);
    EXPECT_EQ(GetPixel(dc, first.right - 2, (first.top + first.bottom) / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, second.right - 2, (second.top + second.bottom) / 2), GetSysColor(COLOR_WINDOW));
    int textPixels = 0;
    for (int x = second.left; x < second.left + 40; ++x)
        for (int y = second.top; y < second.bottom; ++y)
            textPixels += GetPixel(dc, x, y) != GetSysColor(COLOR_WINDOW);
    ReleaseDC(sprites, dc);
    EXPECT_GT(textPixels, 10) << "line 1 shows its text";
    EXPECT_EQ(second.bottom - second.top, first.bottom - first.top);

    auto press = [&](HWND page, int id) {
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        test::pumpMessages();
    };
    press(levels.sprites.hwnd, IDC_SPRITE_SORT);
    press(levels.bananas.hwnd, IDC_BANANA_SORT);
    press(levels.cameras.hwnd, IDC_CAMERA_SORT);
    const auto sorted = editor.project->document.image;
    EXPECT_NE(sorted, original);
    EXPECT_EQ(lineCount(levels.bananas.hwnd, IDC_BANANA_LIST), test::kHugeBananas) << "a sort keeps every line";
    expectEveryLineHeld(levels);
    for (int i = 0; i < 3; ++i)
        editor.command(IDM_EDIT_UNDO);
    EXPECT_EQ(editor.project->document.image, original) << "undoing the three sorts restores every byte";
    expectEveryLineHeld(levels);
    for (int i = 0; i < 3; ++i)
        editor.command(IDM_EDIT_REDO);
    EXPECT_EQ(editor.project->document.image, sorted);
    expectEveryLineHeld(levels);
    EXPECT_EQ(lineCount(levels.cameras.hwnd, IDC_CAMERA_LIST), test::kHugeCameras);
    EXPECT_TRUE(editor.dialogs.seen().empty());
}

} // namespace
} // namespace vexa
