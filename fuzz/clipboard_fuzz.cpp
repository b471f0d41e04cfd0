// Any bytes as what a paste reads from the clipboard, the first byte choosing the
// form: the terrain's cells in the editor's own bytes (0) or as text (1, UTF-16LE),
// or objects in the editor's own bytes, one or a group (2). A form read back gives
// what it holds within its limits, is written again as the same bytes or text, and
// that reads back to the same cells or objects.
#include "fuzz/fuzz_check.h"

#include "stage/view/map_clipboard.h"
#include "terrain/terrain_cells.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

using namespace vexa;

std::wstring utf16Text(std::span<const std::uint8_t> bytes) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
    return text;
}

void checkCells(const TerrainCells& cells) {
    FUZZ_CHECK(cells.width > 0 && cells.height > 0);
    FUZZ_CHECK(static_cast<std::size_t>(cells.width) * static_cast<std::size_t>(cells.height) == cells.words.size());
    FUZZ_CHECK(cells.words.size() <= kMaxClipCells);
    FUZZ_CHECK(decodeTerrainCells(encodeTerrainCells(cells)) == cells);
    FUZZ_CHECK(parseTerrainCellsText(terrainCellsText(cells)) == cells);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0:
        if (const auto cells = decodeTerrainCells(rest)) checkCells(*cells);
        break;
    case 1:
        if (const auto cells = parseTerrainCellsText(utf16Text(rest))) checkCells(*cells);
        break;
    default:
        if (const auto objects = decodeMapObjects(rest)) {
            FUZZ_CHECK(!objects->empty() && objects->size() <= kMostClipObjects);
            const std::vector<std::uint8_t> again = encodeMapObjects(*objects);
            FUZZ_CHECK(decodeMapObjects(again) == objects);
            const std::wstring text = mapObjectsText(*objects);
            std::size_t lines = 1;
            for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2))
                ++lines;
            FUZZ_CHECK(lines == objects->size());
            if (objects->size() == 1) FUZZ_CHECK(decodeMapObject(again) == objects->front());
        }
        break;
    }
    return 0;
}
