// "RESTORE_POINT": the restore points of the open file, newest first, each with its
// time and how far it is from the image in the editor. Run with runModal(owner):
// the result is the chosen line, or -1.
#pragma once

#include "ui/list_pick_dialog_win.h"

#include <string>
#include <vector>

namespace vexa {

class RestorePointDialog : public ListPickDialog {
public:
    explicit RestorePointDialog(std::vector<std::wstring> lines);
    const wchar_t* templateName() const override { return L"RESTORE_POINT"; }

private:
    int lineCount() const override { return static_cast<int>(lines.size()); }
    std::wstring lineText(int line) const override { return lines[static_cast<std::size_t>(line)]; }
    int initialLine(LPARAM) const override { return 0; }
    // OK with no line chosen keeps the dialog open.
    std::optional<INT_PTR> result(int line) const override {
        return line < 0 ? std::nullopt : std::optional<INT_PTR>(line);
    }

    std::vector<std::wstring> lines;
};

} // namespace vexa
