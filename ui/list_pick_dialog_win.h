// A modal dialog that offers one list of lines to choose from, with OK and Cancel;
// a double-click on a line acts as OK. The stage and sprite type dialogs are two.
#pragma once

#include "ui/window_win.h"

#include <functional>
#include <optional>
#include <string>

namespace vexa {

// Replaces the list's lines with `count` lines made by `line`, in one go: the list
// neither repaints nor grows its storage line by line.
void fillListLines(HWND list, int count, const std::function<std::wstring(int)>& line);

class ListPickDialog : public MyDialog {
public:
    explicit ListPickDialog(int listId) : listId(listId) {}
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The lines, as the dialog opens; `initParam` is runModal's.
    virtual int lineCount() const = 0;
    virtual std::wstring lineText(int line) const = 0;
    // The line selected at first; one outside the list selects none.
    virtual int initialLine(LPARAM initParam) const = 0;
    // What OK returns for the selected line (-1 for none); nothing keeps the dialog open.
    virtual std::optional<INT_PTR> result(int line) const = 0;

private:
    void fillList(HWND window, LPARAM initParam) const;
    INT_PTR onCommand(HWND window, int id, int code) const;

    int listId;
};

} // namespace vexa
