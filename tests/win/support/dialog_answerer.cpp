#include "support/dialog_answerer.h"

#include <algorithm>

namespace vexa::test {

namespace {

DialogAnswerer* active = nullptr;

std::wstring windowText(HWND hwnd) {
    wchar_t buffer[2048] = {};
    if (hwnd) GetWindowTextW(hwnd, buffer, 2048);
    return buffer;
}

} // namespace

DialogAnswerer::DialogAnswerer() {
    active = this;
    hook_ = SetWindowsHookExW(WH_CBT, &DialogAnswerer::cbtProc, nullptr, GetCurrentThreadId());
    timer_ = SetTimer(nullptr, 0, 50, &DialogAnswerer::timerProc);
}

DialogAnswerer::~DialogAnswerer() {
    KillTimer(nullptr, timer_);
    UnhookWindowsHookEx(hook_);
    active = nullptr;
}

LRESULT CALLBACK DialogAnswerer::cbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && active) {
        wchar_t cls[32] = {};
        GetClassNameW(reinterpret_cast<HWND>(wParam), cls, 32);
        if (std::wstring_view(cls) == L"#32770") active->onActivate(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogAnswerer::timerProc(HWND, UINT, UINT_PTR, DWORD) {
    if (active) active->onTimer();
}

void DialogAnswerer::onActivate(HWND dialog) {
    if (std::any_of(open_.begin(), open_.end(), [&](const Open& o) { return o.hwnd == dialog; })) return;
    SeenDialog seen{windowText(dialog), windowText(GetDlgItem(dialog, 0xFFFF)), IDCANCEL, false};
    if (!answers_.empty()) {
        seen.answer = answers_.front();
        seen.scripted = true;
        answers_.pop_front();
    }
    seen_.push_back(seen);
    open_.push_back({dialog, seen.answer, GetTickCount()});
}

void DialogAnswerer::onTimer() {
    for (auto it = open_.begin(); it != open_.end();) {
        if (!IsWindow(it->hwnd)) {
            it = open_.erase(it);
            continue;
        }
        if (IsWindowVisible(it->hwnd)) PostMessageW(it->hwnd, WM_COMMAND, MAKEWPARAM(it->answer, BN_CLICKED), 0);
        ++it;
    }
}

} // namespace vexa::test
