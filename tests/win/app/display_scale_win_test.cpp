// The editor at the display scale of its monitor (the prefix's LogPixels: ctest runs
// these at 96, 144 and 192 DPI): no text cut in either language, the objects' look at
// that scale while the map keeps one map pixel per screen pixel at 100%, and a move
// to a monitor of another scale (WM_DPICHANGED) taken by every window.
#include "resources/resource_ids.h"
#include "stage/map_look.h"
#include "stage/view/level_manager_win.h"
#include "support/editor_session.h"
#include "support/text_fit.h"
#include "terrain/tool_cursors_win.h"
#include "tools/sample_game/sample_game.h"
#include "ui/dpi_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace vexa {
namespace {

using test::EditorSession;
using test::pumpMessages;

// The scale this run was started at.
UINT runDpi() {
    const char* dpi = std::getenv("VEXA_DPI");
    return dpi ? static_cast<UINT>(std::atoi(dpi)) : kBaseDpi;
}

class DisplayScaleTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeSampleGame(buildSampleGame(), editor.folder.path(), {}));
        ASSERT_TRUE(editor.start(L"\"" + editor.folder.file(L"sample.smc") + L"\""));
        ASSERT_TRUE(editor.project->document.loaded);
        pumpMessages();
    }
    void TearDown() override { setCurrentLanguage(Language::Japanese); }

    LevelManager& levels() { return editor.project->levels; }

    EditorSession editor;
};

TEST_F(DisplayScaleTest, NoTextIsCutInTheEditorsWindowsInEitherLanguage) {
    ASSERT_EQ(windowDpi(editor.project->hwnd), runDpi()) << "the prefix gives the scale asked for";
    editor.command(IDM_VIEW_HISTORY);
    levels().chipPalette.show();
    pumpMessages();
    for (const int language : {IDM_VIEW_LANGUAGE_JA, IDM_VIEW_LANGUAGE_EN}) {
        editor.command(language);
        pumpMessages();
        SCOPED_TRACE(language == IDM_VIEW_LANGUAGE_EN ? "English" : "Japanese");
        for (const HWND window : {levels().sprites.hwnd, levels().bananas.hwnd, levels().cameras.hwnd,
                                  levels().terrainPage.hwnd, levels().chipPalette.hwnd}) {
            const auto cut = test::cutTexts(window);
            EXPECT_TRUE(cut.empty()) << test::describe(cut);
        }
        for (const HWND list :
             {GetDlgItem(levels().sprites.hwnd, IDC_SPRITE_LIST), GetDlgItem(levels().bananas.hwnd, IDC_BANANA_LIST),
              GetDlgItem(levels().cameras.hwnd, IDC_CAMERA_LIST), editor.project->history.list}) {
            ASSERT_GT(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
            const auto cut = test::cutListLines(list);
            EXPECT_TRUE(cut.empty()) << test::describe(cut);
        }
    }
}

TEST_F(DisplayScaleTest, ObjectsTakeTheScaleAndTheMapKeepsItsPixelsAtFullSize) {
    EXPECT_EQ(objectLookPercent(), scaledForDpi(100, runDpi()));
    EXPECT_EQ(levels().zoomPercent(), 100);
    // One map pixel per screen pixel: the view shows as many map pixels as it is wide.
    RECT view{};
    GetClientRect(levels().hwnd, &view);
    SCROLLINFO info{sizeof info, SIF_PAGE};
    GetScrollInfo(levels().hwnd, SB_HORZ, &info);
    EXPECT_EQ(static_cast<int>(info.nPage), view.right);
    // The terrain tools' cursors are as large as the scale's.
    ICONINFO cursor{};
    ASSERT_TRUE(GetIconInfo(terrainToolCursor(TerrainToolKind::Pen), &cursor));
    BITMAP mask{};
    GetObjectW(cursor.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, scaledForDpi(32, runDpi()));
    EXPECT_EQ(cursor.xHotspot, static_cast<DWORD>(scaledForDpi(10, runDpi())));
    DeleteObject(cursor.hbmMask);
    if (cursor.hbmColor) DeleteObject(cursor.hbmColor);
}

TEST_F(DisplayScaleTest, AMoveToAMonitorOfAnotherScaleIsTakenByEveryWindow) {
    editor.command(IDM_VIEW_HISTORY);
    pumpMessages();
    const UINT other = runDpi() == 192 ? 96 : 192;
    const HWND history = editor.project->history.list;
    const LRESULT lineBefore = SendMessageW(history, LB_GETITEMHEIGHT, 0, 0);
    for (const HWND window : {editor.project->hwnd, levels().inspectorWindow(), editor.project->history.hwnd}) {
        RECT suggested{};
        GetWindowRect(window, &suggested);
        OffsetRect(&suggested, 10, 20);
        suggested.right += 40;
        suggested.bottom += 30;
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
        pumpMessages();
        RECT now{};
        GetWindowRect(window, &now);
        if (window == levels().inspectorWindow()) {
            // The inspector keeps the place given and fits its size to its pages.
            EXPECT_EQ(now.left, suggested.left);
            EXPECT_EQ(now.top, suggested.top);
        } else {
            EXPECT_TRUE(EqualRect(&now, &suggested));
        }
    }
    EXPECT_EQ(objectLookPercent(), scaledForDpi(100, other));
    const LRESULT lineAfter = SendMessageW(history, LB_GETITEMHEIGHT, 0, 0);
    if (other > runDpi())
        EXPECT_GT(lineAfter, lineBefore);
    else
        EXPECT_LT(lineAfter, lineBefore);
}

} // namespace
} // namespace vexa
