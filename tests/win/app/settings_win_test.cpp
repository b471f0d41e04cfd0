#include "app/settings_win.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(SettingsPaths, BuiltFromTheProgramFolder) {
    const auto paths = settingsPathsFor(L"C:\\Program Files\\ツール\\vexa_editor.exe");
    EXPECT_EQ(paths.programDirectory, L"C:\\Program Files\\ツール\\");
    EXPECT_EQ(paths.configIni, L"C:\\Program Files\\ツール\\config.ini");
    EXPECT_EQ(paths.rominfoIni, L"C:\\Program Files\\ツール\\rominfo.ini");
    EXPECT_EQ(paths.spritesIni, L"C:\\Program Files\\ツール\\sprites.ini");
}

TEST(SettingsPaths, GlobalsPointBesideTheRunningProgram) {
    initAppGlobals(GetModuleHandleW(nullptr));
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring expected = std::wstring(exe).substr(0, std::wstring(exe).find_last_of(L'\\') + 1);
    EXPECT_EQ(appGlobals().paths.programDirectory, expected);
    EXPECT_EQ(appGlobals().paths.configIni, expected + L"config.ini");
}

// These run under both code pages (1252 and 932): what the editor writes and reads
// must not depend on the system's ANSI code page.
TEST(SettingsCodePage, RunsUnderTheCodePageTheScriptAsksFor) {
    wchar_t expected[16] = {};
    if (!GetEnvironmentVariableW(L"VEXA_EXPECT_ACP", expected, 16)) GTEST_SKIP() << "VEXA_EXPECT_ACP not set";
    EXPECT_EQ(GetACP(), static_cast<UINT>(_wtoi(expected)));
}

TEST(SettingsCodePage, ConfigKeepsAnyCharacterAndNegativeNumbers) {
    TempFolder folder;
    const ConfigFile config(folder.file(L"config.ini"));
    const std::wstring path = L"Z:\\ロム\\ゲーム 한국 ü.smc";
    EXPECT_TRUE(config.writeString(L"RecentFiles", L"0", path));
    EXPECT_TRUE(config.writeInt(L"MainWindow", L"Pos_X", -1200));
    EXPECT_TRUE(config.writeInt(L"MainWindow", L"Pos_Y", 40));

    const auto raw = readBytes(config.path());
    ASSERT_GE(raw.size(), 2u);
    EXPECT_EQ(raw[0], 0xFF);
    EXPECT_EQ(raw[1], 0xFE) << "config.ini is created as UTF-16LE";

    EXPECT_EQ(config.readString(L"RecentFiles", L"0", L"", 260), path);
    EXPECT_EQ(config.readString(L"RecentFiles", L"1", L"", 260), L"");
    EXPECT_EQ(config.readInt(L"MainWindow", L"Pos_X", 0), -1200);
    EXPECT_EQ(config.readInt(L"MainWindow", L"Pos_Y", 0), 40);
    EXPECT_EQ(config.readInt(L"MainWindow", L"Width", static_cast<int>(0x80000000)), static_cast<int>(0x80000000));
    EXPECT_EQ(config.readInt(L"Nothing", L"Here", 37), 37);
}

TEST(SettingsCodePage, ShiftJisSettingsDecodeTheSameEverywhere) {
    TempFolder folder;
    // "[LevelName] 25=草原ステージ" in Shift-JIS, "[SpriteName] 0012=ゴブリン" in UTF-8 and UTF-16.
    writeBytes(folder.file(L"rominfo.ini"),
               bytesOf("[LevelName]\r\n25=\x91\x90\x8C\xB4\x83\x58\x83\x65\x81\x5B\x83\x57\r\n"));
    writeBytes(folder.file(L"utf8.ini"), bytesOf("\xEF\xBB\xBF[SpriteName]\r\n0012=\xE3\x82\xB4\xE3\x83\x96\xE3\x83"
                                                 "\xAA\xE3\x83\xB3\r\n"));
    std::vector<std::uint8_t> utf16{0xFF, 0xFE};
    for (wchar_t c : std::wstring(L"[SpriteName]\r\n0012=ゴブリン\r\n"))
        utf16.insert(utf16.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    writeBytes(folder.file(L"utf16.ini"), utf16);

    EXPECT_EQ(ReadOnlyIni(folder.file(L"rominfo.ini")).readString("LevelName", "25", L"", 64), L"草原ステージ");
    EXPECT_EQ(ReadOnlyIni(folder.file(L"utf8.ini")).readString("SpriteName", "0012", L"", 64), L"ゴブリン");
    EXPECT_EQ(ReadOnlyIni(folder.file(L"utf16.ini")).readString("SpriteName", "0012", L"", 64), L"ゴブリン");
    EXPECT_EQ(ReadOnlyIni(folder.file(L"rominfo.ini")).readString("LevelName", "25", L"", 4), L"草原ス")
        << "cut to the buffer size less one";
    EXPECT_EQ(ReadOnlyIni(folder.file(L"missing.ini")).readString("LevelName", "25", L"なし", 64), L"なし");
}

TEST(ReadOnlyIni, IntegersReadExactlyAsTheProfileFunctions) {
    TempFolder folder;
    const std::vector<std::string> values = {"-1",    "0x2CD002", " 12 ",  "12abc",      "abc",         "",
                                             "0X10",  "+7",       "-0x10", "4294967295", "99999999999", "0b11",
                                             "\"5\"", "  -  3",   "0x",    "08",         "1e3"};
    std::string text = "[T]\r\n";
    for (std::size_t i = 0; i < values.size(); ++i)
        text += "K" + std::to_string(i) + "=" + values[i] + "\r\n";
    const std::wstring path = folder.file(L"values.ini");
    writeBytes(path, bytesOf(text));

    const ReadOnlyIni ini(path);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string key = "K" + std::to_string(i);
        const std::wstring wideKey(key.begin(), key.end());
        const int platform = static_cast<int>(GetPrivateProfileIntW(L"T", wideKey.c_str(), 4242, path.c_str()));
        EXPECT_EQ(ini.readInt("T", key.c_str(), 4242), platform) << "value \"" << values[i] << "\"";
    }
    EXPECT_EQ(ini.readInt("T", "Missing", 4242), 4242);
}

TEST(ReadOnlyIni, ReadsTheFileAgainWhenItChanges) {
    TempFolder folder;
    const std::wstring path = folder.file(L"rominfo.ini");
    writeBytes(path, bytesOf("[Levels]\r\nCount=10\r\n"));
    const ReadOnlyIni ini(path);
    EXPECT_EQ(ini.readInt("Levels", "Count", 206), 10);
    writeBytes(path, bytesOf("[Levels]\r\nCount=12\r\n"));
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart += 10'000'000;
    const FILETIME later{time.LowPart, time.HighPart};
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &later);
    CloseHandle(file);
    EXPECT_EQ(ini.readInt("Levels", "Count", 206), 12);
    DeleteFileW(path.c_str());
    EXPECT_EQ(ini.readInt("Levels", "Count", 206), 206);
}

} // namespace
} // namespace vexa
