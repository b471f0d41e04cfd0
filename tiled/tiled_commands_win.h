// File > "Tiled 形式で書き出し" and "Tiled から読み込み": the open stage as a Tiled map,
// and a Tiled map read into the open stage as one undo step.
#pragma once

#include "stage/view/level_manager_win.h"

#include <windows.h>

#include <string>

namespace vexa {

// Asks for the map file and writes the open stage as a Tiled map, its two tilesets and
// their images beside it.
void exportTiledMapWithDialog(HWND owner, LevelManager& levels, const std::wstring& romPath);

// Asks for a map file and reads it into the open stage: every change in one undo step,
// or, with any problem, nothing and one message listing them.
void importTiledMapWithDialog(HWND owner, LevelManager& levels, const std::wstring& romPath);

} // namespace vexa
