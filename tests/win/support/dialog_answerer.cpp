#include "support/dialog_answerer.h"

#include <algorithm>

namespace vexa::test {

namespace {

DialogAnswerer* active = nullptr;

// A dialog is answered once it shows and takes input (one with a modal dialog of its
// own open is disabled). Wine's file dialog crashes on OK before its shell view exists.
bool readyForAnswer(HWND dialog) {
    const bool fileDialog = GetDlgItem(dialog, 0x47C) || GetDlgItem(dialog, 0x480);
    return IsWindowVisible(dialog) && IsWindowEnabled(dialog) &&
           (!fileDialog || FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr));
}

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
    open_.push_back({dialog, {IDCANCEL, nullptr}, false, 0});
}

void DialogAnswerer::onTimer() {
    // An action may open a nested dialog and run its modal loop, which calls this
    // again: work on a snapshot and mark each dialog before acting on it.
    open_.erase(std::remove_if(open_.begin(), open_.end(), [](const Open& o) { return !IsWindow(o.hwnd); }),
                open_.end());
    std::vector<HWND> ready;
    for (const Open& o : open_)
        if (readyForAnswer(o.hwnd)) ready.push_back(o.hwnd);
    for (HWND dialog : ready) {
        auto it = std::find_if(open_.begin(), open_.end(), [&](const Open& o) { return o.hwnd == dialog; });
        if (it == open_.end() || !IsWindow(dialog)) continue;
        bool act = false;
        const bool first = !it->acted;
        // A pressed button normally closes the dialog at once; press again only if it
        // is still there a second later, so no stray click reaches the next dialog.
        if (!first && GetTickCount() - it->pressedAt < 1000) continue;
        if (first) {
            // A dialog is seen, and takes the next answer, once it shows: only then are
            // its texts complete, and windows that never show are nobody's question.
            SeenDialog seen{windowText(dialog), windowText(GetDlgItem(dialog, 0xFFFF)), IDCANCEL, false};
            if (!answers_.empty()) {
                it->answer = std::move(answers_.front());
                answers_.pop_front();
                seen.answer = it->answer.button;
                seen.scripted = true;
            } else if (policy_) {
                it->answer.button = policy_(dialog, seen, it->answer.action);
                seen.answer = it->answer.button;
                seen.scripted = true;
            }
            seen_.push_back(seen);
            it->acted = true;
            act = static_cast<bool>(it->answer.action);
        }
        it->pressedAt = GetTickCount();
        const Answer answer = it->answer;
        if (act) answer.action(dialog);
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED), 0);
    }
}

} // namespace vexa::test
