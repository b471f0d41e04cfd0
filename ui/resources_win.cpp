#include "ui/resources_win.h"

#include "ui/dialog_template.h"
#include "ui/window_win.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexa {

namespace {

const void* findExactly(LANGID language, LPCWSTR type, LPCWSTR name, DWORD* size) {
    const HINSTANCE instance = appInstance();
    HRSRC found = FindResourceExW(instance, type, name, language);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes && size) *size = SizeofResource(instance, found);
    return bytes;
}

std::wstring wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// The direct children of `window` in creation order.
std::vector<HWND> childrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Controls are matched by id, the second control of an id with the second of that id
// and so on, so that labels sharing one id are told apart by their order. Ids compare
// as the window manager keeps them, in 16 bits.
std::uint16_t idOf(const DialogTemplateControl& control) {
    return static_cast<std::uint16_t>(control.id);
}
std::size_t occurrence(const DialogTemplate& dialog, std::size_t control) {
    const auto first = dialog.controls.begin();
    return static_cast<std::size_t>(
        std::count_if(first, first + static_cast<std::ptrdiff_t>(control),
                      [&](const auto& c) { return idOf(c) == idOf(dialog.controls[control]); }));
}

// The control of `other` that stands for `control` of `dialog`.
const DialogTemplateControl* matchingControl(const DialogTemplate& dialog, std::size_t control,
                                             const DialogTemplate& other) {
    std::size_t before = occurrence(dialog, control);
    for (const DialogTemplateControl& candidate : other.controls)
        if (idOf(candidate) == idOf(dialog.controls[control]) && before-- == 0) return &candidate;
    return nullptr;
}

// The live control that stands for `control` of `dialog`.
HWND matchingChild(const std::vector<HWND>& children, const DialogTemplate& dialog, std::size_t control) {
    std::size_t before = occurrence(dialog, control);
    for (HWND child : children)
        if (static_cast<std::uint16_t>(GetDlgCtrlID(child)) == idOf(dialog.controls[control]) && before-- == 0)
            return child;
    return nullptr;
}

bool takesTemplateText(const DialogTemplateControl& control) {
    const ControlClass kind = controlClassOf(control);
    return (kind == ControlClass::Static || kind == ControlClass::Button) && !control.text.ordinal &&
           !control.text.name.empty();
}

} // namespace

LANGID resourceLanguage(Language language) {
    return language == Language::English ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                                         : MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
}

const void* findResourceIn(Language language, LPCWSTR type, LPCWSTR name, DWORD* size) {
    if (const void* bytes = findExactly(resourceLanguage(language), type, name, size)) return bytes;
    if (language == Language::Japanese) return nullptr;
    return findExactly(resourceLanguage(Language::Japanese), type, name, size);
}

std::optional<DialogTemplate> dialogTemplateIn(Language language, const wchar_t* name) {
    DWORD size = 0;
    const void* bytes = findResourceIn(language, RT_DIALOG, name, &size);
    if (!bytes) return std::nullopt;
    return readDialogTemplate(std::span(static_cast<const std::uint8_t*>(bytes), size));
}

bool relabelDialog(HWND dialog, const wchar_t* templateName, Language language) {
    const std::optional<DialogTemplate> target = dialogTemplateIn(language, templateName);
    if (!target) return false;
    // What every language lays out alike stays where the dialog's code may have put it
    // (a preview sized in pixels, pages sized to the inspector's).
    std::vector<DialogTemplate> all;
    for (Language each : kLanguages)
        if (auto read = dialogTemplateIn(each, templateName)) all.push_back(std::move(*read));
    const auto sameInAll = [&](std::size_t control) {
        for (const DialogTemplate& other : all) {
            const DialogTemplateControl* there = matchingControl(*target, control, other);
            if (!there || !(there->rect == target->controls[control].rect)) return false;
        }
        return true;
    };

    const std::vector<HWND> children = childrenOf(dialog);
    for (std::size_t i = 0; i < target->controls.size(); ++i) {
        const DialogTemplateControl& control = target->controls[i];
        HWND child = matchingChild(children, *target, i);
        if (!child) continue;
        if (takesTemplateText(control)) SetWindowTextW(child, wide(control.text.name).c_str());
        if (sameInAll(i)) continue;
        // Place and size map separately, as the dialog manager maps them on creation.
        RECT place{control.rect.x, control.rect.y, control.rect.width, control.rect.height};
        MapDialogRect(dialog, &place);
        SetWindowPos(child, nullptr, place.left, place.top, place.right, place.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    if ((style & WS_CAPTION) == WS_CAPTION) SetWindowTextW(dialog, wide(target->caption).c_str());
    const bool sizedAlike = std::all_of(all.begin(), all.end(), [&](const DialogTemplate& other) {
        return other.rect.width == target->rect.width && other.rect.height == target->rect.height;
    });
    if (sizedAlike) return true;
    RECT client{0, 0, target->rect.width, target->rect.height};
    MapDialogRect(dialog, &client);
    const bool hasMenu = !(style & WS_CHILD) && GetMenu(dialog) != nullptr;
    AdjustWindowRectEx(&client, static_cast<DWORD>(style), hasMenu,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

} // namespace vexa
