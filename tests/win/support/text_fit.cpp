#include "support/text_fit.h"

#include <algorithm>

namespace vexa::test {

namespace {

// The gap between a check or radio box and its text; a group box's title is drawn in
// from its corner. A push button's text must fit inside its 3D frame.
constexpr int kBoxGap = 4;
constexpr int kGroupTitleMargin = 16;

int pushButtonMargin() {
    return 2 * GetSystemMetrics(SM_CXEDGE);
}

enum class TextKind { None, SingleLine, Wrapping, PushButton, CheckBox, GroupBox };

bool isClass(HWND control, const wchar_t* name) {
    wchar_t found[32] = {};
    GetClassNameW(control, found, 32);
    return lstrcmpiW(found, name) == 0;
}

TextKind kindOf(HWND control) {
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (isClass(control, L"Static")) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT: return TextKind::Wrapping;
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP: return TextKind::SingleLine;
        default: return TextKind::None;
        }
    }
    if (!isClass(control, L"Button") || (style & (BS_ICON | BS_BITMAP))) return TextKind::None;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: return TextKind::PushButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return TextKind::CheckBox;
    case BS_GROUPBOX: return TextKind::GroupBox;
    default: return TextKind::None;
    }
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The text's extent in the control's font, its '&' taken as the mnemonic's mark as
// the control draws it; wrapped to `wrapWidth` when that is given.
SIZE extentOf(HWND control, const std::wstring& text, UINT format, int wrapWidth) {
    HDC dc = GetDC(control);
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    RECT rect{0, 0, wrapWidth, 0};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | DT_EXPANDTABS | format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

std::string utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace

std::vector<CutText> cutTexts(HWND window) {
    std::vector<CutText> cut;
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const TextKind kind = kindOf(control);
        const std::wstring text = windowText(control);
        if (kind == TextKind::None || text.empty()) continue;
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const bool noPrefix =
            kind == TextKind::Wrapping || kind == TextKind::SingleLine ? (style & SS_NOPREFIX) != 0 : false;
        const UINT prefix = noPrefix ? DT_NOPREFIX : 0;
        RECT client{};
        GetClientRect(control, &client);
        const SIZE room{client.right, client.bottom};
        SIZE needed{};
        switch (kind) {
        case TextKind::Wrapping: needed = extentOf(control, text, prefix | DT_WORDBREAK, room.cx); break;
        case TextKind::SingleLine: needed = extentOf(control, text, prefix | DT_SINGLELINE, 0); break;
        case TextKind::PushButton: {
            const bool multiLine = (style & BS_MULTILINE) != 0;
            needed = extentOf(control, text, multiLine ? DT_WORDBREAK : DT_SINGLELINE, room.cx - pushButtonMargin());
            needed.cx += pushButtonMargin();
            break;
        }
        case TextKind::CheckBox:
            needed = extentOf(control, text, DT_SINGLELINE, 0);
            needed.cx += GetSystemMetrics(SM_CXMENUCHECK) + kBoxGap;
            break;
        case TextKind::GroupBox:
            needed = extentOf(control, text, DT_SINGLELINE, 0);
            needed.cx += kGroupTitleMargin;
            break;
        case TextKind::None: break;
        }
        if (needed.cx > room.cx || needed.cy > room.cy) cut.push_back({GetDlgCtrlID(control), text, needed, room});
    }
    return cut;
}

std::vector<CutText> cutListLines(HWND list) {
    std::vector<CutText> cut;
    RECT client{};
    GetClientRect(list, &client);
    const bool scrolls = (GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL) != 0;
    const int width = std::max(static_cast<int>(client.right),
                               scrolls ? static_cast<int>(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)) : 0);
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int line = 0; line < count; ++line) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, line, 0)) + 1, L'\0');
        text.resize(
            static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(text.data()))));
        SIZE needed = extentOf(list, text, DT_SINGLELINE | DT_NOPREFIX, 0);
        needed.cx += 4; // the list draws a line two pixels in from either side
        const SIZE room{width, static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, line, 0))};
        if (needed.cx > room.cx || needed.cy > room.cy) cut.push_back({line, text, needed, room});
    }
    return cut;
}

std::string describe(const std::vector<CutText>& cut) {
    std::string lines;
    for (const CutText& control : cut) {
        lines += "id " + std::to_string(control.id) + " \"" + utf8(control.text) + "\": needs " +
                 std::to_string(control.needed.cx) + "x" + std::to_string(control.needed.cy) + ", has " +
                 std::to_string(control.room.cx) + "x" + std::to_string(control.room.cy) + "\n";
    }
    return lines;
}

} // namespace vexa::test
