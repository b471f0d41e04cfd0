#include "app/history_lines.h"

#include "app/undo_buffer.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vexa {
namespace {

class NamedRecord : public UndoMethod {
public:
    NamedRecord(const wchar_t* name, int stage) : name(name), stageNumber(stage) {}
    void undo() override {}
    void redo() override {}
    const wchar_t* undoName() const override { return name; }
    const wchar_t* redoName() const override { return L"redo name"; }
    int stage() const override { return stageNumber; }

private:
    const wchar_t* name;
    int stageNumber;
};

struct Pushed {
    const wchar_t* name;
    int stage;
};

TEST(HistoryLines, ShowTheOpenedStateThenEveryRecordWithItsStageAndTheRedoLinesGreyed) {
    struct Case {
        const char* what;
        bool fileOpen;
        std::vector<Pushed> pushed;
        int undos;
        HistoryLines expected;
    };
    const Case cases[] = {
        {"no file", false, {}, 0, {{}, -1}},
        {"no file, records left", false, {{L"スプライトの変更", 37}}, 0, {{}, -1}},
        {"opened only", true, {}, 0, {{{L"(開いたとき)", false}}, 0}},
        {"records with and without stage",
         true,
         {{L"スプライトの移動 (3 個)", 37}, {L"全体の変更", -1}, {L"バナナの変更", 0}, {L"カメラの変更", 0x1A2}},
         0,
         {{{L"(開いたとき)", false},
           {L"スプライトの移動 (3 個) — ステージ 25", false},
           {L"全体の変更", false},
           {L"バナナの変更 — ステージ 00", false},
           {L"カメラの変更 — ステージ 1A2", false}},
          4}},
        {"redo lines",
         true,
         {{L"スプライトの変更", 37}, {L"バナナの変更", 38}, {L"カメラの変更", 38}},
         2,
         {{{L"(開いたとき)", false},
           {L"スプライトの変更 — ステージ 25", false},
           {L"バナナの変更 — ステージ 26", true},
           {L"カメラの変更 — ステージ 26", true}},
          1}},
        {"everything undone",
         true,
         {{L"スプライトの変更", 37}},
         1,
         {{{L"(開いたとき)", false}, {L"スプライトの変更 — ステージ 25", true}}, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UndoBuffer history;
        for (const Pushed& record : c.pushed)
            history.push(std::make_unique<NamedRecord>(record.name, record.stage));
        for (int i = 0; i < c.undos; ++i)
            history.undo();
        EXPECT_EQ(historyLines(history, c.fileOpen), c.expected);
    }
}

TEST(HistoryLines, ARecordWithoutANameShowsItsStageAlone) {
    EXPECT_EQ(historyLineText(NamedRecord(nullptr, 5)), L" — ステージ 05");
    EXPECT_EQ(historyLineText(NamedRecord(nullptr, -1)), L"");
}

TEST(HistoryLines, LinesKeptAreTheLinesAlikeInTextFromTheTop) {
    const HistoryLine opened{text(IDS_HISTORY_OPENED), false};
    const HistoryLine a{L"a", false};
    const HistoryLine b{L"b", false};
    const HistoryLine bGreyed{L"b", true};
    const HistoryLine cGreyed{L"c", true};
    using Lines = std::vector<HistoryLine>;
    struct Case {
        const char* what;
        Lines shown;
        Lines wanted;
        std::size_t kept;
    };
    const Case cases[] = {
        {"both empty", {}, {}, 0},
        {"first fill", {}, {opened}, 0},
        {"file closed", {opened, a}, {}, 0},
        {"a record pushed", {opened, a}, {opened, a, b}, 2},
        {"an undo greys a line and keeps it", {opened, a, b}, {opened, a, bGreyed}, 3},
        {"a push after an undo replaces the redo lines",
         {opened, a, bGreyed, cGreyed},
         {opened, a, HistoryLine{L"d"}},
         2},
        {"cleared", {opened, a, b}, {opened}, 1},
        {"all alike", {opened, a, b}, {opened, a, b}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(linesKept(c.shown, c.wanted), c.kept);
    }
}

} // namespace
} // namespace vexa
