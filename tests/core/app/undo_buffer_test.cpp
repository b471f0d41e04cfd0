#include "app/undo_buffer.h"

#include "app/byte_range_record.h"
#include "app/rom_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace vexa {
namespace {

// Each record notes what it did in a shared log, so the order of calls and of
// destruction can be checked.
class FakeRecord : public UndoMethod {
public:
    FakeRecord(std::vector<std::string>& log, std::string tag, const wchar_t* name = L"スプライトの追加",
               int stage = -1)
        : log(log), tag(std::move(tag)), name(name), stageNumber(stage) {}
    ~FakeRecord() override { log.push_back("destroy " + tag); }
    void undo() override { log.push_back("undo " + tag); }
    void redo() override { log.push_back("redo " + tag); }
    const wchar_t* undoName() const override { return name; }
    const wchar_t* redoName() const override { return name; }
    int stage() const override { return stageNumber; }
    const std::string& recordTag() const { return tag; }

private:
    std::vector<std::string>& log;
    std::string tag;
    const wchar_t* name;
    int stageNumber;
};

// A group that notes in the log when its parts have all replayed.
class LoggedGroup : public UndoGroup {
public:
    LoggedGroup(std::vector<std::unique_ptr<UndoMethod>> parts, std::vector<std::string>& log)
        : UndoGroup(std::move(parts), L"スプライトの移動 (3 個)"), log(log) {}

protected:
    void replayed(bool undone) override { log.push_back(undone ? "group undone" : "group redone"); }

private:
    std::vector<std::string>& log;
};

// Notes, at every word of the history, how many records were undoable then.
struct FakeListener : UndoListener {
    explicit FakeListener(const UndoBuffer& buffer) : buffer(buffer) {}
    void historyChanged() override { told.push_back(buffer.undoCount()); }
    const UndoBuffer& buffer;
    std::vector<std::size_t> told;
};

struct FakeMenu : UndoMenu {
    bool undoEnabled = true, redoEnabled = true;
    std::wstring undoText = L"untouched", redoText = L"untouched";
    int updates = 0;
    void setUndoItem(bool enabled, const std::wstring& text) override {
        undoEnabled = enabled;
        undoText = text;
        ++updates;
    }
    void setRedoItem(bool enabled, const std::wstring& text) override {
        redoEnabled = enabled;
        redoText = text;
        ++updates;
    }
};

class UndoBufferTest : public ::testing::Test {
protected:
    void SetUp() override { buffer.setListener(&listener); }
    void edit(const char* tag = "e", const wchar_t* name = L"スプライトの追加") {
        buffer.push(std::make_unique<FakeRecord>(log, tag, name));
    }
    // The tags of the whole history through record(i), oldest first.
    std::vector<std::string> history() const {
        std::vector<std::string> tags;
        for (std::size_t i = 0; i < buffer.undoCount() + buffer.redoCount(); ++i)
            tags.push_back(dynamic_cast<const FakeRecord&>(buffer.record(i)).recordTag());
        return tags;
    }
    void pushLoggedGroup() {
        pushGroup(buffer, [this](std::vector<std::unique_ptr<UndoMethod>> parts) {
            return std::make_unique<LoggedGroup>(std::move(parts), log);
        });
    }
    std::vector<std::string> log;
    RomDocument document;
    FakeMenu menu;
    UndoBuffer buffer{&document, &menu};
    FakeListener listener{buffer};
};

TEST_F(UndoBufferTest, EditThenUndoReturnsToTheSavedState) {
    document.markSaved();
    edit();
    EXPECT_TRUE(document.isModified());
    EXPECT_TRUE(buffer.undo());
    EXPECT_FALSE(document.isModified());
    EXPECT_TRUE(buffer.redo());
    EXPECT_EQ(document.changeCount, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"undo e", "redo e"}));
}

TEST_F(UndoBufferTest, NewEditAfterUndoingPastTheSaveIsModifiedForGood) {
    edit("a");
    document.markSaved();
    ASSERT_TRUE(buffer.undo());
    EXPECT_EQ(document.changeCount, -1);
    edit("b");
    EXPECT_TRUE(document.changedForGood);
    EXPECT_EQ(buffer.redoCount(), 0u) << "the saved state was the redo record just destroyed";
    ASSERT_TRUE(buffer.undo());
    EXPECT_TRUE(document.isModified()) << "back at the document as saved minus one edit, not as saved";
    EXPECT_EQ(document.changeCount, -1) << "the count stands still once the state is changed for good";
    ASSERT_TRUE(buffer.redo());
    EXPECT_EQ(document.changeCount, -1);
}

TEST_F(UndoBufferTest, CountReturnsToZeroAfterUndoingABranch) {
    document.markSaved();
    edit("a");
    edit("b");
    buffer.undo();
    edit("c");
    EXPECT_EQ(document.changeCount, 2);
    buffer.undo();
    buffer.undo();
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(buffer.undoCount(), 0u);
    EXPECT_EQ(buffer.redoCount(), 2u);
}

TEST_F(UndoBufferTest, UndoAndRedoWithEmptyStacksChangeNothing) {
    const FakeMenu before = menu;
    EXPECT_FALSE(buffer.undo());
    EXPECT_FALSE(buffer.redo());
    EXPECT_EQ(document.changeCount, 0);
    EXPECT_EQ(menu.updates, before.updates) << "the menu is left as it was";
    EXPECT_EQ(menu.undoText, L"untouched");
    EXPECT_TRUE(buffer.handleCommand(kUndoCommand)) << "taken even with nothing to undo";
    EXPECT_TRUE(buffer.handleCommand(kRedoCommand));
    EXPECT_FALSE(buffer.handleCommand(4611));
    EXPECT_TRUE(log.empty());
}

TEST_F(UndoBufferTest, MenuNamesTheNextRecords) {
    edit("a", L"スプライトの追加");
    EXPECT_TRUE(menu.undoEnabled);
    EXPECT_EQ(menu.undoText, L"元に戻す - スプライトの追加(&U)\tCtrl+Z");
    EXPECT_FALSE(menu.redoEnabled);
    EXPECT_EQ(menu.redoText, L"やり直し(&R)\tCtrl+Y");

    edit("b", L"カメラのソート");
    EXPECT_TRUE(buffer.handleCommand(kUndoCommand));
    EXPECT_EQ(menu.undoText, L"元に戻す - スプライトの追加(&U)\tCtrl+Z");
    EXPECT_TRUE(menu.redoEnabled);
    EXPECT_EQ(menu.redoText, L"やり直し - カメラのソート(&R)\tCtrl+Y");
    EXPECT_EQ(buffer.nextRedo()->redoName(), std::wstring(L"カメラのソート"));

    edit("c");
    EXPECT_FALSE(menu.redoEnabled) << "a new edit after an undo empties the redo stack";
    EXPECT_EQ(menu.redoText, L"やり直し(&R)\tCtrl+Y");
    EXPECT_EQ(buffer.nextRedo(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"undo b", "destroy b"}));

    buffer.clear();
    EXPECT_FALSE(menu.undoEnabled);
    EXPECT_EQ(menu.undoText, L"元に戻す(&U)\tCtrl+Z");
}

TEST_F(UndoBufferTest, LongNamesAreCutToTheMenuBuffer) {
    const std::wstring longName(300, L'ス');
    edit("a", longName.c_str());
    EXPECT_EQ(menu.undoText.size(), kUndoMenuTextChars - 1);
    EXPECT_EQ(menu.undoText.substr(0, 7), L"元に戻す - ");
    EXPECT_EQ(undoMenuText(L"x"), L"元に戻す - x(&U)\tCtrl+Z");
    if constexpr (sizeof(wchar_t) == 2) {
        // A pair that would straddle the cut is dropped whole.
        std::wstring name(254 - 7, L'a'); // the high half lands on the last kept unit
        name += L"\U0001F600";
        EXPECT_EQ(redoMenuText(name.c_str()).size(), kUndoMenuTextChars - 2);
    }
}

TEST_F(UndoBufferTest, ClearDestroysRedoThenUndoNewestFirstAndKeepsTheCount) {
    edit("u1");
    edit("u2");
    edit("r1");
    edit("r2");
    buffer.undo();
    buffer.undo();
    log.clear();
    const auto count = document.changeCount;
    buffer.clear();
    EXPECT_EQ(log, (std::vector<std::string>{"destroy r1", "destroy r2", "destroy u2", "destroy u1"}));
    EXPECT_EQ(document.changeCount, count);
    EXPECT_FALSE(menu.redoEnabled);
}

TEST(UndoBuffer, DestructionFreesRecordsWithoutTouchingTheMenu) {
    std::vector<std::string> log;
    RomDocument document;
    FakeMenu menu;
    {
        UndoBuffer buffer(&document, &menu);
        buffer.push(std::make_unique<FakeRecord>(log, "a"));
        buffer.push(std::make_unique<FakeRecord>(log, "b"));
        buffer.push(nullptr);
        EXPECT_EQ(document.changeCount, 2) << "a null record is not an edit";
        menu.updates = 0;
    }
    EXPECT_EQ(log, (std::vector<std::string>{"destroy b", "destroy a"}));
    EXPECT_EQ(menu.updates, 0);
}

TEST_F(UndoBufferTest, ListenerIsToldAfterEveryChangeAndOnlyThen) {
    edit("a");
    edit("b");
    buffer.undo();
    buffer.redo();
    buffer.undo();
    buffer.discardRedo();
    EXPECT_EQ(listener.told, (std::vector<std::size_t>{1, 2, 1, 2, 1, 1})) << "told after each change is made";
    buffer.discardRedo();
    buffer.redo();
    buffer.push(nullptr);
    EXPECT_EQ(listener.told.size(), 6u) << "nothing to discard, nothing to redo, no record: no word";
    buffer.clear();
    EXPECT_EQ(listener.told.back(), 0u);
    buffer.setListener(nullptr);
    edit("c");
    EXPECT_EQ(listener.told.size(), 7u);
}

TEST_F(UndoBufferTest, RecordsRunOldestFirstThroughTheUndoThenTheRedoRecords) {
    for (const char* tag : {"a", "b", "c", "d"})
        edit(tag);
    buffer.undo();
    buffer.undo();
    EXPECT_EQ(history(), (std::vector<std::string>{"a", "b", "c", "d"})) << "redo records in the order they redo";
    EXPECT_EQ(&buffer.record(2), buffer.nextRedo());
    EXPECT_EQ(&buffer.record(1), buffer.nextUndo());
    edit("e");
    EXPECT_EQ(history(), (std::vector<std::string>{"a", "b", "e"}));
}

TEST_F(UndoBufferTest, JumpsUndoOrRedoEveryRecordBetweenWithOneMenuUpdateAndOneWord) {
    for (const char* tag : {"a", "b", "c", "d"})
        edit(tag);
    document.markSaved();
    struct Step {
        std::size_t to;
        bool moved;
        std::size_t undoable;
        std::vector<std::string> replays;
        int changeCount;
    };
    const Step steps[] = {
        {1, true, 1, {"undo d", "undo c", "undo b"}, -3},
        {3, true, 3, {"redo b", "redo c"}, -1},
        {3, false, 3, {}, -1},
        {0, true, 0, {"undo c", "undo b", "undo a"}, -4},
        {99, true, 4, {"redo a", "redo b", "redo c", "redo d"}, 0},
        {4, false, 4, {}, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.to);
        log.clear();
        const int updates = menu.updates;
        const std::size_t words = listener.told.size();
        EXPECT_EQ(buffer.jumpTo(step.to), step.moved);
        EXPECT_EQ(buffer.undoCount(), step.undoable);
        EXPECT_EQ(buffer.undoCount() + buffer.redoCount(), 4u) << "a jump destroys nothing";
        EXPECT_EQ(log, step.replays);
        EXPECT_EQ(document.changeCount, step.changeCount);
        EXPECT_EQ(menu.updates - updates, step.moved ? 2 : 0) << "both items, once";
        EXPECT_EQ(listener.told.size() - words, step.moved ? 1u : 0u);
    }
    EXPECT_FALSE(document.isModified()) << "the jump to the end came back to the saved state";
    buffer.jumpTo(2);
    EXPECT_EQ(menu.redoText, redoMenuText(L"スプライトの追加"));
    EXPECT_TRUE(menu.undoEnabled);
}

TEST_F(UndoBufferTest, JumpOnAnEmptyHistoryDoesNothing) {
    EXPECT_FALSE(buffer.jumpTo(0));
    EXPECT_FALSE(buffer.jumpTo(5));
    EXPECT_EQ(menu.updates, 0);
    EXPECT_TRUE(listener.told.empty());
}

TEST_F(UndoBufferTest, GroupsHandOverTheirRecordsAtTheOutermostEnd) {
    buffer.beginGroup();
    edit("a");
    buffer.beginGroup();
    edit("b");
    EXPECT_TRUE(buffer.endGroup().empty()) << "the inner end hands over nothing";
    edit("c");
    EXPECT_EQ(buffer.undoCount(), 0u) << "kept aside until the end";
    EXPECT_TRUE(listener.told.empty());
    EXPECT_EQ(menu.updates, 0);
    EXPECT_EQ(document.changeCount, 0);
    std::vector<std::unique_ptr<UndoMethod>> parts = buffer.endGroup();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(dynamic_cast<const FakeRecord&>(*parts[0]).recordTag(), "a");
    EXPECT_EQ(dynamic_cast<const FakeRecord&>(*parts[2]).recordTag(), "c");
    EXPECT_TRUE(buffer.endGroup().empty()) << "an end without a begin hands over nothing";
    edit("d");
    EXPECT_EQ(buffer.undoCount(), 1u) << "an unmatched end leaves no group open";
}

TEST_F(UndoBufferTest, PushGroupPushesNothingOneRecordAloneOrOneGroup) {
    struct Case {
        std::vector<const char*> tags;
        std::size_t pushed;
        bool grouped;
    };
    const Case cases[] = {{{}, 0, false}, {{"a"}, 1, false}, {{"a", "b"}, 1, true}, {{"a", "b", "c", "d"}, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tags.size());
        buffer.clear();
        const std::size_t words = listener.told.size();
        document.markSaved();
        buffer.beginGroup();
        for (const char* tag : c.tags)
            edit(tag);
        pushLoggedGroup();
        ASSERT_EQ(buffer.undoCount(), c.pushed);
        EXPECT_EQ(document.changeCount, static_cast<int>(c.pushed)) << "a group counts as one change";
        EXPECT_EQ(listener.told.size() - words, c.pushed);
        if (c.pushed == 0) continue;
        const auto* group = dynamic_cast<const UndoGroup*>(buffer.nextUndo());
        EXPECT_EQ(group != nullptr, c.grouped);
        if (group) EXPECT_EQ(group->size(), c.tags.size());
        EXPECT_EQ(buffer.nextUndo()->undoName(),
                  std::wstring(c.grouped ? L"スプライトの移動 (3 個)" : L"スプライトの追加"));
    }
}

TEST_F(UndoBufferTest, GroupUndoesItsRecordsNewestFirstAndRedoesThemOldestFirstAsOneStep) {
    edit("before");
    document.markSaved();
    buffer.beginGroup();
    for (const char* tag : {"a", "b", "c"})
        edit(tag);
    pushLoggedGroup();
    log.clear();
    ASSERT_TRUE(buffer.undo());
    EXPECT_EQ(log, (std::vector<std::string>{"undo c", "undo b", "undo a", "group undone"}));
    EXPECT_FALSE(document.isModified()) << "one undo takes the whole group back";
    log.clear();
    ASSERT_TRUE(buffer.redo());
    EXPECT_EQ(log, (std::vector<std::string>{"redo a", "redo b", "redo c", "group redone"}));
    EXPECT_EQ(document.changeCount, 1);
    log.clear();
    buffer.clear();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log.back(), "destroy before") << "the group, the newer record, goes first";
}

TEST_F(UndoBufferTest, GroupNamesTheStageOfItsFirstRecord) {
    std::vector<std::unique_ptr<UndoMethod>> parts;
    parts.push_back(std::make_unique<FakeRecord>(log, "a", L"x", 0x25));
    parts.push_back(std::make_unique<FakeRecord>(log, "b", L"x", 0x26));
    EXPECT_EQ(UndoGroup(std::move(parts), L"g").stage(), 0x25);
    EXPECT_EQ(UndoGroup({}, L"g").stage(), -1);
}

using Bytes = std::vector<std::uint8_t>;

TEST_F(UndoBufferTest, ByteRangeRecordUndoesToTheBytesFoundAndRedoesToTheBytesLeft) {
    document.image = {0, 1, 2, 3, 4, 5, 6, 7};
    ByteRange range = ByteRange::before(document.image, 2, 3);
    document.image[2] = 0xA2;
    document.image[4] = 0xA4;
    range.keepNew(document.image);
    buffer.push(std::make_unique<ByteRangeRecord>(document, std::move(range), L"地形の変更"));
    EXPECT_EQ(menu.undoText, undoMenuText(L"地形の変更"));
    buffer.undo();
    EXPECT_EQ(document.image, (Bytes{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(menu.redoText, redoMenuText(L"地形の変更"));
    buffer.redo();
    EXPECT_EQ(document.image, (Bytes{0, 1, 0xA2, 3, 0xA4, 5, 6, 7}));
}

TEST(ByteRange, BytesThatWouldPassTheImageEndAreNeitherKeptNorWritten) {
    struct Case {
        std::size_t offset;
        std::size_t count;
        bool fits;
    };
    const Case cases[] = {
        {5, 3, true}, {6, 3, false}, {8, 0, true}, {9, 0, false}, {std::numeric_limits<std::size_t>::max(), 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        Bytes image(8, 0x11);
        const ByteRange kept = ByteRange::before(image, c.offset, c.count);
        EXPECT_EQ(kept.oldBytes.size(), c.fits ? c.count : 0u);

        const ByteRange written{c.offset, Bytes(c.count, 0x22), Bytes(c.count, 0x33)};
        EXPECT_EQ(written.putOld(image), c.fits);
        EXPECT_EQ(written.putNew(image), c.fits);
        Bytes expected(8, 0x11);
        if (c.fits) std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(c.offset), c.count, 0x33);
        EXPECT_EQ(image, expected);
    }
}

} // namespace
} // namespace vexa
