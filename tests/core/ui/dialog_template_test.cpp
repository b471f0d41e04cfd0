#include "ui/dialog_template.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace vexa {
namespace {

constexpr std::uint32_t kSetFont = 0x40;
constexpr std::uint32_t kChildStyle = 0x40000000 | 0x0004; // WS_CHILD | DS_CONTROL

// Writes a template the way the resource compiler lays one out, field by field.
class TemplateBytes {
public:
    TemplateBytes& word(std::uint16_t value) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        return *this;
    }
    TemplateBytes& dword(std::uint32_t value) { return word(static_cast<std::uint16_t>(value)).word(value >> 16); }
    TemplateBytes& text(std::u16string_view value) {
        for (char16_t c : value)
            word(c);
        return word(0);
    }
    TemplateBytes& ordinal(std::uint16_t value) { return word(0xFFFF).word(value); }
    TemplateBytes& rect(int x, int y, int width, int height) {
        for (int value : {x, y, width, height})
            word(static_cast<std::uint16_t>(value));
        return *this;
    }
    TemplateBytes& align() {
        while (bytes.size() % 4)
            bytes.push_back(0);
        return *this;
    }
    // The header up to the menu: version 1, the extended signature, help id 0.
    TemplateBytes& header(std::uint32_t style, std::uint16_t count) {
        return word(1).word(0xFFFF).dword(0).dword(0x10000).dword(style).word(count).rect(0, 0, 240, 250);
    }
    // A control up to its class: help id 0, no extended style.
    TemplateBytes& item(std::uint32_t id, std::uint32_t style, int x, int y) {
        return align().dword(0).dword(0).dword(style).rect(x, y, 40, 8).dword(id);
    }

    std::vector<std::uint8_t> bytes;
};

// A page with a font, a labelled button, a control of a class given by name whose text
// is an ordinal, and a control with two bytes of creation data before the last one.
std::vector<std::uint8_t> samplePage() {
    TemplateBytes t;
    t.header(kChildStyle | kSetFont, 4).word(0).word(0).text(u"");
    t.word(9).word(400).word(0x0100).text(u"MS Shell Dlg");
    t.item(1001, 0x50010000, 135, 8).ordinal(0x80).text(u"適用(&A)").word(0);
    t.item(1002, 0x50000000, -5, 20).text(u"msctls_trackbar32").ordinal(7).word(0);
    t.item(1003, 0x50000001, 10, 30).ordinal(0x82).word(0).word(2).word(0xBEEF);
    t.item(0xFFFFFFFF, 0x50000000, 10, 40).ordinal(0x81).text(u"x").word(0);
    return t.bytes;
}

TEST(DialogTemplate, ReadsTheHeaderTheFontAndEveryControl) {
    const std::vector<std::uint8_t> bytes = samplePage();
    const auto read = readDialogTemplate(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->style, kChildStyle | kSetFont);
    EXPECT_EQ(read->exStyle, 0x10000u);
    EXPECT_EQ(read->rect, (DialogUnitsRect{0, 0, 240, 250}));
    EXPECT_FALSE(read->menu.ordinal);
    EXPECT_EQ(read->caption, u"");
    EXPECT_EQ(read->fontPoints, 9);
    EXPECT_EQ(read->fontName, u"MS Shell Dlg");
    EXPECT_EQ(read->byteCount, bytes.size());
    ASSERT_EQ(read->controls.size(), 4u);

    const DialogTemplateControl& button = read->controls[0];
    EXPECT_EQ(button.id, 1001u);
    EXPECT_EQ(button.style, 0x50010000u);
    EXPECT_EQ(button.rect, (DialogUnitsRect{135, 8, 40, 8}));
    EXPECT_EQ(button.windowClass, (TemplateNameOrOrdinal{0x80, u""}));
    EXPECT_EQ(button.text, (TemplateNameOrOrdinal{std::nullopt, u"適用(&A)"}));

    const DialogTemplateControl& named = read->controls[1];
    EXPECT_EQ(named.rect.x, -5) << "coordinates are signed";
    EXPECT_EQ(named.windowClass, (TemplateNameOrOrdinal{std::nullopt, u"msctls_trackbar32"}));
    EXPECT_EQ(named.text, (TemplateNameOrOrdinal{7, u""}));

    EXPECT_EQ(read->controls[2].text, TemplateNameOrOrdinal{});
    EXPECT_EQ(read->controls[3].id, 0xFFFFFFFFu) << "read after the creation data, on the next DWORD";
    EXPECT_EQ(read->controls[3].rect.y, 40);
    EXPECT_EQ(read->controls[3].text.name, u"x");
}

TEST(DialogTemplate, WithoutTheFontStyleNoFontIsReadAndMenuAndClassMayBeNumbersOrNames) {
    TemplateBytes t;
    t.header(0x80C80000, 1).ordinal(105).text(u"MyDialogClass").text(u"Title");
    t.item(1, 0x50010001, 1, 2).ordinal(0x80).text(u"OK").word(0);
    const auto read = readDialogTemplate(t.bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->menu, (TemplateNameOrOrdinal{105, u""}));
    EXPECT_EQ(read->windowClass.name, u"MyDialogClass");
    EXPECT_EQ(read->caption, u"Title");
    EXPECT_FALSE(read->fontPoints);
    ASSERT_EQ(read->controls.size(), 1u);
    EXPECT_EQ(read->controls[0].text.name, u"OK");
}

TEST(DialogTemplate, ControlsStartOnADwordCountedFromTheTemplatesStart) {
    // Captions of 0 to 3 characters leave the first control 0 to 3 words off a DWORD.
    for (std::u16string caption : {u"", u"a", u"ab", u"abc"}) {
        TemplateBytes t;
        t.header(0, 2).word(0).word(0).text(caption);
        t.item(7, 1, 3, 4).ordinal(0x82).text(caption).word(0);
        t.item(8, 2, 5, 6).ordinal(0x80).word(0).word(0);
        const auto read = readDialogTemplate(t.bytes);
        ASSERT_TRUE(read) << caption.size();
        ASSERT_EQ(read->controls.size(), 2u);
        EXPECT_EQ(read->controls[0].id, 7u);
        EXPECT_EQ(read->controls[0].text.name, caption);
        EXPECT_EQ(read->controls[1].id, 8u);
        EXPECT_EQ(read->controls[1].rect, (DialogUnitsRect{5, 6, 40, 8}));
    }
}

TEST(DialogTemplate, EveryShorterBufferFailsAndBytesAfterTheTemplateAreIgnored) {
    const std::vector<std::uint8_t> bytes = samplePage();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        // A copy of exactly `size` bytes, so that a read past it would leave the block.
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(readDialogTemplate(cut)) << "cut to " << size << " bytes";
    }
    std::vector<std::uint8_t> longer = bytes;
    longer.insert(longer.end(), {0xFF, 0xFF, 0xFF});
    const auto read = readDialogTemplate(longer);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->byteCount, bytes.size());
    EXPECT_EQ(read->controls.size(), 4u);
}

TEST(DialogTemplate, OtherLayoutsAreRefused) {
    struct Case {
        std::uint16_t version;
        std::uint16_t signature;
    };
    // A plain DLGTEMPLATE starts with its style; version 2 or another signature is no
    // layout this reader knows.
    for (const Case c : {Case{0x0000, 0x80C8}, Case{2, 0xFFFF}, Case{1, 0xFFFE}, Case{0xFFFF, 1}}) {
        std::vector<std::uint8_t> bytes = samplePage();
        bytes[0] = static_cast<std::uint8_t>(c.version);
        bytes[1] = static_cast<std::uint8_t>(c.version >> 8);
        bytes[2] = static_cast<std::uint8_t>(c.signature);
        bytes[3] = static_cast<std::uint8_t>(c.signature >> 8);
        EXPECT_FALSE(readDialogTemplate(bytes)) << c.version << " " << c.signature;
    }
}

TEST(DialogTemplate, ControlClassesByOrdinalOrName) {
    struct Case {
        TemplateNameOrOrdinal windowClass;
        ControlClass expected;
    };
    const Case cases[] = {
        {{0x80, u""}, ControlClass::Button},
        {{0x81, u""}, ControlClass::Edit},
        {{0x82, u""}, ControlClass::Static},
        {{0x83, u""}, ControlClass::ListBox},
        {{0x84, u""}, ControlClass::ScrollBar},
        {{0x85, u""}, ControlClass::ComboBox},
        {{0x86, u""}, ControlClass::Other},
        {{std::nullopt, u"Static"}, ControlClass::Static},
        {{std::nullopt, u"BUTTON"}, ControlClass::Button},
        {{std::nullopt, u"comboBox"}, ControlClass::ComboBox},
        {{std::nullopt, u"Statics"}, ControlClass::Other},
        {{std::nullopt, u"SysListView32"}, ControlClass::Other},
        {{std::nullopt, u""}, ControlClass::Other},
    };
    for (const Case& c : cases) {
        DialogTemplateControl control;
        control.windowClass = c.windowClass;
        EXPECT_EQ(controlClassOf(control), c.expected)
            << (c.windowClass.ordinal ? *c.windowClass.ordinal : 0) << " " << c.windowClass.name.size();
    }
}

} // namespace
} // namespace vexa
