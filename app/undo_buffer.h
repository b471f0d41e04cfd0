// The undo history: every edit of an object list leaves one record that can take it
// back and apply it again. The buffer also keeps the document's modified state in
// step with the history and keeps the Edit menu's two items up to date.
#pragma once

#include "resources/resource_ids.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vexa {

struct RomDocument;

inline constexpr int kUndoCommand = IDM_EDIT_UNDO;
inline constexpr int kRedoCommand = IDM_EDIT_REDO;
// The menu texts are formatted into buffers of this many characters, the end included.
inline constexpr std::size_t kUndoMenuTextChars = 256;

class UndoMethod {
public:
    virtual ~UndoMethod() = default;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // The texts must stay valid while the record lives.
    virtual const wchar_t* undoName() const = 0;
    virtual const wchar_t* redoName() const = 0;
    // The stage the record changes; -1 for a record of the whole image.
    virtual int stage() const { return -1; }
};

// The records of one edit of several objects, taken back and applied again as one
// step: undo takes the parts back newest first, redo applies them oldest first, so
// each replays on the state it was made on.
class UndoGroup : public UndoMethod {
public:
    // `naming` gives the group's name whenever it is shown, so that it follows the
    // language of the interface.
    UndoGroup(std::vector<std::unique_ptr<UndoMethod>> parts, std::function<std::wstring()> naming)
        : parts(std::move(parts)), naming(std::move(naming)) {}
    UndoGroup(std::vector<std::unique_ptr<UndoMethod>> parts, std::wstring name)
        : UndoGroup(std::move(parts), [name = std::move(name)] { return name; }) {}

    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return (name = naming()).c_str(); }
    const wchar_t* redoName() const override { return undoName(); }
    int stage() const override { return parts.empty() ? -1 : parts.front()->stage(); }
    std::size_t size() const { return parts.size(); }

protected:
    // After every part has replayed: `undone` tells which way.
    virtual void replayed(bool /*undone*/) {}

private:
    std::vector<std::unique_ptr<UndoMethod>> parts;
    std::function<std::wstring()> naming;
    mutable std::wstring name; // the last name given, which the caller's pointer shows
};

// Told after every change of the history: a record pushed, undone or redone, or the
// history cleared. A jump over several records is told once.
class UndoListener {
public:
    virtual void historyChanged() = 0;

protected:
    ~UndoListener() = default;
};

// The Edit menu's Undo (4609) and Redo (4610) items, implemented by the main window.
class UndoMenu {
public:
    virtual ~UndoMenu() = default;
    virtual void setUndoItem(bool enabled, const std::wstring& text) = 0;
    virtual void setRedoItem(bool enabled, const std::wstring& text) = 0;
};

// "元に戻す - name(&U)\tCtrl+Z", or "元に戻す(&U)\tCtrl+Z" for a null name; likewise for Redo.
// Cut to kUndoMenuTextChars - 1 characters.
std::wstring undoMenuText(const wchar_t* name);
std::wstring redoMenuText(const wchar_t* name);

class UndoBuffer {
public:
    explicit UndoBuffer(RomDocument* document = nullptr, UndoMenu* editMenu = nullptr)
        : owner(document), menu(editMenu) {}
    // Destroys the records in the order clear() does, but leaves the menu alone: it
    // may already be gone when the buffer's owner is torn down.
    ~UndoBuffer();
    UndoBuffer(const UndoBuffer&) = delete;
    UndoBuffer& operator=(const UndoBuffer&) = delete;

    void setOwner(RomDocument* document) { owner = document; }
    void setMenu(UndoMenu* editMenu) { menu = editMenu; }
    void setListener(UndoListener* historyListener) { listener = historyListener; }

    // Takes ownership; a null record is ignored.
    void push(std::unique_ptr<UndoMethod> record);
    bool undo();
    bool redo();
    void clear();
    void discardRedo();
    void refreshMenu();
    // Undoes or redoes until `count` records are undoable (held to the history), with
    // one update of the menu and one word to the listener. False when already there.
    bool jumpTo(std::size_t count);
    // From beginGroup to endGroup every record pushed is kept aside, and endGroup hands
    // them over, oldest first, to be pushed as one UndoGroup (or alone, when only one).
    // Groups nest: the outermost end hands over everything.
    void beginGroup() { ++groupDepth; }
    std::vector<std::unique_ptr<UndoMethod>> endGroup();
    // 4609 undoes, 4610 redoes; both are taken even when there is nothing to do.
    bool handleCommand(int id);

    // The record the next undo or redo would run, or null.
    const UndoMethod* nextUndo() const { return undoStack.empty() ? nullptr : undoStack.back().get(); }
    const UndoMethod* nextRedo() const { return redoStack.empty() ? nullptr : redoStack.back().get(); }
    std::size_t undoCount() const { return undoStack.size(); }
    std::size_t redoCount() const { return redoStack.size(); }
    // The whole history oldest first: the undo records, then the redo records in the
    // order they would be redone. `index` < undoCount() + redoCount().
    const UndoMethod& record(std::size_t index) const;

private:
    void destroyAll();
    void tellListener();
    bool undoOne();
    bool redoOne();

    std::deque<std::unique_ptr<UndoMethod>> undoStack; // newest at the back
    std::deque<std::unique_ptr<UndoMethod>> redoStack; // newest at the back
    RomDocument* owner;
    UndoMenu* menu;
    UndoListener* listener = nullptr;
    int groupDepth = 0;
    std::vector<std::unique_ptr<UndoMethod>> grouped;
};

// Pushes what the group collected: nothing, its one record, or one UndoGroup made by
// `makeGroup(parts)`.
template <typename MakeGroup> void pushGroup(UndoBuffer& buffer, MakeGroup makeGroup) {
    std::vector<std::unique_ptr<UndoMethod>> parts = buffer.endGroup();
    if (parts.size() == 1) return buffer.push(std::move(parts.front()));
    if (!parts.empty()) buffer.push(makeGroup(std::move(parts)));
}

} // namespace vexa
