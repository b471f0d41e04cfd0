// The editor's main window: owns the open ROM document.
#pragma once

#include "app/rom_document.h"

#include <windows.h>

#include <string>

namespace vexa {

bool registerMainWindowClass(HINSTANCE instance);

class MainWindow {
public:
    bool create(const wchar_t* commandLine, int showCommand);
    HWND hwnd() const { return hwnd_; }
    const RomDocument& document() const { return document_; }

    bool openRom(const std::wstring& path);
    bool saveRom();

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onPaint();
    void updateTitle();
    void openCommandLine(const wchar_t* commandLine);

    HWND hwnd_ = nullptr;
    RomDocument document_;
    std::wstring romPath_;
    std::wstring romTitle_;
};

} // namespace vexa
