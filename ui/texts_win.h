// The interface's texts and menus from the program's resources, in the language the
// user chose: looked up by that language explicitly, whatever the system's locale.
#pragma once

#include "ui/texts.h"

#include <windows.h>

namespace vexa {

// Makes the program's string tables the source of text().
void useResourceTexts();

// The text of `id` in `language` from the string tables, or nothing.
std::optional<std::wstring> resourceText(Language language, unsigned id);

// The menu `name` of `language` (of Japanese when that language has none), or null.
HMENU loadMenuIn(Language language, const wchar_t* name);

// Gives each item of `live` the text of the item of `source` with the same command,
// and each submenu the text of the one at its place in `source`: the menus of two
// languages have one shape, while `live` keeps its checks, greyed items and the items
// the program added to it.
void relabelMenu(HMENU live, HMENU source);

} // namespace vexa
