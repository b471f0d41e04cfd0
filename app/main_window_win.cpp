#include "app/main_window_win.h"

#include "app/rom_file_win.h"
#include "app/rom_io_win.h"
#include "app/settings_win.h"

#include <shellapi.h>

#include <cstdio>

namespace vexa {

namespace {

constexpr const wchar_t* kClassName = L"vexaed_main";

std::string cartName() {
    const ReadOnlyIni rominfo(appGlobals().paths.rominfoIni);
    return rominfo.file().value("ROMInfo", "CartName").value_or(std::string(kDefaultCartName));
}

} // namespace

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc{sizeof wc};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &MainWindow::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

bool MainWindow::create(const wchar_t* commandLine, int showCommand) {
    hwnd_ = CreateWindowExW(WS_EX_ACCEPTFILES, kClassName, L"Vexa Editor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, appGlobals().instance, this);
    if (!hwnd_) return false;
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    openCommandLine(commandLine);
    return true;
}

void MainWindow::openCommandLine(const wchar_t* commandLine) {
    if (!commandLine || !*commandLine) return;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(commandLine, &count);
    if (!args) return;
    for (int i = 0; i < count; ++i)
        if (openRom(args[i])) break;
    LocalFree(args);
}

bool MainWindow::openRom(const std::wstring& path) {
    if (!openRomInto(document_, path, cartName(), hwnd_)) return false;
    romPath_ = path;
    romTitle_ = fileNamePart(path);
    updateTitle();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
}

bool MainWindow::saveRom() { return document_.loaded && saveRomFrom(document_, romPath_, hwnd_); }

void MainWindow::updateTitle() {
    const std::wstring title = document_.loaded ? romTitle_ + L" - Vexa Editor" : L"Vexa Editor";
    SetWindowTextW(hwnd_, title.c_str());
}

void MainWindow::onPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (document_.loaded) {
        wchar_t text[512];
        std::swprintf(text, 512, L"%ls\n%ls%ls", romPath_.c_str(),
                      document_.layout.hasCopierHeader ? L"コピアヘッダあり, " : L"",
                      document_.layout.interleaved ? L"インターリーブ" : L"HiROM");
        RECT rc;
        GetClientRect(hwnd_, &rc);
        InflateRect(&rc, -12, -12);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextW(dc, text, -1, &rc, DT_LEFT | DT_TOP);
    }
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->handleMessage(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: onPaint(); return 0;
    case WM_DESTROY:
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

} // namespace vexa
