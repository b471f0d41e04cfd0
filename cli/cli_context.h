// What the commands of `vexa` share (cli/cli.cpp parses and loads, cli_commands.cpp
// runs the commands): the parsed command line and the inputs read from it.
#pragma once

#include "app/file_io.h"
#include "app/image_codec.h"
#include "app/ini_file.h"
#include "app/rom_image.h"
#include "app/rom_info.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::cli {

struct Options {
    std::string command;
    std::vector<std::string> operands;
    std::optional<std::string> rominfo;
    std::optional<std::string> sprites;
    std::optional<std::string> chips;
    std::optional<std::string> layers;
    std::optional<std::string> output; // -o
    bool json = false;
    bool fix = false;
    std::size_t romOperand = 0; // the operand naming the ROM the settings go with
};

// A ROM file decoded with the settings that go with it.
struct Inputs {
    std::string romName; // as typed
    std::filesystem::path romPath;
    std::uint64_t fileSize = 0;
    std::vector<std::uint8_t> image;
    RomLayout layout;
    IniFile rominfo;
    IniFile sprites;
    std::optional<std::filesystem::path> rominfoPath; // none: no file found, the defaults hold
    std::optional<std::filesystem::path> spritesPath;
    std::filesystem::path chipsFolder;
};

// Why a file could not be read, for its one line.
std::string readProblem(const FileBytes& file, std::uintmax_t limit);

// Writes "vexa: <text>" as one line to `err` and gives kExitBadInput.
int fail(std::ostream& err, const std::string& text);
// "<file>: <problem>" for a failure that names a file.
int failFile(std::ostream& err, const std::filesystem::path& file, const std::string& problem);

// A string as JSON writes it, quotes included.
std::string jsonString(std::string_view text);
// A JSON array of `objects`, each on a line of its own behind `indent`; the closing
// bracket one space less indented.
std::string jsonLines(const std::vector<std::string>& objects, std::string_view indent);
// An image offset as the tool's lines give it: "0xBB:OOOO", bank and offset in it.
std::string bankAddress(std::size_t imageOffset);

// The stage an operand names, decimal or hexadecimal after 0x, within the stage count
// of the settings; otherwise writes "<command>: stage '<text>' is out of range ..." and
// gives nothing.
std::optional<int> stageOperand(const Inputs& in, const std::string& text, std::string_view command, std::ostream& err);

// Writes `bytes` as `output`, whole or not at all; on a failure writes the line
// "<output>: cannot write <what>: <problem><after>" and returns false.
bool writeOutputFile(const std::filesystem::path& output, std::span<const std::uint8_t> bytes, std::string_view what,
                     std::ostream& err, std::string_view after = {});

// Reads and decodes another ROM file with the settings of `in` (its title); on a
// failure writes the line and returns false.
bool readRom(const Inputs& in, const std::filesystem::path& path, std::vector<std::uint8_t>& image, RomLayout& layout,
             std::uint64_t* fileSize, std::ostream& err);

// The chip bitmap the map view loads for a terrain: [MapChip] names it in the chips
// folder. A name in a Shift-JIS file is handed to the platform as its narrow text.
std::optional<std::filesystem::path> chipBitmapPath(const Inputs& in, const RomInfo& info, std::uint8_t terrain);
// The chip bitmap of the terrain, or nothing after a note on `err` that it is drawn
// without chips.
std::optional<RgbaImage> readChipBitmap(const Inputs& in, const RomInfo& info, std::uint8_t terrain, std::ostream& err);

int runInfo(const Inputs& in, std::ostream& out);
int runValidate(const Inputs& in, bool json, std::ostream& out);
int runRender(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err);
int runChecksum(const Inputs& in, bool fix, std::ostream& out, std::ostream& err);
int runPatch(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err);
int runTerrain(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err);
int runTiled(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err);

// What validate reports of the terrain tables: unusable free ranges, then tables that
// lead somewhere unusual.
struct TablesFindings {
    std::vector<std::string> freeSpace;
    std::vector<std::string> terrain;
};
TablesFindings terrainTablesFindings(const Inputs& in);

} // namespace vexa::cli
