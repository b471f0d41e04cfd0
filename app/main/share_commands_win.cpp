#include "app/main/share_commands_win.h"

#include "app/ini_file.h"
#include "app/message_win.h"
#include "app/rom_file_win.h"
#include "app/rom_io_win.h"
#include "app/rom_patch.h"
#include "app/settings_win.h"
#include "app/text_buffer.h"
#include "stage/view/stage_picture_win.h"
#include "ui/file_dialog_win.h"
#include "ui/path_text.h"

#include <optional>

namespace vexa {

namespace {

constexpr const wchar_t* kPatchFilter = L"BPS パッチ(*.bps)\0*.bps\0IPS パッチ(*.ips)\0*.ips\0";
constexpr const wchar_t* kPictureFilter = L"PNG 画像(*.png)\0*.png\0";

// The patch file chosen, with the extension its filter gives when none was typed,
// and whether it is to be an IPS patch.
std::optional<std::pair<std::wstring, bool>> askPatchFile(HWND owner, const std::wstring& romPath) {
    const auto chosen =
        askFileName(owner, {true, L"パッチの作成", kPatchFilter, nullptr}, inFolderOf(romPath, fileStemPart(romPath)));
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
        const std::wstring question =
            cutToBuffer(L"「" + fileNamePart(path) + L"」は既に存在します。\n上書きしますか?", 1024);
        if (askQuestion(owner, question.c_str(), MB_OKCANCEL) != IDOK) return std::nullopt;
    }
    return std::pair{path, ips};
}

} // namespace

void createPatchWithDialogs(HWND owner, std::span<const std::uint8_t> image, const std::wstring& romPath,
                            std::string_view cartName) {
    const ConfigFile& config = appGlobals().config;
    const std::wstring remembered = config.readString(L"Patch", L"Original", L"", MAX_PATH);
    const auto original = askFileName(owner, {false, L"元の ROM を選択", kRomFileFilter, L"smc"}, remembered);
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
        showError(owner, L"ファイルの保存に失敗しました。");
        return;
    }
    const std::wstring told =
        cutToBuffer(L"パッチを作成しました。\n" + path + L"\n" + std::to_wstring(patch->size()) + L" バイト", 1024);
    askQuestion(owner, told.c_str(), MB_OK, MB_ICONINFORMATION);
}

void saveStagePictureWithDialog(HWND owner, LevelManager& levels, const std::wstring& romPath) {
    const std::wstring name = fileStemPart(romPath) + L"-" + hexText2(levels.stageNumber) + L".png";
    const auto chosen =
        askFileName(owner, {true, L"ステージを画像で保存", kPictureFilter, L"png"}, inFolderOf(romPath, name));
    if (!chosen) return;
    const std::optional<RgbaImage> picture = drawWholeStage(levels);
    const std::vector<std::uint8_t> png = picture ? encodePng(*picture) : std::vector<std::uint8_t>{};
    if (png.empty() || !writeFileReplacing(chosen->path, png)) showError(owner, L"画像を保存できませんでした。");
}

} // namespace vexa
