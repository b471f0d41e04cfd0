#include "stage/view/object_group.h"

#include <algorithm>
#include <numeric>

namespace vexa {

namespace {

const wchar_t* kindName(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::Sprite: return L"スプライト";
    case ObjectKind::Banana: return L"バナナ";
    case ObjectKind::Camera: return L"カメラ";
    }
    return L"";
}

const wchar_t* verbOf(GroupEdit edit) {
    switch (edit) {
    case GroupEdit::Move: return L"の移動";
    case GroupEdit::Change: return L"の変更";
    case GroupEdit::Add: return L"の追加";
    case GroupEdit::Delete: return L"の削除";
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
    std::wstring name = L"オブジェクト";
    if (kinds == 1) {
        const auto kind = static_cast<std::size_t>(
            std::find_if(counts.begin(), counts.end(), [](int count) { return count > 0; }) - counts.begin());
        name = kindName(kObjectKinds[kind]);
    }
    return name + verbOf(edit) + L" (" + std::to_wstring(totalOf(counts)) + L" 個)";
}

std::wstring selectionText(const KindCounts& counts) {
    std::wstring text;
    for (const ObjectKind kind : kObjectKinds) {
        const int count = counts[indexOf(kind)];
        if (count == 0) continue;
        text += text.empty() ? L"選択: " : L", ";
        text += kindName(kind) + std::wstring(L" ") + std::to_wstring(count);
    }
    return text;
}

} // namespace vexa
