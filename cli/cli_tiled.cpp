// `vexa tiled export` and `vexa tiled import` (cli/cli.cpp loads the ROM): a stage as
// a Tiled map and back, through tiled/.
#include "cli/cli.h"
#include "cli/cli_context.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "tiled/tiled_export.h"
#include "tiled/tiled_import.h"

#include <ostream>

namespace vexa::cli {

namespace {

// The stem beside which the tilesets and their images go: OUT without its extension.
std::filesystem::path stemOf(const std::filesystem::path& map) {
    std::filesystem::path stem = map;
    return stem.replace_extension();
}

bool writeText(const std::filesystem::path& path, const std::string& text, std::ostream& err) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    return writeOutputFile(path, std::span(data, text.size()), "the file", err);
}

int exportMap(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    const std::optional<int> stage = stageOperand(in, options.operands[2], "tiled export", err);
    if (!stage) return kExitBadInput;
    const std::filesystem::path mapPath = pathFromUtf8(options.operands[3]);
    const RomInfo info(in.rominfo, in.sprites);
    const StageHeader header = readStageHeaderOfStage(in.image, *stage);
    TilemapData terrain;
    loadTilemapData(in.image, header, info.mapTables(), terrain);
    const std::optional<RgbaImage> chips =
        terrain.loaded ? readChipBitmap(in, info, terrain.terrainNumber, err) : std::nullopt;

    const tiled::MapExport map =
        tiled::exportStageMap(in.image, info, *stage, chips ? &*chips : nullptr, utf8FromPath(stemOf(mapPath)));
    if (!map.ok) return fail(err, "tiled export: " + map.problem);
    const std::vector<std::uint8_t> chipsPng = encodePng(map.chipsImage);
    const std::vector<std::uint8_t> attributesPng = encodePng(map.attributesImage);
    const bool written =
        writeOutputFile(pathFromUtf8(map.files.chipsImage), chipsPng, "the chip sheet", err) &&
        writeOutputFile(pathFromUtf8(map.files.attributesImage), attributesPng, "the attribute tiles", err) &&
        writeText(pathFromUtf8(map.files.chipsTileset), map.chipsTileset, err) &&
        writeText(pathFromUtf8(map.files.attributesTileset), map.attributesTileset, err) &&
        writeText(mapPath, map.map, err);
    if (!written) return kExitBadInput;
    out << "wrote " << utf8FromPath(mapPath) << " with its tilesets and their images beside it: stage " << *stage
        << '\n';
    return kExitSuccess;
}

int importMap(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    const std::optional<int> stage = stageOperand(in, options.operands[2], "tiled import", err);
    if (!stage) return kExitBadInput;
    const std::filesystem::path mapPath = pathFromUtf8(options.operands[3]);
    const FileBytes file = readFileBytes(mapPath, tiled::kMaxMapFileSize);
    if (file.status != FileBytesStatus::Ok) return failFile(err, mapPath, readProblem(file, tiled::kMaxMapFileSize));
    const std::filesystem::path folder = mapPath.parent_path();
    const tiled::FileReader readBeside = [&folder](std::string_view source) -> std::optional<std::string> {
        const FileBytes tileset = readFileBytes(folder / pathFromUtf8(source), tiled::kMaxMapFileSize);
        if (tileset.status != FileBytesStatus::Ok) return std::nullopt;
        return std::string(tileset.bytes.begin(), tileset.bytes.end());
    };
    const RomInfo info(in.rominfo, in.sprites);
    const std::string text(file.bytes.begin(), file.bytes.end());
    const tiled::MapImport result = tiled::importStageMap(in.image, info, *stage, text, readBeside);
    if (!result.ok()) {
        for (const tiled::Problem& problem : result.problems)
            err << "vexa: " << utf8FromPath(mapPath) << ": " << problem.text() << '\n';
        return kExitRefused;
    }
    const std::filesystem::path output = pathFromUtf8(*options.output);
    if (!writeOutputFile(output, encodeRomFile(result.image, in.layout), "the edited ROM", err)) return kExitBadInput;
    out << "wrote " << utf8FromPath(output) << " in the layout of " << in.romName << ": stage " << *stage << ", "
        << result.cellsChanged << (result.cellsChanged == 1 ? " cell" : " cells") << " changed"
        << (result.blockMoved ? " (the block moved into free space)" : "") << ", " << result.camerasChanged
        << (result.camerasChanged == 1 ? " camera, " : " cameras, ") << result.bananasChanged
        << (result.bananasChanged == 1 ? " banana" : " bananas") << ", sprites "
        << (result.spritesChanged ? std::to_string(result.spritesBefore) + " -> " + std::to_string(result.spritesAfter)
                                  : std::string("unchanged"))
        << '\n';
    return kExitSuccess;
}

} // namespace

int runTiled(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    return options.operands[0] == "export" ? exportMap(in, options, out, err) : importMap(in, options, out, err);
}

} // namespace vexa::cli
