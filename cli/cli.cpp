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
                           inside the image, no object lies outside its map; one line per
                           finding (--json: a JSON array of objects with the keys stage,
                           kind, index and message)
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
  --help                   this text

Options of every command:
  --rominfo FILE   rominfo.ini to use (default: the one beside the ROM, else the one
                   beside this program, else the editor's defaults)
  --sprites FILE   sprites.ini to use (found the same way)
  --chips DIR      folder of the chip bitmaps (default: chips beside the rominfo.ini
                   used, or beside the ROM)

Exit status: 0 success, 1 validate found something, 2 a file, value or option that
cannot be used (one line on standard error says which).
)";

struct CommandForm {
    std::string_view name;
    std::size_t operands;
    std::string_view operandText;
    std::array<std::string_view, 2> flags; // options of this command beyond the common ones
    std::size_t romOperand = 0;            // the ROM whose settings files are used
};

constexpr std::array<CommandForm, 5> kCommands{{
    {"info", 1, "ROM", {}},
    {"validate", 1, "ROM", {"--json", ""}},
    {"render", 3, "ROM STAGE OUT.png", {"--layers", ""}},
    {"checksum", 1, "ROM", {"--fix", ""}},
    {"patch", 4, "create ORIGINAL MODIFIED OUT, or apply ROM PATCH OUT", {}, 1},
}};

const CommandForm* findCommand(std::string_view name) {
    for (const CommandForm& form : kCommands)
        if (form.name == name) return &form;
    return nullptr;
}

bool takesValue(std::string_view option) {
    return option == "--rominfo" || option == "--sprites" || option == "--chips" || option == "--layers";
}

// Fills `options`; on a bad command line writes the line to `err` and returns false.
bool parseArguments(std::span<const std::string> args, cli::Options& options, std::ostream& err) {
    options.command = args.front();
    const CommandForm* form = findCommand(options.command);
    if (!form) {
        fail(err, "unknown command '" + options.command + "' (see vexa --help)");
        return false;
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            options.operands.push_back(arg);
            continue;
        }
        const bool common = arg == "--rominfo" || arg == "--sprites" || arg == "--chips";
        if (!common && std::find(form->flags.begin(), form->flags.end(), arg) == form->flags.end()) {
            fail(err, options.command + ": unknown option " + arg + " (see vexa --help)");
            return false;
        }
        if (takesValue(arg)) {
            if (i + 1 >= args.size()) {
                fail(err, options.command + ": option " + arg + " needs a value");
                return false;
            }
            const std::string& value = args[++i];
            std::optional<std::string>& slot = arg == "--rominfo"   ? options.rominfo
                                               : arg == "--sprites" ? options.sprites
                                               : arg == "--chips"   ? options.chips
                                                                    : options.layers;
            slot = value;
        } else if (arg == "--json") {
            options.json = true;
        } else {
            options.fix = true;
        }
    }
    const bool patchVerb =
        options.command != "patch" ||
        (!options.operands.empty() && (options.operands[0] == "create" || options.operands[0] == "apply"));
    if (options.operands.size() != form->operands || !patchVerb) {
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
    return cli::runChecksum(in, options.fix, out, err);
}

} // namespace vexa
