// The window toolkit: objects bound to their windows through a window property,
// messages routed to a virtual handler, dialogs run from template names.
#pragma once

#include "ui/texts.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace vexa {

// Name of the window property that points from a window to its object.
inline constexpr const wchar_t* kInstanceProperty = L"__BFC_OWN_INSTANCE__";

// The program's instance handle: what its resources (dialog templates, icons,
// cursors, strings) are loaded from. Set once at start-up; from then on the texts
// come from its string tables.
HINSTANCE appInstance();
void setAppInstance(HINSTANCE instance);

class Base {};

class UI_Base : public virtual Base {};

class Window : public virtual UI_Base {
public:
    HWND hwnd = nullptr;
};

// A window whose messages go to handleMessage. Pass the object (as MyWindow*) as the
// creation parameter; it is bound on WM_CREATE and unbound on WM_DESTROY. Messages
// before WM_CREATE get default processing.
class MyWindow : public virtual Window {
public:
    MyWindow() = default;
    MyWindow(const MyWindow&) = delete;
    MyWindow& operator=(const MyWindow&) = delete;
    virtual ~MyWindow();

    virtual LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The window procedure every window class of the editor registers.
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool isBound() const { return bound != 0; }

protected:
    int bound = 0;
};

// Registers a class of MyWindows with the arrow cursor, `style` and `background`. A
// class already registered counts as success.
bool registerWindowClass(HINSTANCE instance, const wchar_t* name, UINT style, HBRUSH background);

// Whether some monitor shows any of a screen rectangle: a place saved while a monitor
// that has gone since was attached would leave a window out of reach.
bool onSomeMonitor(const RECT& rect);
// Where a tool window stands and how large it is, as its settings keep it.
struct ToolWindowPlace {
    static constexpr int kNoPosition = INT_MIN;

    // The place to create the window at: the saved one with its size held to
    // smallest..largest, or `fallback(width, height)` (the top left) where none was
    // saved or no monitor shows it.
    template <typename Fallback> RECT start(int smallest, int largest, Fallback fallback) {
        width = std::clamp(width, smallest, largest);
        height = std::clamp(height, smallest, largest);
        RECT place{x, y, x + width, y + height};
        if (x == kNoPosition || y == kNoPosition || !onSomeMonitor(place)) {
            const POINT corner = fallback(width, height);
            place = {corner.x, corner.y, corner.x + width, corner.y + height};
        }
        return place;
    }
    // Takes the window's place on screen, once it was placed; a minimized window keeps
    // the values it has.
    void keep(HWND window);

    int x = kNoPosition;
    int y = kNoPosition;
    int width = 0;
    int height = 0;
    bool placed = false;
};

// A dialog made from the template templateName() in the interface's language
// (currentLanguage()), or the Japanese one where that language has none.
class Dialog : public virtual Window {
public:
    virtual const wchar_t* templateName() const = 0;
    virtual ~Dialog() = default;
    // Runs the template modally with no message handler of its own.
    virtual INT_PTR runModal(Window* parent, LPARAM initParam);
    virtual INT_PTR runModal(Window* parent);
};

// A dialog whose messages go to handleMessage; it is bound on WM_INITDIALOG, whose
// lParam then carries the init parameter. Messages before it are answered with 0.
class MyDialog : public virtual Dialog {
public:
    MyDialog() = default;
    MyDialog(const MyDialog&) = delete;
    MyDialog& operator=(const MyDialog&) = delete;
    ~MyDialog() override;

    virtual INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR runModal(HWND parent, LPARAM initParam);
    virtual INT_PTR runModal(HWND parent);
    virtual bool createModeless(HWND parent, LPARAM initParam);
    virtual bool createModeless(HWND parent);
    virtual bool createModeless(Window* parent, LPARAM initParam);
    virtual bool createModeless(Window* parent);
    // Takes the texts and layout of the template in `language` while open, keeping the
    // dialog's state (what its fields hold, what is chosen).
    void relabel(Language language);
    INT_PTR runModal(Window* parent, LPARAM initParam) override;
    INT_PTR runModal(Window* parent) override;

    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool isBound() const { return bound != 0; }

protected:
    int bound = 0;
};

// A page of the inspector's tab control.
class TabPage : public virtual Window {
public:
    virtual const wchar_t* pageCaption() const = 0;
    virtual bool createPage(HWND parent) = 0;
    // Takes the texts and layout of `language` while open (see MyDialog::relabel).
    virtual void relabelPage(Language language) = 0;

protected:
    // Gives a page the tab control's background where the theme library offers it.
    static void enableTabTexture(HWND page);
};

} // namespace vexa
