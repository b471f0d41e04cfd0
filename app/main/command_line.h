// The ROM paths named on the program's command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Splits the text the way the editor reads its command line: blanks (space, tab)
// separate tokens; a double quote starts a token that runs to the next double quote
// and may hold blanks; a quote right after unquoted characters ends that token and
// starts a quoted one; the end of the text ends the last token, even inside quotes.
// Empty tokens ("") are dropped: an empty path can name no file.
std::vector<std::wstring> splitCommandLine(std::wstring_view text);

} // namespace vexa
