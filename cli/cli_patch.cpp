// `vexa patch create` and `vexa patch apply` (cli/cli.cpp loads the ROM they start
// from). IPS patches lie between the files as they are on disk, in the original's
// layout, as the common patchers apply them; BPS patches between images without copier
// header, in plain order (app/rom_patch.h). A patched ROM keeps its own file's layout.
#include "app/rom_patch.h"
#include "cli/cli.h"
#include "cli/cli_context.h"

namespace vexa::cli {

namespace {

// A patch larger than this cannot be meant for a 4 MiB image.
constexpr std::uintmax_t kMaxPatchSize = 64u << 20;

int createPatch(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    const std::filesystem::path modifiedPath = pathFromUtf8(options.operands[2]);
    const std::filesystem::path output = pathFromUtf8(options.operands[3]);
    const std::optional<PatchFormat> format = patchFormatOf(options.operands[3]);
    if (!format) return failFile(err, output, "a patch's name ends in .bps or .ips");
    std::vector<std::uint8_t> modified;
    RomLayout layout;
    if (!readRom(in, modifiedPath, modified, layout, nullptr, err)) return kExitBadInput;
    const std::optional<std::vector<std::uint8_t>> patch = createRomPatch(*format, in.image, in.layout, modified);
    if (!patch) return failFile(err, output, "an IPS patch cannot address an image this large");
    if (!writeOutputFile(output, *patch, "the patch", err)) return kExitBadInput;
    out << "wrote " << utf8FromPath(output) << " (" << patch->size() << " bytes, "
        << (*format == PatchFormat::Bps ? "BPS" : "IPS") << ")\n";
    return kExitSuccess;
}

int applyPatch(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    const std::filesystem::path patchPath = pathFromUtf8(options.operands[2]);
    const std::filesystem::path output = pathFromUtf8(options.operands[3]);
    const FileBytes patch = readFileBytes(patchPath, kMaxPatchSize);
    if (patch.status != FileBytesStatus::Ok) return failFile(err, patchPath, readProblem(patch, kMaxPatchSize));
    const PatchResult result = applyRomPatch(in.image, in.layout, patch.bytes);
    if (result.status == PatchStatus::NotAPatch) return failFile(err, patchPath, "neither a BPS nor an IPS patch");
    if (result.status != PatchStatus::Ok) return failFile(err, patchPath, std::string(patchStatusText(result.status)));
    if (result.target.size() != in.fileSize)
        return failFile(err, patchPath,
                        "the patched file is " + std::to_string(result.target.size()) + " bytes, not a ROM image of " +
                            std::to_string(in.fileSize) + " like " + in.romName);
    if (!writeOutputFile(output, result.target, "the patched ROM", err)) return kExitBadInput;
    out << "wrote " << utf8FromPath(output) << " in the layout of " << in.romName << '\n';
    return kExitSuccess;
}

} // namespace

int runPatch(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    return options.operands[0] == "create" ? createPatch(in, options, out, err) : applyPatch(in, options, out, err);
}

} // namespace vexa::cli
