// Answers the message boxes and dialogs that code under test opens on this thread,
// and records what they said. A dialog nobody scripted an answer for is cancelled
// and recorded, so a test fails instead of hanging.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vexa::test {

struct SeenDialog {
    std::wstring caption;
    std::wstring text; // the static text of a message box
    int answer = 0;    // the button the answerer pressed
    bool scripted = false;
};

class DialogAnswerer {
public:
    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Acts on an open dialog before its button is pressed (e.g. types into a field).
    using Action = std::function<void(HWND dialog)>;

    // The next dialog is closed with this button (IDOK, IDYES, IDNO, IDCANCEL ...),
    // after `action` has run on it once it is visible.
    void answerNext(int buttonId, Action action = nullptr) { answers_.push_back({buttonId, std::move(action)}); }
    // Decides for a dialog nobody scripted an answer for: the button, and what to do
    // first. Without a policy such a dialog is cancelled.
    using Policy = std::function<int(HWND dialog, const SeenDialog& seen, Action& action)>;
    void setPolicy(Policy policy) { policy_ = std::move(policy); }
    const std::vector<SeenDialog>& seen() const { return seen_; }
    void clear() {
        seen_.clear();
        answers_.clear();
    }

private:
    static LRESULT CALLBACK cbtProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR, DWORD);
    void onActivate(HWND dialog);
    void onTimer();

    struct Answer {
        int button;
        Action action;
    };
    struct Open {
        HWND hwnd;
        Answer answer;
        bool acted;      // seen and given its answer
        DWORD pressedAt; // when its button was last pressed
    };
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    std::deque<Answer> answers_;
    Policy policy_;
    std::vector<SeenDialog> seen_;
    std::vector<Open> open_;
};

} // namespace vexa::test
