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

// The file name without its last extension ("game.v2.smc" -> "game.v2"); a name
// that only starts with a dot keeps it.
inline std::wstring fileStemPart(std::wstring_view path) {
    const std::wstring_view name = splitPath(path).name;
    const std::size_t dot = name.rfind(L'.');
    return std::wstring(dot == std::wstring_view::npos || dot == 0 ? name : name.substr(0, dot));
}

// `name` in the folder of `path`: C:\roms\game.smc and a.png give C:\roms\a.png;
// a path without a folder gives `name` alone.
inline std::wstring inFolderOf(std::wstring_view path, std::wstring_view name) {
    const PathSplit split = splitPath(path);
    return split.hasFolder ? std::wstring(split.folder) + L"\\" + std::wstring(name) : std::wstring(name);
}

} // namespace vexa
