#include "app/rom_io_win.h"

#include "app/message_win.h"
#include "app/rom_file_win.h"

namespace vexa {

namespace {

constexpr const wchar_t* kReadFailed = L"ファイルの読み込みに失敗しました。";

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
    case FileReadStatus::BadSize: showError(owner, L"ファイルサイズが不正です。"); return false;
    case FileReadStatus::ReadFailed: showError(owner, kReadFailed); return false;
    }
    std::vector<std::uint8_t> image;
    RomLayout layout;
    if (decodeRomFile(bytes, cartName, image, layout) != RomFileStatus::Ok) {
        showError(owner, L"フォーマットを特定できません。\r\nCartNameを確認してください。");
        return false;
    }
    document.adopt(std::move(image), layout);
    if (stamp) *stamp = read;
    return true;
}

std::optional<RomDocument> readRomDocument(const std::wstring& path, std::string_view cartName, HWND owner) {
    RomDocument document;
    if (!openRomInto(document, path, cartName, owner, nullptr, kReadFailed)) return std::nullopt;
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
        showError(owner, L"ファイルの保存に失敗しました。");
        return false;
    }
    if (written) *written = stampOfWrittenFile(path, bytes);
    document.markSaved();
    return true;
}

} // namespace vexa
