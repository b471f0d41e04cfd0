// The settings files beside the program: config.ini (read and written through the
// platform's profile functions) and the read-only rominfo.ini and sprites.ini.
#pragma once

#include "app/ini_file.h"
#include "app/rom_info.h"
#include "app/setting_binding.h"

#include <windows.h>

#include <optional>
#include <string>

namespace vexa {

struct SettingsPaths {
    std::wstring programDirectory; // ends with a backslash
    std::wstring configIni;
    std::wstring rominfoIni;
    std::wstring spritesIni;
};

// Builds the paths from the program file's full path (cut after its last backslash).
SettingsPaths settingsPathsFor(const std::wstring& programPath);

// config.ini. Values are written as text; integers as "%d". The file is created as
// UTF-16LE with a byte-order mark, so the profile functions keep any character of a
// path in it whatever the system code page.
class ConfigFile {
public:
    explicit ConfigFile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& path() const { return path_; }

    int readInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
    std::wstring readString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
                            std::size_t bufferChars) const;
    bool writeInt(const wchar_t* section, const wchar_t* key, int value) const;
    bool writeString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
    // Reads or writes each bound setting, in list order.
    void load(std::span<const IntSetting> settings) const;
    void save(std::span<const IntSetting> settings) const;

private:
    void createUnicodeFileIfMissing() const;
    std::wstring path_;
};

// rominfo.ini or sprites.ini: read with the core's parser, decoded as Shift-JIS
// unless the file carries a UTF-8 or UTF-16 byte-order mark. The file is read again
// when it changed on disk, as the profile functions would.
class ReadOnlyIni {
public:
    explicit ReadOnlyIni(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& path() const { return path_; }

    int readInt(const char* section, const char* key, int defaultValue) const;
    // The value cut to bufferChars - 1 characters, like a profile read into a buffer.
    std::wstring readString(const char* section, const char* key, const wchar_t* defaultValue,
                            std::size_t bufferChars) const;
    const IniFile& file() const;

private:
    std::wstring path_;
    mutable IniFile ini_;
    mutable FILETIME stamp_{};
    mutable bool read_ = false;
};

// The process-wide paths and settings files, set once at start-up (tests point them
// at a folder of their own with useSettingsPaths). initAppGlobals also gives the
// window toolkit the instance handle.
struct AppGlobals {
    SettingsPaths paths;
    ReadOnlyIni rominfo{L""};
    ReadOnlyIni sprites{L""};
    ConfigFile config{L""};
};
AppGlobals& appGlobals();
void initAppGlobals(HINSTANCE instance);
void useSettingsPaths(const SettingsPaths& paths);

// rominfo.ini and sprites.ini by their named values, each file as it is on disk now.
RomInfo romInfo();

// A name from rominfo.ini or sprites.ini in UTF-16: `fallback` when the key is
// missing, and cut as a profile read into a buffer of `bufferChars` would cut it.
std::wstring nameText(const IniName& name, const wchar_t* fallback, std::size_t bufferChars);

// Text of an IniFile value in UTF-16, decoded by the file's encoding.
std::wstring widenIniText(const std::string& text, IniEncoding encoding);

// An IniFile value as code page 932 bytes whatever the file's encoding: the bytes a
// cartridge title is stored with, half-width katakana included.
std::optional<std::string> iniValueInCodePage932(const IniFile& ini, const char* section, const char* key);

} // namespace vexa
