// Paths as text: where a path splits into its folder and its file name. Both kinds of
// separator count, '\\' and '/'.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

struct PathSplit {
    bool hasFolder = false;   // the path holds a separator
    std::wstring_view folder; // before the last separator ("" without one)
    std::wstring_view name;   // after the last separator (the whole path without one)
};

PathSplit splitPath(std::wstring_view path);

// The file-name part of a path: the text after the last '\\' or '/'.
inline std::wstring fileNamePart(std::wstring_view path) {
    return std::wstring(splitPath(path).name);
}

} // namespace vexa
