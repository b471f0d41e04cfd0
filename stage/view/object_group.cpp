#include "stage/view/object_group.h"

#include "resources/text_ids.h"
#include "ui/texts.h"
#include <algorithm>
#include <numeric>

namespace vexa {

namespace {

// The kind's name for a count of its objects: English tells one from many.
const wchar_t* kindName(ObjectKind kind, int count) {
    switch (kind) {
    case ObjectKind::Sprite: return text(count == 1 ? IDS_KIND_SPRITE : IDS_KIND_SPRITES);
    case ObjectKind::Banana: return text(count == 1 ? IDS_KIND_BANANA : IDS_KIND_BANANAS);
    case ObjectKind::Camera: return text(count == 1 ? IDS_KIND_CAMERA : IDS_KIND_CAMERAS);
    }
    return L"";
}

const wchar_t* verbOf(GroupEdit edit) {
    switch (edit) {
    case GroupEdit::Move: return text(IDS_GROUP_MOVE);
    case GroupEdit::Change: return text(IDS_GROUP_CHANGE);
    case GroupEdit::Add: return text(IDS_GROUP_ADD);
    case GroupEdit::Delete: return text(IDS_GROUP_DELETE);
    }
    return L"";
}

} // namespace

KindCounts countsOf(const KindMarks& marks) {
    KindCounts counts{};
    for (std::size_t kind = 0; kind < marks.size(); ++kind)
        counts[kind] = static_cast<int>(marks[kind].size());
    return counts;
}

int totalOf(const KindCounts& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0);
}

std::wstring groupEditName(GroupEdit edit, const KindCounts& counts) {
    const auto kinds = std::count_if(counts.begin(), counts.end(), [](int count) { return count > 0; });
    const int total = totalOf(counts);
    std::wstring name = text(IDS_KIND_OBJECTS);
    if (kinds == 1) {
        const auto kind = static_cast<std::size_t>(
            std::find_if(counts.begin(), counts.end(), [](int count) { return count > 0; }) - counts.begin());
        name = kindName(kObjectKinds[kind], total);
    }
    return formatText(IDS_GROUP_NAME, {name, verbOf(edit), std::to_wstring(total)});
}

std::wstring selectionText(const KindCounts& counts) {
    std::wstring shown;
    for (const ObjectKind kind : kObjectKinds) {
        const int count = counts[indexOf(kind)];
        if (count == 0) continue;
        shown += shown.empty() ? text(IDS_SELECTION_PREFIX) : L", ";
        shown += formatText(IDS_SELECTION_ITEM, {kindName(kind, count), std::to_wstring(count)});
    }
    return shown;
}

} // namespace vexa
