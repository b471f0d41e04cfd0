#include "tools/sample_game/sample_game.h"

#include "app/rom_image.h"
#include "tools/sample_game/bmp_file.h"
#include "tools/sample_game/chip_draw.h"
#include "tools/sample_game/rom_blocks.h"
#include "tools/sample_game/rom_tables.h"
#include "tools/sample_game/sample_ini.h"
#include "tools/sample_game/stage_objects.h"
#include "tools/sample_game/terrain_tiles.h"

#include <fstream>
#include <optional>
#include <system_error>

namespace vexa {

namespace {

bool writeFile(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

} // namespace

SampleGame buildSampleGame() {
    using namespace sample;
    const SamplePlan plan = makeSamplePlan();
    SampleGame game;
    game.image.assign(kRomSize, 0);

    std::vector<std::optional<TerrainGrid>> grids(plan.terrains.size());
    std::vector<CompressedTerrain> compressed(plan.terrains.size());
    for (std::size_t t = 0; t < plan.terrains.size(); ++t) {
        const TerrainPlan& terrain = plan.terrains[t];
        if (!terrain.hasData) continue;
        grids[t] = generateTerrain(terrain);
        const TiledTerrain tiles = tileTerrain(*grids[t], terrain);
        compressed[t] = compressTerrain(storedCells(tiles, *grids[t], terrain.mapType), terrain.number);
        const ChipSheet sheet = renderChipSheet(terrain.theme, tiles);
        game.chipBitmaps.push_back(
            {terrain.chipFile, encodeBmp8(sheet.width, sheet.height, sheet.pixels, sheet.palette)});
    }

    std::vector<StageObjects> objects;
    for (std::size_t i = 0; i < plan.stages.size(); ++i)
        objects.push_back(makeStageObjects(plan, static_cast<int>(i), grids));
    const TableLocations at = writeRomTables(game.image, plan, compressed, objects);
    game.romInfoIni = makeRomInfoIni(plan, at);
    game.spritesIni = makeSpritesIni();
    return game;
}

std::vector<std::uint8_t> sampleRomFile(const SampleGame& game, const SampleFileOptions& options) {
    RomLayout layout;
    layout.interleaved = options.interleaved;
    layout.hasCopierHeader = options.copierHeader;
    if (options.copierHeader) {
        // What copiers put there: the size in 8 KiB blocks and their signature.
        const std::size_t blocks = kRomSize / 0x2000;
        layout.copierHeader[0] = static_cast<std::uint8_t>(blocks & 0xFF);
        layout.copierHeader[1] = static_cast<std::uint8_t>(blocks >> 8);
        layout.copierHeader[8] = 0xAA;
        layout.copierHeader[9] = 0xBB;
        layout.copierHeader[10] = 0x04;
    }
    return encodeRomFile(game.image, layout);
}

bool writeSampleGame(const SampleGame& game, const std::filesystem::path& folder, const SampleFileOptions& options) {
    std::error_code error;
    std::filesystem::create_directories(folder / kSampleChipFolder, error);
    if (error) return false;
    const std::vector<std::uint8_t> rom = sampleRomFile(game, options);
    bool ok = writeFile(folder / kSampleRomFileName, rom.data(), rom.size());
    ok = writeFile(folder / "rominfo.ini", game.romInfoIni.data(), game.romInfoIni.size()) && ok;
    ok = writeFile(folder / "sprites.ini", game.spritesIni.data(), game.spritesIni.size()) && ok;
    for (const SampleChipBitmap& bitmap : game.chipBitmaps)
        ok = writeFile(folder / kSampleChipFolder / bitmap.fileName, bitmap.bytes.data(), bitmap.bytes.size()) && ok;
    return ok;
}

} // namespace vexa
