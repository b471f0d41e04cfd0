// File > "パッチの作成" and "ステージを画像で保存": what the editor gives others — a
// patch from a clean ROM to the image in the editor, and a picture of the open stage.
#pragma once

#include "app/rom_document.h"
#include "stage/view/level_manager_win.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace vexa {

// Asks for the clean original ROM (starting at [Patch] Original, which remembers the
// choice) and for the patch file, then writes a BPS patch, or an IPS one when the
// name or the chosen filter says so. The patch lies between the two images without
// copier header, in plain order; `image` is what a save would write now.
void createPatchWithDialogs(HWND owner, std::span<const std::uint8_t> image, const std::wstring& romPath,
                            std::string_view cartName);

// Asks for a PNG file and writes the whole open stage, with the layers as shown.
void saveStagePictureWithDialog(HWND owner, LevelManager& levels, const std::wstring& romPath);

} // namespace vexa
