// Opening a ROM file into the document and saving it back, with the messages the
// user sees when either fails.
#pragma once

#include "app/file_stamp.h"
#include "app/rom_document.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vexa {

// Reads, checks and adopts the file. A file that cannot be opened is told with
// `cannotOpenText`, silently without one; a wrong size, a failed read or an unknown
// layout is reported. Returns whether the file was adopted; otherwise the document
// is exactly as it was. `stamp`, when given, receives what the file was as it was read.
bool openRomInto(RomDocument& document, const std::wstring& path, std::string_view cartName, HWND owner,
                 FileStamp* stamp = nullptr, const std::wstring& cannotOpenText = {});

// A ROM file the user picked for a purpose of its own (a restore point, the original
// of a patch) as a document: like openRomInto, but a file that cannot be opened at
// all is told too.
std::optional<RomDocument> readRomDocument(const std::wstring& path, std::string_view cartName, HWND owner);

// Whether the file at `path` holds exactly what saving `image` in `layout` would
// write; `stamp`, when given, receives what the file is.
bool fileHoldsImage(const std::wstring& path, std::span<const std::uint8_t> image, const RomLayout& layout,
                    FileStamp* stamp = nullptr);

// Writes the image in the layout it was read in, replacing the file only once the
// new content is safely on disk. On success the document counts as saved; on
// failure the message is shown, the file and the modified state stay as they were.
// `written`, when given, receives what the file is after a successful save.
bool saveRomFrom(RomDocument& document, const std::wstring& path, HWND owner, FileStamp* written = nullptr);

} // namespace vexa
