#include "sprites/sprite_select_dialog_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "sprite_stage_fixture.h"
#include "support/dialog_answerer.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

using test::DialogAnswerer;
using test::TempFolder;

struct ListState {
    std::vector<std::wstring> rows;
    int selection = -2;
};

ListState readList(HWND dialog) {
    const HWND list = GetDlgItem(dialog, IDC_SPRITE_SELECT_LIST);
    ListState state;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        state.rows.push_back(text);
    }
    state.selection = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    return state;
}

class SpriteSelectDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setAppInstance(GetModuleHandleW(nullptr));
        useSettingsPaths(settingsPathsFor(folder.file(L"x.exe")));
    }
    void writeSprites(const std::string& text) {
        test::writeBytes(folder.file(L"sprites.ini"), std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    // Runs the dialog; `action` sees it open before `button` is pressed.
    INT_PTR run(LPARAM start, int button, DialogAnswerer::Action action = nullptr) {
        answerer.answerNext(button, [&, action](HWND dialog) {
            seen = readList(dialog);
            wchar_t caption[64] = {};
            GetWindowTextW(dialog, caption, 64);
            this->caption = caption;
            if (action) action(dialog);
        });
        SpriteSelectDialog dialog(romInfo());
        return dialog.runModal(HWND{nullptr}, start);
    }

    TempFolder folder;
    DialogAnswerer answerer;
    ListState seen;
    std::wstring caption;
};

TEST_F(SpriteSelectDialogTest, RowsNameTheEvenTypes) {
    writeSprites("\xEF\xBB\xBF[Sprites]\r\nCount=4\r\n[SpriteName]\r\n0000=なし\r\n0002=ゴブリン\r\n0003=odd\r\n0006="
                 "コウモリ\r\n");
    EXPECT_EQ(run(4, IDOK), 4);
    EXPECT_EQ(caption, L"スプライトの選択");
    EXPECT_EQ(seen.rows, (std::vector<std::wstring>{L"0000: なし", L"0002: ゴブリン", L"0004: ?", L"0006: コウモリ"}));
    EXPECT_EQ(seen.selection, 2);
}

TEST_F(SpriteSelectDialogTest, WithoutACountThereAre206Rows) {
    EXPECT_EQ(run(0, IDCANCEL), -1);
    ASSERT_EQ(seen.rows.size(), 206u);
    EXPECT_EQ(seen.rows.back(), L"019A: ?");
}

TEST_F(SpriteSelectDialogTest, AnOddStartSelectsTheEvenTypeBelowIt) {
    EXPECT_EQ(run(0x13, IDOK), 0x12);
    EXPECT_EQ(seen.selection, 9);
}

TEST_F(SpriteSelectDialogTest, AStartBeyondTheLastRowSelectsNothing) {
    EXPECT_EQ(run(0x200, IDCANCEL), -1);
    EXPECT_EQ(seen.selection, -1);
    EXPECT_EQ(run(0xFFFFFFFF, IDCANCEL), -1);
    EXPECT_EQ(seen.selection, -1);
}

TEST_F(SpriteSelectDialogTest, OkWithNoRowSelectedKeepsTheDialogOpen) {
    bool stayedOpen = false;
    const INT_PTR result = run(0x200, IDOK, [&](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        stayedOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        SendDlgItemMessageW(dialog, IDC_SPRITE_SELECT_LIST, LB_SETCURSEL, 3, 0);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(result, 6);
}

TEST_F(SpriteSelectDialogTest, DoubleClickActsAsOk) {
    const INT_PTR result = run(0, IDCANCEL, [](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_SPRITE_SELECT_LIST);
        SendMessageW(list, LB_SETCURSEL, 7, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SPRITE_SELECT_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
    });
    EXPECT_EQ(result, 14);
}

using SpriteTypeButtonTest = test::SpriteStageTest;

TEST_F(SpriteTypeButtonTest, TheChosenTypeGoesIntoTheTypeFieldAndCancelLeavesIt) {
    type(IDC_SPRITE_TYPE, L"13");
    int startRow = -2;
    HWND owner = nullptr;
    editor.dialogs.answerNext(IDOK, [&](HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        startRow = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SPRITE_SELECT_LIST, LB_GETCURSEL, 0, 0));
        SendDlgItemMessageW(dialog, IDC_SPRITE_SELECT_LIST, LB_SETCURSEL, 2, 0);
    });
    press(IDC_SPRITE_TYPE_BROWSE);
    EXPECT_EQ(startRow, 9);
    EXPECT_EQ(owner, editor.project->hwnd);
    EXPECT_EQ(field(IDC_SPRITE_TYPE), L"0004");
    EXPECT_EQ(field(IDC_SPRITE_DESCRIPTION), L"スライム");

    editor.dialogs.answerNext(IDCANCEL);
    press(IDC_SPRITE_TYPE_BROWSE);
    EXPECT_EQ(field(IDC_SPRITE_TYPE), L"0004");
    ASSERT_EQ(editor.dialogs.seen().size(), 2u);
    EXPECT_EQ(editor.dialogs.seen()[1].caption, L"スプライトの選択");
}

} // namespace
} // namespace vexa
