// The history window on the sample game: View > 履歴, its lines as the history
// changes, a click that jumps there with one paint of the map, and its settings.
#include "app/history_window_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "stage/object_page_tools_win.h"
#include "stage/view/level_manager_win.h"
#include "support/editor_session.h"
#include "tools/sample_game/sample_game.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

using test::EditorSession;
using test::listBoxText;
using test::pumpMessages;
using Bytes = std::vector<std::uint8_t>;

constexpr int kFirstStage = 37; // "25", where the sample opens
constexpr int kSecondStage = 38;
const std::wstring kOpened = L"(開いたとき)";

// Counts what a window is told while it is watched: paints, its painting held and let
// go, and a list box's lines added, deleted and reset.
class MessageSpy {
public:
    explicit MessageSpy(HWND window) : window(window) {
        SetWindowSubclass(window, proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~MessageSpy() { RemoveWindowSubclass(window, proc, 1); }
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;

    int paints = 0;
    std::vector<bool> redraws; // WM_SETREDRAW's word, in order
    int added = 0;
    int deleted = 0;
    int resets = 0;

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto& spy = *reinterpret_cast<MessageSpy*>(data);
        spy.paints += message == WM_PAINT;
        if (message == WM_SETREDRAW) spy.redraws.push_back(wParam != FALSE);
        spy.added += message == LB_ADDSTRING || message == LB_INSERTSTRING;
        spy.deleted += message == LB_DELETESTRING;
        spy.resets += message == LB_RESETCONTENT;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    HWND window;
};

class HistoryWindowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeSampleGame(buildSampleGame(), editor.folder.path(), {})); }

    void start(const std::string& config = "") {
        if (!config.empty()) editor.writeSetting(L"config.ini", config);
        romPath = editor.folder.file(L"sample.smc");
        ASSERT_TRUE(editor.start(L"\"" + romPath + L"\""));
        ASSERT_TRUE(editor.project->document.loaded);
        MoveWindow(editor.project->hwnd, 0, 0, 900, 700, TRUE);
        pumpMessages();
        ASSERT_EQ(levels().stageNumber, kFirstStage);
    }
    void startShown() {
        start();
        editor.command(IDM_VIEW_HISTORY);
        ASSERT_TRUE(IsWindowVisible(historyWindow()));
    }

    LevelManager& levels() { return editor.project->levels; }
    HistoryWindow& history() { return editor.project->history; }
    HWND historyWindow() { return history().hwnd; }
    HWND list() { return history().list; }
    Bytes& image() { return editor.project->document.image; }
    std::size_t undoable() { return editor.project->undoBuffer.undoCount(); }

    std::vector<std::wstring> lines() {
        std::vector<std::wstring> texts;
        const int count = static_cast<int>(SendMessageW(list(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            texts.push_back(listBoxText(list(), i));
        return texts;
    }
    // The lines drawn greyed: a line's item data.
    std::vector<bool> greyed() {
        std::vector<bool> states;
        const int count = static_cast<int>(SendMessageW(list(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            states.push_back(SendMessageW(list(), LB_GETITEMDATA, i, 0) != 0);
        return states;
    }
    int current() { return static_cast<int>(SendMessageW(list(), LB_GETCURSEL, 0, 0)); }

    // A click on a line: the list selects it and tells its window.
    void pick(int line) {
        SendMessageW(list(), LB_SETCURSEL, static_cast<WPARAM>(line), 0);
        SendMessageW(historyWindow(), WM_COMMAND, MAKEWPARAM(IDC_HISTORY_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list()));
        pumpMessages();
    }

    void openStage(int stage) {
        levels().openStage(stage);
        pumpMessages();
    }

    // Moves an object 16 pixels right through its page: its line chosen, X typed, Apply.
    void moveRight(HWND page, int listId, int xId, int applyId) {
        const HWND objects = GetDlgItem(page, listId);
        ASSERT_GT(SendMessageW(objects, LB_GETCOUNT, 0, 0), 0) << "the stage has objects of the kind";
        selectListLines(objects, {0});
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(objects));
        wchar_t x[32] = {};
        GetDlgItemTextW(page, xId, x, 32);
        SetDlgItemTextW(page, xId, std::to_wstring(std::stoi(x) + 16).c_str());
        const std::size_t before = undoable();
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(applyId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, applyId)));
        pumpMessages();
        ASSERT_EQ(undoable(), before + 1);
    }
    void moveSprite() { moveRight(levels().sprites.hwnd, IDC_SPRITE_LIST, IDC_SPRITE_X, IDC_SPRITE_APPLY); }
    void moveBanana() { moveRight(levels().bananas.hwnd, IDC_BANANA_LIST, IDC_BANANA_X, IDC_BANANA_APPLY); }

    // A sprite and a banana moved on stage 25, then on stage 26; images[k] is the image
    // with k of them done.
    void editTwoStages() {
        images = {image()};
        ASSERT_NO_FATAL_FAILURE(moveSprite());
        images.push_back(image());
        ASSERT_NO_FATAL_FAILURE(moveBanana());
        images.push_back(image());
        openStage(kSecondStage);
        ASSERT_NO_FATAL_FAILURE(moveSprite());
        images.push_back(image());
        ASSERT_NO_FATAL_FAILURE(moveBanana());
        images.push_back(image());
    }

    const std::vector<std::wstring> editedLines{kOpened, L"スプライトの変更 — ステージ 25",
                                                L"バナナの変更 — ステージ 25", L"スプライトの変更 — ステージ 26",
                                                L"バナナの変更 — ステージ 26"};
    EditorSession editor;
    std::wstring romPath;
    std::vector<Bytes> images;
};

LONG styleOf(HWND window) {
    return GetWindowLongW(window, GWL_STYLE);
}

std::wstring captionOf(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

TEST_F(HistoryWindowTest, TheViewMenuItemShowsAndHidesTheWindow) {
    start();
    EXPECT_EQ(editor.menuText(IDM_VIEW_HISTORY), L"履歴(&H)");
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_HISTORY)) << "hidden by default";
    ASSERT_NE(historyWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(historyWindow()));

    editor.command(IDM_VIEW_HISTORY);
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_HISTORY));
    EXPECT_TRUE(IsWindowVisible(historyWindow()));
    EXPECT_EQ(captionOf(historyWindow()), L"履歴");
    EXPECT_EQ(GetWindow(historyWindow(), GW_OWNER), editor.project->hwnd);
    EXPECT_TRUE(styleOf(historyWindow()) & WS_THICKFRAME) << "resizable";
    EXPECT_TRUE(GetWindowLongW(historyWindow(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const LONG listStyle = styleOf(list());
    EXPECT_EQ(listStyle & (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY),
              LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY);
    EXPECT_EQ(lines(), std::vector<std::wstring>{kOpened});
    EXPECT_EQ(current(), 0);
    EXPECT_TRUE(IsWindowEnabled(list()));
    EXPECT_NE(GetForegroundWindow(), historyWindow()) << "showing it leaves the activation where it was";

    editor.command(IDM_VIEW_HISTORY);
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_HISTORY));
    EXPECT_FALSE(IsWindowVisible(historyWindow()));
}

TEST_F(HistoryWindowTest, LinesNameEachEditWithItsStageAndUndoGreysTheRedoLines) {
    ASSERT_NO_FATAL_FAILURE(startShown());
    ASSERT_NO_FATAL_FAILURE(editTwoStages());
    EXPECT_EQ(lines(), editedLines);
    EXPECT_EQ(current(), 4);
    EXPECT_EQ(greyed(), (std::vector<bool>{false, false, false, false, false}));

    MessageSpy spy(list());
    editor.command(IDM_EDIT_UNDO);
    editor.command(IDM_EDIT_UNDO);
    EXPECT_EQ(lines(), editedLines) << "undone records stay, greyed";
    EXPECT_EQ(greyed(), (std::vector<bool>{false, false, false, true, true}));
    EXPECT_EQ(current(), 2);
    editor.command(IDM_EDIT_REDO);
    EXPECT_EQ(greyed(), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(spy.added + spy.deleted + spy.resets, 0) << "an undo or redo only redraws lines";

    // A new edit takes the redo line away and adds its own.
    ASSERT_NO_FATAL_FAILURE(moveSprite());
    EXPECT_EQ(lines(), (std::vector<std::wstring>{kOpened, editedLines[1], editedLines[2], editedLines[3],
                                                  L"スプライトの変更 — ステージ 26"}));
    EXPECT_EQ(greyed(), (std::vector<bool>{false, false, false, false, false}));
    EXPECT_EQ(current(), 4);
    EXPECT_EQ(spy.added, 1);
    EXPECT_EQ(spy.deleted, 1);
    EXPECT_EQ(spy.resets, 0);
}

TEST_F(HistoryWindowTest, ClickingALineJumpsJustAfterItAndPaintsTheMapOnce) {
    ASSERT_NO_FATAL_FAILURE(startShown());
    ASSERT_NO_FATAL_FAILURE(editTwoStages());
    struct Jump {
        int line;
        int stageShown; // the last record replayed is of this stage
    };
    // Back over three records across both stages, forward over three, back to the start.
    const Jump jumps[] = {{1, kFirstStage}, {4, kSecondStage}, {0, kFirstStage}, {2, kFirstStage}};
    for (const Jump& jump : jumps) {
        SCOPED_TRACE(jump.line);
        pumpMessages();
        MessageSpy map(levels().hwnd);
        pick(jump.line);
        EXPECT_EQ(undoable(), static_cast<std::size_t>(jump.line));
        EXPECT_TRUE(image() == images[static_cast<std::size_t>(jump.line)]) << "the image as it was after that line";
        EXPECT_EQ(levels().stageNumber, jump.stageShown);
        EXPECT_EQ(map.paints, 1) << "one paint of the map for the whole jump";
        EXPECT_EQ(map.redraws, (std::vector<bool>{false, true})) << "held over the jump, then let go";
        EXPECT_TRUE(styleOf(levels().hwnd) & WS_VISIBLE) << "the map's painting is let go";
        for (HWND page : {levels().sprites.hwnd, levels().bananas.hwnd, levels().cameras.hwnd})
            EXPECT_TRUE(styleOf(GetDlgItem(page, IDC_SPRITE_LIST)) & WS_VISIBLE) << "the page's list is let go";
        EXPECT_EQ(current(), jump.line);
        EXPECT_EQ(lines(), editedLines);
        std::vector<bool> redo(editedLines.size(), false);
        for (std::size_t i = static_cast<std::size_t>(jump.line) + 1; i < redo.size(); ++i)
            redo[i] = true;
        EXPECT_EQ(greyed(), redo);
    }
    EXPECT_EQ(editor.menuText(IDM_EDIT_UNDO), L"元に戻す - バナナの変更(&U)\tCtrl+Z");
    EXPECT_EQ(editor.menuText(IDM_EDIT_REDO), L"やり直し - スプライトの変更(&R)\tCtrl+Y");
}

TEST_F(HistoryWindowTest, TheListsOwnKeysJumpAsAClickDoes) {
    ASSERT_NO_FATAL_FAILURE(startShown());
    ASSERT_NO_FATAL_FAILURE(editTwoStages());
    SetFocus(list());
    SendMessageW(list(), WM_KEYDOWN, VK_UP, 0);
    pumpMessages();
    EXPECT_EQ(undoable(), 3u);
    SendMessageW(list(), WM_KEYDOWN, VK_HOME, 0);
    pumpMessages();
    EXPECT_EQ(undoable(), 0u);
    EXPECT_TRUE(image() == images[0]);
    EXPECT_FALSE(editor.project->isModified());
}

TEST_F(HistoryWindowTest, APickWhileTheMapHoldsTheMouseChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(startShown());
    ASSERT_NO_FATAL_FAILURE(editTwoStages());
    SendMessageW(levels().hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(levels().isDragging());
    pick(1);
    EXPECT_EQ(undoable(), 4u);
    EXPECT_EQ(current(), 4) << "the selection goes back to where the history stands";
    SendMessageW(levels().hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    pumpMessages();
}

TEST_F(HistoryWindowTest, LinesFollowSaveReloadCloseAndOpen) {
    ASSERT_NO_FATAL_FAILURE(startShown());
    ASSERT_NO_FATAL_FAILURE(editTwoStages());
    editor.command(IDM_FILE_SAVE);
    EXPECT_EQ(lines(), editedLines) << "a save keeps the history";

    editor.command(IDM_EDIT_UNDO);
    editor.dialogs.answerNext(IDOK); // the edits will be lost
    editor.command(IDM_FILE_RELOAD);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(lines(), std::vector<std::wstring>{kOpened});
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(greyed(), std::vector<bool>{false});

    ASSERT_NO_FATAL_FAILURE(moveSprite());
    EXPECT_EQ(lines(), (std::vector<std::wstring>{kOpened, L"スプライトの変更 — ステージ 26"}));
    editor.dialogs.answerNext(IDNO); // not saved
    editor.command(IDM_FILE_CLOSE);
    ASSERT_FALSE(editor.project->document.loaded);
    EXPECT_TRUE(lines().empty()) << "no file, no lines";
    EXPECT_EQ(current(), -1);
    EXPECT_FALSE(IsWindowEnabled(list()));

    editor.project->openRomPath(romPath);
    pumpMessages();
    EXPECT_EQ(lines(), std::vector<std::wstring>{kOpened});
    EXPECT_TRUE(IsWindowEnabled(list()));
}

TEST_F(HistoryWindowTest, AHiddenWindowCatchesUpWhenShown) {
    start();
    ASSERT_NO_FATAL_FAILURE(moveSprite());
    ASSERT_NO_FATAL_FAILURE(moveBanana());
    editor.command(IDM_EDIT_UNDO);
    editor.command(IDM_VIEW_HISTORY);
    EXPECT_EQ(lines(), (std::vector<std::wstring>{kOpened, editedLines[1], editedLines[2]}));
    EXPECT_EQ(greyed(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(current(), 1);
}

TEST_F(HistoryWindowTest, TheCloseBoxHidesItUnchecksTheItemAndSavesShowOff) {
    ASSERT_NO_FATAL_FAILURE(startShown());
    SendMessageW(historyWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    pumpMessages();
    EXPECT_FALSE(IsWindowVisible(historyWindow()));
    EXPECT_TRUE(IsWindow(historyWindow())) << "closing only hides it";
    EXPECT_FALSE(editor.menuChecked(IDM_VIEW_HISTORY));
    editor.stop();
    EXPECT_EQ(editor.config(L"History", L"Show"), L"0");
}

TEST_F(HistoryWindowTest, ShownStateAndPlaceAreSavedAndReadBackAtStart) {
    ASSERT_NO_FATAL_FAILURE(startShown());
    MoveWindow(historyWindow(), 40, 50, 333, 444, TRUE);
    pumpMessages();
    editor.stop();
    EXPECT_EQ(editor.config(L"History", L"Show"), L"1");
    EXPECT_EQ(editor.config(L"History", L"Pos_X"), L"40");
    EXPECT_EQ(editor.config(L"History", L"Pos_Y"), L"50");
    EXPECT_EQ(editor.config(L"History", L"Width"), L"333");
    EXPECT_EQ(editor.config(L"History", L"Height"), L"444");

    ASSERT_TRUE(editor.start(L"\"" + romPath + L"\""));
    EXPECT_TRUE(editor.menuChecked(IDM_VIEW_HISTORY));
    EXPECT_TRUE(IsWindowVisible(historyWindow())) << "shown at start";
    EXPECT_EQ(lines(), std::vector<std::wstring>{kOpened});
    RECT place{};
    GetWindowRect(historyWindow(), &place);
    EXPECT_EQ(place.left, 40);
    EXPECT_EQ(place.top, 50);
    EXPECT_EQ(place.right - place.left, 333);
    EXPECT_EQ(place.bottom - place.top, 444);
}

TEST_F(HistoryWindowTest, APlaceOnNoMonitorOrASizeOutOfRangeIsNotUsed) {
    start("[History]\r\nShow=1\r\nPos_X=-40000\r\nPos_Y=30000\r\nWidth=5\r\nHeight=99999\r\n");
    EXPECT_TRUE(IsWindowVisible(historyWindow()));
    RECT place{};
    GetWindowRect(historyWindow(), &place);
    EXPECT_NE(MonitorFromRect(&place, MONITOR_DEFAULTTONULL), nullptr) << "held on screen";
    EXPECT_GE(place.right - place.left, 120);
    EXPECT_LE(place.bottom - place.top, 4096);
}

} // namespace
} // namespace vexa
