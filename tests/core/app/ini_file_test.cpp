#include "app/ini_file.h"
#include "app/rom_image.h"
#include "app/rom_info.h"
#include "bananas/banana_list.h"
#include "cameras/camera_list.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

IniFile parseText(std::string_view text) {
    return IniFile::parse(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TEST(IniFile, ReadsLikeTheProfileFunctions) {
    const auto ini = parseText("; comment\r\n"
                               "[ROMInfo]\r\n"
                               "  CartName =  MARBLE CANYON QUEST  \r\n"
                               "Quoted=\"  spaced  \"\n"
                               "Empty=\n"
                               "cartname=second wins nothing\r"
                               "[Levels]\n"
                               "Count=206\n"
                               "[romINFO]\n"
                               "Later=ignored\n");
    EXPECT_EQ(ini.encoding(), IniEncoding::ShiftJis);
    EXPECT_EQ(ini.value("ROMInfo", "CartName"), "MARBLE CANYON QUEST");
    EXPECT_EQ(ini.value("rominfo", "CARTNAME"), "MARBLE CANYON QUEST");
    EXPECT_EQ(ini.value("ROMInfo", "Quoted"), "  spaced  ");
    EXPECT_EQ(ini.value("ROMInfo", "Empty"), "");
    EXPECT_EQ(ini.value("ROMInfo", "Later"), std::nullopt) << "the first section of a name wins";
    EXPECT_EQ(ini.value("Levels", "Missing"), std::nullopt);
    EXPECT_EQ(ini.value("Nowhere", "Count"), std::nullopt);
    EXPECT_EQ(ini.readInt("Levels", "Count", 7), 206);
    EXPECT_EQ(ini.readInt("ROMInfo", "Empty", 7), 7);
    EXPECT_EQ(ini.readInt("Levels", "Missing", -3), -3);
}

TEST(IniFile, ShiftJisValuesKeepTheirBytes) {
    // "ステージ" in Shift-JIS; 0x5B ('[') and 0x5C never start a line here.
    const std::string name = "\x83\x58\x83\x65\x81\x5B\x83\x57";
    const auto ini = parseText("[LevelName]\r\n25=" + name + "\r\n");
    EXPECT_EQ(ini.encoding(), IniEncoding::ShiftJis);
    EXPECT_EQ(ini.value("LevelName", "25"), name);
}

TEST(IniFile, ByteOrderMarksSelectUtf8) {
    const std::string utf8 = "\xEF\xBB\xBF[A]\nK=\xE3\x82\xB9\n";
    auto ini = parseText(utf8);
    EXPECT_EQ(ini.encoding(), IniEncoding::Utf8);
    EXPECT_EQ(ini.value("A", "K"), "\xE3\x82\xB9");

    std::u16string wide = u"[A]\r\nK=ス😀é\r\n";
    std::vector<std::uint8_t> le{0xFF, 0xFE}, be{0xFE, 0xFF};
    for (char16_t c : wide) {
        le.insert(le.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
        be.insert(be.end(), {static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
    }
    for (const auto& bytes : {le, be}) {
        ini = IniFile::parse(bytes);
        EXPECT_EQ(ini.encoding(), IniEncoding::Utf8);
        EXPECT_EQ(ini.value("A", "K"), "\xE3\x82\xB9\xF0\x9F\x98\x80\xC3\xA9");
    }
}

// A surrogate without its partner (a damaged file) must not come out as the invalid
// UTF-8 of a lone surrogate.
TEST(IniFile, UnpairedSurrogatesBecomeReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    const char16_t high = 0xD83D;
    const char16_t low = 0xDE00;
    EXPECT_EQ(utf16ToUtf8(std::u16string{u'a', high}), "a" + replacement);
    EXPECT_EQ(utf16ToUtf8(std::u16string{high, u'b'}), replacement + "b");
    EXPECT_EQ(utf16ToUtf8(std::u16string{low, high}), replacement + replacement);
    EXPECT_EQ(utf16ToUtf8(std::u16string{high, high, low}), replacement + "\xF0\x9F\x98\x80");
}

TEST(IniFile, IntegersParseLikeGetPrivateProfileInt) {
    EXPECT_EQ(parseProfileInt("-1"), -1);
    EXPECT_EQ(parseProfileInt("0x2CD002"), 0x2CD002);
    EXPECT_EQ(parseProfileInt("0X10"), 0);
    EXPECT_EQ(parseProfileInt(" 12 "), 12);
    EXPECT_EQ(parseProfileInt("12abc"), 12);
    EXPECT_EQ(parseProfileInt("abc"), 0);
    EXPECT_EQ(parseProfileInt("+45"), 45);
    EXPECT_EQ(parseProfileInt("0b101"), 5);
    EXPECT_EQ(parseProfileInt("0o17"), 15);
    EXPECT_EQ(parseProfileInt("0x"), 0);
    EXPECT_EQ(parseProfileInt("-0x10"), -16);
    EXPECT_EQ(parseProfileInt("4294967295"), -1) << "wraps modulo 2^32";
    EXPECT_EQ(parseProfileInt("2147483648"), INT32_MIN);
    EXPECT_EQ(parseProfileInt("\t7"), 7);
}

TEST(IniFile, EntryKeysUseTheirFormats) {
    EXPECT_EQ(decimalKey(15), "15");
    EXPECT_EQ(hexKey2(0x25), "25");
    EXPECT_EQ(hexKey2(0xAB), "AB");
    EXPECT_EQ(hexKey2(5), "05");
    EXPECT_EQ(hexKey4(0x12), "0012");
    EXPECT_EQ(hexKey4(0xBEEF), "BEEF");
    for (const auto& [value, text] : {std::pair<std::size_t, const wchar_t*>{0, L"0"},
                                      {999, L"999"},
                                      {1000, L"1,000"},
                                      {16255, L"16,255"},
                                      {1234567, L"1,234,567"}})
        EXPECT_EQ(groupedNumber(value), text);
}

// Every named value reads its own section and key, and falls back to the editor's
// default when the key is missing.
TEST(RomInfo, EachValueReadsItsKeyOrItsDefault) {
    const auto rominfo = parseText("[ROMInfo]\nCartName=X\n[Levels]\nCount=5\n[LevelName]\n0A=ten\n"
                                   "[Maps]\nMapInfoBank=1\nMapABInfo=2\n[MapChip]\n2A=grass.bmp\n"
                                   "[Sprites]\nLevelCount=3\nAvailableEnd=0x9000\n"
                                   "[Bananas]\nLevels=0x100000\nBananaSets=0x110000\nBananaSetCount=7\n"
                                   "[BananaSetName]\n05=five\n[Cameras]\nLevels=0x120000\n");
    const auto sprites = parseText("[Sprites]\nCount=9\n[SpriteName]\n0012=twelve\n");
    const RomInfo info(rominfo, sprites);
    EXPECT_EQ(info.cartName(), "X");
    EXPECT_EQ(info.stageCount(), 5);
    EXPECT_EQ(info.levelName(10).value, "ten");
    EXPECT_EQ(info.mapTables().mapInfoBank, 1);
    EXPECT_EQ(info.mapTables().mapABInfo, 2);
    EXPECT_EQ(info.chipFileName(0x2A).value, "grass.bmp");
    EXPECT_EQ(info.spriteBank().levelCount, 3);
    EXPECT_EQ(info.spriteBank().availableEnd, 0x9000u);
    EXPECT_EQ(info.bananaLevels(), 0x100000u);
    EXPECT_EQ(info.bananaSets(), 0x110000u);
    EXPECT_EQ(info.bananaSetCount(), 7);
    EXPECT_EQ(info.bananaSetName(5).value, "five");
    EXPECT_EQ(info.cameraLevels(), 0x120000u);
    EXPECT_EQ(info.spriteTypeCount(), 9);
    EXPECT_EQ(info.spriteTypeName(0x12).value, "twelve");

    const IniFile empty;
    const RomInfo defaults(empty, empty);
    EXPECT_EQ(defaults.cartName(), std::nullopt);
    EXPECT_EQ(defaults.stageCount(), kDefaultStageCount);
    EXPECT_EQ(defaults.levelName(10).value, std::nullopt);
    EXPECT_EQ(defaults.mapTables().mapABInfo, kDefaultMapABInfo);
    EXPECT_EQ(defaults.spriteBank().availableEnd, kDefaultSpriteAvailableEnd);
    EXPECT_EQ(defaults.bananaLevels(), kDefaultBananaLevels);
    EXPECT_EQ(defaults.bananaSets(), kDefaultBananaSets);
    EXPECT_EQ(defaults.bananaSetCount(), kDefaultBananaSetCount);
    EXPECT_EQ(defaults.cameraLevels(), kDefaultCameraLevels);
    EXPECT_EQ(defaults.spriteTypeCount(), kDefaultSpriteTypeCount);
}

// The title the image is searched for, as the cartridge stores it, whatever the
// file's encoding: ASCII and half-width katakana convert, anything else is one '?'.
TEST(RomInfo, CartNameComesBackInTheCartridgesBytes) {
    const std::string utf8 = "\xEF\xBB\xBF[ROMInfo]\nCartName=";
    const struct {
        const char* name;
        std::string file;
        std::string title;
    } cases[] = {
        {"missing", "[ROMInfo]\n", std::string(kDefaultCartName)},
        {"Shift-JIS as it is", "[ROMInfo]\nCartName=\xCF\xB0\xCC\xDE\xD9 Q\n", "\xCF\xB0\xCC\xDE\xD9 Q"},
        {"katakana", utf8 + "\xEF\xBE\x8F\xEF\xBD\xB0\xEF\xBE\x8C\xEF\xBE\x9E\xEF\xBE\x99 Q", "\xCF\xB0\xCC\xDE\xD9 Q"},
        {"first and last katakana", utf8 + "\xEF\xBD\xA1\xEF\xBE\x9F", "\xA1\xDF"},
        {"just outside the katakana", utf8 + "\xEF\xBD\xA0\xEF\xBE\xA0", "??"},
        {"other scripts", utf8 + "\xC3\xA9\xE3\x82\xB9\xF0\x9F\x98\x80.", "???."},
        {"broken sequences",
         utf8 + "\x80"
                "A\xE3\x82"
                "B\xEF\xBE",
         "?A?B?"},
    };
    const IniFile sprites;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const IniFile rominfo = parseText(c.file);
        EXPECT_EQ(RomInfo(rominfo, sprites).cartNameInCodePage932(), c.title);
    }
}

} // namespace
} // namespace vexa
