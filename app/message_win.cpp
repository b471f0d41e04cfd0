#include "app/message_win.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

namespace vexa {

void showError(HWND owner, const wchar_t* text) {
    MessageBoxW(owner, text, vexa::text(IDS_ERROR_CAPTION), MB_OK | MB_ICONWARNING);
}

int askQuestion(HWND owner, const wchar_t* text, UINT buttons, UINT icon) {
    return MessageBoxW(owner, text, kQuestionCaption, buttons | icon);
}

} // namespace vexa
