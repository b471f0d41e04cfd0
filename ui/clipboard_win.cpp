#include "ui/clipboard_win.h"

#include <cstring>

namespace vexa {

namespace {

HGLOBAL globalCopy(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* target = block ? GlobalLock(block) : nullptr;
    if (!target) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    return block;
}

// Ownership of each block passes to the clipboard once SetClipboardData takes it.
void putBlock(UINT format, HGLOBAL block) {
    if (block && !SetClipboardData(format, block)) GlobalFree(block);
}

template <typename Read> auto readForm(HWND owner, UINT format, Read read) -> decltype(read(nullptr, 0)) {
    if (!IsClipboardFormatAvailable(format) || !OpenClipboard(owner)) return std::nullopt;
    decltype(read(nullptr, 0)) result;
    if (HANDLE block = GetClipboardData(format)) {
        if (const void* data = GlobalLock(block)) {
            result = read(data, GlobalSize(block));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return result;
}

} // namespace

bool putOnClipboard(HWND owner, std::span<const ClipboardForm> forms) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    for (const ClipboardForm& form : forms)
        putBlock(form.format, globalCopy(form.bytes.data(), form.bytes.size()));
    CloseClipboard();
    return true;
}

bool putOnClipboard(HWND owner, std::span<const ClipboardForm> forms, const std::wstring& text) {
    std::vector<ClipboardForm> all(forms.begin(), forms.end());
    all.push_back(
        {CF_UNICODETEXT, {reinterpret_cast<const std::uint8_t*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t)}});
    return putOnClipboard(owner, all);
}

std::optional<std::vector<std::uint8_t>> clipboardBytes(HWND owner, UINT format) {
    return readForm(owner, format, [](const void* data, std::size_t size) -> std::optional<std::vector<std::uint8_t>> {
        if (!data) return std::nullopt;
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return std::vector<std::uint8_t>(bytes, bytes + size);
    });
}

std::optional<std::wstring> clipboardText(HWND owner) {
    return readForm(owner, CF_UNICODETEXT, [](const void* data, std::size_t size) -> std::optional<std::wstring> {
        if (!data) return std::nullopt;
        const auto* text = static_cast<const wchar_t*>(data);
        return std::wstring(text, wcsnlen(text, size / sizeof(wchar_t)));
    });
}

} // namespace vexa
