#include "ui/window_win.h"

#include "ui/resources_win.h"
#include "ui/texts_win.h"

#include <utility>

namespace vexa {

namespace {

HINSTANCE programInstance = nullptr;

HWND handleOf(Window* window) {
    return window ? window->hwnd : nullptr;
}

// What the platform hands to the dialog procedure with WM_INITDIALOG.
using DialogStart = std::pair<MyDialog*, LPARAM>;

INT_PTR CALLBACK plainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

// The template `name` in the language the interface is in (Japanese where that one
// has none), as the Indirect functions take it.
LPCDLGTEMPLATEW dialogTemplate(const wchar_t* name) {
    return static_cast<LPCDLGTEMPLATEW>(findResourceIn(currentLanguage(), RT_DIALOG, name, nullptr));
}

INT_PTR runTemplate(const wchar_t* name, HWND parent, DLGPROC procedure, LPARAM initParam) {
    const LPCDLGTEMPLATEW found = dialogTemplate(name);
    if (!found) return -1;
    return DialogBoxIndirectParamW(appInstance(), found, parent, procedure, initParam);
}

} // namespace

HINSTANCE appInstance() {
    return programInstance;
}

void setAppInstance(HINSTANCE instance) {
    programInstance = instance;
    useResourceTexts();
}

MyWindow::~MyWindow() {
    if (bound && hwnd) RemovePropW(hwnd, kInstanceProperty);
}

LRESULT MyWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerWindowClass(HINSTANCE instance, const wchar_t* name, UINT style, HBRUSH background) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &MyWindow::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool onSomeMonitor(const RECT& rect) {
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

LRESULT CALLBACK MyWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MyWindow*>(GetPropW(window, kInstanceProperty));
    if (message == WM_DESTROY) {
        if (!self) return DefWindowProcW(window, message, wParam, lParam);
        if (self->hwnd && self->bound) RemovePropW(window, kInstanceProperty);
        self->bound = 0;
        return self->handleMessage(window, message, wParam, lParam);
    }
    if (self) return self->handleMessage(window, message, wParam, lParam);
    if (message == WM_CREATE) {
        auto* created = static_cast<MyWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (created) {
            created->bound = 1;
            created->hwnd = window;
            SetPropW(window, kInstanceProperty, created);
            return created->handleMessage(window, message, wParam, lParam);
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR Dialog::runModal(Window* parent, LPARAM initParam) {
    return runTemplate(templateName(), handleOf(parent), plainDialogProc, initParam);
}

INT_PTR Dialog::runModal(Window* parent) {
    return runModal(parent, 0);
}

MyDialog::~MyDialog() {
    if (bound && hwnd) RemovePropW(hwnd, kInstanceProperty);
}

INT_PTR MyDialog::handleMessage(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

INT_PTR MyDialog::runModal(HWND parent, LPARAM initParam) {
    DialogStart start{this, initParam};
    return runTemplate(templateName(), parent, dialogProc, reinterpret_cast<LPARAM>(&start));
}

INT_PTR MyDialog::runModal(HWND parent) {
    return runModal(parent, LPARAM{0});
}
INT_PTR MyDialog::runModal(Window* parent, LPARAM initParam) {
    return runModal(handleOf(parent), initParam);
}
INT_PTR MyDialog::runModal(Window* parent) {
    return runModal(handleOf(parent), LPARAM{0});
}

bool MyDialog::createModeless(HWND parent, LPARAM initParam) {
    DialogStart start{this, initParam};
    const LPCDLGTEMPLATEW found = dialogTemplate(templateName());
    hwnd = found
               ? CreateDialogIndirectParamW(appInstance(), found, parent, dialogProc, reinterpret_cast<LPARAM>(&start))
               : nullptr;
    return hwnd != nullptr;
}

bool MyDialog::createModeless(HWND parent) {
    return createModeless(parent, LPARAM{0});
}
bool MyDialog::createModeless(Window* parent, LPARAM initParam) {
    return createModeless(handleOf(parent), initParam);
}
bool MyDialog::createModeless(Window* parent) {
    return createModeless(handleOf(parent), LPARAM{0});
}

void MyDialog::relabel(Language language) {
    if (hwnd) relabelDialog(hwnd, templateName(), language);
}

INT_PTR CALLBACK MyDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MyDialog*>(GetPropW(window, kInstanceProperty));
    if (message == WM_DESTROY) {
        if (!self) return 0;
        if (self->hwnd && self->bound) RemovePropW(window, kInstanceProperty);
        self->bound = 0;
        return self->handleMessage(window, message, wParam, lParam);
    }
    if (self) return self->handleMessage(window, message, wParam, lParam);
    if (message == WM_INITDIALOG && lParam) {
        const auto* start = reinterpret_cast<const DialogStart*>(lParam);
        self = start->first;
        self->bound = 1;
        self->hwnd = window;
        SetPropW(window, kInstanceProperty, self);
        return self->handleMessage(window, message, wParam, start->second);
    }
    return 0;
}

void TabPage::enableTabTexture(HWND page) {
    HMODULE theme = LoadLibraryW(L"uxtheme.dll");
    if (!theme) return;
    using EnableTexture = HRESULT(WINAPI*)(HWND, DWORD);
    if (auto enable =
            reinterpret_cast<EnableTexture>(reinterpret_cast<void*>(GetProcAddress(theme, "EnableThemeDialogTexture"))))
        enable(page, 6);
    FreeLibrary(theme);
}

void ToolWindowPlace::keep(HWND window) {
    RECT rect{};
    if (!placed || IsIconic(window) || !GetWindowRect(window, &rect)) return;
    x = rect.left;
    y = rect.top;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

} // namespace vexa
