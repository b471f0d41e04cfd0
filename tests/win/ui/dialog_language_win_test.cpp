#include "ui/dialog_template.h"
#include "ui/resources_win.h"
#include "ui/window_win.h"

#include "resource_ids.h"
#include "support/text_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

namespace vexa {
namespace {

// Every dialog template of the program, with a control whose text tells the
// languages apart.
struct TemplateCase {
    const wchar_t* name;
    int telling;
};
constexpr TemplateCase kTemplates[] = {
    {L"SET_EMULATOR", IDC_EMULATOR_BROWSE},
    {L"RESTORE_POINT", IDCANCEL},
    {L"LEVEL_SELECT", IDCANCEL},
    {L"SPRITE_EDIT", IDC_SPRITE_APPLY},
    {L"SPRITE_SELECT", IDCANCEL},
    {L"BANANA_EDIT", IDC_BANANA_FRONT1},
    {L"CAMERA_EDIT", IDC_CAMERA_RIGHT_LINK2},
    {L"TERRAIN_EDIT", IDC_TERRAIN_PALETTE},
};

std::string nameOf(const wchar_t* name) {
    return std::string(name, name + lstrlenW(name));
}
const char* nameOf(Language language) {
    return language == Language::English ? "English" : "Japanese";
}

DialogTemplate templateOf(const wchar_t* name, Language language) {
    return dialogTemplateIn(language, name).value_or(DialogTemplate{});
}

std::wstring textOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// A dialog over one template, without the logic of the window that uses it.
class PlainDialog : public MyDialog {
public:
    explicit PlainDialog(const wchar_t* name) : name_(name) {}
    ~PlainDialog() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    const wchar_t* templateName() const override { return name_; }
    INT_PTR handleMessage(HWND, UINT message, WPARAM, LPARAM) override { return message == WM_INITDIALOG; }

private:
    const wchar_t* name_;
};

RECT placeIn(HWND parent, HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}
bool sameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

// What a relabelled dialog must show alike with one made in that language.
struct ControlLook {
    int id;
    std::wstring text;
    RECT place;
    bool operator==(const ControlLook& other) const {
        return id == other.id && text == other.text && sameRect(place, other.place);
    }
};
struct DialogLook {
    std::wstring caption;
    RECT client{};
    std::vector<ControlLook> controls;
    bool operator==(const DialogLook& other) const {
        return caption == other.caption && sameRect(client, other.client) && controls == other.controls;
    }
};

DialogLook lookOf(HWND dialog) {
    DialogLook look{textOf(dialog)};
    GetClientRect(dialog, &look.client);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        look.controls.push_back({GetDlgCtrlID(child), textOf(child), placeIn(dialog, child)});
    }
    return look;
}

std::string describe(const DialogLook& look) {
    std::string out;
    for (const ControlLook& control : look.controls) {
        out += std::to_string(control.id) + " (" + std::to_string(control.place.left) + "," +
               std::to_string(control.place.top) + ")-(" + std::to_string(control.place.right) + "," +
               std::to_string(control.place.bottom) + ") " + std::to_string(control.text.size()) + " chars\n";
    }
    return out + "client " + std::to_string(look.client.right) + "x" + std::to_string(look.client.bottom);
}

class DialogLanguageTest : public testing::Test {
protected:
    void SetUp() override {
        setAppInstance(GetModuleHandleW(nullptr));
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 600, 600, nullptr, nullptr,
                                appInstance(), nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override {
        setCurrentLanguage(Language::Japanese);
        DestroyWindow(owner);
    }
    // Creates the dialog as the program does, in `language`; a page's template is a
    // child and needs a parent.
    void create(PlainDialog& dialog, Language language) {
        setCurrentLanguage(language);
        ASSERT_TRUE(dialog.createModeless(owner)) << nameOf(dialog.templateName()) << " " << nameOf(language);
    }

    HWND owner = nullptr;
};

TEST_F(DialogLanguageTest, EveryTemplateIsThereInBothLanguagesAndTheyDiffer) {
    for (const TemplateCase& c : kTemplates) {
        std::vector<LANGID> languages;
        EnumResourceLanguagesW(
            appInstance(), RT_DIALOG, c.name,
            [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
                reinterpret_cast<std::vector<LANGID>*>(found)->push_back(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        std::sort(languages.begin(), languages.end());
        EXPECT_EQ(languages,
                  (std::vector<LANGID>{resourceLanguage(Language::English), resourceLanguage(Language::Japanese)}))
            << nameOf(c.name);

        const DialogTemplate japanese = templateOf(c.name, Language::Japanese);
        const DialogTemplate english = templateOf(c.name, Language::English);
        ASSERT_FALSE(japanese.controls.empty()) << nameOf(c.name);
        ASSERT_EQ(english.controls.size(), japanese.controls.size()) << nameOf(c.name);
        for (std::size_t i = 0; i < english.controls.size(); ++i) {
            const DialogTemplateControl& en = english.controls[i];
            const DialogTemplateControl& ja = japanese.controls[i];
            EXPECT_EQ(en.id, ja.id) << nameOf(c.name) << " control " << i;
            EXPECT_EQ(en.style, ja.style) << nameOf(c.name) << " control " << i;
            EXPECT_EQ(en.windowClass, ja.windowClass) << nameOf(c.name) << " control " << i;
            EXPECT_EQ(en.text.name.empty(), ja.text.name.empty()) << nameOf(c.name) << " control " << i;
            if (en.id == static_cast<std::uint32_t>(c.telling)) {
                EXPECT_NE(en.text.name, ja.text.name) << nameOf(c.name) << " control " << i;
            }
        }
        EXPECT_EQ(english.style, japanese.style) << nameOf(c.name);
        EXPECT_EQ(english.caption.empty(), japanese.caption.empty()) << nameOf(c.name);
    }
    EXPECT_EQ(findResourceIn(Language::English, RT_DIALOG, L"NO_SUCH_DIALOG", nullptr), nullptr);
}

TEST_F(DialogLanguageTest, ADialogShowsTheTextsOfItsLanguagesTemplateAndNoneIsCut) {
    for (const TemplateCase& c : kTemplates) {
        for (const Language language : kLanguages) {
            PlainDialog dialog(c.name);
            create(dialog, language);
            const std::vector<test::CutText> cut = test::cutTexts(dialog.hwnd);
            EXPECT_TRUE(cut.empty()) << nameOf(c.name) << " " << nameOf(language) << ":\n" << test::describe(cut);
            const DialogTemplate made = templateOf(c.name, language);
            EXPECT_EQ(textOf(dialog.hwnd), std::wstring(made.caption.begin(), made.caption.end()));
            bool tellingSeen = false;
            for (const DialogTemplateControl& control : made.controls) {
                const ControlClass kind = controlClassOf(control);
                if (kind != ControlClass::Static && kind != ControlClass::Button) continue;
                const std::wstring expected(control.text.name.begin(), control.text.name.end());
                EXPECT_EQ(textOf(GetDlgItem(dialog.hwnd, static_cast<int>(control.id))), expected)
                    << nameOf(c.name) << " " << nameOf(language) << " control " << control.id;
                tellingSeen |= control.id == static_cast<std::uint32_t>(c.telling) && !expected.empty();
            }
            EXPECT_TRUE(tellingSeen) << nameOf(c.name) << " " << nameOf(language);
        }
    }
}

TEST_F(DialogLanguageTest, RelabellingGivesWhatMakingItInThatLanguageGives) {
    for (const TemplateCase& c : kTemplates) {
        DialogLook made[2];
        for (const Language language : kLanguages) {
            PlainDialog dialog(c.name);
            create(dialog, language);
            made[static_cast<int>(language)] = lookOf(dialog.hwnd);
        }
        PlainDialog dialog(c.name);
        create(dialog, Language::Japanese);
        for (const Language language : {Language::English, Language::Japanese}) {
            dialog.relabel(language);
            const DialogLook relabelled = lookOf(dialog.hwnd);
            EXPECT_TRUE(relabelled == made[static_cast<int>(language)])
                << nameOf(c.name) << " relabelled to " << nameOf(language) << ":\n"
                << describe(relabelled) << "\nmade so:\n"
                << describe(made[static_cast<int>(language)]);
        }
    }
}

TEST_F(DialogLanguageTest, RelabellingKeepsWhatThePageHoldsAndWhereItPutItsOwnControls) {
    PlainDialog page(L"TERRAIN_EDIT");
    create(page, Language::Japanese);
    SetDlgItemTextW(page.hwnd, IDC_TERRAIN_WORD, L"0C12");
    CheckDlgButton(page.hwnd, IDC_TERRAIN_FILL, BST_CHECKED);
    SetDlgItemTextW(page.hwnd, IDC_TERRAIN_INFO, L"info");
    // The page sizes its chip preview in pixels, the inspector the page to its tab.
    HWND chip = GetDlgItem(page.hwnd, IDC_TERRAIN_CHIP);
    MoveWindow(chip, 7, 9, 64, 64, FALSE);
    MoveWindow(page.hwnd, 3, 4, 500, 420, FALSE);

    page.relabel(Language::English);
    EXPECT_EQ(textOf(GetDlgItem(page.hwnd, IDC_TERRAIN_WORD)), L"0C12");
    EXPECT_EQ(IsDlgButtonChecked(page.hwnd, IDC_TERRAIN_FILL), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(textOf(GetDlgItem(page.hwnd, IDC_TERRAIN_INFO)), L"info") << "an empty template text is no label";
    EXPECT_EQ(textOf(GetDlgItem(page.hwnd, IDC_TERRAIN_PEN)), L"Pe&n");
    EXPECT_TRUE(sameRect(placeIn(page.hwnd, chip), {7, 9, 71, 73})) << "laid out alike in every language";
    EXPECT_TRUE(sameRect(placeIn(owner, page.hwnd), {3, 4, 503, 424}));
    // The word label is wider in English: its field moves.
    const DialogTemplate english = templateOf(L"TERRAIN_EDIT", Language::English);
    const auto field = std::find_if(english.controls.begin(), english.controls.end(),
                                    [](const DialogTemplateControl& c) { return c.id == IDC_TERRAIN_WORD; });
    ASSERT_NE(field, english.controls.end());
    RECT expected{field->rect.x, field->rect.y, field->rect.width, field->rect.height};
    MapDialogRect(page.hwnd, &expected);
    EXPECT_EQ(placeIn(page.hwnd, GetDlgItem(page.hwnd, IDC_TERRAIN_WORD)).left, expected.left);
}

} // namespace
} // namespace vexa
