// provisional: replaced by the helper's file
#include "ui/resources_win.h"

#include "ui/window_win.h"

namespace vexa {

LANGID resourceLanguage(Language language) {
    return language == Language::English ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                                         : MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
}

const void* findResourceIn(Language language, LPCWSTR type, LPCWSTR name, DWORD* size) {
    HRSRC found = FindResourceExW(appInstance(), type, name, resourceLanguage(language));
    if (!found) found = FindResourceExW(appInstance(), type, name, resourceLanguage(Language::Japanese));
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(appInstance(), found);
    if (size) *size = SizeofResource(appInstance(), found);
    return loaded ? LockResource(loaded) : nullptr;
}

bool relabelDialog(HWND, const wchar_t*, Language) {
    return false;
}

} // namespace vexa
