#include "stage/inspector_win.h"

#include "app/settings_win.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <climits>
#include <string>
#include <vector>

namespace vexa {
namespace {

using test::TempFolder;

// A tab page over one of the editor's page templates, without the page's logic.
class TemplatePage : public MyDialog, public TabPage {
public:
    TemplatePage(const wchar_t* templateName, const wchar_t* caption) : template_(templateName), caption_(caption) {}
    const wchar_t* templateName() const override { return template_; }
    const wchar_t* pageCaption() const override { return caption_; }
    bool createPage(HWND parent) override { return createModeless(parent); }
    void relabelPage(Language language) override { relabel(language); }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM, LPARAM) override {
        if (message != WM_INITDIALOG) return FALSE;
        enableTabTexture(window);
        if (forcedSize.cx) SetWindowPos(window, nullptr, 0, 0, forcedSize.cx, forcedSize.cy, SWP_NOMOVE);
        return TRUE;
    }

    // A size the page takes on creation instead of its template's.
    SIZE forcedSize{};

private:
    const wchar_t* template_;
    const wchar_t* caption_;
};

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}
SIZE sizeOf(const RECT& rect) {
    return {rect.right - rect.left, rect.bottom - rect.top};
}
bool sameSize(SIZE a, SIZE b) {
    return a.cx == b.cx && a.cy == b.cy;
}
bool hasVisibleStyle(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class InspectorTest : public testing::Test {
protected:
    void SetUp() override {
        setAppInstance(GetModuleHandleW(nullptr));
        useSettingsPaths(settingsPathsFor(folder.file(L"x.exe")));
        ASSERT_TRUE(registerInspectorClass(appInstance()));
        owner = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, 400, 300, nullptr,
                                nullptr, appInstance(), nullptr);
    }
    void TearDown() override {
        if (IsWindow(inspector.hwnd)) DestroyWindow(inspector.hwnd);
        DestroyWindow(owner);
    }

    bool create() {
        TabPage* const pages[] = {&sprites, &bananas, &cameras};
        const bool created = inspector.create(pages, owner);
        pumpMessages();
        return created;
    }
    POINT position() {
        const RECT rect = windowRect(inspector.hwnd);
        return {rect.left, rect.top};
    }
    const ConfigFile& config() { return appGlobals().config; }

    TempFolder folder;
    HWND owner = nullptr;
    TemplatePage sprites{L"SPRITE_EDIT", L"スプライト"};
    TemplatePage bananas{L"BANANA_EDIT", L"バナナ"};
    TemplatePage cameras{L"CAMERA_EDIT", L"カメラ"};
    LevelEditInspector inspector;
};

TEST_F(InspectorTest, IsAnOwnedToolWindowWithOneTabPerPage) {
    ASSERT_TRUE(create());
    EXPECT_EQ(GetWindow(inspector.hwnd, GW_OWNER), owner);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(inspector.hwnd, GWL_STYLE)) & 0x82C80000u, 0x82C80000u);
    EXPECT_TRUE(GetWindowLongW(inspector.hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetClassLongW(inspector.hwnd, GCL_STYLE), 0x0203);
    EXPECT_TRUE(IsWindowVisible(inspector.hwnd));
    ASSERT_EQ(SendMessageW(inspector.tabControl, TCM_GETITEMCOUNT, 0, 0), 3);
    std::vector<std::wstring> captions;
    for (int i = 0; i < 3; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(inspector.tabControl, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        captions.push_back(text);
    }
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"スプライト", L"バナナ", L"カメラ"}));
    EXPECT_EQ(GetParent(sprites.hwnd), inspector.tabControl);
    EXPECT_TRUE(hasVisibleStyle(sprites.hwnd));
    EXPECT_FALSE(hasVisibleStyle(bananas.hwnd));
    EXPECT_FALSE(hasVisibleStyle(cameras.hwnd));
}

TEST_F(InspectorTest, MissingOrHalfPositionOpensAtTheScreenCorner) {
    ASSERT_TRUE(create());
    EXPECT_EQ(position().x, 0);
    EXPECT_EQ(position().y, 0);
    DestroyWindow(inspector.hwnd);

    WritePrivateProfileStringW(L"Inspector", nullptr, nullptr, config().path().c_str());
    config().writeInt(L"Inspector", L"Pos_X", 250);
    ASSERT_TRUE(create());
    EXPECT_EQ(position().x, 0) << "Pos_Y missing";
    EXPECT_EQ(position().y, 0);
    DestroyWindow(inspector.hwnd);

    config().writeInt(L"Inspector", L"Pos_X", INT_MIN);
    config().writeInt(L"Inspector", L"Pos_Y", 5);
    ASSERT_TRUE(create());
    EXPECT_EQ(position().x, 0) << "-2147483648 means absent";
    EXPECT_EQ(position().y, 0);
}

TEST_F(InspectorTest, StoredPositionIsUsedUnchangedEvenOffScreen) {
    for (const POINT stored : {POINT{250, 130}, POINT{-300, -20}, POINT{5000, 4000}}) {
        config().writeInt(L"Inspector", L"Pos_X", stored.x);
        config().writeInt(L"Inspector", L"Pos_Y", stored.y);
        ASSERT_TRUE(create());
        EXPECT_EQ(position().x, stored.x);
        EXPECT_EQ(position().y, stored.y);
        DestroyWindow(inspector.hwnd);
    }
}

TEST_F(InspectorTest, DestroyWritesTheWindowPosition) {
    ASSERT_TRUE(create());
    SetWindowPos(inspector.hwnd, nullptr, -40, 321, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(inspector.hwnd);
    EXPECT_EQ(config().readInt(L"Inspector", L"Pos_X", 0), -40);
    EXPECT_EQ(config().readInt(L"Inspector", L"Pos_Y", 0), 321);
    EXPECT_EQ(config().readString(L"Inspector", L"Pos_X", L"", 32), L"-40");
}

TEST_F(InspectorTest, FrameFitsTheFirstPageAndEveryPageGetsItsSize) {
    sprites.forcedSize = {300, 180};
    ASSERT_TRUE(create());
    const SIZE page = sizeOf(windowRect(sprites.hwnd));
    EXPECT_TRUE(sameSize(page, SIZE{300, 180}));
    EXPECT_TRUE(sameSize(sizeOf(windowRect(bananas.hwnd)), page)) << "banana page takes the sprite page's size";
    EXPECT_TRUE(sameSize(sizeOf(windowRect(cameras.hwnd)), page));

    RECT display{};
    GetClientRect(inspector.tabControl, &display);
    SendMessageW(inspector.tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const RECT pageRect = windowRect(sprites.hwnd);
    POINT pageOrigin{pageRect.left, pageRect.top};
    ScreenToClient(inspector.tabControl, &pageOrigin);
    EXPECT_EQ(pageOrigin.x, display.left) << "the page fills the tab control's display area";
    EXPECT_EQ(pageOrigin.y, display.top);
    EXPECT_TRUE(sameSize(sizeOf(display), page));

    RECT client{};
    GetClientRect(inspector.hwnd, &client);
    EXPECT_TRUE(sameSize(sizeOf(client), sizeOf(windowRect(inspector.tabControl))))
        << "the inspector's client area is the tab control";
}

TEST_F(InspectorTest, ClickingTheCameraTabShowsOnlyTheCameraPage) {
    ASSERT_TRUE(create());
    RECT tab{};
    ASSERT_TRUE(SendMessageW(inspector.tabControl, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&tab)));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    PostMessageW(inspector.tabControl, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(inspector.tabControl, WM_LBUTTONUP, 0, at);
    pumpMessages();
    EXPECT_EQ(SendMessageW(inspector.tabControl, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_FALSE(hasVisibleStyle(sprites.hwnd));
    EXPECT_FALSE(hasVisibleStyle(bananas.hwnd));
    EXPECT_TRUE(hasVisibleStyle(cameras.hwnd));

    // What the map view does when a sprite is picked.
    SendMessageW(inspector.tabControl, TCM_SETCURSEL, 0, 0);
    inspector.showPage(0);
    EXPECT_TRUE(hasVisibleStyle(sprites.hwnd));
    EXPECT_FALSE(hasVisibleStyle(cameras.hwnd));
}

TEST_F(InspectorTest, SelectionChangeNotificationShowsTheCurrentTab) {
    ASSERT_TRUE(create());
    SendMessageW(inspector.tabControl, TCM_SETCURSEL, 1, 0);
    NMHDR header{inspector.tabControl, 0, static_cast<UINT>(TCN_SELCHANGE)};
    EXPECT_EQ(SendMessageW(inspector.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_FALSE(hasVisibleStyle(sprites.hwnd));
    EXPECT_TRUE(hasVisibleStyle(bananas.hwnd));
    EXPECT_FALSE(hasVisibleStyle(cameras.hwnd));
}

TEST_F(InspectorTest, ActivationRaisesTheMainWindowAboveOtherWindows) {
    ASSERT_TRUE(create());
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320, 220, 200, 200,
                                       nullptr, nullptr, appInstance(), nullptr);
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(inspector.hwnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    bool ownerAboveOther = false;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == other) break;
        if (w == owner) ownerAboveOther = true;
    }
    EXPECT_TRUE(ownerAboveOther);
    DestroyWindow(other);
}

// Every control of the real page templates stays inside its page, no two overlap,
// and every label's text fits its width in the page's font.
TEST_F(InspectorTest, PageTemplatesHoldTheirControlsWithoutOverlap) {
    ASSERT_TRUE(create());
    for (TemplatePage* page : {&sprites, &bananas, &cameras}) {
        SCOPED_TRACE(testing::Message() << page->templateName());
        const RECT pageRect = windowRect(page->hwnd);
        std::vector<HWND> controls;
        for (HWND c = GetWindow(page->hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            controls.push_back(c);
        ASSERT_GE(controls.size(), 16u);
        const HDC dc = GetDC(page->hwnd);
        const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(page->hwnd, WM_GETFONT, 0, 0)));
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const RECT a = windowRect(controls[i]);
            const int id = GetDlgCtrlID(controls[i]);
            EXPECT_TRUE(a.left >= pageRect.left && a.top >= pageRect.top && a.right <= pageRect.right &&
                        a.bottom <= pageRect.bottom)
                << id;
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                RECT both{};
                const RECT b = windowRect(controls[j]);
                // Dialog units round to pixels edge by edge, so neighbours may share one pixel.
                const bool overlap = IntersectRect(&both, &a, &b) && sizeOf(both).cx > 1 && sizeOf(both).cy > 1;
                EXPECT_FALSE(overlap) << id << " overlaps " << GetDlgCtrlID(controls[j]);
            }
            wchar_t cls[16] = {};
            GetClassNameW(controls[i], cls, 16);
            if (lstrcmpiW(cls, L"Static") != 0) continue;
            wchar_t text[64] = {};
            const int length = GetWindowTextW(controls[i], text, 64);
            RECT shown{0, 0, sizeOf(a).cx, 0};
            DrawTextW(dc, text, length, &shown, DT_CALCRECT | DT_WORDBREAK);
            EXPECT_LE(shown.right, sizeOf(a).cx) << id << " cuts its text";
            EXPECT_LE(shown.bottom, sizeOf(a).cy) << id << " cuts its text";
        }
        SelectObject(dc, oldFont);
        ReleaseDC(page->hwnd, dc);
    }
}

} // namespace
} // namespace vexa
