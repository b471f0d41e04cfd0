#include "app/cli.h"

#include "app/cli_context.h"
#include "app/file_io.h"
#include "app/rom_info.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace vexa {

namespace {

using cli::fail;
using cli::failFile;

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

struct CommandSpec {
    std::string_view name;
    std::size_t operands;
    std::string_view operandText;
    std::array<std::string_view, 2> flags; // options of this command beyond the common ones
};

constexpr std::array<CommandSpec, 4> kCommands{{
    {"info", 1, "ROM", {}},
    {"validate", 1, "ROM", {"--json", ""}},
    {"render", 3, "ROM STAGE OUT.png", {"--layers", ""}},
    {"checksum", 1, "ROM", {"--fix", ""}},
}};

const CommandSpec* findCommand(std::string_view name) {
    for (const CommandSpec& spec : kCommands)
        if (spec.name == name) return &spec;
    return nullptr;
}

bool takesValue(std::string_view option) {
    return option == "--rominfo" || option == "--sprites" || option == "--chips" || option == "--layers";
}

// Fills `options`; on a bad command line writes the line to `err` and returns false.
bool parseArguments(std::span<const std::string> args, cli::Options& options, std::ostream& err) {
    options.command = args.front();
    const CommandSpec* spec = findCommand(options.command);
    if (!spec) {
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
        if (!common && std::find(spec->flags.begin(), spec->flags.end(), arg) == spec->flags.end()) {
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
    if (options.operands.size() != spec->operands) {
        fail(err, options.command + ": expects " + std::string(spec->operandText) + " (see vexa --help)");
        return false;
    }
    return true;
}

std::string readProblem(const FileBytes& file, std::uintmax_t limit) {
    switch (file.status) {
    case FileReadStatus::Ok: return {};
    case FileReadStatus::Missing: return "no such file";
    case FileReadStatus::NotAFile: return "not a file";
    case FileReadStatus::TooLarge:
        return "the file is " + std::to_string(file.size) + " bytes, more than " + std::to_string(limit) + " allowed";
    case FileReadStatus::ReadFailed: return "cannot be read";
    }
    return "cannot be read";
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
        if (file.status == FileReadStatus::Ok) {
            ini = IniFile::parse(file.bytes);
            used = path;
            return true;
        }
        if (named || file.status != FileReadStatus::Missing) {
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
    in.romName = options.operands.front();
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

    const FileBytes file = readFileBytes(in.romPath, kRomFileSizeWithHeader);
    if (file.status == FileReadStatus::TooLarge ||
        (file.status == FileReadStatus::Ok && !isAcceptedRomFileSize(file.size))) {
        failFile(err, in.romPath,
                 "the file is " + std::to_string(file.size) + " bytes; a ROM image is " + std::to_string(kRomSize) +
                     " bytes, or " + std::to_string(kRomFileSizeWithHeader) + " with a copier header");
        return false;
    }
    if (file.status != FileReadStatus::Ok) {
        failFile(err, in.romPath, readProblem(file, kRomFileSizeWithHeader));
        return false;
    }
    in.fileSize = file.size;
    const RomInfo info(in.rominfo, in.sprites);
    const std::string title = info.cartNameInCodePage932();
    if (decodeRomFile(file.bytes, title, in.image, in.layout) != RomFileStatus::Ok) {
        failFile(err, in.romPath,
                 "the title \"" + title + "\" (CartName of " +
                     (in.rominfoPath ? utf8FromPath(*in.rominfoPath) : std::string("the default settings")) +
                     ") is at neither 0xFFC0 nor 0x7FC0");
        return false;
    }
    return true;
}

} // namespace

namespace cli {

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
    // Each command reads its own operands past the ROM; `patch create` and `patch
    // apply` will join the table above and this dispatch.
    if (options.command == "info") return cli::runInfo(in, out);
    if (options.command == "validate") return cli::runValidate(in, options.json, out);
    if (options.command == "render") return cli::runRender(in, options, out, err);
    return cli::runChecksum(in, options.fix, out, err);
}

} // namespace vexa
