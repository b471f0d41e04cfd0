#include "app/main/command_line.h"

namespace vexa {

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

} // namespace

std::vector<std::wstring> splitCommandLine(std::wstring_view text) {
    std::vector<std::wstring> tokens;
    std::wstring token;
    bool quoted = false;
    auto finish = [&] {
        if (!token.empty()) tokens.push_back(std::move(token));
        token.clear();
    };
    for (const wchar_t c : text) {
        if (quoted) {
            if (c == L'"') {
                finish();
                quoted = false;
            } else {
                token += c;
            }
        } else if (c == L'"') {
            finish();
            quoted = true;
        } else if (isBlank(c)) {
            finish();
        } else {
            token += c;
        }
    }
    finish();
    return tokens;
}

} // namespace vexa
