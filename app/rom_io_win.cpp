#include "app/rom_io_win.h"

#include "app/message_win.h"
#include "app/rom_file_win.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

namespace vexa {

namespace {

const wchar_t* readFailedText() {
    return text(IDS_READ_FAILED);
}

} // namespace

bool openRomInto(RomDocument& document, const std::wstring& path, std::string_view cartName, HWND owner,
                 FileStamp* stamp, const std::wstring& cannotOpenText) {
    std::vector<std::uint8_t> bytes;
    FileStamp read;
    switch (readRomFile(path, bytes, &read)) {
    case FileReadStatus::Ok: break;
    case FileReadStatus::CannotOpen:
        if (!cannotOpenText.empty()) showError(owner, cannotOpenText.c_str());
        return false;
    case FileReadStatus::BadSize: showError(owner, text(IDS_BAD_SIZE)); return false;
    case FileReadStatus::ReadFailed: showError(owner, readFailedText()); return false;
    }
    std::vector<std::uint8_t> image;
    RomLayout layout;
    if (decodeRomFile(bytes, cartName, image, layout) != RomFileStatus::Ok) {
        showError(owner, text(IDS_UNKNOWN_FORMAT));
        return false;
    }
    document.adopt(std::move(image), layout);
    if (stamp) *stamp = read;
    return true;
}

std::optional<RomDocument> readRomDocument(const std::wstring& path, std::string_view cartName, HWND owner) {
    RomDocument document;
    if (!openRomInto(document, path, cartName, owner, nullptr, readFailedText())) return std::nullopt;
    return document;
}

bool fileHoldsImage(const std::wstring& path, std::span<const std::uint8_t> image, const RomLayout& layout,
                    FileStamp* stamp) {
    return image.size() == kRomSize && fileHoldsBytes(path, encodeRomFile(image, layout), stamp);
}

bool saveRomFrom(RomDocument& document, const std::wstring& path, HWND owner, FileStamp* written) {
    std::vector<std::uint8_t> bytes;
    if (document.image.size() == kRomSize) bytes = encodeRomFile(document.image, document.layout);
    if (bytes.empty() || !writeFileReplacing(path, bytes)) {
        showError(owner, text(IDS_SAVE_FAILED));
        return false;
    }
    if (written) *written = stampOfWrittenFile(path, bytes);
    document.markSaved();
    return true;
}

} // namespace vexa
