// `vexa patch create` and `vexa patch apply` (app/cli.cpp loads the ROM they start
// from). Patches lie between images without copier header, in plain order, which is
// what patch users expect; a patched ROM goes back in its own file's layout.
#include "app/cli.h"
#include "app/cli_context.h"
#include "app/patch_bps.h"
#include "app/patch_ips.h"

namespace vexa::cli {

namespace {

// A patch larger than this cannot be meant for a 4 MiB image.
constexpr std::uintmax_t kMaxPatchSize = 64u << 20;

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

int createPatch(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    const std::filesystem::path modifiedPath = pathFromUtf8(options.operands[2]);
    const std::filesystem::path output = pathFromUtf8(options.operands[3]);
    const std::optional<PatchFormat> format = patchFormatOf(options.operands[3]);
    if (!format) return failFile(err, output, "a patch's name ends in .bps or .ips");
    std::vector<std::uint8_t> modified;
    RomLayout layout;
    if (!readRom(in, modifiedPath, modified, layout, nullptr, err)) return kExitBadInput;
    std::vector<std::uint8_t> patch;
    if (*format == PatchFormat::Bps) {
        patch = createBpsPatch(in.image, modified);
    } else if (auto ips = createIpsPatch(in.image, modified)) {
        patch = std::move(*ips);
    } else {
        return failFile(err, output, "an IPS patch cannot address an image this large");
    }
    if (!writeFileAtomically(output, patch)) return failFile(err, output, "cannot write the patch");
    out << "wrote " << utf8FromPath(output) << " (" << patch.size() << " bytes, "
        << (*format == PatchFormat::Bps ? "BPS" : "IPS") << ")\n";
    return kExitSuccess;
}

int applyPatch(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    const std::filesystem::path patchPath = pathFromUtf8(options.operands[2]);
    const std::filesystem::path output = pathFromUtf8(options.operands[3]);
    const FileBytes patch = readFileBytes(patchPath, kMaxPatchSize);
    if (patch.status != FileBytesStatus::Ok) return failFile(err, patchPath, readProblem(patch, kMaxPatchSize));
    // The contents tell the format, whatever the file is called.
    PatchResult result;
    if (startsWith(patch.bytes, "BPS1"))
        result = applyBpsPatch(in.image, patch.bytes);
    else if (startsWith(patch.bytes, "PATCH"))
        result = applyIpsPatch(in.image, patch.bytes);
    else
        return failFile(err, patchPath, "neither a BPS nor an IPS patch");
    if (result.status != PatchStatus::Ok) return failFile(err, patchPath, std::string(patchStatusText(result.status)));
    if (result.target.size() != kRomSize)
        return failFile(err, patchPath,
                        "the patched image is " + std::to_string(result.target.size()) + " bytes, not a ROM image of " +
                            std::to_string(kRomSize));
    if (!writeFileAtomically(output, encodeRomFile(result.target, in.layout)))
        return failFile(err, output, "cannot write the patched ROM");
    out << "wrote " << utf8FromPath(output) << " in the layout of " << in.romName << '\n';
    return kExitSuccess;
}

} // namespace

int runPatch(const Inputs& in, const Options& options, std::ostream& out, std::ostream& err) {
    return options.operands[0] == "create" ? createPatch(in, options, out, err) : applyPatch(in, options, out, err);
}

} // namespace vexa::cli
