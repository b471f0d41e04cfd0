// The commands of `vexa` once their ROM and settings are loaded (cli/cli.cpp).
#include "app/file_io.h"
#include "app/image_codec.h"
#include "app/rom_checksum.h"
#include "app/rom_info.h"
#include "cli/cli.h"
#include "cli/cli_context.h"
#include "stage/view/stage_render.h"
#include "stage/view/stage_validate.h"

#include <charconv>
#include <cstdio>
#include <optional>

namespace vexa::cli {

namespace {

std::string hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFFu);
    return text;
}

std::string settingsName(const std::optional<std::filesystem::path>& path) {
    return path ? utf8FromPath(*path) : std::string("none found, the editor's defaults");
}

// Decimal, or hexadecimal after 0x; nothing for anything else or a number past int.
std::optional<int> parseStageNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::optional<unsigned> parseLayers(std::string_view text) {
    unsigned layers = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        if (name == "terrain")
            layers |= kRenderTerrain;
        else if (name == "sprites")
            layers |= kRenderSprites;
        else if (name == "bananas")
            layers |= kRenderBananas;
        else if (name == "cameras")
            layers |= kRenderCameras;
        else
            return std::nullopt;
        if (comma == std::string_view::npos) return layers;
        text.remove_prefix(comma + 1);
    }
}

} // namespace

std::optional<std::filesystem::path> chipBitmapPath(const Inputs& in, const RomInfo& info, std::uint8_t terrain) {
    const IniName name = info.chipFileName(terrain);
    if (!name.value || name.value->empty()) return std::nullopt;
    if (name.encoding == IniEncoding::Utf8) return in.chipsFolder / pathFromUtf8(*name.value);
    return in.chipsFolder / std::filesystem::path(*name.value);
}

std::optional<RgbaImage> readChipBitmap(const Inputs& in, const RomInfo& info, std::uint8_t terrain,
                                        std::ostream& err) {
    const std::optional<std::filesystem::path> path = chipBitmapPath(in, info, terrain);
    std::optional<RgbaImage> chips;
    if (path) chips = readImageFile(*path, kMaxChipBitmapSide);
    // The editor draws such a terrain without its chips, silently; a tool says so.
    if (!chips)
        err << "vexa: note: "
            << (path ? utf8FromPath(*path) + ": no chip bitmap can be read from it"
                     : "[MapChip] names no chip bitmap for terrain " + std::to_string(terrain))
            << "; the terrain is drawn without chips\n";
    return chips;
}

std::string jsonString(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': json += "\\\""; break;
        case '\\': json += "\\\\"; break;
        case '\n': json += "\\n"; break;
        case '\r': json += "\\r"; break;
        case '\t': json += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
                json += escaped;
            } else {
                json += c;
            }
        }
    }
    return json + "\"";
}

std::string jsonLines(const std::vector<std::string>& objects, std::string_view indent) {
    std::string json = "[";
    for (std::size_t i = 0; i < objects.size(); ++i)
        json += (i ? ",\n" : "\n") + std::string(indent) + objects[i];
    if (!objects.empty()) json += "\n" + std::string(indent.substr(1));
    return json + "]";
}

std::string bankAddress(std::size_t imageOffset) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X:%04X", static_cast<unsigned>(imageOffset >> 16),
                  static_cast<unsigned>(imageOffset & 0xFFFFu));
    return text;
}

std::optional<int> stageOperand(const Inputs& in, const std::string& text, std::string_view command,
                                std::ostream& err) {
    const std::optional<int> stage = parseStageNumber(text);
    const int count = heldStageCount(RomInfo(in.rominfo, in.sprites).stageCount());
    if (stage && *stage < count) return stage;
    const std::string settings = in.rominfoPath ? utf8FromPath(*in.rominfoPath) : "the default settings";
    fail(err, std::string(command) + ": stage '" + text + "' is out of range: " + settings + " has " +
                  std::to_string(count) + " stages (0 to " + std::to_string(count - 1) + ")");
    return std::nullopt;
}

int runInfo(const Inputs& in, std::ostream& out) {
    const RomInfo info(in.rominfo, in.sprites);
    out << "file:     " << in.romName << '\n';
    out << "size:     " << in.fileSize << " bytes\n";
    out << "layout:   " << (in.layout.interleaved ? "interleaved" : "plain") << " HiROM, "
        << (in.layout.hasCopierHeader ? "with a 512-byte copier header" : "no copier header") << '\n';
    out << "title:    " << romTitleText(in.image) << '\n';
    const unsigned stored = romWord(in.image, 0, kChecksumOffset);
    const unsigned complement = romWord(in.image, 0, kChecksumComplementOffset);
    out << "checksum: " << hex4(stored) << " (complement " << hex4(complement) << "), "
        << (hasCorrectChecksum(in.image) ? "right" : "wrong: should be " + hex4(romChecksum(in.image))) << '\n';
    out << "stages:   " << heldStageCount(info.stageCount()) << '\n';
    out << "rominfo:  " << settingsName(in.rominfoPath) << '\n';
    out << "sprites:  " << settingsName(in.spritesPath) << '\n';
    out << "chips:    " << utf8FromPath(in.chipsFolder) << '\n';
    return kExitSuccess;
}

int runValidate(const Inputs& in, bool json, std::ostream& out) {
    struct Finding {
        int stage;
        std::string_view kind;
        int index;
        std::string message;
    };
    std::vector<Finding> findings;
    for (StageFinding& f : validateRom(in.image, RomInfo(in.rominfo, in.sprites)))
        findings.push_back({f.stage, findingKindName(f.kind), f.index, std::move(f.message)});
    TablesFindings tables = terrainTablesFindings(in);
    for (std::string& message : tables.freeSpace)
        findings.push_back({-1, "free-space-unusable", -1, std::move(message)});
    for (std::string& message : tables.terrain)
        findings.push_back({-1, "terrain-table-unusual", -1, std::move(message)});
    if (json) {
        std::vector<std::string> objects;
        objects.reserve(findings.size());
        for (const Finding& f : findings)
            objects.push_back("{\"stage\": " + std::to_string(f.stage) + ", \"kind\": " + jsonString(f.kind) +
                              ", \"index\": " + std::to_string(f.index) + ", \"message\": " + jsonString(f.message) +
                              "}");
        out << jsonLines(objects, " ") << '\n';
    } else {
        for (const Finding& f : findings)
            out << f.message << '\n';
    }
    return findings.empty() ? kExitSuccess : kExitFindings;
}

int runRender(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    const RomInfo info(in.rominfo, in.sprites);
    const std::string& stageText = options.operands[1];
    const std::filesystem::path output = pathFromUtf8(options.operands[2]);
    const unsigned layers = options.layers ? parseLayers(*options.layers).value_or(0) : kRenderAllLayers;
    if (layers == 0)
        return fail(err, "render: --layers takes a list of terrain, sprites, bananas, cameras, not '" +
                             options.layers.value_or("") + "'");
    const std::optional<int> stageNumber = stageOperand(in, stageText, "render", err);
    if (!stageNumber) return kExitBadInput;

    const StageContents stage = loadStageContents(in.image, info, *stageNumber);
    if (stage.terrainOutcome == TilemapLoadOutcome::NoMap)
        return fail(err, "render: stage " + stageText + " has no map (stage type " +
                             std::to_string(stage.header.stageType) + ")");
    std::optional<RgbaImage> chips;
    if (stage.terrain.loaded && (layers & kRenderTerrain))
        chips = readChipBitmap(in, info, stage.terrain.terrainNumber, err);
    const RgbaImage picture = renderStage(stage, chips ? &*chips : nullptr, layers);
    if (picture.rgba.empty())
        return fail(err, "render: stage " + stageText + ": its map (" + std::to_string(stage.mapWidth()) + " x " +
                             std::to_string(stage.mapHeight()) + " pixels) cannot be drawn");
    if (const FileWriteStatus written = writePngFile(output, picture); written != FileWriteStatus::Ok)
        return failFile(err, output, "cannot write the picture: " + fileWriteProblem(written));
    out << "wrote " << utf8FromPath(output) << " (" << picture.width << " x " << picture.height << ")\n";
    return kExitSuccess;
}

int runChecksum(const Inputs& in, bool fix, std::ostream& out, std::ostream& err) {
    const unsigned stored = romWord(in.image, 0, kChecksumOffset);
    const unsigned storedComplement = romWord(in.image, 0, kChecksumComplementOffset);
    const unsigned computed = romChecksum(in.image);
    const bool right = hasCorrectChecksum(in.image);
    out << "stored:   checksum " << hex4(stored) << ", complement " << hex4(storedComplement) << '\n';
    out << "computed: checksum " << hex4(computed) << ", complement " << hex4(computed ^ 0xFFFFu) << '\n';
    if (!fix || right) {
        out << (right ? "right" : "wrong") << (fix ? "; the file is left as it is" : "") << '\n';
        return kExitSuccess;
    }
    std::vector<std::uint8_t> image = in.image;
    fixChecksum(image);
    if (!writeOutputFile(in.romPath, encodeRomFile(image, in.layout), "the fixed file", err, "; it is left as it was"))
        return kExitBadInput;
    out << "fixed: wrote " << in.romName << " in its own layout\n";
    return kExitSuccess;
}

} // namespace vexa::cli
