// The input of tiled_import_fuzz (tools/fuzz_seeds writes its seeds): a map's text,
// then, after a NUL byte, the text of one more tileset, which the map finds as
// "f.tsj". The map is imported into kTiledFuzzStage of the sample game, whose two
// tilesets lie beside it as the export wrote them for the stem "m".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vexa::fuzz {

// 16 x 16 cells of map type 4, a camera, 4 bananas and 5 sprites.
inline constexpr int kTiledFuzzStage = 5;
inline constexpr std::string_view kTiledFuzzStem = "m";
inline constexpr std::string_view kTiledFuzzTileset = "f.tsj";

struct TiledImportInput {
    std::string_view map;
    std::optional<std::string_view> tileset;
};

inline TiledImportInput splitTiledImportInput(std::span<const std::uint8_t> input) {
    const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
    const std::size_t split = text.find('\0');
    if (split == std::string_view::npos) return {text, std::nullopt};
    return {text.substr(0, split), text.substr(split + 1)};
}

inline std::string joinTiledImportInput(std::string_view map, std::optional<std::string_view> tileset) {
    std::string input(map);
    if (tileset) {
        input += '\0';
        input += *tileset;
    }
    return input;
}

} // namespace vexa::fuzz
