// The clipboard as the editor's copies and pastes use it: one copy puts several forms
// of the same thing there at once, and a paste reads the form it understands.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexa {

struct ClipboardForm {
    UINT format = 0;
    std::span<const std::uint8_t> bytes;
};

// Empties the clipboard and puts every form there; false when it cannot be opened.
bool putOnClipboard(HWND owner, std::span<const ClipboardForm> forms);
// The same with a text form (CF_UNICODETEXT) after the others.
bool putOnClipboard(HWND owner, std::span<const ClipboardForm> forms, const std::wstring& text);

// The bytes of one form (as many as the clipboard's block holds, which may be more
// than were put there); nothing when the form is not there.
std::optional<std::vector<std::uint8_t>> clipboardBytes(HWND owner, UINT format);
// The clipboard's text up to its first null; nothing when it holds none.
std::optional<std::wstring> clipboardText(HWND owner);

} // namespace vexa
