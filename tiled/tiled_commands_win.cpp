#include "tiled/tiled_commands_win.h"

#include "app/byte_range_record.h"
#include "app/image_codec.h"
#include "app/ini_file.h"
#include "app/message_win.h"
#include "app/rom_file_win.h"
#include "app/settings_win.h"
#include "app/text_buffer.h"
#include "resources/text_ids.h"
#include "stage/stage_bytes_record.h"
#include "tiled/tiled_export.h"
#include "tiled/tiled_import.h"
#include "ui/file_dialog_win.h"
#include "ui/path_text.h"
#include "ui/texts.h"

#include <cwctype>
#include <optional>

namespace vexa {

namespace {

// A message box shows this many of the problems; the rest are counted.
constexpr std::size_t kProblemsShown = 15;

std::string utf8Of(std::wstring_view text) {
    return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

std::wstring wideOf(const std::string& text) {
    return widenIniText(text, IniEncoding::Utf8);
}

// The map file first offered for the open stage: beside the ROM, named after both.
std::wstring mapFileFor(const std::wstring& romPath, int stage) {
    return inFolderOf(romPath, fileStemPart(romPath) + L"-" + hexText2(stage) + L".tmj");
}

// The chip bitmap the map draws, as RGBA; nothing when none could be loaded.
std::optional<RgbaImage> chipImage(const LevelManager& levels) {
    const BitmapBuffer& chips = levels.tilemap.chipBitmap();
    const auto width = static_cast<std::size_t>(chips.pixelSize.cx);
    const auto height = static_cast<std::size_t>(chips.pixelSize.cy);
    if (chips.pixels.empty() || chips.pixels.size() < width * height) return std::nullopt;
    RgbaImage image;
    image.width = chips.pixelSize.cx;
    image.height = chips.pixelSize.cy;
    image.rgba.resize(width * height * 4);
    for (std::size_t i = 0; i < width * height; ++i) {
        const std::uint32_t pixel = chips.pixels[i]; // 0x00RRGGBB
        image.rgba[i * 4] = static_cast<std::uint8_t>(pixel >> 16);
        image.rgba[i * 4 + 1] = static_cast<std::uint8_t>(pixel >> 8);
        image.rgba[i * 4 + 2] = static_cast<std::uint8_t>(pixel);
        image.rgba[i * 4 + 3] = 255;
    }
    return image;
}

bool writeText(const std::string& path, const std::string& text) {
    return writeFileReplacing(wideOf(path), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// A problem in the interface's language: the readers of Tiled's files word each in
// English (which the command-line tool shows) and in Japanese.
std::wstring problemText(const std::string& english, const std::string& japanese) {
    return wideOf(currentLanguage() == Language::English ? english : japanese);
}

std::wstring problemsText(const std::vector<tiled::Problem>& problems) {
    std::wstring shown = text(IDS_TILED_NOT_READ);
    for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i)
        shown += formatText(IDS_TILED_PROBLEM_LINE, {problemText(problems[i].text(), problems[i].textJa())});
    if (problems.size() > kProblemsShown)
        shown += formatText(IDS_TILED_MORE, {std::to_wstring(problems.size() - kProblemsShown)});
    return shown;
}

} // namespace

void exportTiledMapWithDialog(HWND owner, LevelManager& levels, const std::wstring& romPath) {
    const std::wstring filter = fileFilter(IDS_TILED_FILTER);
    const auto chosen = askFileName(owner, {true, text(IDS_TILED_EXPORT_TITLE), filter.c_str(), L"tmj"},
                                    mapFileFor(romPath, levels.stageNumber));
    if (!chosen) return;
    const std::optional<RgbaImage> chips = chipImage(levels);
    const tiled::MapExport map =
        tiled::exportStageMap(levels.romImage(), romInfo(), levels.stageNumber, chips ? &*chips : nullptr,
                              utf8Of(inFolderOf(chosen->path, fileStemPart(chosen->path))));
    if (!map.ok) {
        std::wstring problem = problemText(map.problem, map.problemJa);
        if (!problem.empty()) problem[0] = static_cast<wchar_t>(std::towupper(problem[0]));
        showError(owner, formatText(IDS_TILED_SENTENCE, {problem}).c_str());
        return;
    }
    const bool written = writeFileReplacing(wideOf(map.files.chipsImage), encodePng(map.chipsImage)) &&
                         writeFileReplacing(wideOf(map.files.attributesImage), encodePng(map.attributesImage)) &&
                         writeText(map.files.chipsTileset, map.chipsTileset) &&
                         writeText(map.files.attributesTileset, map.attributesTileset) &&
                         writeText(utf8Of(chosen->path), map.map);
    if (!written) showError(owner, text(IDS_SAVE_FAILED));
}

void importTiledMapWithDialog(HWND owner, LevelManager& levels, const std::wstring& romPath) {
    const std::wstring filter = fileFilter(IDS_TILED_FILTER);
    const auto chosen = askFileName(owner, {false, text(IDS_TILED_IMPORT_TITLE), filter.c_str(), L"tmj"},
                                    mapFileFor(romPath, levels.stageNumber));
    if (!chosen) return;
    std::vector<std::uint8_t> bytes;
    if (readWholeFile(chosen->path, tiled::kMaxMapFileSize, bytes) != FileReadStatus::Ok) {
        showError(owner, text(IDS_FILE_NOT_READ));
        return;
    }
    const std::wstring& mapPath = chosen->path;
    const tiled::FileReader readBeside = [&mapPath](std::string_view source) -> std::optional<std::string> {
        std::vector<std::uint8_t> tileset;
        if (readWholeFile(inFolderOf(mapPath, wideOf(std::string(source))), tiled::kMaxMapFileSize, tileset) !=
            FileReadStatus::Ok)
            return std::nullopt;
        return std::string(tileset.begin(), tileset.end());
    };
    const int stage = levels.stageNumber;
    const std::span<std::uint8_t> image = levels.romImage();
    const tiled::MapImport result =
        tiled::importStageMap(image, romInfo(), stage,
                              std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), readBeside);
    if (!result.ok()) {
        showError(owner, cutToBuffer(problemsText(result.problems), 4096).c_str());
        return;
    }
    std::vector<ByteRange> ranges = changedRanges(image, result.image);
    if (ranges.empty()) {
        askQuestion(owner, text(IDS_TILED_SAME), MB_OK, MB_ICONINFORMATION);
        return;
    }
    for (const ByteRange& range : ranges)
        range.putNew(image);
    const POINT scroll = levels.scrollPosition();
    levels.openStage(stage);
    levels.scrollTo(scroll);
    levels.host.pushUndo(std::make_unique<StageBytesRecord>(levels.host, stage, std::move(ranges),
                                                            IDS_TILED_IMPORT_NAME, StageReload::Whole));
}

} // namespace vexa
