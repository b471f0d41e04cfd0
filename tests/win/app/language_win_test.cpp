// View > 言語 on the real editor: the whole interface in English or Japanese, chosen
// at once with a file open (which keeps the file, stage, selection, scroll and
// history), kept in config.ini and read back at start; and the string tables that
// the program reads are the ones the native build's table was made of.
#include "app/main/status_bar_win.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "stage/object_page_tools_win.h"
#include "stage/view/level_manager_win.h"
#include "support/editor_session.h"
#include "tools/sample_game/sample_game.h"
#include "ui/texts_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

using test::EditorSession;
using test::listBoxText;
using test::pumpMessages;

// Every item's text of a menu and its submenus, depth first, separators as "-".
void collectMenuTexts(HMENU menu, std::vector<std::wstring>& texts) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t label[256] = L"";
        GetMenuStringW(menu, static_cast<UINT>(i), label, 256, MF_BYPOSITION);
        texts.push_back(label[0] ? label : L"-");
        if (HMENU sub = GetSubMenu(menu, i)) collectMenuTexts(sub, texts);
    }
}

class LanguageTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeSampleGame(buildSampleGame(), editor.folder.path(), {})); }
    void TearDown() override { setCurrentLanguage(Language::Japanese); }

    void start(const std::string& config = "") {
        if (!config.empty()) editor.writeSetting(L"config.ini", config);
        ASSERT_TRUE(editor.start(L"\"" + editor.folder.file(L"sample.smc") + L"\""));
        ASSERT_TRUE(editor.project->document.loaded);
        MoveWindow(editor.project->hwnd, 0, 0, 900, 700, TRUE);
        pumpMessages();
    }

    LevelManager& levels() { return editor.project->levels; }
    std::vector<std::wstring> menuTexts() {
        std::vector<std::wstring> texts;
        collectMenuTexts(editor.menu(), texts);
        return texts;
    }
    std::wstring tabText(int index) {
        wchar_t caption[64] = L"";
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = 64;
        SendMessageW(levels().inspector.tabControl, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        return caption;
    }
    std::wstring statusPart(MainStatusBar::Part which) {
        const HWND bar = editor.project->statusBar.hwnd;
        std::wstring text(LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, which, 0)) + 1, L'\0');
        SendMessageW(bar, SB_GETTEXTW, which, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.find(L'\0'));
        return text;
    }
    std::wstring itemText(HWND page, int id) {
        wchar_t text[256] = L"";
        GetDlgItemTextW(page, id, text, 256);
        return text;
    }

    EditorSession editor;
};

TEST_F(LanguageTest, SettingChoosesTheLanguageAtStartAndAnyOtherWordMeansJapanese) {
    struct Case {
        const char* config;
        const wchar_t* fileMenu;
        int checked;
    };
    for (const Case& c : {Case{"", L"ファイル(&F)", IDM_VIEW_LANGUAGE_JA},
                          Case{"[MainWindow]\nLanguage=en\n", L"&File", IDM_VIEW_LANGUAGE_EN},
                          Case{"[MainWindow]\nLanguage=ja\n", L"ファイル(&F)", IDM_VIEW_LANGUAGE_JA},
                          Case{"[MainWindow]\nLanguage=fr\n", L"ファイル(&F)", IDM_VIEW_LANGUAGE_JA}}) {
        SCOPED_TRACE(c.config);
        EditorSession session;
        if (c.config[0]) session.writeSetting(L"config.ini", c.config);
        ASSERT_TRUE(session.start());
        wchar_t label[64] = L"";
        GetMenuStringW(session.menu(), MENU_POS_FILE, label, 64, MF_BYPOSITION);
        EXPECT_STREQ(label, c.fileMenu);
        EXPECT_TRUE(session.menuChecked(c.checked));
        EXPECT_FALSE(
            session.menuChecked(c.checked == IDM_VIEW_LANGUAGE_JA ? IDM_VIEW_LANGUAGE_EN : IDM_VIEW_LANGUAGE_JA));
        session.stop();
    }
}

TEST_F(LanguageTest, SwitchWithAFileOpenKeepsEverythingButTheTextsAndIsSaved) {
    start();
    // An edit on the page, two sprites selected, the map scrolled, the history shown.
    const HWND page = levels().sprites.hwnd;
    const HWND list = GetDlgItem(page, IDC_SPRITE_LIST);
    ASSERT_GE(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    selectListLines(list, {0});
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SPRITE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    SetDlgItemTextW(page, IDC_SPRITE_X, std::to_wstring(std::stoi(itemText(page, IDC_SPRITE_X)) + 16).c_str());
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SPRITE_APPLY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_SPRITE_APPLY)));
    selectListLines(list, {0, 1});
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SPRITE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    levels().scrollTo({64, 32});
    editor.command(IDM_VIEW_HISTORY);
    pumpMessages();
    ASSERT_EQ(editor.project->undoBuffer.undoCount(), 1u);
    const std::vector<std::uint8_t> image = editor.project->document.image;
    const int stage = levels().stageNumber;
    const KindMarks marks = levels().marks();
    const POINT scroll = levels().scrollPosition();
    const std::vector<std::wstring> japaneseMenu = menuTexts();
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - スプライトの変更(&U)\tCtrl+Z");
    EXPECT_EQ(itemText(page, IDC_SPRITE_NUMBER), L"2 個選択");

    editor.command(IDM_VIEW_LANGUAGE_EN);
    pumpMessages();
    EXPECT_EQ(editor.config(L"MainWindow", L"Language"), L"en");
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_LANGUAGE_EN));
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_LANGUAGE_JA));
    EXPECT_EQ(editor.menuText(IDM_FILE_OPEN), L"&Open...\tCtrl+O");
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"&Undo - Change sprite\tCtrl+Z");
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_HISTORY)) << "checks stay";
    EXPECT_EQ(tabText(0), L"Sprites");
    EXPECT_EQ(tabText(3), L"Terrain");
    EXPECT_EQ(itemText(page, IDC_SPRITE_APPLY), L"App&ly");
    EXPECT_EQ(itemText(page, IDC_SPRITE_NUMBER), L"2 selected");
    EXPECT_EQ(statusPart(MainStatusBar::kObjectPart), L"Selected: 2 sprites");
    wchar_t title[64] = L"";
    GetWindowTextW(editor.project->history.hwnd, title, 64);
    EXPECT_STREQ(title, L"History");
    EXPECT_EQ(listBoxText(editor.project->history.list, 0), L"(as opened)");
    EXPECT_EQ(listBoxText(editor.project->history.list, 1), L"Change sprite — stage 25");
    EXPECT_EQ(editor.project->document.image, image);
    EXPECT_EQ(levels().stageNumber, stage);
    EXPECT_EQ(levels().marks(), marks);
    EXPECT_EQ(levels().scrollPosition().x, scroll.x);
    EXPECT_EQ(levels().scrollPosition().y, scroll.y);
    EXPECT_EQ(editor.project->undoBuffer.undoCount(), 1u);

    editor.command(IDM_VIEW_LANGUAGE_JA);
    pumpMessages();
    EXPECT_EQ(menuTexts(), japaneseMenu) << "the way back gives the Japanese menu exactly";
    EXPECT_EQ(tabText(0), L"スプライト");
    EXPECT_EQ(itemText(page, IDC_SPRITE_APPLY), L"適用(&L)");
    EXPECT_EQ(listBoxText(editor.project->history.list, 1), L"スプライトの変更 — ステージ 25");
    EXPECT_EQ(editor.config(L"MainWindow", L"Language"), L"ja");
}

TEST_F(LanguageTest, MessagesAndTheirCaptionsFollowTheLanguage) {
    struct Case {
        const char* config;
        const wchar_t* caption;
        const wchar_t* badSize;
        const wchar_t* noEmulator;
    };
    for (const Case& c :
         {Case{"", L"エラー", L"ファイルサイズが不正です。", L"エミュレータが設定されていません。"},
          Case{"[MainWindow]\nLanguage=en\n", L"Error", L"The file size is not valid.", L"No emulator is set."}}) {
        EditorSession session;
        if (c.config[0]) session.writeSetting(L"config.ini", c.config);
        session.writeSetting(L"short.smc", std::string(100, '\0'));
        const std::wstring tooShort = session.folder.file(L"short.smc");
        session.dialogs.answerNext(IDOK);
        session.dialogs.answerNext(IDOK);
        ASSERT_TRUE(session.start(L"\"" + tooShort + L"\""));
        session.command(IDM_FILE_TEST_PLAY);
        pumpMessages();
        ASSERT_EQ(session.dialogs.seen().size(), 2u);
        for (const test::SeenDialog& seen : session.dialogs.seen())
            EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(session.dialogs.seen()[0].text, c.badSize);
        EXPECT_EQ(session.dialogs.seen()[1].text, c.noEmulator);
        session.stop();
    }
}

TEST_F(LanguageTest, StringTablesOfTheProgramAreTheTablesTheNativeBuildReads) {
    const std::vector<unsigned> ids = builtInTextIds();
    ASSERT_FALSE(ids.empty());
    for (const Language language : kLanguages)
        for (const unsigned id : ids) {
            SCOPED_TRACE(id);
            EXPECT_EQ(resourceText(language, id), builtInText(language, id));
        }
    EXPECT_EQ(resourceText(Language::English, 1), std::nullopt) << "an id with no text";
}

} // namespace
} // namespace vexa
