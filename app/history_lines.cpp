#include "app/history_lines.h"

#include "app/ini_file.h"
#include "app/undo_buffer.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

#include <algorithm>

namespace vexa {

std::wstring historyLineText(const UndoMethod& record) {
    const wchar_t* name = record.undoName();
    std::wstring text = name ? name : L"";
    if (record.stage() >= 0) text += formatText(IDS_HISTORY_STAGE, {hexText2(record.stage())});
    return text;
}

HistoryLines historyLines(const UndoBuffer& history, bool fileOpen) {
    HistoryLines shown;
    if (!fileOpen) return shown;
    const std::size_t undoable = history.undoCount();
    const std::size_t count = undoable + history.redoCount();
    shown.lines.reserve(count + 1);
    shown.lines.push_back({text(IDS_HISTORY_OPENED), false});
    for (std::size_t i = 0; i < count; ++i)
        shown.lines.push_back({historyLineText(history.record(i)), i >= undoable});
    shown.current = static_cast<int>(undoable);
    return shown;
}

std::size_t linesKept(std::span<const HistoryLine> shown, std::span<const HistoryLine> wanted) {
    const auto sameText = [](const HistoryLine& a, const HistoryLine& b) { return a.text == b.text; };
    const auto firstOther = std::mismatch(shown.begin(), shown.end(), wanted.begin(), wanted.end(), sameText).first;
    return static_cast<std::size_t>(firstOther - shown.begin());
}

} // namespace vexa
