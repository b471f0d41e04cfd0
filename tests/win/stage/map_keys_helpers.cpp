#include "map_keys_helpers.h"

#include "resources/resource_ids.h"
#include "stage/view/map_edit_win.h"

#include <cstring>

namespace vexa::test {

void pressMapKey(HWND mapView, WPARAM key, int modifiers) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = (modifiers & kCtrl) ? 0x80 : 0;
    keys[VK_SHIFT] = (modifiers & kShift) ? 0x80 : 0;
    SetKeyboardState(keys);
    SetFocus(mapView);
    SendMessageW(GetFocus(), WM_KEYDOWN, key, 0);
    // The message loop translates a letter key into its character as well.
    if (!modifiers && key >= 'A' && key <= 'Z') SendMessageW(GetFocus(), WM_CHAR, key - 'A' + 'a', 0);
    keys[VK_CONTROL] = 0;
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    pumpMessages();
}

std::optional<MapObjectClip> clipboardObject() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<MapObjectClip> object;
    if (HANDLE block = GetClipboardData(MapEditCommands::clipboardFormat())) {
        const auto* data = static_cast<const std::uint8_t*>(GlobalLock(block));
        object = decodeMapObject({data, GlobalSize(block)});
        GlobalUnlock(block);
    }
    CloseClipboard();
    return object;
}

std::wstring clipboardText() {
    if (!OpenClipboard(nullptr)) return L"(clipboard busy)";
    std::wstring text;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

void putOnClipboard(const MapObjectClip& object) {
    const std::vector<std::uint8_t> bytes = encodeMapObject(object);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(MapEditCommands::clipboardFormat(), block);
    CloseClipboard();
}

void emptyClipboard() {
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
}

bool editItemEnabled(EditorSession& editor, int id) {
    SendMessageW(editor.project->hwnd, WM_INITMENUPOPUP,
                 reinterpret_cast<WPARAM>(GetSubMenu(editor.menu(), MENU_POS_EDIT)), MENU_POS_EDIT);
    return editor.menuEnabled(id);
}

} // namespace vexa::test
