#include "ui/window_win.h"

#include "app/settings_win.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexa {
namespace {

class RecordingWindow : public MyWindow {
public:
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return MyWindow::handleMessage(window, message, wParam, lParam);
    }
    std::vector<UINT> messages;
};

bool registerRecordingClass() {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = &MyWindow::windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"vexa_test_window";
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

TEST(WindowBinding, BoundFromCreateToDestroyWithDefaultProcessingBefore) {
    ASSERT_TRUE(registerRecordingClass());
    RecordingWindow object;
    HWND hwnd = CreateWindowExW(0, L"vexa_test_window", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), static_cast<MyWindow*>(&object));
    ASSERT_NE(hwnd, nullptr);
    ASSERT_FALSE(object.messages.empty());
    EXPECT_EQ(object.messages.front(), static_cast<UINT>(WM_CREATE)) << "messages before create are not delivered";
    EXPECT_EQ(GetPropW(hwnd, kInstanceProperty), static_cast<MyWindow*>(&object));
    EXPECT_TRUE(object.isBound());
    EXPECT_EQ(object.hwnd, hwnd);

    DestroyWindow(hwnd);
    EXPECT_EQ(object.messages.back(), static_cast<UINT>(WM_NCDESTROY) == object.messages.back()
                                          ? static_cast<UINT>(WM_NCDESTROY)
                                          : static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(object.isBound());
    EXPECT_EQ(object.hwnd, hwnd) << "the handle keeps its value";
}

TEST(WindowBinding, ObjectDestroyedFirstRemovesTheProperty) {
    ASSERT_TRUE(registerRecordingClass());
    HWND hwnd;
    {
        RecordingWindow object;
        hwnd = CreateWindowExW(0, L"vexa_test_window", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), static_cast<MyWindow*>(&object));
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_EQ(GetPropW(hwnd, kInstanceProperty), nullptr);
    SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"still alive"));
    DestroyWindow(hwnd);
}

class RecordingDialog : public MyDialog {
public:
    const wchar_t* templateName() const override { return L"SET_EMULATOR"; }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_INITDIALOG) {
            initParam = lParam;
            firstMessage = messagesSeen == 0;
        }
        ++messagesSeen;
        return MyDialog::handleMessage(window, message, wParam, lParam);
    }
    LPARAM initParam = 0;
    bool firstMessage = false;
    int messagesSeen = 0;
};

TEST(DialogBinding, ModelessDialogGetsItsInitParameterFirst) {
    setAppInstance(GetModuleHandleW(nullptr));
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.createModeless(static_cast<HWND>(nullptr), 1234));
    EXPECT_TRUE(dialog.firstMessage) << "messages before WM_INITDIALOG are answered with 0, not delivered";
    EXPECT_EQ(dialog.initParam, 1234);
    EXPECT_TRUE(dialog.isBound());
    DestroyWindow(dialog.hwnd);
    EXPECT_FALSE(dialog.isBound());
}

TEST(DialogBinding, ModalDialogReturnsTheEndValue) {
    setAppInstance(GetModuleHandleW(nullptr));
    test::DialogAnswerer answerer;
    answerer.answerNext(IDOK);
    class EndingDialog : public RecordingDialog {
        INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
                EndDialog(window, 77);
                return TRUE;
            }
            return RecordingDialog::handleMessage(window, message, wParam, lParam);
        }
    } dialog;
    EXPECT_EQ(dialog.runModal(static_cast<HWND>(nullptr), 5), 77);
    EXPECT_EQ(dialog.initParam, 5);
}

} // namespace
} // namespace vexa
