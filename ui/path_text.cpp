#include "ui/path_text.h"

namespace vexa {

PathSplit splitPath(std::wstring_view path) {
    const auto cut = path.find_last_of(L"\\/");
    if (cut == std::wstring_view::npos) return {false, {}, path};
    return {true, path.substr(0, cut), path.substr(cut + 1)};
}

} // namespace vexa
