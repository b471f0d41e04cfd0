#include "app/main/test_play_win.h"

#include "app/settings_win.h"
#include "support/editor_session.h"

#include "resources/resource_ids.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using test::EditorSession;
using test::pumpMessages;
using test::readBytes;
using test::titledImage;

std::wstring besideTests(const wchar_t* name) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path = exe;
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

// What the fake emulator wrote: its parameter string, its working directory and its
// arguments. The file is written in one go, so the last line ends it.
std::vector<std::wstring> waitForLog(const std::wstring& path) {
    for (int i = 0; i < 400; ++i) {
        const auto bytes = readBytes(path);
        if (!bytes.empty()) {
            std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
            std::vector<std::wstring> lines;
            for (std::size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
                lines.push_back(text.substr(start, end - start));
            if (lines.size() >= 2) return lines;
        }
        Sleep(25);
    }
    return {};
}

class TestPlay : public testing::Test {
protected:
    void SetUp() override {
        rom = editor.writeRom(L"my game 1.smc", titledImage());
        ASSERT_TRUE(editor.start(L"\"" + rom + L"\""));
    }
    std::wstring rom;
    EditorSession editor;
};

TEST_F(TestPlay, WithoutEmulatorTheUserIsTold) {
    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_TEST_PLAY);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].caption, L"エラー");
    EXPECT_EQ(editor.dialogs.seen()[0].text, L"エミュレータが設定されていません。");
}

TEST_F(TestPlay, StartsTheEmulatorWithThePathAsOneArgumentInItsFolder) {
    const std::wstring log = editor.folder.file(L"emulator.log");
    SetEnvironmentVariableW(L"VEXA_FAKE_EMULATOR_LOG", log.c_str());
    const std::wstring emulator = besideTests(L"fake_emulator.exe");
    appGlobals().config.writeString(L"Emulator", L"Path", emulator);
    editor.project->document.image[0x100] = 0x99; // an edit that is not saved
    editor.command(IDM_FILE_TEST_PLAY);
    const auto lines = waitForLog(log);
    ASSERT_EQ(lines.size(), 3u) << "a path with blanks arrives as one argument";
    EXPECT_EQ(lines[0], L"\"" + rom + L"\"");
    EXPECT_EQ(lines[1], emulator.substr(0, emulator.rfind(L'\\')));
    EXPECT_EQ(lines[2], rom);
    EXPECT_TRUE(editor.dialogs.seen().empty());
    EXPECT_EQ(readBytes(rom)[0x100], 0) << "the emulator gets the file as last saved";
}

TEST_F(TestPlay, AnEmulatorThatCannotStartIsReported) {
    appGlobals().config.writeString(L"Emulator", L"Path", editor.folder.file(L"missing\\emulator.exe"));
    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_TEST_PLAY);
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].text, L"エミュレータの起動に失敗しました。");
}

TEST(EmulatorFolder, CutAtTheLastBackslashOrTheWholePath) {
    EXPECT_EQ(emulatorWorkingDirectory(L"C:\\emu\\snes.exe"), L"C:\\emu");
    EXPECT_EQ(emulatorWorkingDirectory(L"snes.exe"), L"snes.exe");
}

TEST_F(TestPlay, EmulatorDialogStoresTheTypedPathOnOkOnly) {
    auto type = [](const wchar_t* text) {
        return [text](HWND dialog) { SetDlgItemTextW(dialog, IDC_EMULATOR_PATH, text); };
    };
    editor.dialogs.answerNext(IDCANCEL, type(L"C:\\cancelled.exe"));
    editor.command(IDM_FILE_EMULATOR);
    EXPECT_EQ(editor.config(L"Emulator", L"Path"), L"<missing>");
    ASSERT_EQ(editor.dialogs.seen().size(), 1u);
    EXPECT_EQ(editor.dialogs.seen()[0].caption, L"エミュレータの設定");

    editor.dialogs.answerNext(IDOK, type(L"C:\\エミュ\\snes.exe"));
    editor.command(IDM_FILE_EMULATOR);
    EXPECT_EQ(editor.config(L"Emulator", L"Path"), L"C:\\エミュ\\snes.exe");

    editor.dialogs.answerNext(IDOK, type(L""));
    editor.command(IDM_FILE_EMULATOR);
    EXPECT_EQ(editor.config(L"Emulator", L"Path"), L"");
    editor.dialogs.answerNext(IDOK);
    editor.command(IDM_FILE_TEST_PLAY);
    EXPECT_EQ(editor.dialogs.seen().back().text, L"エミュレータが設定されていません。");
}

TEST_F(TestPlay, CancelledBrowsePutsTheStartingPathBack) {
    appGlobals().config.writeString(L"Emulator", L"Path", L"C:\\start\\emu.exe");
    std::wstring fieldAfterBrowse;
    editor.dialogs.answerNext(IDOK, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_EMULATOR_PATH, L"C:\\typed.exe");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_EMULATOR_BROWSE, BN_CLICKED), 0);
        wchar_t text[260] = {};
        GetDlgItemTextW(dialog, IDC_EMULATOR_PATH, text, 260);
        fieldAfterBrowse = text;
    });
    editor.dialogs.answerNext(IDCANCEL); // the file dialog
    editor.command(IDM_FILE_EMULATOR);
    ASSERT_EQ(editor.dialogs.seen().size(), 2u);
    EXPECT_EQ(editor.dialogs.seen()[1].caption, L"エミュレータの設定");
    EXPECT_EQ(fieldAfterBrowse, L"C:\\start\\emu.exe");
    EXPECT_EQ(editor.config(L"Emulator", L"Path"), L"C:\\start\\emu.exe");
}

} // namespace
} // namespace vexa
