// Edits of several objects at once as one undo step: the name the step goes by, and
// the record that gathers the records of its objects and marks them again after each
// replay.
#pragma once

#include "app/undo_buffer.h"
#include "stage/object_kind.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vexa {

// The marked objects of each kind, by kObjectKinds' slots.
using KindMarks = std::array<std::vector<int>, kObjectKinds.size()>;
// How many objects of each kind an edit takes.
using KindCounts = std::array<int, kObjectKinds.size()>;

KindCounts countsOf(const KindMarks& marks);
int totalOf(const KindCounts& counts);

// "スプライトの移動 (3 個)", or "オブジェクトの移動 (5 個)" for several kinds.
std::wstring groupEditName(GroupEdit edit, const KindCounts& counts);
// "選択: スプライト 3, バナナ 2": the kinds with marked objects, in the kinds' order.
std::wstring selectionText(const KindCounts& counts);

// What marks the objects again: the map view.
class MarkHost {
public:
    virtual void markObjects(const KindMarks& marks) = 0;

protected:
    ~MarkHost() = default;
};

class ObjectGroupRecord final : public UndoGroup {
public:
    ObjectGroupRecord(MarkHost& host, std::vector<std::unique_ptr<UndoMethod>> parts, GroupEdit edit,
                      const KindCounts& counts, KindMarks afterUndo, KindMarks afterRedo)
        : UndoGroup(std::move(parts), [edit, counts] { return groupEditName(edit, counts); }), host(host),
          afterUndo(std::move(afterUndo)), afterRedo(std::move(afterRedo)) {}

private:
    void replayed(bool undone) override { host.markObjects(undone ? afterUndo : afterRedo); }

    MarkHost& host;
    KindMarks afterUndo;
    KindMarks afterRedo;
};

} // namespace vexa
