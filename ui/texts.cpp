#include "ui/texts.h"

#include <map>
#include <utility>

namespace vexa {

namespace {

TextSource source = &builtInText;
Language chosen = Language::Japanese;

// Every text looked up so far, by language and id. A map's entries stay where they
// are while others are added, so the pointers handed out stay valid.
using TextCache = std::map<std::pair<Language, unsigned>, std::wstring>;

TextCache& cache() {
    static TextCache theCache;
    return theCache;
}

} // namespace

const wchar_t* languageKey(Language language) {
    return language == Language::English ? L"en" : L"ja";
}

Language languageOfKey(std::wstring_view key) {
    return key == L"en" ? Language::English : Language::Japanese;
}

void setTextSource(TextSource newSource) {
    if (!newSource) newSource = &builtInText;
    if (newSource == source) return;
    source = newSource;
    cache() = {};
}

Language currentLanguage() {
    return chosen;
}

void setCurrentLanguage(Language language) {
    chosen = language;
}

const wchar_t* textIn(Language language, unsigned id) {
    TextCache& known = cache();
    const auto key = std::make_pair(language, id);
    auto found = known.find(key);
    if (found == known.end()) {
        std::optional<std::wstring> loaded = source(language, id);
        found = known.emplace(key, loaded ? std::move(*loaded) : L"#" + std::to_wstring(id)).first;
    }
    return found->second.c_str();
}

const wchar_t* text(unsigned id) {
    return textIn(chosen, id);
}

std::wstring formatTextIn(Language language, unsigned id, std::initializer_list<std::wstring_view> args) {
    const std::wstring_view pattern = textIn(language, id);
    std::wstring out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c != L'%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const wchar_t next = pattern[i + 1];
        if (next == L'%') {
            out += L'%';
            ++i;
        } else if (next >= L'1' && next <= L'9') {
            const auto index = static_cast<std::size_t>(next - L'1');
            if (index < args.size()) out += *(args.begin() + index);
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring formatText(unsigned id, std::initializer_list<std::wstring_view> args) {
    return formatTextIn(chosen, id, args);
}

} // namespace vexa
