#include "cli/cli.h"

#include "app/file_io.h"
#include "app/rom_info.h"
#include "cli/cli_context.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace vexa {

namespace {

using cli::fail;
using cli::failFile;
using cli::readProblem;

// Settings files are small; the editor reads at most this much of one.
constexpr std::uintmax_t kMaxIniSize = 16u << 20;

constexpr std::string_view kUsage = R"(usage: vexa COMMAND ARGUMENTS [OPTIONS]

Commands:
  info ROM                 size, file layout, title, header checksum and stage count
  validate ROM [--json]    checks every stage: its terrain expands, its sprite list is
                           readable and within its room, its banana and camera lists lie
                           inside the image, no object lies outside its map; and the
                           terrain tables and [FreeSpace] of rominfo.ini: records that
                           lead somewhere unusual, free ranges that cannot be used; one
                           line per finding (--json: a JSON array of objects with the
                           keys stage, kind, index and message)
  render ROM STAGE OUT.png [--layers LIST]
                           draws the stage's map as the editor shows it and writes it as
                           PNG; STAGE is decimal or hexadecimal with 0x; LIST is any of
                           terrain,sprites,bananas,cameras (default: all of them)
  checksum ROM [--fix]     prints the stored and the computed header checksum and
                           complement; --fix writes the file back in its own layout with
                           the right ones
  patch create ORIGINAL MODIFIED OUT.bps|OUT.ips
                           a patch from ORIGINAL to MODIFIED, BPS or IPS by the name's
                           extension; both ROMs in any layout. A BPS patch lies between
                           their images without copier header, in plain order; an IPS
                           patch between the files in ORIGINAL's layout, copier header
                           included, as the common IPS patchers apply it
  patch apply ROM PATCH OUT
                           applies a BPS or IPS patch (told apart by its contents) to ROM
                           and writes the result to OUT in ROM's layout: an IPS patch to
                           the file as it is on disk, a BPS patch to its image (or to the
                           whole file, when it was made against that); a BPS patch for
                           another ROM is refused
  terrain ROM [--json]     every compressed terrain block the stages lead to: its
                           address, the terrains and stages using it, its decoded size,
                           its length and room, whether a room tag follows it or it lies
                           in free space, and why it cannot be edited; then each free
                           range of [FreeSpace] with the bytes used and free (--json: an
                           object with the keys blocks and freeSpace)
  terrain set ROM STAGE COLUMN ROW WORD [COLUMN ROW WORD ...] -o OUT
                           sets cells of the stage's section (COLUMN and ROW decimal, WORD
                           hexadecimal) and writes the result to OUT in ROM's layout; a
                           block that outgrows its room moves into free space; an edit
                           that cannot be made is refused, and nothing is written
  tiled export ROM STAGE OUT.tmj
                           writes the stage as a map of the Tiled map editor (JSON): the
                           terrain as the layers 地形 (chips) and 地形属性 (bits 10-13 of
                           each word), the objects as the layers カメラ, バナナ and
                           スプライト; beside it OUT.chips.tsj and OUT.attributes.tsj,
                           the tilesets, with their images OUT.chips.png and
                           OUT.attributes.png
  tiled import ROM STAGE MAP.tmj -o OUT
                           reads a map that tiled export wrote, changed in Tiled and saved
                           as JSON (any tile layer format but zstd), and writes the ROM
                           with it to OUT in ROM's layout: the cells that differ, the
                           cameras and bananas by their property index, the sprites in
                           the layer's order. Every value is checked first; with any
                           problem, one line each, nothing is written
  --help                   this text

Options of every command:
  --rominfo FILE   rominfo.ini to use (default: the one beside the ROM, else the one
                   beside this program, else the editor's defaults)
  --sprites FILE   sprites.ini to use (found the same way)
  --chips DIR      folder of the chip bitmaps (default: chips beside the rominfo.ini
                   used, or beside the ROM)

Exit status: 0 success, 1 validate found something, or terrain set or tiled import refused,
2 a file, value or option that cannot be used (one line on standard error says which).
)";

// One form of a command: its name, the sub-word that picks it among the command's
// forms (none: the form without one), and its operands, which may end in a group that
// repeats.
struct CommandForm {
    std::string_view name;
    std::string_view verb;
    std::size_t operands; // the verb included
    std::size_t repeat;   // operands that may follow again as a group; 0: none
    std::string_view operandText;
    std::array<std::string_view, 2> flags; // options of this form beyond the common ones
    std::size_t romOperand = 0;            // the ROM whose settings files are used
    bool needsOutput = false;              // -o OUT must be given
};

constexpr std::string_view kPatchOperands = "create ORIGINAL MODIFIED OUT, or apply ROM PATCH OUT";
constexpr std::string_view kTerrainOperands = "ROM, or set ROM STAGE COLUMN ROW WORD [COLUMN ROW WORD ...] -o OUT";

constexpr std::string_view kTiledOperands = "export ROM STAGE OUT.tmj, or import ROM STAGE MAP.tmj -o OUT";

constexpr std::array<CommandForm, 10> kCommands{{
    {"info", "", 1, 0, "ROM", {}},
    {"validate", "", 1, 0, "ROM", {"--json", ""}},
    {"render", "", 3, 0, "ROM STAGE OUT.png", {"--layers", ""}},
    {"checksum", "", 1, 0, "ROM", {"--fix", ""}},
    {"patch", "create", 4, 0, kPatchOperands, {}, 1},
    {"patch", "apply", 4, 0, kPatchOperands, {}, 1},
    {"terrain", "set", 6, 3, kTerrainOperands, {"-o", ""}, 1, true},
    {"terrain", "", 1, 0, kTerrainOperands, {"--json", ""}},
    {"tiled", "export", 4, 0, kTiledOperands, {}, 1},
    {"tiled", "import", 4, 0, kTiledOperands, {"-o", ""}, 1, true},
}};

bool isOption(std::string_view arg) {
    return (arg.size() >= 2 && arg.substr(0, 2) == "--") || arg == "-o";
}

// Where an option's value goes; nothing for an option without a value.
std::optional<std::string>* valueSlot(cli::Options& options, std::string_view option) {
    if (option == "--rominfo") return &options.rominfo;
    if (option == "--sprites") return &options.sprites;
    if (option == "--chips") return &options.chips;
    if (option == "--layers") return &options.layers;
    if (option == "-o") return &options.output;
    return nullptr;
}

// The first operand, which picks among a command's forms: options and their values
// passed over.
std::string_view firstOperand(std::span<const std::string> args) {
    cli::Options scratch;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!isOption(args[i])) return args[i];
        if (valueSlot(scratch, args[i])) ++i;
    }
    return {};
}

// The command's form that `verb` picks, else its form without a sub-word, else its first.
const CommandForm* findCommand(std::string_view name, std::string_view verb) {
    const CommandForm* found = nullptr;
    for (const CommandForm& form : kCommands) {
        if (form.name != name) continue;
        if (!form.verb.empty() && form.verb == verb) return &form;
        if (!found || (form.verb.empty() && !found->verb.empty())) found = &form;
    }
    return found;
}

bool fitsOperands(const CommandForm& form, const cli::Options& options) {
    const std::size_t count = options.operands.size();
    const bool counted = form.repeat == 0 ? count == form.operands
                                          : count >= form.operands && (count - form.operands) % form.repeat == 0;
    const bool verbed = form.verb.empty() || (count > 0 && options.operands.front() == form.verb);
    return counted && verbed && (!form.needsOutput || options.output);
}

// Fills `options`; on a bad command line writes the line to `err` and returns false.
bool parseArguments(std::span<const std::string> args, cli::Options& options, std::ostream& err) {
    options.command = args.front();
    const CommandForm* form = findCommand(options.command, firstOperand(args));
    if (!form) {
        fail(err, "unknown command '" + options.command + "' (see vexa --help)");
        return false;
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!isOption(arg)) {
            options.operands.push_back(arg);
            continue;
        }
        const bool common = arg == "--rominfo" || arg == "--sprites" || arg == "--chips";
        if (!common && std::find(form->flags.begin(), form->flags.end(), arg) == form->flags.end()) {
            fail(err, options.command + ": unknown option " + arg + " (see vexa --help)");
            return false;
        }
        if (std::optional<std::string>* slot = valueSlot(options, arg)) {
            if (i + 1 >= args.size()) {
                fail(err, options.command + ": option " + arg + " needs a value");
                return false;
            }
            *slot = args[++i];
        } else if (arg == "--json") {
            options.json = true;
        } else {
            options.fix = true;
        }
    }
    if (!fitsOperands(*form, options)) {
        fail(err, options.command + ": expects " + std::string(form->operandText) + " (see vexa --help)");
        return false;
    }
    options.romOperand = form->romOperand;
    return true;
}

// A settings file: the one named by its option, which must be readable, else the
// first of `candidates` that exists. Nothing found is no failure: the defaults hold.
bool loadSettingsFile(const std::optional<std::string>& named, std::span<const std::filesystem::path> candidates,
                      IniFile& ini, std::optional<std::filesystem::path>& used, std::ostream& err) {
    std::vector<std::filesystem::path> tries;
    if (named) {
        tries.push_back(pathFromUtf8(*named));
    } else {
        tries.assign(candidates.begin(), candidates.end());
    }
    for (const std::filesystem::path& path : tries) {
        const FileBytes file = readFileBytes(path, kMaxIniSize);
        if (file.status == FileBytesStatus::Ok) {
            ini = IniFile::parse(file.bytes);
            used = path;
            return true;
        }
        if (named || file.status != FileBytesStatus::Missing) {
            failFile(err, path, readProblem(file, kMaxIniSize));
            return false;
        }
    }
    return true;
}

std::vector<std::filesystem::path>
besideRomAndProgram(const std::filesystem::path& rom, const std::filesystem::path& programDirectory, const char* name) {
    std::vector<std::filesystem::path> candidates{rom.parent_path() / name};
    if (!programDirectory.empty()) candidates.push_back(programDirectory / name);
    return candidates;
}

bool loadInputs(const cli::Options& options, const std::filesystem::path& programDirectory, cli::Inputs& in,
                std::ostream& err) {
    in.romName = options.operands[options.romOperand];
    in.romPath = pathFromUtf8(in.romName);
    if (!loadSettingsFile(options.rominfo, besideRomAndProgram(in.romPath, programDirectory, "rominfo.ini"), in.rominfo,
                          in.rominfoPath, err) ||
        !loadSettingsFile(options.sprites, besideRomAndProgram(in.romPath, programDirectory, "sprites.ini"), in.sprites,
                          in.spritesPath, err))
        return false;
    if (options.chips)
        in.chipsFolder = pathFromUtf8(*options.chips);
    else
        in.chipsFolder = (in.rominfoPath ? in.rominfoPath->parent_path() : in.romPath.parent_path()) / "chips";

    return cli::readRom(in, in.romPath, in.image, in.layout, &in.fileSize, err);
}

} // namespace

namespace cli {

bool readRom(const Inputs& in, const std::filesystem::path& path, std::vector<std::uint8_t>& image, RomLayout& layout,
             std::uint64_t* fileSize, std::ostream& err) {
    const FileBytes file = readFileBytes(path, kRomFileSizeWithHeader);
    if (file.status == FileBytesStatus::TooLarge ||
        (file.status == FileBytesStatus::Ok && !isAcceptedRomFileSize(file.size))) {
        failFile(err, path,
                 "the file is " + std::to_string(file.size) + " bytes; a ROM image is " + std::to_string(kRomSize) +
                     " bytes, or " + std::to_string(kRomFileSizeWithHeader) + " with a copier header");
        return false;
    }
    if (file.status != FileBytesStatus::Ok) {
        failFile(err, path, readProblem(file, kRomFileSizeWithHeader));
        return false;
    }
    if (fileSize) *fileSize = file.size;
    const std::string title = RomInfo(in.rominfo, in.sprites).cartNameInCodePage932();
    if (decodeRomFile(file.bytes, title, image, layout) != RomFileStatus::Ok) {
        failFile(err, path,
                 "the title \"" + title + "\" (CartName of " +
                     (in.rominfoPath ? utf8FromPath(*in.rominfoPath) : std::string("the default settings")) +
                     ") is at neither 0xFFC0 nor 0x7FC0");
        return false;
    }
    return true;
}

std::string readProblem(const FileBytes& file, std::uintmax_t limit) {
    switch (file.status) {
    case FileBytesStatus::Ok: return {};
    case FileBytesStatus::Missing: return "no such file";
    case FileBytesStatus::NotAFile: return "not a file";
    case FileBytesStatus::TooLarge:
        return "the file is " + std::to_string(file.size) + " bytes, more than " + std::to_string(limit) + " allowed";
    case FileBytesStatus::ReadFailed: return "cannot be read";
    }
    return "cannot be read";
}

int fail(std::ostream& err, const std::string& text) {
    err << "vexa: " << text << '\n';
    return kExitBadInput;
}

int failFile(std::ostream& err, const std::filesystem::path& file, const std::string& problem) {
    return fail(err, utf8FromPath(file) + ": " + problem);
}

bool writeOutputFile(const std::filesystem::path& output, std::span<const std::uint8_t> bytes, std::string_view what,
                     std::ostream& err, std::string_view after) {
    const FileWriteStatus written = writeFileAtomically(output, bytes);
    if (written == FileWriteStatus::Ok) return true;
    failFile(err, output, "cannot write " + std::string(what) + ": " + fileWriteProblem(written) + std::string(after));
    return false;
}

} // namespace cli

std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

int runVexa(std::span<const std::string> args, std::ostream& out, std::ostream& err,
            const std::filesystem::path& programDirectory) {
    if (args.empty() || args.front() == "help" || std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        out << kUsage;
        return kExitSuccess;
    }
    cli::Options options;
    if (!parseArguments(args, options, err)) return kExitBadInput;
    cli::Inputs in;
    if (!loadInputs(options, programDirectory, in, err)) return kExitBadInput;
    // Each command reads its own operands past the ROM.
    if (options.command == "info") return cli::runInfo(in, out);
    if (options.command == "patch") return cli::runPatch(in, options, out, err);
    if (options.command == "validate") return cli::runValidate(in, options.json, out);
    if (options.command == "render") return cli::runRender(in, options, out, err);
    if (options.command == "terrain") return cli::runTerrain(in, options, out, err);
    if (options.command == "tiled") return cli::runTiled(in, options, out, err);
    return cli::runChecksum(in, options.fix, out, err);
}

} // namespace vexa
