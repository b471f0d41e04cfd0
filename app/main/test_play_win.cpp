#include "app/main/test_play_win.h"

#include "app/main/project_manager_win.h"
#include "app/message_win.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "ui/file_dialog_win.h"
#include "ui/path_text.h"
#include "ui/texts.h"

#include <shellapi.h>

namespace vexa {

namespace {

constexpr int kPathChars = 260;

const ConfigFile& config() {
    return appGlobals().config;
}

} // namespace

std::wstring emulatorWorkingDirectory(const std::wstring& emulatorPath) {
    const PathSplit split = splitPath(emulatorPath);
    return split.hasFolder ? std::wstring(split.folder) : emulatorPath;
}

void TestPlayLauncher::startTestPlay() {
    const std::wstring emulator = config().readString(L"Emulator", L"Path", L"", kPathChars);
    const HWND owner = project_->hwnd;
    if (emulator.empty()) {
        showError(owner, text(IDS_NO_EMULATOR));
        return;
    }
    // The path goes in quotes, as one argument: emulators split their command line at
    // blanks, and "C:\ROM hacks\game.smc" would otherwise arrive as two arguments.
    const std::wstring folder = emulatorWorkingDirectory(emulator);
    const std::wstring parameters = L"\"" + project_->romPath + L"\"";
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", emulator.c_str(), parameters.c_str(), folder.c_str(), SW_SHOWNORMAL));
    if (result <= 32) showError(owner, text(IDS_EMULATOR_FAILED));
}

void TestPlayLauncher::editEmulatorPath() {
    wchar_t path[kPathChars] = {};
    lstrcpynW(path, config().readString(L"Emulator", L"Path", L"", kPathChars).c_str(), kPathChars);
    SetEmulatorDialog dialog(path, kPathChars);
    if (dialog.runModal(project_->hwnd) != IDCANCEL) config().writeString(L"Emulator", L"Path", path);
}

INT_PTR SetEmulatorDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetDlgItemTextW(window, IDC_EMULATOR_PATH, path_);
        return 1;
    }
    if (message != WM_COMMAND) return 0;
    switch (LOWORD(wParam)) {
    case IDOK:
        GetDlgItemTextW(window, IDC_EMULATOR_PATH, path_, size_);
        EndDialog(window, IDOK);
        return 1;
    case IDCANCEL: EndDialog(window, IDCANCEL); return 1;
    case IDC_EMULATOR_BROWSE: browse(); return 1;
    default: return 0;
    }
}

void SetEmulatorDialog::browse() {
    // Browsing starts from the path the dialog was opened with, and a cancelled file
    // dialog puts that path back into the field.
    const auto chosen =
        askFileName(hwnd, {false, text(IDS_EMULATOR_TITLE), fileFilter(IDS_EXE_FILTER).c_str(), L"exe"}, path_);
    SetDlgItemTextW(hwnd, IDC_EMULATOR_PATH, chosen ? chosen->path.c_str() : path_);
}

} // namespace vexa
