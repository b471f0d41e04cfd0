#include "stage/level_select_dialog_win.h"

#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {
namespace {

using test::TempFolder;
using test::writeBytes;

// Acts on the stage dialog from a CBT hook on this thread, once the dialog is shown
// and about to be activated; its list is filled by then. A dialog nobody closed is
// cancelled after a few seconds so that a failing test does not hang.
class ModalScript {
public:
    explicit ModalScript(std::function<void(HWND)> act) : act_(std::move(act)) {
        current = this;
        hook_ = SetWindowsHookExW(WH_CBT, &ModalScript::cbtProc, nullptr, GetCurrentThreadId());
    }
    ~ModalScript() {
        if (timer_) KillTimer(nullptr, timer_);
        UnhookWindowsHookEx(hook_);
        current = nullptr;
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    bool acted() const { return dialog_ != nullptr; }

private:
    static LRESULT CALLBACK cbtProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current && !current->dialog_) current->start(reinterpret_cast<HWND>(wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK giveUp(HWND, UINT, UINT_PTR, DWORD) {
        if (current && IsWindow(current->dialog_)) PostMessageW(current->dialog_, WM_COMMAND, IDCANCEL, 0);
    }
    void start(HWND dialog) {
        dialog_ = dialog;
        timer_ = SetTimer(nullptr, 0, 5000, &ModalScript::giveUp);
        act_(dialog);
    }

    static inline ModalScript* current = nullptr;
    std::function<void(HWND)> act_;
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    HWND dialog_ = nullptr;
};

std::wstring listLine(HWND dialog, int index) {
    const HWND list = GetDlgItem(dialog, IDC_LEVEL_LIST);
    const auto length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

int listCount(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_LEVEL_LIST, LB_GETCOUNT, 0, 0));
}
int listSelection(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_LEVEL_LIST, LB_GETCURSEL, 0, 0));
}
void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

class LevelSelectDialogTest : public testing::Test {
protected:
    void SetUp() override {
        setAppInstance(GetModuleHandleW(nullptr));
        useSettingsPaths(settingsPathsFor(folder.file(L"x.exe")));
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                nullptr, appInstance(), nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }

    void writeRominfo(std::string_view text) { writeBytes(folder.file(L"rominfo.ini"), {text.begin(), text.end()}); }

    INT_PTR run(int initialStage, std::function<void(HWND)> act) {
        ModalScript script(std::move(act));
        LevelSelectDialog dialog(romInfo());
        const INT_PTR result = dialog.runModal(owner, initialStage);
        EXPECT_TRUE(script.acted()) << "the dialog was never shown";
        return result;
    }

    TempFolder folder;
    HWND owner = nullptr;
};

TEST_F(LevelSelectDialogTest, ListsEveryStageByHexKeyAndName) {
    writeRominfo("[Levels]\r\nCount=301\r\n[LevelName]\r\n0A=Jungle Hijinxs\r\n12C=Gorge\r\n");
    std::vector<std::wstring> lines;
    int count = 0;
    int selected = 0;
    const INT_PTR result = run(10, [&](HWND dialog) {
        count = listCount(dialog);
        selected = listSelection(dialog);
        for (int index : {0, 9, 10, 255, 256, 300})
            lines.push_back(listLine(dialog, index));
        press(dialog, IDOK);
    });
    EXPECT_EQ(count, 301);
    EXPECT_EQ(selected, 10) << "the initial stage is selected";
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"00: ?", L"09: ?", L"0A: Jungle Hijinxs", L"FF: ?", L"100: ?",
                                                L"12C: Gorge"}));
    EXPECT_EQ(result, 10) << "OK without touching the list chooses the initial stage";
}

TEST_F(LevelSelectDialogTest, MissingRominfoListsTheDefaultStagesUnnamed) {
    int count = 0;
    std::wstring last;
    run(37, [&](HWND dialog) {
        count = listCount(dialog);
        last = listLine(dialog, 205);
        press(dialog, IDCANCEL);
    });
    EXPECT_EQ(count, 206);
    EXPECT_EQ(last, L"CD: ?");
}

TEST_F(LevelSelectDialogTest, HugeCountListsNoMoreThanTheStageTableHolds) {
    writeRominfo("[Levels]\r\nCount=2147483647\r\n");
    int count = 0;
    std::wstring last;
    run(0, [&](HWND dialog) {
        count = listCount(dialog);
        last = listLine(dialog, count - 1);
        press(dialog, IDCANCEL);
    });
    EXPECT_EQ(count, 0x8000);
    EXPECT_EQ(last, L"7FFF: ?");
}

TEST_F(LevelSelectDialogTest, ShiftJisNamesAreShownAndCutToTheirBuffer) {
    // 02 = 草原ステージ in Shift-JIS; 03 = 70 letters, more than a name may hold.
    writeRominfo("[Levels]\r\nCount=4\r\n[LevelName]\r\n02=\x91\x90\x8C\xB4\x83\x58\x83\x65\x81\x5B\x83\x57\r\n03=" +
                 std::string(70, 'A') + "\r\n");
    std::wstring japanese;
    std::wstring longName;
    run(0, [&](HWND dialog) {
        japanese = listLine(dialog, 2);
        longName = listLine(dialog, 3);
        press(dialog, IDCANCEL);
    });
    EXPECT_EQ(japanese, L"02: 草原ステージ");
    EXPECT_EQ(longName, L"03: " + std::wstring(63, L'A'));
}

TEST_F(LevelSelectDialogTest, EmptyListEndsWithNoChoice) {
    writeRominfo("[Levels]\r\nCount=0\r\n");
    int count = -1;
    const INT_PTR result = run(0, [&](HWND dialog) {
        count = listCount(dialog);
        press(dialog, IDOK);
    });
    EXPECT_EQ(count, 0);
    EXPECT_EQ(result, -1);
}

TEST_F(LevelSelectDialogTest, InitialStageBeyondTheListSelectsNothing) {
    writeRominfo("[Levels]\r\nCount=5\r\n");
    for (int initial : {5, 300, -1}) {
        int selected = 0;
        const INT_PTR result = run(initial, [&](HWND dialog) {
            selected = listSelection(dialog);
            press(dialog, IDOK);
        });
        EXPECT_EQ(selected, LB_ERR) << initial;
        EXPECT_EQ(result, -1) << initial;
    }
}

TEST_F(LevelSelectDialogTest, OkReturnsTheEntrySelectedInTheList) {
    writeRominfo("[Levels]\r\nCount=20\r\n");
    const INT_PTR result = run(3, [&](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_LEVEL_LIST, LB_SETCURSEL, 17, 0);
        press(dialog, IDOK);
    });
    EXPECT_EQ(result, 17);
}

TEST_F(LevelSelectDialogTest, EnterKeyChoosesLikeOk) {
    writeRominfo("[Levels]\r\nCount=20\r\n");
    const INT_PTR result = run(4, [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_LEVEL_LIST);
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(list, WM_KEYUP, VK_RETURN, 0);
    });
    EXPECT_EQ(result, 4);
}

TEST_F(LevelSelectDialogTest, DoubleClickOnAnEntryChoosesIt) {
    writeRominfo("[Levels]\r\nCount=20\r\n");
    const INT_PTR result = run(0, [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_LEVEL_LIST);
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(list, WM_LBUTTONUP, 0, at);
        PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageW(list, WM_LBUTTONUP, 0, at);
    });
    EXPECT_EQ(result, 6);
}

TEST_F(LevelSelectDialogTest, CancelEscAndCloseBoxEndWithNoChoice) {
    writeRominfo("[Levels]\r\nCount=20\r\n");
    EXPECT_EQ(run(5, [](HWND dialog) { press(dialog, IDCANCEL); }), -1);
    EXPECT_EQ(run(5,
                  [](HWND dialog) {
                      const HWND list = GetDlgItem(dialog, IDC_LEVEL_LIST);
                      PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
                      PostMessageW(list, WM_KEYUP, VK_ESCAPE, 0);
                  }),
              -1);
    EXPECT_EQ(run(5, [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }), -1);
}

} // namespace
} // namespace vexa
