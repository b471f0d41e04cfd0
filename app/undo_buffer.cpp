#include "app/undo_buffer.h"

#include "app/rom_document.h"
#include "app/text_buffer.h"
#include "resources/text_ids.h"
#include "ui/texts.h"

#include <algorithm>
#include <utility>

namespace vexa {

namespace {

std::wstring menuText(const wchar_t* name, const wchar_t* verb, const wchar_t* tail) {
    std::wstring text = verb;
    if (name) {
        text += L" - ";
        text += name;
    }
    text += tail;
    return cutToBuffer(std::move(text), kUndoMenuTextChars);
}

void destroyNewestFirst(std::deque<std::unique_ptr<UndoMethod>>& stack) {
    while (!stack.empty())
        stack.pop_back();
}

} // namespace

std::wstring undoMenuText(const wchar_t* name) {
    return menuText(name, text(IDS_UNDO_VERB), text(IDS_UNDO_TAIL));
}
std::wstring redoMenuText(const wchar_t* name) {
    return menuText(name, text(IDS_REDO_VERB), text(IDS_REDO_TAIL));
}

UndoBuffer::~UndoBuffer() {
    destroyAll();
}

void UndoGroup::undo() {
    for (auto part = parts.rbegin(); part != parts.rend(); ++part)
        (*part)->undo();
    replayed(true);
}

void UndoGroup::redo() {
    for (const std::unique_ptr<UndoMethod>& part : parts)
        part->redo();
    replayed(false);
}

void UndoBuffer::push(std::unique_ptr<UndoMethod> record) {
    if (!record) return;
    if (groupDepth > 0) return grouped.push_back(std::move(record));
    destroyNewestFirst(redoStack);
    undoStack.push_back(std::move(record));
    refreshMenu();
    if (owner && !owner->changedForGood) {
        // A negative count means the saved state was among the redo records just
        // destroyed: it can never be reached again.
        if (owner->changeCount < 0)
            owner->changedForGood = true;
        else
            ++owner->changeCount;
    }
    tellListener();
}

bool UndoBuffer::undoOne() {
    if (undoStack.empty()) return false;
    undoStack.back()->undo();
    redoStack.push_back(std::move(undoStack.back()));
    undoStack.pop_back();
    if (owner && !owner->changedForGood) --owner->changeCount;
    return true;
}

bool UndoBuffer::redoOne() {
    if (redoStack.empty()) return false;
    redoStack.back()->redo();
    undoStack.push_back(std::move(redoStack.back()));
    redoStack.pop_back();
    if (owner && !owner->changedForGood) ++owner->changeCount;
    return true;
}

bool UndoBuffer::undo() {
    if (!undoOne()) return false;
    refreshMenu();
    tellListener();
    return true;
}

bool UndoBuffer::redo() {
    if (!redoOne()) return false;
    refreshMenu();
    tellListener();
    return true;
}

bool UndoBuffer::jumpTo(std::size_t count) {
    count = std::min(count, undoCount() + redoCount());
    if (count == undoCount()) return false;
    while (undoCount() > count && undoOne()) {
    }
    while (undoCount() < count && redoOne()) {
    }
    refreshMenu();
    tellListener();
    return true;
}

std::vector<std::unique_ptr<UndoMethod>> UndoBuffer::endGroup() {
    if (groupDepth == 0 || --groupDepth > 0) return {};
    return std::exchange(grouped, {});
}

const UndoMethod& UndoBuffer::record(std::size_t index) const {
    if (index < undoStack.size()) return *undoStack[index];
    return *redoStack[redoStack.size() - 1 - (index - undoStack.size())];
}

void UndoBuffer::clear() {
    destroyAll();
    refreshMenu();
    tellListener();
}

void UndoBuffer::discardRedo() {
    if (redoStack.empty()) return;
    destroyNewestFirst(redoStack);
    tellListener();
}

void UndoBuffer::tellListener() {
    if (listener) listener->historyChanged();
}

void UndoBuffer::destroyAll() {
    destroyNewestFirst(redoStack);
    destroyNewestFirst(undoStack);
}

void UndoBuffer::refreshMenu() {
    if (!menu) return;
    const UndoMethod* undoRecord = nextUndo();
    const UndoMethod* redoRecord = nextRedo();
    menu->setUndoItem(undoRecord != nullptr, undoMenuText(undoRecord ? undoRecord->undoName() : nullptr));
    menu->setRedoItem(redoRecord != nullptr, redoMenuText(redoRecord ? redoRecord->redoName() : nullptr));
}

bool UndoBuffer::handleCommand(int id) {
    switch (id) {
    case kUndoCommand: undo(); return true;
    case kRedoCommand: redo(); return true;
    default: return false;
    }
}

} // namespace vexa
