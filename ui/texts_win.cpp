#include "ui/texts_win.h"

#include "ui/resources_win.h"
#include "ui/window_win.h"

namespace vexa {

void useResourceTexts() {
    setTextSource(&resourceText);
}

std::optional<std::wstring> resourceText(Language language, unsigned id) {
    // Strings are kept sixteen to a resource, each as its length and its characters.
    DWORD size = 0;
    const auto* block =
        static_cast<const WCHAR*>(findResourceIn(language, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), &size));
    if (!block) return std::nullopt;
    const std::size_t chars = size / sizeof(WCHAR);
    std::size_t at = 0;
    for (unsigned entry = 0; entry < 16 && at < chars; ++entry) {
        const std::size_t length = block[at++];
        if (length > chars - at) return std::nullopt;
        if (entry == id % 16) {
            if (length == 0) return std::nullopt;
            return std::wstring(block + at, length);
        }
        at += length;
    }
    return std::nullopt;
}

HMENU loadMenuIn(Language language, const wchar_t* name) {
    DWORD size = 0;
    const void* menu = findResourceIn(language, RT_MENU, name, &size);
    return menu ? LoadMenuIndirectW(menu) : nullptr;
}

void relabelMenu(HMENU live, HMENU source) {
    const int count = GetMenuItemCount(source);
    for (int position = 0; position < count; ++position) {
        wchar_t label[256] = L"";
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        item.dwTypeData = label;
        item.cch = static_cast<UINT>(std::size(label));
        if (!GetMenuItemInfoW(source, static_cast<UINT>(position), TRUE, &item)) continue;
        if (item.fType & MFT_SEPARATOR) continue;
        MENUITEMINFOW change{};
        change.cbSize = sizeof change;
        change.fMask = MIIM_STRING;
        change.dwTypeData = label;
        if (item.hSubMenu) {
            SetMenuItemInfoW(live, static_cast<UINT>(position), TRUE, &change);
            if (HMENU liveSubmenu = GetSubMenu(live, position)) relabelMenu(liveSubmenu, item.hSubMenu);
        } else {
            SetMenuItemInfoW(live, item.wID, FALSE, &change);
        }
    }
}

} // namespace vexa
