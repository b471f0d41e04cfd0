// The program's resources looked up in an explicit language: the loader's own choice
// follows the user's locale (and under Wine ignores the thread's UI language), so
// every template, menu and string table is found by the language the user chose.
#pragma once

#include "ui/dialog_template.h"
#include "ui/texts.h"

#include <windows.h>

#include <optional>

namespace vexa {

// The resource language that holds `language`'s resources.
LANGID resourceLanguage(Language language);

// The bytes of the resource `name` of `type` in `language`, from appInstance(), or the
// Japanese one when that language has none; nullptr when neither exists. `size`, when
// given, gets the byte count. The bytes stay valid for the program's life.
const void* findResourceIn(Language language, LPCWSTR type, LPCWSTR name, DWORD* size);

// The dialog template `name` of `language` (or of Japanese, as findResourceIn), read;
// nothing when there is none or it cannot be read.
std::optional<DialogTemplate> dialogTemplateIn(Language language, const wchar_t* name);

// Gives a dialog open from `templateName` the texts and layout of that template in
// `language`, keeping its state: each control of the template, found by its id, gets
// the template's text (static texts and buttons only, where the template has one:
// edits and lists hold what the program put there) and its place, and a captioned
// dialog the template's caption. The dialog takes the template's client size,
// staying where it is. A control, or the dialog's size, that every language's
// template lays out alike is left as it is, where the dialog's own code may have
// placed it. False when the template cannot be found or read.
bool relabelDialog(HWND dialog, const wchar_t* templateName, Language language);

} // namespace vexa
