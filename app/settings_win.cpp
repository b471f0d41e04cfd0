#include "app/settings_win.h"

#include "app/text_buffer.h"
#include "ui/path_text.h"
#include "ui/window_win.h"

#include <vector>

namespace vexa {

namespace {

bool readWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    // Settings files are small; anything past 16 MiB is not one.
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= (16 << 20);
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD done = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

} // namespace

SettingsPaths settingsPathsFor(const std::wstring& programPath) {
    SettingsPaths paths;
    const PathSplit split = splitPath(programPath);
    paths.programDirectory = split.hasFolder ? std::wstring(split.folder) + L"\\" : std::wstring();
    paths.configIni = paths.programDirectory + L"config.ini";
    paths.rominfoIni = paths.programDirectory + L"rominfo.ini";
    paths.spritesIni = paths.programDirectory + L"sprites.ini";
    return paths;
}

AppGlobals& appGlobals() {
    static AppGlobals globals;
    return globals;
}

void initAppGlobals(HINSTANCE instance) {
    // Long paths are allowed past MAX_PATH; grow the buffer until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    setAppInstance(instance);
    useSettingsPaths(settingsPathsFor(path));
}

void useSettingsPaths(const SettingsPaths& paths) {
    AppGlobals& globals = appGlobals();
    globals.paths = paths;
    globals.rominfo = ReadOnlyIni(paths.rominfoIni);
    globals.sprites = ReadOnlyIni(paths.spritesIni);
    globals.config = ConfigFile(paths.configIni);
}

std::wstring widenIniText(const std::string& text, IniEncoding encoding) {
    if (text.empty()) return {};
    const UINT codePage = encoding == IniEncoding::Utf8 ? CP_UTF8 : 932;
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

RomInfo romInfo() {
    return RomInfo(appGlobals().rominfo.file(), appGlobals().sprites.file());
}

std::wstring nameText(const IniName& name, const wchar_t* fallback, std::size_t bufferChars) {
    return cutToBuffer(name.value ? widenIniText(*name.value, name.encoding) : std::wstring(fallback), bufferChars);
}

std::optional<std::string> iniValueInCodePage932(const IniFile& ini, const char* section, const char* key) {
    auto value = ini.value(section, key);
    if (!value || value->empty() || ini.encoding() == IniEncoding::ShiftJis) return value;
    const std::wstring wide = widenIniText(*value, ini.encoding());
    const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

int ConfigFile::readInt(const wchar_t* section, const wchar_t* key, int defaultValue) const {
    return static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, path_.c_str()));
}

std::wstring ConfigFile::readString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
                                    std::size_t bufferChars) const {
    std::vector<wchar_t> buffer(bufferChars + 1, L'\0');
    GetPrivateProfileStringW(section, key, defaultValue, buffer.data(), static_cast<DWORD>(bufferChars), path_.c_str());
    return buffer.data();
}

void ConfigFile::createUnicodeFileIfMissing() const {
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return; // exists already, or the folder is not writable
    static const std::uint8_t bom[] = {0xFF, 0xFE};
    DWORD done = 0;
    WriteFile(file, bom, sizeof bom, &done, nullptr);
    CloseHandle(file);
}

bool ConfigFile::writeInt(const wchar_t* section, const wchar_t* key, int value) const {
    wchar_t text[16];
    wsprintfW(text, L"%d", value);
    return writeString(section, key, text);
}

bool ConfigFile::writeString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
    createUnicodeFileIfMissing();
    return WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str()) != FALSE;
}

void ConfigFile::load(std::span<const IntSetting> settings) const {
    loadSettings(settings, [this](const wchar_t* section, const wchar_t* key, std::int32_t fallback) {
        return readInt(section, key, fallback);
    });
}

void ConfigFile::save(std::span<const IntSetting> settings) const {
    saveSettings(settings, [this](const wchar_t* section, const wchar_t* key, std::int32_t value) {
        writeInt(section, key, value);
    });
}

const IniFile& ReadOnlyIni::file() const {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    const bool exists = GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &info) &&
                        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const FILETIME stamp = exists ? info.ftLastWriteTime : FILETIME{};
    if (!read_ || CompareFileTime(&stamp, &stamp_) != 0) {
        std::vector<std::uint8_t> bytes;
        ini_ = exists && readWholeFile(path_, bytes) ? IniFile::parse(bytes) : IniFile();
        stamp_ = stamp;
        read_ = true;
    }
    return ini_;
}

int ReadOnlyIni::readInt(const char* section, const char* key, int defaultValue) const {
    return file().readInt(section, key, defaultValue);
}

std::wstring ReadOnlyIni::readString(const char* section, const char* key, const wchar_t* defaultValue,
                                     std::size_t bufferChars) const {
    const IniFile& ini = file();
    return nameText({ini.value(section, key), ini.encoding()}, defaultValue, bufferChars);
}

} // namespace vexa
