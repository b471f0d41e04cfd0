// `vexa terrain` and `vexa terrain set` (cli/cli.cpp loads the ROM), and the terrain
// tables' findings of `vexa validate`: the compressed blocks as terrain/terrain_blocks.h
// surveys them, with the free space of rominfo.ini [FreeSpace].
#include "app/rom_info.h"
#include "cli/cli.h"
#include "cli/cli_context.h"
#include "stage/field_text.h"
#include "terrain/terrain_blocks.h"

#include <charconv>
#include <cstdio>
#include <ostream>

namespace vexa::cli {

namespace {

std::string stageList(const std::vector<int>& stages) {
    std::string text;
    for (const int stage : stages)
        text += (text.empty() ? "" : ", ") + std::to_string(stage);
    return text;
}

std::string jsonArray(const std::vector<std::string>& items) {
    std::string json = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        json += (i ? ", " : "") + items[i];
    return json + "]";
}

template <typename Number> std::string jsonNumbers(const std::vector<Number>& numbers) {
    std::vector<std::string> items;
    items.reserve(numbers.size());
    for (const Number n : numbers)
        items.push_back(std::to_string(n));
    return jsonArray(items);
}

std::string rangeText(const FreeRange& range) {
    return bankAddress(range.first) + "-" + bankAddress(range.last);
}

void writeText(const TerrainSurvey& survey, std::ostream& out) {
    for (const TerrainBlock& b : survey.blocks) {
        out << bankAddress(b.start) << ": " << (b.terrains.size() == 1 ? "terrain " : "terrains ")
            << terrainNumbersText(b.terrains) << "; "
            << (b.stages.empty() ? "no stage" : "stages " + stageList(b.stages)) << '\n';
        out << "  " << b.decodedSize << " bytes decoded; block " << b.length << " bytes, room " << b.room << "; "
            << (b.tagged ? "room tag" : "no room tag") << "; " << (b.inFreeSpace ? "in free space" : "in place")
            << '\n';
        if (!b.editable()) out << "  not editable: " << b.problem << '\n';
    }
    if (survey.freeSpace.empty()) out << "free space: none in [FreeSpace] of rominfo.ini\n";
    for (const FreeRange& range : survey.freeSpace) {
        const std::size_t used = survey.freeSpaceUsed(range);
        out << "free space " << rangeText(range) << ": " << range.size() << " bytes, " << used << " used, "
            << range.size() - used << " free\n";
    }
}

void writeJson(const TerrainSurvey& survey, std::ostream& out) {
    std::vector<std::string> blocks;
    for (const TerrainBlock& b : survey.blocks)
        blocks.push_back(
            "{\"address\": " + jsonString(bankAddress(b.start)) + ", \"head\": " + jsonString(bankAddress(b.head)) +
            ", \"terrains\": " + jsonNumbers(b.terrains) + ", \"stages\": " + jsonNumbers(b.stages) +
            ", \"decoded\": " + std::to_string(b.decodedSize) + ", \"length\": " + std::to_string(b.length) +
            ", \"room\": " + std::to_string(b.room) + ", \"tagged\": " + (b.tagged ? "true" : "false") +
            ", \"inFreeSpace\": " + (b.inFreeSpace ? "true" : "false") +
            ", \"problem\": " + (b.editable() ? std::string("null") : jsonString(b.problem)) + "}");
    std::vector<std::string> ranges;
    for (const FreeRange& range : survey.freeSpace) {
        const std::size_t used = survey.freeSpaceUsed(range);
        ranges.push_back("{\"first\": " + jsonString(bankAddress(range.first)) +
                         ", \"last\": " + jsonString(bankAddress(range.last)) +
                         ", \"size\": " + std::to_string(range.size()) + ", \"used\": " + std::to_string(used) +
                         ", \"free\": " + std::to_string(range.size() - used) + "}");
    }
    out << "{\"blocks\": " << jsonLines(blocks, "  ") << ",\n \"freeSpace\": " << jsonLines(ranges, "  ") << "}\n";
}

// A decimal cell coordinate, nothing for anything else.
std::optional<int> parseCoordinate(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// The cells of the COLUMN ROW WORD groups; on a bad one writes its line and gives nothing.
std::optional<std::vector<TerrainCell>> parseCells(std::span<const std::string> groups, std::ostream& err) {
    const auto bad = [&err](const char* name, const std::string& text, const char* rule) {
        fail(err, "terrain set: " + std::string(name) + " '" + text + "' is not " + rule);
        return std::nullopt;
    };
    std::vector<TerrainCell> cells;
    for (std::size_t i = 0; i + 2 < groups.size(); i += 3) {
        const std::optional<int> column = parseCoordinate(groups[i]);
        if (!column) return bad("COLUMN", groups[i], "a decimal number");
        const std::optional<int> row = parseCoordinate(groups[i + 1]);
        if (!row) return bad("ROW", groups[i + 1], "a decimal number");
        const std::optional<std::uint16_t> word = parseHexWord(groups[i + 2]);
        if (!word) return bad("WORD", groups[i + 2], "1 to 4 hexadecimal digits");
        cells.push_back({*column, *row, *word});
    }
    return cells;
}

int listTerrain(const Inputs& in, bool json, std::ostream& out) {
    const TerrainSurvey survey = surveyTerrain(in.image, terrainTables(RomInfo(in.rominfo, in.sprites)));
    if (json)
        writeJson(survey, out);
    else
        writeText(survey, out);
    return kExitSuccess;
}

int setTerrain(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    const std::optional<int> stage = stageOperand(in, options.operands[2], "terrain set", err);
    if (!stage) return kExitBadInput;
    const std::optional<std::vector<TerrainCell>> cells = parseCells(std::span(options.operands).subspan(3), err);
    if (!cells) return kExitBadInput;

    const TerrainTables tables = terrainTables(RomInfo(in.rominfo, in.sprites));
    std::vector<std::uint8_t> image = in.image;
    const TerrainWrite write = writeStageCells(image, tables, *stage, *cells);
    if (!write.ok()) {
        // The reason of a block that does not fit names the bytes it is short.
        err << "vexa: " << write.why << '\n';
        return kExitRefused;
    }
    const std::filesystem::path output = pathFromUtf8(*options.output);
    if (!writeOutputFile(output, encodeRomFile(image, in.layout), "the edited ROM", err)) return kExitBadInput;

    const TerrainSurvey survey = surveyTerrain(image, tables);
    const int block = survey.blockOfStage(*stage);
    out << "wrote " << utf8FromPath(output) << " in the layout of " << in.romName << ": stage " << *stage << ", "
        << cells->size() << (cells->size() == 1 ? " cell" : " cells");
    if (write.ranges.empty()) out << ", which already held their words";
    if (block >= 0) {
        const TerrainBlock& b = survey.blocks[static_cast<std::size_t>(block)];
        out << "; block " << (write.moved ? "moved into free space at " : "at ") << bankAddress(b.start) << ": "
            << b.length << " bytes, room " << b.room;
    }
    out << '\n';
    return kExitSuccess;
}

} // namespace

int runTerrain(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    return options.operands[0] == "set" ? setTerrain(in, options, out, err) : listTerrain(in, options.json, out);
}

TablesFindings terrainTablesFindings(const Inputs& in) {
    const RomInfo info(in.rominfo, in.sprites);
    return {readFreeSpace(info.rominfoFile()).problems, surveyTerrain(in.image, terrainTables(info)).problems};
}

} // namespace vexa::cli
