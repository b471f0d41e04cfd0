// What the commands of `vexa` share (cli/cli.cpp parses and loads, cli_commands.cpp
// runs the commands): the parsed command line and the inputs read from it.
#pragma once

#include "app/file_io.h"
#include "app/ini_file.h"
#include "app/rom_image.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vexa::cli {

struct Options {
    std::string command;
    std::vector<std::string> operands;
    std::optional<std::string> rominfo;
    std::optional<std::string> sprites;
    std::optional<std::string> chips;
    std::optional<std::string> layers;
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

// Reads and decodes another ROM file with the settings of `in` (its title); on a
// failure writes the line and returns false.
bool readRom(const Inputs& in, const std::filesystem::path& path, std::vector<std::uint8_t>& image, RomLayout& layout,
             std::uint64_t* fileSize, std::ostream& err);

int runInfo(const Inputs& in, std::ostream& out);
int runValidate(const Inputs& in, bool json, std::ostream& out);
int runRender(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err);
int runChecksum(const Inputs& in, bool fix, std::ostream& out, std::ostream& err);
int runPatch(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err);

} // namespace vexa::cli
