// The texts of the user interface, in the language the user chose. Each text has an
// id (resources/text_ids.h) and one entry per language in the string tables of
// resources/strings.rc; the program reads them from its resources, the native build
// from a table made of the same file when it builds.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

enum class Language : unsigned char { Japanese, English };
inline constexpr Language kLanguages[] = {Language::Japanese, Language::English};

// The settings' word for a language ([MainWindow] Language): "ja" or "en". Any other
// word reads as Japanese.
const wchar_t* languageKey(Language language);
Language languageOfKey(std::wstring_view key);

// Where the texts come from: the text of `id` in `language`, or nothing when there
// is none.
using TextSource = std::optional<std::wstring> (*)(Language language, unsigned id);
// The program sets its resources as the source; until then the table made of the
// same string tables when the program is built serves.
void setTextSource(TextSource source);

// That table: the text of `id` in `language`, and every id it has.
std::optional<std::wstring> builtInText(Language language, unsigned id);
std::vector<unsigned> builtInTextIds();

// The language texts are given in, Japanese until set.
Language currentLanguage();
void setCurrentLanguage(Language language);

// The text of `id` in the current language, or "#id" when no table has it. The
// pointer stays valid for the program's life.
const wchar_t* text(unsigned id);
const wchar_t* textIn(Language language, unsigned id);

// The text of `id` with %1 to %9 replaced by `args` (in that order; "%%" is a percent
// sign), so that each language puts the values where its sentence needs them.
std::wstring formatText(unsigned id, std::initializer_list<std::wstring_view> args);
std::wstring formatTextIn(Language language, unsigned id, std::initializer_list<std::wstring_view> args);

} // namespace vexa
