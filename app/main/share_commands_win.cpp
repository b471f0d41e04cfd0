#include "app/main/share_commands_win.h"

#include "app/ini_file.h"
#include "app/message_win.h"
#include "app/rom_file_win.h"
#include "app/rom_io_win.h"
#include "app/rom_patch.h"
#include "app/settings_win.h"
#include "app/text_buffer.h"
#include "resources/text_ids.h"
#include "stage/view/stage_picture_win.h"
#include "ui/file_dialog_win.h"
#include "ui/path_text.h"
#include "ui/texts.h"

#include <optional>

namespace vexa {

namespace {

// The patch file chosen, with the extension its filter gives when none was typed,
// and whether it is to be an IPS patch.
std::optional<std::pair<std::wstring, bool>> askPatchFile(HWND owner, const std::wstring& romPath) {
    const std::wstring filter = fileFilter(IDS_PATCH_FILTER);
    const auto chosen = askFileName(owner, {true, text(IDS_PATCH_TITLE), filter.c_str(), nullptr},
                                    inFolderOf(romPath, fileStemPart(romPath)));
    if (!chosen) return std::nullopt;
    std::wstring path = chosen->path;
    if (chosen->hasExtension) {
        std::string narrow(path.size(), '\0');
        for (std::size_t i = 0; i < path.size(); ++i)
            narrow[i] = path[i] < 0x80 ? static_cast<char>(path[i]) : '?';
        if (const auto format = patchFormatOf(narrow)) return std::pair{path, *format == PatchFormat::Ips};
    }
    const bool ips = chosen->filterIndex == 2;
    path += ips ? L".ips" : L".bps";
    // The dialog asked about the name without its extension; this one may be taken.
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::wstring question = cutToBuffer(formatText(IDS_ALREADY_EXISTS, {fileNamePart(path)}), 1024);
        if (askQuestion(owner, question.c_str(), MB_OKCANCEL) != IDOK) return std::nullopt;
    }
    return std::pair{path, ips};
}

} // namespace

void createPatchWithDialogs(HWND owner, std::span<const std::uint8_t> image, const std::wstring& romPath,
                            std::string_view cartName) {
    const ConfigFile& config = appGlobals().config;
    const std::wstring remembered = config.readString(L"Patch", L"Original", L"", MAX_PATH);
    const std::wstring romFilter = fileFilter(IDS_ROM_FILTER);
    const auto original =
        askFileName(owner, {false, text(IDS_ORIGINAL_ROM_TITLE), romFilter.c_str(), L"smc"}, remembered);
    if (!original) return;
    config.writeString(L"Patch", L"Original", absolutePath(original->path));
    const std::optional<RomDocument> source = readRomDocument(original->path, cartName, owner);
    if (!source) return;
    const auto target = askPatchFile(owner, romPath);
    if (!target) return;

    const auto& [path, ips] = *target;
    const std::optional<std::vector<std::uint8_t>> patch =
        createRomPatch(ips ? PatchFormat::Ips : PatchFormat::Bps, source->image, source->layout, image);
    if (!patch || !writeFileReplacing(path, *patch)) {
        showError(owner, text(IDS_SAVE_FAILED));
        return;
    }
    const std::wstring told = cutToBuffer(formatText(IDS_PATCH_MADE, {path, std::to_wstring(patch->size())}), 1024);
    askQuestion(owner, told.c_str(), MB_OK, MB_ICONINFORMATION);
}

void saveStagePictureWithDialog(HWND owner, LevelManager& levels, const std::wstring& romPath) {
    const std::wstring name = fileStemPart(romPath) + L"-" + hexText2(levels.stageNumber) + L".png";
    const std::wstring filter = fileFilter(IDS_PICTURE_FILTER);
    const auto chosen =
        askFileName(owner, {true, text(IDS_PICTURE_TITLE), filter.c_str(), L"png"}, inFolderOf(romPath, name));
    if (!chosen) return;
    const std::optional<RgbaImage> picture = drawWholeStage(levels);
    const std::vector<std::uint8_t> png = picture ? encodePng(*picture) : std::vector<std::uint8_t>{};
    if (png.empty() || !writeFileReplacing(chosen->path, png)) showError(owner, text(IDS_PICTURE_FAILED));
}

} // namespace vexa
