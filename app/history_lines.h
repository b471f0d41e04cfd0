// The lines of the history window: the state the file was opened in, then every undo
// record from the oldest, then the redo records in the order they would be redone,
// each named as the Edit menu names it, with its stage.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace vexa {

class UndoBuffer;
class UndoMethod;

struct HistoryLine {
    std::wstring text;
    bool redo = false; // a record undone: shown greyed
    bool operator==(const HistoryLine&) const = default;
};

struct HistoryLines {
    std::vector<HistoryLine> lines; // none while no file is open
    // The line the history stands after (the undoable records' count), -1 with no lines.
    int current = -1;
    bool operator==(const HistoryLines&) const = default;
};

// "スプライトの変更 — ステージ 25"; a record of the whole image (stage -1) by its name alone.
std::wstring historyLineText(const UndoMethod& record);

HistoryLines historyLines(const UndoBuffer& history, bool fileOpen);

// How many lines from the top `shown` and `wanted` have alike in text: the lines a
// list showing `shown` keeps when it comes to show `wanted` (their greyed state may
// change); the lines after them go and `wanted`'s from there on are added.
std::size_t linesKept(std::span<const HistoryLine> shown, std::span<const HistoryLine> wanted);

} // namespace vexa
