// The one place that shows messages to the user.
#pragma once

#include <windows.h>

namespace vexa {

inline constexpr const wchar_t* kQuestionCaption = L"Vexa Editor";

// An error or warning: caption "エラー" (in the language chosen), warning icon, OK button.
void showError(HWND owner, const wchar_t* text);

// A question with caption "Vexa Editor", the warning icon unless another is given;
// returns the button id.
int askQuestion(HWND owner, const wchar_t* text, UINT buttons, UINT icon = MB_ICONWARNING);

} // namespace vexa
