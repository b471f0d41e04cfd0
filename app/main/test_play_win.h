// Test play: starts the user's emulator on the ROM file, and the dialog that sets it.
#pragma once

#include "ui/window_win.h"

#include <string>

namespace vexa {

class ProjectManager;

// Working directory for the emulator: its path cut at the last backslash, or the
// whole path when it has none.
std::wstring emulatorWorkingDirectory(const std::wstring& emulatorPath);

class TestPlayLauncher {
public:
    explicit TestPlayLauncher(ProjectManager* project) : project_(project) {}

    void startTestPlay();
    void editEmulatorPath();

private:
    ProjectManager* project_;
};

class SetEmulatorDialog : public MyDialog {
public:
    // `path` is the caller's buffer of `size` characters; OK copies the edit field into it.
    SetEmulatorDialog(wchar_t* path, int size) : path_(path), size_(size) {}
    const wchar_t* templateName() const override { return L"SET_EMULATOR"; }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void browse();

    wchar_t* path_;
    int size_;
};

} // namespace vexa
