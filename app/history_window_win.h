// The history window, "履歴": a floating window, owned by the main window, that lists
// the undo history (app/history_lines.h) with the current point selected. Picking a
// line undoes or redoes to just after it. Closing it hides it.
#pragma once

#include "app/history_lines.h"
#include "app/rom_document.h"
#include "app/setting_binding.h"
#include "app/undo_buffer.h"
#include "ui/window_win.h"

#include <array>
#include <cstddef>
#include <functional>

namespace vexa {

inline constexpr const wchar_t* kHistoryClassName = L"vexa_history";
inline constexpr const wchar_t* kHistorySection = L"History";

bool registerHistoryClass(HINSTANCE instance);

class HistoryWindow : public MyWindow, public UndoListener {
public:
    HistoryWindow(const UndoBuffer& history, const RomDocument& document) : history(history), document(document) {}

    // The user picked a line: `count` records are to be undoable. The owner jumps there.
    std::function<void(std::size_t count)> onJump;
    // The close box hid the window.
    std::function<void()> onClosed;

    // Creates the window hidden, placed and sized as it was left; [History] Show is
    // read into isShown(), for the owner to show it once it is shown itself.
    bool create(HWND owner);
    // Shows the window without taking the activation, or hides it.
    void show(bool shown);
    // Whether the user wants the window shown: [History] Show.
    bool isShown() const { return wanted; }

    // Brings the lines to the history as it is now: lines are added and taken away
    // only where their texts changed. Nothing happens while the window is hidden.
    void refresh();
    // Gives the window the texts of the language chosen now.
    void applyLanguage();
    void historyChanged() override { refresh(); }

    // The list box: one string per line; a line's item data is 1 for a redo line.
    HWND list = nullptr;
    // The scale of the monitor the window is on.
    UINT dpi = 96;

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT onCreate();
    void onDestroy();
    void onClose();
    void onPick();
    void drawLine(const DRAWITEMSTRUCT& item) const;
    void setLineState(std::size_t index, bool redo);
    std::array<IntSetting, 5> settings();

    const UndoBuffer& history;
    const RomDocument& document;
    HistoryLines shown;
    bool wanted = false;
    ToolWindowPlace place;
};

} // namespace vexa
